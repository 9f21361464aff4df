#include "linkselection.h"

#include "cliargs.h"
#include "emulator/statefolder.h"
#include "link/hidbackend.h"
#include "link/linkports.h"
#include "link/linkstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

bool parseLinkChoice(const QString &value, LinkChoice *choice, QString *error)
{
    static const QRegularExpression portForm(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._&-]*$"));
    if (value == QLatin1String("all")) {
        choice->mode = LinkChoice::Gang;
        choice->ports.clear();
        return true;
    }
    QStringList ports;
    for (const QString &part : value.split(QLatin1Char(','))) {
        const QString port = part.trimmed();
        // A port becomes part of a lock file's name: nothing that could leave the lock folder.
        if (!portForm.match(port).hasMatch()) {
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

namespace {
// The folder a path names, links followed where it exists already.
QString resolvedFolder(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}
}

bool emulatedFolders(const CliOptions &options, QStringList *folders, QString *error)
{
    folders->clear();
    if (!options.emulate)
        return true;
    if (options.emulateDir.isEmpty()) {
        *folders << QString();
        return true;
    }
    QStringList resolved;
    for (const QString &folder : options.emulateDir.split(QLatin1Char(','))) {
        if (folder.isEmpty()) {
            *error = QCoreApplication::translate("cli", "--emulate=DIR1,DIR2,... has an empty folder");
            return false;
        }
        // One folder is one Link: given twice (D and D/, or a link to D) it would answer as two. A gang's
        // worker gets the list its parent checked already.
        if (options.gangWorker) {
            *folders << folder;
            continue;
        }
        const int earlier = resolved.indexOf(resolvedFolder(folder));
        if (earlier >= 0) {
            *error = QCoreApplication::translate("cli", "--emulate: %1 and %2 are the same folder; each Link needs a folder of its own")
                         .arg(folders->at(earlier), folder);
            return false;
        }
        resolved << resolvedFolder(folder);
        *folders << folder;
    }
    return true;
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

QString emulatedPort(int index)
{
    return QStringLiteral("emu%1").arg(index + 1);
}

bool portLess(const QString &a, const QString &b)
{
    static const QRegularExpression pieces(QStringLiteral("\\d+|\\D+"));
    auto ia = pieces.globalMatch(a), ib = pieces.globalMatch(b);
    while (ia.hasNext() && ib.hasNext()) {
        const QString pa = ia.next().captured(), pb = ib.next().captured();
        if (pa == pb)
            continue;
        const bool na = pa.at(0).isDigit(), nb = pb.at(0).isDigit();
        if (na && nb)
            return pa.size() != pb.size() ? pa.size() < pb.size() : pa < pb;  // plain digits: longer is larger
        return pa < pb;
    }
    return !ia.hasNext() && ib.hasNext();
}

QString portOfPath(const QString &path)
{
    const QString port = linkLocationOfPath(path).port;
    return port.isEmpty() ? QFileInfo(path).fileName() : port;
}

QVector<AttachedLink> attachedLinks(const CliOptions &options)
{
    QVector<AttachedLink> links;
    QStringList folders;
    QString error;
    if (options.emulate) {
        if (emulatedFolders(options, &folders, &error)) {
            // A pulled-out Link is not attached, as a real one vanishes from the bus; its port stays its own.
            for (int i = 0; i < folders.size(); ++i) {
                if (folders[i].isEmpty() || StateFolder(folders[i]).linkPluggedIn())
                    links.push_back({emulatedPort(i), folders[i], false});
            }
        }
        return links;
    }
    for (const std::string &rawPath : hidBackend().enumerate(LINK_VENDOR_ID, LINK_PRODUCT_ID)) {
        const QString path = QString::fromStdString(rawPath);
        const QString port = portOfPath(path);
        const bool known = std::any_of(links.cbegin(), links.cend(), [&port](const AttachedLink &l) { return l.port == port; });
        if (!known)
            links.push_back({port, path, linkLocationOfPath(path).iap});
    }
    std::sort(links.begin(), links.end(), [](const AttachedLink &a, const AttachedLink &b) { return portLess(a.port, b.port); });
    return links;
}
