#pragma once

#include <QString>

// Where a Link is plugged in. Every Link answers with the same serial string, so the USB port is the only
// name that tells two Links apart; it stays the same when a Link re-enumerates (after a reset or a firmware
// upgrade, also in IAP mode).
struct LinkLocation
{
    QString port;      // "1-1.2" (USB bus and port chain); empty when the path cannot be placed
    bool iap = false;  // the Link's IAP interface
};

// The location of the HID interface at `path` as the HID backend enumerates it. Linux: from sysfs. Windows:
// the instance part of the interface path (see linkports_win.cpp).
LinkLocation linkLocationOfPath(const QString &path);
// The platform's rule behind linkLocationOfPath (linkports_posix.cpp, linkports_win.cpp).
LinkLocation platformLinkLocation(const QString &path);
// Tests place paths without a sysfs tree; nullptr puts the platform's rule back.
void setLinkLocator(LinkLocation (*locator)(const QString &path));

// The Link's interface names carry its mode ("...#KVO_LINK_IAP"), as do the emulator's paths.
bool interfaceNameIsIap(const QString &name);

// The name of the cross-process lock of the Link at `port`: one lock per Link, shared by every program
// instance, so no two ever talk to one Link.
QString linkLockName(const QString &port);
