#pragma once

#include "chip/mcuinfo.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// Byte maps of the chip options kept in the NVR2 and NVR3 images, with no widget in sight: the user
// configuration (userCfgDialog), the NVR2 option controls and the NVR3 trim/mask markers of the window, and
// the factory-parameter view. Offsets are from the first byte of the image.
namespace nvropt {

constexpr uint8_t On = 0xAA;
constexpr uint8_t Off = 0xFF;
constexpr uint8_t ModeOn = 0x5A;        // the single-byte NVR2 mode options
constexpr uint8_t MaskSecond = 0x68;    // second byte of a two-byte mask marker

constexpr uint32_t SmallChipId = 0x2710;     // VR5K2710: small pin list, fewer user options
constexpr uint32_t HighZDefaultChipId = 0x2610;  // VR5K2610: P26 defaults to high impedance

bool allBytes(const uint8_t *image, int offset, int length, uint8_t value);
void fillBytes(uint8_t *image, int offset, int length, uint8_t value);

// ---- User configuration (NVR2) ----

struct UserCfg
{
    bool readProtect = false;
    bool writeProtect = false;
    int resetPin1Mode = 0;  // 0x30: item 1 "高阻" (P26, P02 on the small chip)
    int resetPin2Mode = 0;  // 0x31: item 1 "复位" (P01)
    int powerOnDelay = 0;   // 0x38: item 1 "关闭"
    int bootSelect = 0;     // 0x39: item 1 "BootLoader"
    bool i2c = false;
    int sda = -1;           // pin index, -1 = no selection
    int scl = -1;
    bool uart = false;
    int tx = -1;
    int rx = -1;
    bool lock = false;
};

UserCfg readUserCfg(const uint8_t *image);

// Fills the first 2,048 bytes with 0xFF and writes the fields; the small chip gets no write protection,
// P01 mode or boot source.
void writeUserCfg(uint8_t *image, const UserCfg &cfg, bool smallChip);

// "P00".."P07", "P10".."P17", "P20".."P27", "P30", "P31"; the small chip stops at "P21".
QStringList pinList(bool smallChip);

// Pin rules of the dialog's OK: empty when the pins are fine, else the text of the "错误" box.
QString checkPins(const UserCfg &cfg);

// ---- NVR2 option controls of the window ----

struct Nvr2Options
{
    bool idcode = false;
    uint8_t idcode0 = Off;
    uint8_t idcode1 = Off;
    uint8_t idcode2 = Off;
    bool codeReadProtect = false;
    bool highZ = false;
    bool porDelayOff = false;
    bool nvrStart = false;
    bool userNvrLocked = false;
};

Nvr2Options readNvr2Options(const uint8_t *image);

void setIdcode(uint8_t *image, bool on);                  // 0x00, 16 bytes
void setIdcodeByte(uint8_t *image, int which, uint8_t v); // which 0..2 → 0x11..0x13
void setCodeReadProtect(uint8_t *image, bool on);         // 0x20, 16 bytes
void setResetPinHighZ(uint8_t *image, bool highZ);        // 0x50
void setPorDelayOff(uint8_t *image, bool on);             // 0x51
void setNvrStart(uint8_t *image, bool on);                // 0x52
void setUserNvrLocked(uint8_t *image, bool on);           // 0x60, 32 bytes

// Visibility of the NVR2 option groups from strNvr2Options: five flags (IDCODE, read protection, reset pin,
// POR delay, NVR start). A string of fewer than six fields is padded with "0" and reported as malformed.
struct Nvr2Visibility
{
    bool show[5] = {false, false, false, false, false};
    bool wellFormed = false;
};
Nvr2Visibility nvr2Visibility(const QString &options);

// Hexadecimal entry of an IDCODE byte: true and *value to store; false with *warn when a box is due.
bool parseIdcode(const QString &text, uint8_t *value, bool *warn);

// ---- NVR3 markers ----

// The HRC marker, read and written at one offset: 0x0E, the byte the factory trim table names as the
// HRC configuration's valid flag on every chip of the family.
constexpr int HrcMarkerOffset = 0x0E;

struct Nvr3Marker
{
    const char *objectName;
    int offset;
    int length;     // 1 = one-byte marker, 2 = 0xAA 0x68 mask marker, 32 = lock
};

extern const Nvr3Marker kNvr3Markers[13];
const Nvr3Marker *nvr3Marker(const QString &objectName);
void setNvr3Marker(uint8_t *image, const Nvr3Marker &marker, bool on);
bool nvr3MarkerOn(const uint8_t *image, const Nvr3Marker &marker);

constexpr int MadrOffset = 0x23;
constexpr int ChipOffset = 0x50;
constexpr uint32_t MadrMax = 0x80;

// MADR and CHIP entries: true and *value to store, else whether a box is due (only while NVR3 is enabled).
bool parseMadr(const QString &text, uint8_t *value, bool *warn);
bool parseChip(const QString &text, uint16_t *value, bool *warn);
QString madrText(const uint8_t *image);
QString chipText(const uint8_t *image);

// ---- Factory parameters ----

// The log line of the HRC frequency at 0x11/0x12 (kHz): "主频: 24.00MHz", or "主频: ERROR!" outside
// 19.00-33.00 MHz.
QString factoryClockLine(const uint8_t *nvr3);

struct FactoryRow
{
    QString address;      // lower-case hexadecimal, no leading zeros
    QString value;        // two lower-case hexadecimal digits
    QString description;  // empty when the address has none
};
FactoryRow factoryRow(const McuInfo &mcu, const uint8_t *nvr3, int row);

// Does the rolling serial number, when it sits in the NVR area, reach into [from, to)?
bool rollingInNvrRange(uint32_t from, uint32_t to);

} // namespace nvropt
