#pragma once

#include "hidconnection.h"

#include <cstdint>

// Command codes of the Link. Block commands come in a chip form (the target chip's memory) and a Link
// form (the copy the Link keeps in its external flash for stand-alone burning).
namespace LinkCode {
constexpr uint8_t InitProgrammer = 0x18;
constexpr uint8_t ExitProgrammer = 0x19;
constexpr uint8_t CheckID = 0x1B;
constexpr uint8_t EraseFlash = 0x1C;
constexpr uint8_t checkSum = 0x1F;
constexpr uint8_t SendBinSize = 0x3F;
constexpr uint8_t GetBinSize = 0x3E;
constexpr uint8_t EraseNVRBootLoader = 0x54;
constexpr uint8_t SendNVRBootLoaderSize = 0x50;
constexpr uint8_t GetNVRBootLoaderSize = 0x51;
constexpr uint8_t EraseNVR = 0x21;
constexpr uint8_t EraseEep = 0x20;
constexpr uint8_t getChipCheckSum = 0x5A;
constexpr uint8_t WriteToNvrInfomation = 0x2D;
constexpr uint8_t GetFwVersion = 0x82;

constexpr uint8_t WriteFlashChip = 0x1E;
constexpr uint8_t WriteFlashLink = 0x40;
constexpr uint8_t WriteBootLoaderChip = 0x55;
constexpr uint8_t WriteBootLoaderLink = 0x52;
constexpr uint8_t WriteNvrChip = 0x24;
constexpr uint8_t WriteNvrLink = 0x44;
constexpr uint8_t WriteEepromLink = 0x42;
constexpr uint8_t ReadFlashChip = 0x22;
constexpr uint8_t ReadFlashLink = 0x41;
constexpr uint8_t ReadBootLoaderChip = 0x56;
constexpr uint8_t ReadBootLoaderLink = 0x53;
constexpr uint8_t ReadNvrChip = 0x28;
constexpr uint8_t ReadNvrLink = 0x45;
constexpr uint8_t ReadEepromChip = 0x27;
constexpr uint8_t ReadEepromLink = 0x43;

constexpr uint8_t WriteToRolling = 0x48;
constexpr uint8_t ReadFromRolling = 0x49;
constexpr uint8_t WriteToPassword = 0xF1;
constexpr uint8_t WriteToLimit = 0x4A;
constexpr uint8_t ReadFromLimit = 0x4B;
constexpr uint8_t WriteToAotoBurner = 0x4C;
constexpr uint8_t ReadFromAotoBurner = 0x4D;
constexpr uint8_t WriteToWriterCfg = 0x4E;
constexpr uint8_t ReadFromWriterCfg = 0x4F;
constexpr uint8_t resetLink = 0x36;  // also "enter IAP mode"
constexpr uint8_t EraseExFalshDate = 0x5B;

constexpr uint8_t IapWriteChunk = 0x30;
constexpr uint8_t IapRun = 0x31;
constexpr uint8_t IapCheckSum = 0x32;
constexpr uint8_t IapErase = 0x33;
constexpr uint8_t IapWriteVersion = 0x34;
constexpr uint8_t IapReadVersion = 0x35;

constexpr uint8_t Start = 0x02;
constexpr uint8_t Marker = 0xFD;
constexpr uint8_t Ack = 0x06;
} // namespace LinkCode

// Every command the program sends to the Link. Each one is a self-contained exchange: open the interface,
// send, read, close (on every path). Results: 0 success, 1 failure; block reads also -1 (a chunk did not
// arrive in full) and -2 (a frame was not sent in full). Progress, message-label texts and the version
// go to reporter(); diagnostics go to qDebug(). Waits go through linkSleepMs().
// Sizes taken from globals or from the Link are bounded by the image they address before any byte moves.
class LinkCommands : public HidConnection
{
public:
    using HidConnection::HidConnection;

    // --- chip programming (chipcommands.cpp) ---
    int InitProgrammer();                      // 0x18: 0 when a chip answers
    int ExitProgrammer();                      // 0x19
    int CheckID(uint16_t &chipId);             // 0x1B with g_currentMcu.nID; chipId = id the chip answered
    int EraseFlash();                          // 0x1C; single-wire mode: 0 without traffic
    int checkSum(uint16_t start, uint16_t length, int &position);  // 0x1F: Link compares chip flash
    int SendBinSize();                         // 0x3F: g_nBinSize to the Link
    int GetBinSize();                          // 0x3E: g_nBinSize from the Link, limited to the chip's flash
    int EraseNVRBootLoader();                  // 0x54: nBootSectors sectors
    int SendNVRBootLoaderSize();               // 0x50: g_nNVRBinSize to the Link
    int GetNVRBootLoaderSize();                // 0x51: g_nNVRBinSize from the Link, limited to the BootLoader area
    int EraseNVR(uint16_t address, uint16_t length);  // 0x21
    int EraseEep();                            // 0x20
    int getChipCheckSum();                     // 0x5A: area sums into the enabled checksum globals
    int WriteToNvrInfomation();                // 0x2D: memory map of g_currentMcu and g_bI2CMode
    // 0x82: H, M, L (0, 0, 0 on any failure), also handed to reporter().firmwareVersion.
    int GetFwVersion(uint16_t &H, uint16_t &M, uint16_t &L);
    int GetFwVersion();                        // same, version only through reporter()

