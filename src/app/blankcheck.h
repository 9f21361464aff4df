#pragma once

#include <QString>

#include <cstdint>

// The six area checksums. The image's own sums and the chip's sums that a blank check reports share the
// same process-wide variables, so the window keeps the image's aside while the check runs.
struct AreaSums
{
    uint16_t bin = 0, ee = 0, nvr1 = 0, nvr2 = 0, nvr3 = 0, bootLoader = 0;
};

AreaSums currentAreaSums();
void restoreAreaSums(const AreaSums &sums);

// The log entry of a finished blank check: "-----CheckSum-----" and, for each enabled area, its label, the
// chip's checksum as four upper-case digits and the verdict "空片" (the sum of an erased area, every byte
// 0xFF) or "非空".
QString blankCheckEntry(const AreaSums &chip);
// True when every enabled area of the chip is blank.
bool blankCheckAllBlank(const AreaSums &chip);
