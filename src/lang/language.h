#pragma once

#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

// The language of every user-visible text. The source texts in the code are Chinese, except some of the command
// line's, which are English: translations/tarnquill_en.ts gives every text in English, translations/tarnquill_zh.ts
// the English source texts in Chinese; both are compiled into the program.
enum class Language { Chinese, English };
Q_DECLARE_METATYPE(Language)

// "zh" / "en" (as given to --lang, stored in language.pth and read from TQ_LANG); nothing for any other text.
std::optional<Language> languageFromCode(const QString &code);
QString languageCode(Language language);

// Chinese for every Chinese locale (zh_CN, zh_TW, zh_HK, ...), English for every other one, "C" included.
Language languageForLocale(const QLocale &locale);

// The --lang option taken out of a command line, so the programs' own parsers never see it.
struct LanguageOption
{
    std::optional<Language> language;  // nothing when --lang was not given
    QString error;                      // non-empty for a missing or unknown value
    QStringList rest;                   // the arguments without --lang and its value
};
LanguageOption takeLanguageOption(const QStringList &arguments);

// Which language a program starts in, first match wins: --lang; the TQ_LANG environment variable (how test
// harnesses and scripts pin a language); the choice stored from the window's menu; the system locale.
// The system locale is asked only when nothing before it decides (building it is a good part of a command's
// start-up).
Language chooseLanguage(const std::optional<Language> &option, const std::optional<Language> &stored);
Language chooseLanguage(const std::optional<Language> &option, const std::optional<Language> &stored,
                        const QLocale &systemLocale);

// The language the process runs in: installs our translation and Qt's own (standard buttons, file dialogs) in
// the application object. Call once, after the application object exists; false when a translation could not
// be loaded (the texts then stay in their source language).
bool installLanguage(Language language);
Language currentLanguage();

// The user guide PDF beside the program that F1 opens: Tarnquill_user_guide.pdf (English) or
// Tarnquill_user_guide.zh.pdf (Chinese).
QString userGuideFileName(Language language);

// The window's language menu and the note that a change applies on the next start.
QString languageMenuTitle();
QString languageChangeNotice();
