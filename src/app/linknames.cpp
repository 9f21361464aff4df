#include "linknames.h"

#include <QCoreApplication>

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

QString linkStateText(LinkState state, bool emulated)
{
    switch (state) {
    case LinkState::Connected:
        return emulated ? QCoreApplication::translate("LinkState", "Link: 模拟器")
                        : QCoreApplication::translate("LinkState", "Link已连接");
    case LinkState::Busy:
        return QCoreApplication::translate("LinkState", "Link忙：正被其他程序使用");
    case LinkState::Searching:
        return QCoreApplication::translate("LinkState", "正在查找Link...");
    case LinkState::None:
        break;
    }
    return emulated ? QCoreApplication::translate("LinkState", "模拟Link已拔出")
                    : QCoreApplication::translate("LinkState", "没有Link：请插上Link");
}

QString linkStateHint(LinkState state, bool emulated)
{
    switch (state) {
    case LinkState::Connected:
        return emulated ? QCoreApplication::translate("LinkState", "所有操作都发给内置的Link模拟器，不会烧写真实的芯片")
                        : QString();
    case LinkState::Busy:
        return QCoreApplication::translate("LinkState", "另一个程序(例如命令行烧录)正在使用Link；它结束后这里会自动变为已连接");
    case LinkState::Searching:
        return QString();
    case LinkState::None:
        break;
    }
    return emulated ? QCoreApplication::translate("LinkState", "模拟器菜单中可以重新插上模拟Link")
                    : QCoreApplication::translate("LinkState", "用USB线把Link接到这台电脑上");
}
