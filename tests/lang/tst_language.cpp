#include "lang/language.h"
#include "lang/languagefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(std::optional<Language>)

namespace {
// The harness pins the language through TQ_LANG; the precedence cases need it gone, and put back after.
class EnvironmentLanguage
{
public:
    explicit EnvironmentLanguage(const QByteArray &value)
        : m_saved(qgetenv("TQ_LANG"))
        , m_had(qEnvironmentVariableIsSet("TQ_LANG"))
    {
        if (value.isNull())
            qunsetenv("TQ_LANG");
        else
            qputenv("TQ_LANG", value);
    }
    ~EnvironmentLanguage()
    {
        if (m_had)
            qputenv("TQ_LANG", m_saved);
        else
            qunsetenv("TQ_LANG");
    }

private:
    QByteArray m_saved;
    bool m_had;
};

const std::optional<Language> kNone;
const std::optional<Language> kZh = Language::Chinese;
const std::optional<Language> kEn = Language::English;
}

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void localeChoosesLanguage_data();
    void localeChoosesLanguage();
    void codes_data();
    void codes();
    void userGuides();
    void languageOption_data();
    void languageOption();
    void precedence_data();
    void precedence();
    void storedChoice();
    void storedChoiceRefusesOddFiles();
    void translationsLoad();
};

void TestLanguage::localeChoosesLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<Language>("expected");
    QTest::newRow("zh_CN") << "zh_CN" << Language::Chinese;
    QTest::newRow("zh_TW") << "zh_TW" << Language::Chinese;
    QTest::newRow("zh_HK") << "zh_HK" << Language::Chinese;
    QTest::newRow("en_US") << "en_US" << Language::English;
    QTest::newRow("de_DE") << "de_DE" << Language::English;
    QTest::newRow("ja_JP") << "ja_JP" << Language::English;
    QTest::newRow("C") << "C" << Language::English;
}

void TestLanguage::localeChoosesLanguage()
{
    QFETCH(QString, locale);
    QFETCH(Language, expected);
    QCOMPARE(languageForLocale(QLocale(locale)), expected);
}

void TestLanguage::codes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<std::optional<Language>>("expected");
    QTest::newRow("zh") << "zh" << kZh;
    QTest::newRow("en") << "en" << kEn;
    QTest::newRow("upper case") << "EN" << kNone;
    QTest::newRow("locale name") << "zh_CN" << kNone;
    QTest::newRow("empty") << "" << kNone;
}

void TestLanguage::codes()
{
    QFETCH(QString, code);
    QFETCH(std::optional<Language>, expected);
    QCOMPARE(languageFromCode(code), expected);
    if (expected)
        QCOMPARE(languageCode(*expected), code);
}

void TestLanguage::userGuides()
{
    QCOMPARE(userGuideFileName(Language::English), QStringLiteral("Tarnquill_user_guide.pdf"));
    QCOMPARE(userGuideFileName(Language::Chinese), QStringLiteral("Tarnquill_user_guide.zh.pdf"));
}

void TestLanguage::languageOption_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::optional<Language>>("language");
    QTest::addColumn<bool>("error");
    QTest::addColumn<QStringList>("rest");
    const QStringList rest = {"--emulate", "burn", "a.hex"};
    QTest::newRow("absent") << rest << kNone << false << rest;
    QTest::newRow("separate value") << QStringList{"--emulate", "--lang", "en", "burn", "a.hex"} << kEn << false << rest;
    QTest::newRow("joined value") << QStringList{"--lang=zh", "--emulate", "burn", "a.hex"} << kZh << false << rest;
    QTest::newRow("last one wins") << QStringList{"--lang=zh", "--emulate", "burn", "--lang", "en", "a.hex"} << kEn
                                   << false << rest;
    QTest::newRow("unknown value") << QStringList{"--lang", "fr", "--emulate", "burn", "a.hex"} << kNone << true << rest;
    QTest::newRow("missing value") << QStringList{"--emulate", "burn", "a.hex", "--lang"} << kNone << true << rest;
    QTest::newRow("empty joined value") << QStringList{"--lang=", "--emulate", "burn", "a.hex"} << kNone << true << rest;
    QTest::newRow("look-alike kept") << QStringList{"--language", "en"} << kNone << false
                                     << QStringList{"--language", "en"};
}

