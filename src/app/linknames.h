#pragma once

#include <QString>

// How the window reads a Link interface name from a hot-plug notice. Names are matched as substrings
// after upper-casing; the IAP name wins over the normal one on arrival.
enum class LinkArrival { None, Iap, Normal };

struct LinkRemoval
{
    bool normal = false;  // the Link in normal mode left: show disconnected, clear g_bIapArrived
    bool iap = false;     // the IAP-mode Link left: logged only
};

LinkArrival classifyArrival(const QString &interfaceName);
LinkRemoval classifyRemoval(const QString &interfaceName);

// "USB#VID_1122&PID_3344#<serial>", the name a hot-plug source reports for a Link.
QString linkInterfaceName(uint16_t vendorId, uint16_t productId, const QString &serial);

// What the window knows about its Link, shown in words beside the Link icon.
// The first three are the worker's LinkFound values.
enum class LinkState { None = 0, Connected = 1, Busy = 2, Searching = 3 };
QString linkStateText(LinkState state, bool emulated);
// The tooltip: what to do about it.
QString linkStateHint(LinkState state, bool emulated);
