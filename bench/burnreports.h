#pragma once

#include <QString>
#include <QVector>

#include <cstdint>

// The HID reports a burn needs at the least, from the frame rules: a simple command is one 64-byte frame
// and one answer; a block write sends, per chunk of up to 256 bytes, the frame plus the chunk in 64-byte
// reports, and reads one answer; a block read sends one frame per chunk and reads the chunk in 64-byte
// reports.
struct ReportCount
{
    int sent = 0;
    int received = 0;
};

struct BurnStep
{
    enum Kind { Simple, BlockWrite, BlockRead };
    QString name;
    Kind kind;
    uint32_t bytes;  // data bytes of a block command
};

ReportCount minimumReports(const QVector<BurnStep> &steps);

// The commands of one burn of a chip that answers at once, with the flash and the BootLoader area enabled,
// an I2C target and no IDCODE protection.
QVector<BurnStep> flashAndBootLoaderBurn(uint32_t flashBytes, uint32_t bootLoaderBytes, uint32_t sectorBytes);

// The Link's own waits in such a burn (erase pause, pause after every flash and BootLoader chunk), in ms.
int linkWaitMs(uint32_t flashBytes, uint32_t bootLoaderBytes);
