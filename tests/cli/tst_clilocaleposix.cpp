// tarnquill-cli picks its language from the system locale when neither --lang nor TQ_LANG is given. The locale
// comes from LC_ALL / LANG here, which only POSIX systems read.

#include "clitestutil.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
// The harness pins Chinese through TQ_LANG; these runs choose for themselves.
QProcessEnvironment withLocale(const QString &locale)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TQ_LANG"));
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.remove(QStringLiteral("LC_MESSAGES"));
    environment.insert(QStringLiteral("LC_ALL"), locale);
    environment.insert(QStringLiteral("LANG"), locale);
    return environment;
}
}

class TestCliLocale : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Without --lang or TQ_LANG the system locale decides: Chinese for a Chinese locale, English otherwise.
    void localeChoosesTheLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("label");
        QTest::newRow("zh_CN") << "zh_CN.UTF-8" << "擦除成功.";
        QTest::newRow("zh_TW") << "zh_TW.UTF-8" << "擦除成功.";
        QTest::newRow("en_US") << "en_US.UTF-8" << "Erase succeeded.";
        QTest::newRow("de_DE") << "de_DE.UTF-8" << "Erase succeeded.";
        QTest::newRow("C") << "C" << "Erase succeeded.";
    }

    void localeChoosesTheLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, label);
        const CliRun run = runCli({"--emulate", "erase"}, m_dir.path(), withLocale(locale));
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(label), qPrintable(run.err));
    }

    // Which variable names the locale, as Qt reads them: LC_ALL, else LC_MESSAGES, else LANG; an empty one
    // counts as unset, and the language code is matched in any case.
    void localeVariablesInOrder_data()
    {
        QTest::addColumn<QString>("lcAll");
        QTest::addColumn<QString>("lcMessages");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("label");
        QTest::newRow("LC_ALL over LANG") << "en_US.UTF-8" << "" << "zh_CN.UTF-8" << "Erase succeeded.";
        QTest::newRow("LC_ALL over LC_MESSAGES") << "zh_CN" << "en_US" << "C" << "擦除成功.";
        QTest::newRow("LC_MESSAGES over LANG") << "" << "zh_CN.UTF-8" << "C.UTF-8" << "擦除成功.";
        QTest::newRow("LANG alone") << "" << "" << "zh_HK" << "擦除成功.";
        QTest::newRow("code in capitals") << "" << "" << "ZH_cn" << "擦除成功.";
        QTest::newRow("code with a modifier") << "" << "" << "zh@variant" << "擦除成功.";
        QTest::newRow("POSIX") << "" << "" << "POSIX" << "Erase succeeded.";
        QTest::newRow("none set") << "" << "" << "" << "Erase succeeded.";
        QTest::newRow("another language") << "" << "" << "sr_RS@latin" << "Erase succeeded.";
    }

    void localeVariablesInOrder()
    {
        QFETCH(QString, lcAll);
        QFETCH(QString, lcMessages);
        QFETCH(QString, lang);
        QFETCH(QString, label);
        QProcessEnvironment environment = withLocale(QString());
        environment.insert(QStringLiteral("LC_ALL"), lcAll);
        environment.insert(QStringLiteral("LC_MESSAGES"), lcMessages);
        environment.insert(QStringLiteral("LANG"), lang);
        const CliRun run = runCli({"--emulate", "erase"}, m_dir.path(), environment);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(label), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCliLocale)
#include "tst_clilocaleposix.moc"
