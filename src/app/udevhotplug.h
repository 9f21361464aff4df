#pragma once

#include "hotplugsource.h"

#include <QHash>

struct udev;
struct udev_monitor;
class QSocketNotifier;

// USB devices of the Link's vendor and product id, seen through a udev monitor. The serial is read on
// "add" and remembered by device path, because its sysattrs are gone by the time "remove" arrives.
class UdevHotplugSource : public HotplugSource
{
    Q_OBJECT

public:
    explicit UdevHotplugSource(QObject *parent = nullptr);
    ~UdevHotplugSource() override;

    // False when the monitor could not be set up; the program then runs without hot-plug notices.
    bool isActive() const { return m_notifier != nullptr; }

private:
    void readEvent();
    void rememberAttached();

    struct udev *m_udev = nullptr;
    struct udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    QHash<QString, QString> m_serialByPath;
};
