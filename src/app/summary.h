#pragma once

#include <QString>

#include <cstdint>

// What the settings summary lists, in its order.
struct SummaryFlags
{
    bool rom = false, bootLoader = false, eeprom = false, nvr1 = false, userCfg = false, nvr3 = false;
    uint32_t nvr3Page = 0;
    bool rollCode = false, encryption = false;
    bool limit = false, autoBurner = false, uartMode = false, uploadProtect = false, autoWrite = false;
};

// "烧录项: " followed by the enabled items joined by "-".
QString settingsSummaryText(const SummaryFlags &flags);

// The flags as the process-wide settings hold them now.
SummaryFlags currentSummaryFlags();
