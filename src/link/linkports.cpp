#include "linkports.h"

#include "linkstate.h"

bool interfaceNameIsIap(const QString &name)
{
    // The IAP interface differs from the normal one only in its serial string, the last field of the name.
    const QString iapName = QLatin1String(LINK_IAP_INTERFACE_NAME);
    const QString iapSerial = iapName.mid(iapName.lastIndexOf(QLatin1Char('#')) + 1);
    return name.contains(iapSerial, Qt::CaseInsensitive);
}

QString linkLockName(const QString &port)
{
    return QStringLiteral("tarnquill_link_") + port;
}
