#include "linkports.h"

#include <QStringList>

// hidapi's Windows paths are device-interface names:
//   \\?\hid#vid_1122&pid_3344#7&2b3c4d5e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}
// The third field is the instance id Windows gives the HID interface under its USB parent. It is unique
// among the attached Links and, because every Link reports the same serial string, it is derived from the
// hub port rather than the serial, so it names the port. It is the documented fallback until the
// configuration manager's location paths are read; a Link moved to another port gets another name.
LinkLocation platformLinkLocation(const QString &path)
{
    LinkLocation location;
    location.iap = interfaceNameIsIap(path);
    const QStringList fields = path.split(QLatin1Char('#'));
    if (fields.size() >= 4 && fields[0].endsWith(QLatin1String("hid"), Qt::CaseInsensitive))
        location.port = fields[2].toLower();
    return location;
}
