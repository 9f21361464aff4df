#include "systemlanguage.h"

#include <QByteArray>

#include <cstring>

// Qt takes the locale here from the environment: LC_ALL, else LC_MESSAGES, else LANG. The common names are
// read directly, since building Qt's system locale costs about as much as the rest of a short command's
// own start-up; any other name is left to Qt.
Language systemLanguage()
{
    QByteArray name;
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        name = qgetenv(variable);
        if (!name.isEmpty())
            break;
    }
    int end = 0;
    while (end < name.size() && !std::strchr("_.@-", name.at(end)))
        ++end;
    const QByteArray code = name.left(end).toLower();
    if (code == "zh")
        return Language::Chinese;
    if (code.isEmpty() || code == "c" || code == "posix" || code == "en")
        return Language::English;
    return languageForLocale(QLocale::system());
}
