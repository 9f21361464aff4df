#pragma once

#include <QString>

#include <cstdint>

// One described trim byte of the NVR3 area: its NVR address and what it holds (UTF-8 Chinese source text, the
// same in every language; trimDescriptionText gives it in the running language).
struct NvrFacInfo
{
    uint32_t nAddr;
    const char *strDescription;
};

constexpr int NVR_FAC_INFO_COUNT = 41;
constexpr int NVR_FAC_INFO_SMALL_COUNT = 18;

extern const NvrFacInfo g_nvrFacInfo[NVR_FAC_INFO_COUNT];            // every chip but 0x2710
extern const NvrFacInfo g_nvrFacInfoSmall[NVR_FAC_INFO_SMALL_COUNT]; // chip 0x2710

constexpr uint32_t SMALL_TRIM_CHIP_ID = 0x2710;

QString trimDescriptionText(const char *description);
