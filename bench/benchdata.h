#pragma once

#include "chip/mcuinfo.h"

#include <QByteArray>

#include <cstdint>

// Inputs shared by the benchmarks, made the same way on every run.

// Deterministic pseudo-random bytes, so every run parses and draws the same image.
void fillPattern(uint8_t *buf, uint32_t size, uint32_t seed);

// Intel HEX text of `size` bytes of `data` from address 0, 16-byte data records with CR LF line ends and an
// end-of-file record, as compilers and programmers emit it.
QByteArray hexText(const uint8_t *data, uint32_t size);

// A catalogue chip with a BootLoader area, given an EEPROM so that a project can hold every area; `flashKB`
// overrides its flash size (64 for a full 64 KiB image).
McuInfo benchChip(uint32_t flashKB);
