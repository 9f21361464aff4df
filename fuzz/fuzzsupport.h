#pragma once

#include "chip/images.h"
#include "production/productionsettings.h"
#include "chip/mcuinfo.h"

#include <QtGlobal>
#include <QVector>

#include <cstdio>
#include <cstdlib>

// Shared set-up of the loader fuzz targets: a quiet debug stream and the catalogue plus one chip with an
// NVR1 area and a full-size EEPROM, so every area of the loaders is reachable.
namespace fuzzsupport {

inline void dropMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

inline QVector<McuInfo> &chips()
{
    static QVector<McuInfo> list;
    return list;
}

inline void init()
{
    qInstallMessageHandler(dropMessages);
    McuList catalogue;
    catalogue.load();
    chips() = catalogue.list();
    McuInfo nvr1 = chips().first();
    nvr1.strName = QStringLiteral("NV1CHIP");
    nvr1.nBootSectors = 0;
    nvr1.nNvr1Page = 1;
    nvr1.nNvr1Sectors = 1;
    nvr1.nEepromSize = NVR_BUF_SIZE;
    nvr1.nFlashSizeKB = 64;
    chips().append(nvr1);
}

// Makes one of the chips current, as a selection would.
inline void selectChip(uint8_t pick)
{
    g_currentMcu = chips().at(pick % chips().size());
    resetImages();
    resetProduction();
}

inline void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace fuzzsupport
