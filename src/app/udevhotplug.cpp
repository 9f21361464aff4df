#include "udevhotplug.h"

#include "linknames.h"
#include "link/linkstate.h"

#include <QDebug>
#include <QSocketNotifier>

#include <libudev.h>

namespace {
QString sysattr(struct udev_device *dev, const char *name)
{
    const char *value = udev_device_get_sysattr_value(dev, name);
    return value ? QString::fromLatin1(value).trimmed() : QString();
}

bool isLink(struct udev_device *dev)
{
    bool okVendor = false;
    bool okProduct = false;
    const uint vendor = sysattr(dev, "idVendor").toUInt(&okVendor, 16);
    const uint product = sysattr(dev, "idProduct").toUInt(&okProduct, 16);
    return okVendor && okProduct && vendor == LINK_VENDOR_ID && product == LINK_PRODUCT_ID;
}
}

UdevHotplugSource::UdevHotplugSource(QObject *parent) : HotplugSource(parent)
{
    m_udev = udev_new();
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor)
        return;
    udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "usb", "usb_device");
    if (udev_monitor_enable_receiving(m_monitor) < 0) {
        qDebug() << "RegisterDeviceNotification error";
        return;
    }
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdevHotplugSource::readEvent);
    rememberAttached();
}

// A Link plugged in before the start sends no "add"; remember its serial so its removal is still known.
void UdevHotplugSource::rememberAttached()
{
    struct udev_enumerate *en = udev_enumerate_new(m_udev);
    if (!en)
        return;
    udev_enumerate_add_match_subsystem(en, "usb");
    udev_enumerate_add_match_property(en, "DEVTYPE", "usb_device");
    udev_enumerate_scan_devices(en);
    struct udev_list_entry *entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en))
    {
        struct udev_device *dev = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
        if (!dev)
            continue;
        if (isLink(dev))
            m_serialByPath.insert(QString::fromLocal8Bit(udev_device_get_devpath(dev)), sysattr(dev, "serial"));
        udev_device_unref(dev);
    }
    udev_enumerate_unref(en);
}

UdevHotplugSource::~UdevHotplugSource()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void UdevHotplugSource::readEvent()
{
    struct udev_device *dev = udev_monitor_receive_device(m_monitor);
    if (!dev)
        return;
    const QString action = QString::fromLatin1(udev_device_get_action(dev));
    const QString path = QString::fromLocal8Bit(udev_device_get_devpath(dev));
    if (action == QLatin1String("add")) {
        if (isLink(dev)) {
            const QString serial = sysattr(dev, "serial");
            m_serialByPath.insert(path, serial);
            emit deviceArrived(linkInterfaceName(LINK_VENDOR_ID, LINK_PRODUCT_ID, serial));
        }
    } else if (action == QLatin1String("remove")) {
        const auto it = m_serialByPath.find(path);
        if (it != m_serialByPath.end()) {
            const QString serial = it.value();
            m_serialByPath.erase(it);
            emit deviceRemoved(linkInterfaceName(LINK_VENDOR_ID, LINK_PRODUCT_ID, serial));
        }
    }
    udev_device_unref(dev);
}

HotplugSource *createSystemHotplugSource() { return new UdevHotplugSource; }