void TestLanguage::languageOption()
{
    QFETCH(QStringList, arguments);
    QFETCH(std::optional<Language>, language);
    QFETCH(bool, error);
    QFETCH(QStringList, rest);
    const LanguageOption option = takeLanguageOption(arguments);
    QCOMPARE(option.language, language);
    QCOMPARE(!option.error.isEmpty(), error);
    QCOMPARE(option.rest, rest);
}

void TestLanguage::precedence_data()
{
    QTest::addColumn<std::optional<Language>>("option");
    QTest::addColumn<QByteArray>("environment");
    QTest::addColumn<std::optional<Language>>("stored");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<Language>("expected");
    QTest::newRow("locale only, Chinese") << kNone << QByteArray() << kNone << "zh_CN" << Language::Chinese;
    QTest::newRow("locale only, other") << kNone << QByteArray() << kNone << "fr_FR" << Language::English;
    QTest::newRow("stored beats locale") << kNone << QByteArray() << kEn << "zh_CN" << Language::English;
    QTest::newRow("environment beats stored") << kNone << QByteArray("zh") << kEn << "en_US" << Language::Chinese;
    QTest::newRow("odd environment ignored") << kNone << QByteArray("xx") << kEn << "zh_CN" << Language::English;
    QTest::newRow("option beats everything") << kEn << QByteArray("zh") << kZh << "zh_CN" << Language::English;
}

void TestLanguage::precedence()
{
    QFETCH(std::optional<Language>, option);
    QFETCH(QByteArray, environment);
    QFETCH(std::optional<Language>, stored);
    QFETCH(QString, locale);
    QFETCH(Language, expected);
    EnvironmentLanguage env(environment);
    QCOMPARE(chooseLanguage(option, stored, QLocale(locale)), expected);
}

void TestLanguage::storedChoice()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(readStoredLanguage(dir.path()), kNone);
    QVERIFY(writeStoredLanguage(dir.path(), Language::English));
    QCOMPARE(readStoredLanguage(dir.path()), kEn);
    QVERIFY(writeStoredLanguage(dir.path(), Language::Chinese));
    QCOMPARE(readStoredLanguage(dir.path()), kZh);
    QFile file(dir.filePath("language.pth"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("zh\n"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"language.pth"});
    QVERIFY(!writeStoredLanguage(dir.filePath("missing-folder"), Language::English));
}

void TestLanguage::storedChoiceRefusesOddFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath("language.pth"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("fr\n");
    file.close();
    QCOMPARE(readStoredLanguage(dir.path()), kNone);
    QVERIFY(file.remove());
    QVERIFY(QDir(dir.path()).mkdir("language.pth"));
    QCOMPARE(readStoredLanguage(dir.path()), kNone);
}

void TestLanguage::translationsLoad()
{
    QVERIFY(installLanguage(Language::English));
    QCOMPARE(currentLanguage(), Language::English);
    QCOMPARE(languageMenuTitle(), QStringLiteral("Language"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    // A text whose source is English stays English.
    QCOMPARE(QCoreApplication::translate("cli", "interrupted"), QStringLiteral("interrupted"));

    QVERIFY(installLanguage(Language::Chinese));
    QCOMPARE(currentLanguage(), Language::Chinese);
    QCOMPARE(languageMenuTitle(), QStringLiteral("语言"));
    // A text whose source is English comes from the Chinese file.
    QCOMPARE(QCoreApplication::translate("cli", "interrupted"), QStringLiteral("已中断"));
    // Qt's own buttons follow: Qt's Chinese translation is loaded.
    QVERIFY(QCoreApplication::translate("QPlatformTheme", "&Yes") != QStringLiteral("&Yes"));
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
