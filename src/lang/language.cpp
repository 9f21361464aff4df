#include "language.h"

#include "systemlanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

// The compiled translations (cmake/EmbedBytes.cmake).
extern const unsigned char tqTranslation_en[];
extern const int tqTranslation_enSize;
extern const unsigned char tqTranslation_zh[];
extern const int tqTranslation_zhSize;

namespace {
// Process-wide: the running language and the translators the application object holds.
Language g_language = Language::Chinese;
QTranslator *g_ours = nullptr;
QTranslator *g_qt = nullptr;

const QString kOption = QStringLiteral("--lang");

// Qt's translations: the system's Qt folder, or a translations folder beside a deployed program.
bool loadQtTranslation(QTranslator &translator, const QLocale &locale)
{
    const QStringList folders = {QLibraryInfo::location(QLibraryInfo::TranslationsPath),
                                 QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString &folder : folders) {
        if (translator.load(locale, QStringLiteral("qt"), QStringLiteral("_"), folder))
            return true;
    }
    return false;
}
}

std::optional<Language> languageFromCode(const QString &code)
{
    if (code == QLatin1String("zh"))
        return Language::Chinese;
    if (code == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

QString languageCode(Language language)
{
    return language == Language::Chinese ? QStringLiteral("zh") : QStringLiteral("en");
}

Language languageForLocale(const QLocale &locale)
{
    return locale.language() == QLocale::Chinese ? Language::Chinese : Language::English;
}

LanguageOption takeLanguageOption(const QStringList &arguments)
{
    LanguageOption result;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        QString value;
        if (arg == kOption) {
            if (i + 1 >= arguments.size()) {
                result.error = QCoreApplication::translate("language", "--lang needs a value: zh or en");
                continue;
            }
            value = arguments[++i];
        } else if (arg.startsWith(kOption + QLatin1Char('='))) {
            value = arg.mid(kOption.size() + 1);
        } else {
            result.rest << arg;
            continue;
        }
        result.language = languageFromCode(value);
        if (!result.language)
            result.error = QCoreApplication::translate("language", "unknown language \"%1\" (zh or en)").arg(value);
    }
    return result;
}

namespace {
std::optional<Language> chosenBeforeLocale(const std::optional<Language> &option, const std::optional<Language> &stored)
{
    if (option)
        return option;
    if (const auto fromEnvironment = languageFromCode(qEnvironmentVariable("TQ_LANG")))
        return fromEnvironment;
    return stored;
}
}

Language chooseLanguage(const std::optional<Language> &option, const std::optional<Language> &stored,
                        const QLocale &systemLocale)
{
    return chosenBeforeLocale(option, stored).value_or(languageForLocale(systemLocale));
}

Language chooseLanguage(const std::optional<Language> &option, const std::optional<Language> &stored)
{
    const std::optional<Language> chosen = chosenBeforeLocale(option, stored);
    return chosen ? *chosen : systemLanguage();
}

bool installLanguage(Language language)
{
    QCoreApplication *app = QCoreApplication::instance();
    for (QTranslator **t : {&g_ours, &g_qt}) {
        if (*t) {
            app->removeTranslator(*t);
            delete *t;
            *t = nullptr;
        }
    }
    g_language = language;
    g_qt = new QTranslator(app);
    // Most source texts are Chinese; the English ones (parts of the command line) have a Chinese file too.
    g_ours = new QTranslator(app);
    const bool ok = language == Language::English ? g_ours->load(tqTranslation_en, tqTranslation_enSize)
                                                  : g_ours->load(tqTranslation_zh, tqTranslation_zhSize);
    if (ok)
        app->installTranslator(g_ours);
    // Qt's own source texts are English already.
    if (language == Language::Chinese && loadQtTranslation(*g_qt, QLocale(QLocale::Chinese, QLocale::China)))
        app->installTranslator(g_qt);
    return ok;
}

Language currentLanguage()
{
    return g_language;
}

QString userGuideFileName(Language language)
{
    return language == Language::Chinese ? QStringLiteral("Tarnquill_user_guide.zh.pdf")
                                         : QStringLiteral("Tarnquill_user_guide.pdf");
}

QString languageMenuTitle()
{
    return QCoreApplication::translate("language", "语言");
}

QString languageChangeNotice()
{
    return QCoreApplication::translate("language", "界面语言将在程序下次启动时切换。");
}
