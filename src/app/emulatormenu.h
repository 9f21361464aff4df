#pragma once

#include "chip/mcuinfo.h"

#include <QMenu>
#include <QVector>

class LinkEmulator;
class QAction;

// The window's rehearsal bench with --emulate: puts a chip into the emulated socket or takes it out, gives
// the chip another id (a wrong chip) and makes the next pass fail, while the window runs. The state shown is
// read from the emulator each time the menu opens, so changes made from outside (`tarnquill-cli emulator
// DIR`) are what it shows.
class EmulatorMenu : public QMenu
{
    Q_OBJECT

public:
    EmulatorMenu(LinkEmulator &emulator, const QVector<McuInfo> &chips, QWidget *parent = nullptr);

    // Refreshes the entries from the emulator (also done whenever the menu opens).
    void showState();

private:
    void askChipId();

    LinkEmulator &m_emulator;
    QAction *m_chipPresent = nullptr;
    QAction *m_failNext = nullptr;
    QMenu *m_models = nullptr;
};
