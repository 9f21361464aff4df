#pragma once

#include "cli/clitestutil.h"
#include "chip/areas.h"
#include "chip/images.h"
#include "files/projectfile.h"
#include "production/productionsettings.h"
#include "support/chipselect.h"

#include <QtTest>

#include <cstring>
#include <optional>

// The serial setting of a flash project (16 bits, hexadecimal, counting up, in the flash) and its burn limit.
struct FlashSerial
{
    bool enabled = true;
    uint8_t step = 1;
    uint32_t address = 0x1000;  // past the image's data, so the erased bytes before it are burned too
    std::optional<uint32_t> limit;  // the burn limit, 0 switched off; none: the default settings' own
};

// Saves at `path` a VR5K2610 project burning a flash image of 2000 bytes with `serial`; the image.
inline QByteArray writeFlashProject(const QString &path, const FlashSerial &serial = FlashSerial())
{
    selectMcu(QStringLiteral("VR5K2610"));
    resetImages();
    resetProduction();
    const QByteArray flash = patternBytes(2000, 5);
    std::memcpy(g_ucBinBuf, flash.constData(), size_t(flash.size()));
    g_nBinSize = uint32_t(flash.size());
    g_bEnBin = true;
    refreshChecksums();
    g_bEnRollCode = serial.enabled;
    g_rollingSet = {serial.address, 0, 0x01, serial.step, 0x01, uint8_t(0x80 | (RollingAreaFlash << 5))};
    if (serial.limit) {
        g_bEnLimit = *serial.limit != 0;
        g_nLimitCount = *serial.limit;
    }
    [&] { QCOMPARE(saveProject(path), 0); }();
    return flash;
}
