#include "winhotplug.h"

#include <QDebug>
#include <QWidget>

#include <windows.h>
#include <dbt.h>
#include <initguid.h>
#include <usbiodef.h>

WinHotplugSource::~WinHotplugSource()
{
    if (m_notification)
        UnregisterDeviceNotification(m_notification);
}

void WinHotplugSource::attach(QWidget &window)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
    m_notification = RegisterDeviceNotificationW(reinterpret_cast<HANDLE>(window.winId()), &filter,
                                                 DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!m_notification)
        qDebug() << "RegisterDeviceNotification error";
}

void WinHotplugSource::nativeEvent(const QByteArray &eventType, void *message)
{
    if (eventType != "windows_generic_MSG")
        return;
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message != WM_DEVICECHANGE || !msg->lParam)
        return;
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(msg->lParam);
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return;
    const auto *broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(header);
    const QString name = QString::fromWCharArray(broadcast->dbcc_name).toUpper();
    if (msg->wParam == DBT_DEVICEARRIVAL)
        emit deviceArrived(name);
    else if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
        emit deviceRemoved(name);
}

HotplugSource *createSystemHotplugSource() { return new WinHotplugSource; }
