#include "languagemenu.h"

#include "appdir/appdir.h"
#include "boxes/boxes.h"
#include "lang/languagefile.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

namespace {
void choose(QWidget *window, Language language)
{
    if (!writeStoredLanguage(appDir(), language)) {
        boxes::warn(window, QCoreApplication::translate("mcu_writer", "警告"),
                    QCoreApplication::translate("mcu_writer", "无法保存语言设置,请确认程序目录可写！"));
        return;
    }
    if (language != currentLanguage())
        boxes::inform(window, QCoreApplication::translate("mcu_writer", "提示"), languageChangeNotice());
}
}

QMenu *createLanguageMenu(QWidget *window)
{
    auto *menu = new QMenu(languageMenuTitle(), window);
    menu->setObjectName(QStringLiteral("menu_language"));
    auto *group = new QActionGroup(menu);
    const struct
    {
        Language language;
        const char *name;
    } entries[] = {{Language::Chinese, "中文"}, {Language::English, "English"}};
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(QString::fromUtf8(entry.name));
        action->setObjectName(QStringLiteral("action_language_") + languageCode(entry.language));
        action->setCheckable(true);
        action->setChecked(entry.language == currentLanguage());
        group->addAction(action);
        const Language language = entry.language;
        QObject::connect(action, &QAction::triggered, window, [window, language] { choose(window, language); });
    }
    return menu;
}
