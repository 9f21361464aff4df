#pragma once

#include "linkports.h"

// Places a hidraw node ("/dev/hidraw3") in the sysfs tree under `sysfsRoot` ("/sys" on a running system):
// class/hidraw/<node>/device leads into the USB device's folder, whose name is the port ("1-1.2") and
// whose serial attribute tells the IAP interface apart. An empty port when the node is not in the tree.
LinkLocation sysfsLinkLocation(const QString &sysfsRoot, const QString &hidrawPath);
