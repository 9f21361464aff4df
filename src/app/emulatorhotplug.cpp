#include "emulatorhotplug.h"

#include "emulator/linkemulator.h"

#include <QTimer>

EmulatorHotplugSource::EmulatorHotplugSource(LinkEmulator &emulator, QObject *parent)
    : HotplugSource(parent), m_emulator(emulator), m_pollTimer(new QTimer(this))
{
    m_emulator.setHotPlugListener([this](bool arrived, const QString &name) {
        if (arrived)
            emit deviceArrived(name);
        else
            emit deviceRemoved(name);
    });
    m_pollTimer->setInterval(100);
    connect(m_pollTimer, &QTimer::timeout, this, [this] { m_emulator.poll(); });
    m_pollTimer->start();
}

EmulatorHotplugSource::~EmulatorHotplugSource()
{
    m_emulator.setHotPlugListener(nullptr);
}