    // Block writes; `code` selects the chip or the Link form; position = failing position on a NAK.
    int WriteToFlash(int &position, uint8_t code);          // g_ucBinBuf, g_nBinSize bytes
    int WriteToNVRBootLoader(int &position, uint8_t code);  // g_ucNVRBinBuf, g_nNVRBinSize bytes
    // `length` bytes of `buffer` (a 2 KiB NVR image) to NVR address `address`; length 0 → 1.
    int WriteToNVR(int &position, uint8_t code, uint16_t address, int length, const uint8_t *buffer);
    int WriteToEeprom(int &position, uint8_t code);         // g_ucEEBuf, nEepromSize bytes

    // Block reads; position = offset reached when a chunk did not arrive.
    int ReadFromChipFlash(int &position, uint8_t code, int total);     // into g_ucBinBuf; sets g_nBinSize
    int ReadFromNVRBootLoader(int &position, uint8_t code, int total); // into g_ucNVRBinBuf; sets g_nNVRBinSize
    // `length` bytes from NVR address `address` into `buffer` (a 2 KiB NVR image).
    int ReadFromNVR(int &position, uint8_t code, uint16_t address, int length, uint8_t *buffer);
    int ReadFromEeprom(int &position, uint8_t code);                   // into g_ucEEBuf, nEepromSize bytes

    // --- offline settings (settingscommands.cpp) ---
    int WriteToRolling();       // 0x48: g_rollingSet
    int ReadFromRolling();      // 0x49: into g_rollingSet
    int WriteToPassword();      // 0xF1: g_ucPswLen and the UTF-8 bytes of g_strPsw
    int WriteToLimit();         // 0x4A: g_nLimitCount
    int ReadFromLimit();        // 0x4B: into g_nLimitCount
    int WriteToAotoBurner();    // 0x4C: g_autoBurnerSet
    int ReadFromAotoBurner();   // 0x4D: into g_autoBurnerSet
    int resetLink();            // 0x36: restarts the Link; callers ignore the result
    int WriteToWriterCfg();     // 0x4E: flags, checksums, chip name and map, nFreq
    int ReadFromWriterCfg();    // 0x4F: applies flags, checksums and the chip (looked up in g_mcuList)

    // --- programmer maintenance (maintenancecommands.cpp) ---
    // IAP upgrade with g_ucAppBinBuf / g_nAppBinSize and the version from up_datHardware / up_datSoftware.
    // 0 upgraded, 1 failed, 2 erase frame not sent; position = failing position on a refused chunk.
    int upDataFirmware(int &position);
    int EraseExFalshDate(int &position);  // 0x5B × 32: erases the Link's external flash

    // Error-status read: one report; 0 and code = second byte when it starts with 'W', else 1.
    int ReadErrorStatus(uint8_t &code);

private:
    enum class Exchange { Ok, OpenFailed, WriteFailed, ReadFailed };
    // Open, send the 64-byte frame, pause waitMs, read the answer with timeoutS; closes on every path.
    // Logs "hid write fail\n" or readFailText on the way.
    Exchange exchange(const uint8_t *frame, uint8_t *answer, int timeoutS, int waitMs = 0,
                      const char *readFailText = "hid read fail\n");
    // exchange() plus the status check: 0 on ACK, else failFormat (with the status) to the message label.
    int simpleCommand(const uint8_t *frame, uint8_t *answer, int timeoutS, const char *failFormat,
                      int waitMs = 0, const char *readFailText = "hid read fail\n");
    int blockWrite(int &position, uint8_t code, const uint8_t *source, int total, uint16_t base,
                   int pauseMs, int timeoutS, bool withProgress);
    struct ReadTexts {
        const char *writeError;
        const char *readError;
        const char *afterChunk;  // printf format with the offset reached, or null
    };
    int blockRead(int &position, uint8_t code, uint8_t *destination, int total, uint16_t base, int timeoutS,
                  bool withProgress, const ReadTexts &texts);
    void labelFailure(const char *format, uint8_t status);

    // The steps of upDataFirmware, in order; each 0 or the command's result.
    void iapEnter();
    int iapErase(int size);
    int iapWriteChunks(int size, int &position);
    int iapCheckSum(int size);
    int iapWriteVersion();
    int iapRun();
};
