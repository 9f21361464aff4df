#include "linknames.h"

#include "link/linkstate.h"

LinkArrival classifyArrival(const QString &interfaceName)
{
    const QString name = interfaceName.toUpper();
    if (name.contains(QLatin1String(LINK_IAP_INTERFACE_NAME)))
        return LinkArrival::Iap;
    if (name.contains(QLatin1String(LINK_INTERFACE_NAME)))
        return LinkArrival::Normal;
    return LinkArrival::None;
}

LinkRemoval classifyRemoval(const QString &interfaceName)
{
    const QString name = interfaceName.toUpper();
    LinkRemoval r;
    r.normal = name.contains(QLatin1String(LINK_INTERFACE_NAME));
    r.iap = name.contains(QLatin1String(LINK_IAP_INTERFACE_NAME));
    return r;
}

QString linkInterfaceName(uint16_t vendorId, uint16_t productId, const QString &serial)
{
    return QString::asprintf("USB#VID_%04X&PID_%04X#", vendorId, productId) + serial;
}
