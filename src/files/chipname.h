#pragma once

#include "chip/mcuinfo.h"

#include <QString>
#include <QVector>

#include <cstdint>

// Display name for a chip id read from a target: the catalogue model (or its cfg.db display name when
// cfg.db lists chips), else "ICID：" and the id as four upper-case hex digits.
QString chipNameForId(uint16_t id, const QVector<McuInfo> &catalogue, int cfgCount, const QString *cfgChip,
                      const QString *cfgName);

// The same against g_mcuList and the cfg.db globals.
QString chipNameForId(uint16_t id);

// A wrong chip for people: "需要 X，检测到 Y", the chosen model and the found one (chipNameForId of its id).
QString wrongChipText(const QString &expectedModel, const QString &foundChip);
