#include "linkports.h"

#include "linkstate.h"

#include <atomic>

namespace {
std::atomic<LinkLocation (*)(const QString &)> s_locator{nullptr};
}

LinkLocation linkLocationOfPath(const QString &path)
{
    const auto locator = s_locator.load();
    return locator ? locator(path) : platformLinkLocation(path);
}

void setLinkLocator(LinkLocation (*locator)(const QString &path))
{
    s_locator.store(locator);
}

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
