#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Reports the Link coming and going under Windows-style interface names
// ("USB#VID_1122&PID_3344#<serial>"); the window matches them.
class HotplugSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The window the notices are for. A source that registers with the window system does so here.
    virtual void attach(QWidget &window) { Q_UNUSED(window) }
    // A native event the window received. Never swallows it: the window's default handling still runs.
    virtual void nativeEvent(const QByteArray &eventType, void *message)
    {
        Q_UNUSED(eventType)
        Q_UNUSED(message)
    }

signals:
    void deviceArrived(const QString &interfaceName);
    void deviceRemoved(const QString &interfaceName);
};

// The system's own source: device notifications on Windows, a udev monitor on Linux.
HotplugSource *createSystemHotplugSource();
