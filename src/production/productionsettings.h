#pragma once

#include <QString>
#include <cstdint>

// Settings the Link applies when it burns stand-alone. Held process-wide; the window edits them while the
// worker is idle, the download operation sends them, the upload operation reads them back.

// Rolling serial number, 12 bytes in memory exactly as on the wire and in project files.
struct rolling_seting_t
{
    uint32_t startAdd;  // address of the number's first byte inside the selected area
    uint32_t startVal;
    uint8_t bitSize;    // bits 0-2: width in bytes minus one
    uint8_t step;
    uint8_t radix;      // bits 0-1: 0 = decimal (BCD), 1 = hexadecimal
    uint8_t flags;      // bits 5-6: area (0 NVR, 1 EEPROM, 2 FLASH); bit 7: count up

    uint8_t area() const { return (flags >> 5) & 0x03; }
    void setArea(uint8_t a) { flags = static_cast<uint8_t>((flags & ~0x60) | ((a & 0x03) << 5)); }
    bool incDec() const { return flags & 0x80; }
    void setIncDec(bool up) { flags = static_cast<uint8_t>(up ? (flags | 0x80) : (flags & ~0x80)); }
};
static_assert(sizeof(rolling_seting_t) == 12, "rolling record is 12 bytes on the wire");

enum RollingArea : uint8_t { RollingAreaNvr = 0, RollingAreaEeprom = 1, RollingAreaFlash = 2 };

// Handler-machine (auto burner) signal timing and levels, 12 bytes on the wire.
struct autoBurner_seting_t
{
    uint16_t StartTime;
    uint16_t BusyTime;
    uint16_t EotTime;
    uint16_t OkNgTime;
    uint8_t StartLevel;
    uint8_t BusyLevel;
    uint8_t OkLevel;
    uint8_t NgLevel;
};
static_assert(sizeof(autoBurner_seting_t) == 12, "auto burner record is 12 bytes on the wire");

// Little-endian wire form of the records (independent of the host's byte order).
void rollingToBytes(const rolling_seting_t &r, uint8_t out[12]);
rolling_seting_t rollingFromBytes(const uint8_t in[12]);
void autoBurnerToBytes(const autoBurner_seting_t &a, uint8_t out[12]);
autoBurner_seting_t autoBurnerFromBytes(const uint8_t in[12]);

extern rolling_seting_t g_rollingSet;
extern bool g_bEnRollCode;

extern bool g_bEnEncryption;   // offline password in use
extern QString g_strPsw;
extern uint8_t g_ucPswLen;

extern uint32_t g_nLimitCount;
extern bool g_bEnLimit;
extern autoBurner_seting_t g_autoBurnerSet;
extern bool g_bEnAutoBurner;
extern bool g_bEnUploadProtect;
extern bool g_bEnAutoWrite;
extern bool g_bUartMode;
extern bool g_bCaliAdc;
extern bool g_bCaliClock;
extern bool g_bCaliOnly;
extern bool g_bNoAdcParamCheck;
extern float g_fClockFreq;     // calibration clock in MHz

// For a new chip or project, beside resetImages(): clears the production switches (rolling number, limit,
// handler machine, upload protection, automatic burning, single-wire burning) and puts the rolling record,
// limit and handler-machine timing back to their defaults, the rolling number at the last byte of the
// current chip's NVR area. Password and calibration choices are left alone.
void resetProduction();
