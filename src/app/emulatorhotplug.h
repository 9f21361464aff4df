#pragma once

#include "hotplugsource.h"

class LinkEmulator;
class QTimer;

// Hot-plug notices of the built-in Link emulator. The emulator reports on whichever thread drove the change;
// the signals reach the window queued. A timer lets re-enumerations fall due while the window is idle.
class EmulatorHotplugSource : public HotplugSource
{
    Q_OBJECT

public:
    explicit EmulatorHotplugSource(LinkEmulator &emulator, QObject *parent = nullptr);
    ~EmulatorHotplugSource() override;

private:
    LinkEmulator &m_emulator;
    QTimer *m_pollTimer;
};
