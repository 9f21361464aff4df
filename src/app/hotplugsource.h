#pragma once

#include <QObject>
#include <QString>

// Reports the Link coming and going under Windows-style interface names
// ("USB#VID_1122&PID_3344#<serial>"); the window matches them.
class HotplugSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void deviceArrived(const QString &interfaceName);
    void deviceRemoved(const QString &interfaceName);
};
