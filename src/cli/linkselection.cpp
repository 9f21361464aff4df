#include "linkselection.h"

#include "cliargs.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
// A letter or digit, then also '.', '_', '&' and '-'. Checked by hand: a regular expression costs a worker's
// start its compilation.
bool isPortName(const QString &port)
{
    const auto alphanumeric = [](QChar c) {
        const ushort u = c.unicode();
        return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9');
    };
    if (port.isEmpty() || !alphanumeric(port.front()))
        return false;
    return std::all_of(port.begin() + 1, port.end(), [&](QChar c) {
        return alphanumeric(c) || c == QLatin1Char('.') || c == QLatin1Char('_') || c == QLatin1Char('&')
               || c == QLatin1Char('-');
    });
}
}

bool parseLinkChoice(const QString &value, LinkChoice *choice, QString *error)
{
    if (value == QLatin1String("all")) {
        choice->mode = LinkChoice::Gang;
        choice->ports.clear();
        return true;
    }
    QStringList ports;
    for (const QString &part : value.split(QLatin1Char(','))) {
        const QString port = part.trimmed();
        // A port becomes part of a lock file's name: nothing that could leave the lock folder.
        if (!isPortName(port)) {
            *error = QCoreApplication::translate("cli", "--link takes a port (see tarnquill-cli links), a comma list of ports or all");
            return false;
        }
        if (!ports.contains(port))
            ports << port;
    }
    choice->mode = value.contains(QLatin1Char(',')) ? LinkChoice::Gang : LinkChoice::Port;
    choice->ports = ports;
    return true;
}

bool emulatedFolders(const CliOptions &options, QStringList *folders, QString *error)
{
    folders->clear();
    if (options.emulate && options.gangWorker && !options.emulateDir.isEmpty()) {
        // A gang's worker gets the list its parent checked already: no second resolving of every folder.
        *folders = options.emulateDir.split(QLatin1Char(','));
        return true;
    }
    return !options.emulate || emulatedFolderList(options.emulateDir, folders, error);
}

bool resolveLinkChoice(CliOptions &options, LinkChoice *choice, QString *error)
{
    *choice = LinkChoice();
    if (!options.link.isEmpty() && !parseLinkChoice(options.link, choice, error))
        return false;
    QStringList folders;
    if (!emulatedFolders(options, &folders, error))
        return false;
    // A gang's worker runs one Link of the gang and leaves the count to the parent.
    if (options.expect > 0 && !choice->isGang() && !options.gangWorker) {
        *error = QCoreApplication::translate("cli", "--expect counts the Links of a gang: use it with --link all or a list of ports");
        return false;
    }
    if (!options.emulate || choice->mode != LinkChoice::Port)
        return true;
    for (int i = 0; i < folders.size(); ++i) {
        if (emulatedPort(i) == choice->ports.first()) {
            options.emulateDir = folders[i];
            return true;
        }
    }
    *error = QCoreApplication::translate("cli", "no emulated Link at port %1 (emu1 to emu%2)").arg(choice->ports.first()).arg(folders.size());
    return false;
}
