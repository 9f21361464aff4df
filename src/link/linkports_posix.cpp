#include "sysfslinkports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
// A USB device's folder is named after its bus and port chain; its interfaces add ":config.interface".
bool isUsbDeviceFolder(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d+-\\d+(\\.\\d+)*$"));
    return pattern.match(name).hasMatch();
}

QString readAttribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(256)).trimmed();
}
}

LinkLocation sysfsLinkLocation(const QString &sysfsRoot, const QString &hidrawPath)
{
    LinkLocation location;
    const QString node = QFileInfo(hidrawPath).fileName();
    if (!node.startsWith(QLatin1String("hidraw")))
        return location;
    const QString device = QFileInfo(QStringLiteral("%1/class/hidraw/%2/device").arg(sysfsRoot, node)).canonicalFilePath();
    if (device.isEmpty())
        return location;
    // Walk up from the HID device through the interface to the USB device (hubs sit further up).
    QDir dir(device);
    do {
        if (isUsbDeviceFolder(dir.dirName())) {
            location.port = dir.dirName();
            location.iap = interfaceNameIsIap(readAttribute(dir.filePath(QStringLiteral("serial"))));
            return location;
        }
    } while (dir.cdUp() && !dir.isRoot());
    return location;
}

LinkLocation platformLinkLocation(const QString &path)
{
    if (!path.startsWith(QLatin1String("/dev/")))
        return {QString(), interfaceNameIsIap(path)};
    return sysfsLinkLocation(QStringLiteral("/sys"), path);
}
