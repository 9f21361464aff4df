#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>

// The six programmable areas as the command line names them, over the process-wide images.
enum class Area { Rom, Bl, Ee, Nvr1, Nvr2, Nvr3 };

QVector<Area> allAreas();                  // in the order rom, bl, ee, nvr1, nvr2, nvr3
QString areaName(Area area);               // "rom", "bl", ...
bool areaFromName(const QString &name, Area *area);

bool &areaEnabled(Area area);              // g_bEnBin, g_bEnBL, ...
QVector<Area> enabledAreas();
void setEnabledAreas(const QVector<Area> &areas);  // exactly these

uint8_t *areaImage(Area area);
uint32_t areaLength(Area area);            // the area's bytes on the current chip
uint32_t areaDataSize(Area area);          // g_nBinSize / g_nNVRBinSize for rom and bl, else areaLength
uint32_t areaChipAddress(Area area);       // chip address of the area's first byte (NVR address for NVR areas)
uint16_t &areaChecksum(Area area);         // g_nBinCheckSum, g_nNVRBinCheckSum, ...
uint16_t erasedChecksum(Area area);        // sum of an erased area (all 0xFF) on the current chip

// Brings the checksum of every enabled area in line with its image (fills rom and bl behind their data).
void refreshChecksums();

// Why the current chip cannot take `area`; empty when it can.
QString areaUnavailableReason(Area area);

QString hex4(uint16_t value);              // "%04X"
