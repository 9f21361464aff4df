#include "attachedlinks.h"

#include "emulator/statefolder.h"
#include "link/hidbackend.h"
#include "link/linkports.h"
#include "link/linkstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {
// The folder a path names, links followed where it exists already.
QString resolvedFolder(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}
}

bool emulatedFolderList(const QString &emulateDir, QStringList *folders, QString *error)
{
    folders->clear();
    if (emulateDir.isEmpty()) {
        *folders << QString();
        return true;
    }
    QStringList resolved;
    for (const QString &folder : emulateDir.split(QLatin1Char(','))) {
        if (folder.isEmpty()) {
            *error = QCoreApplication::translate("cli", "--emulate=DIR1,DIR2,... has an empty folder");
            return false;
        }
        // One folder is one Link: given twice (D and D/, or a link to D) it would answer as two.
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

QVector<AttachedLink> attachedLinks(bool emulate, const QString &emulateDir)
{
    QVector<AttachedLink> links;
    if (emulate) {
        QStringList folders;
        QString error;
        if (emulatedFolderList(emulateDir, &folders, &error)) {
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
