#pragma once

#include <QString>

#include <atomic>
#include <cstdint>

// The Link's own firmware as chosen by the user: data in g_ucAppBinBuf / g_nAppBinSize (chip/images.h),
// version fields from the file name "<free>-<HH>-<SSSSSS>.bin".
extern QString up_datHardware;   // two decimal digits
extern QString up_datSoftware;   // six decimal digits
extern std::atomic<uint8_t> g_bAppBinLoaded;  // a firmware file was chosen and read
extern uint16_t g_nAppBinCheckSum;  // 16-bit sum of the firmware image, computed by the upgrade

// Results of reading a firmware file.
enum FirmwareFileResult {
    FirmwareRead = 0,
    FirmwareEmptyPath = -1,
    FirmwareMissing = -2,
    FirmwareUnreadable = -3,
    FirmwareBadName = -4,  // name lacks a 2-digit hardware and a 6-digit software field
};

constexpr uint32_t FIRMWARE_MAX_SIZE = 204800;

// Hardware and software fields of a firmware file name (path allowed): the part before the first "."
// of the base name, split at "-", fields 1 and 2. False unless they hold >= 2 and >= 6 digits only.
bool parseFirmwareName(const QString &path, QString &hardware, QString &software);

// Reads the raw file into g_ucAppBinBuf and sets g_nAppBinSize: 0, -1 empty path, -2 missing, -3 cannot be
// opened. A file above 204,800 bytes is cut; *truncated tells the caller to warn.
int readFirmwareFile(const QString &path, bool *truncated = nullptr);

// The whole choice after the file dialog: checks the name (-4, nothing changed), sets up_datHardware /
// up_datSoftware, reads the file; g_bAppBinLoaded = 1 only on 0.
int loadFirmwareFile(const QString &path, bool *truncated = nullptr);
