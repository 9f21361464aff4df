#pragma once

#include "filemessages.h"
#include "chip/mcuinfo.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

class QIODevice;

// Project files (.mprj): enabled areas, their images, sizes and checksums, the chip model and the
// production settings. Little-endian; version 1 is written, versions 1 and 0 are read.
constexpr int PROJECT_HEADER_SIZE = 18;
constexpr int PROJECT_INFO_SIZE = 128;
constexpr int PROJECT_NAME_SIZE = 16;
constexpr int PROJECT_V0_NAME_SIZE = 10;
constexpr int PROJECT_CALIBRATION_SIZE = 4;  // the clock, a float, when clock calibration is on
constexpr uint8_t PROJECT_FLAG_ON = 0xFA;

// The bytes saveProject writes for the current state; the password block takes fresh random bytes.
QByteArray projectBytes();

// 0 written, -1 empty path, -3 cannot write (the previous file stays whole; the reason in *error).
int saveProject(const QString &path, QString *error = nullptr);

// Selects the stored model in the window (or the command line) without resetting the images just loaded.
using SelectChipFn = std::function<void(const QString &name)>;

// Reads a project into the images and settings. `chips` is the window's chip list, where the stored model
// is looked up; `selectChip` runs only on success. Results: 0 loaded, -1 empty path or a short header, info
// or name read, -3 cannot open, or not a regular file of a project's size (the reason in the log), -4
// header checksum wrong, -5 info checksum wrong, -6 an area failed (short read, checksum, or a stored size
// beyond the image or the chip's area), -7 model not in `chips` (either version: an all-zero file is a
// well-formed version 0 that names no model), -8 an enabled serial number the editors could not have set
// (a warning box with the reason).
int loadProject(const QString &path, const QVector<McuInfo> &chips, const SelectChipFn &selectChip,
                const FileMessages &msgs);
int loadProjectFrom(QIODevice &in, const QVector<McuInfo> &chips, const SelectChipFn &selectChip,
                    const FileMessages &msgs);
