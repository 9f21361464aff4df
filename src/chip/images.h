#pragma once

#include <cstddef>
#include <cstdint>

// Process-wide memory images of every programmable area. An erased byte is 0xFF.
// The window writes them while the worker is idle; the worker writes them only in read-back operations.

constexpr uint32_t BIN_BUF_SIZE = 0x10000;     // main flash
constexpr uint32_t NVR_BIN_BUF_SIZE = 0x2000;  // BootLoader
constexpr uint32_t NVR_BUF_SIZE = 0x800;       // EEPROM, NVR1, NVR2, NVR3 each
constexpr uint32_t APP_BIN_BUF_SIZE = 0x32000; // the Link's own firmware

// Erased when the process starts.
extern uint8_t (&g_ucBinBuf)[BIN_BUF_SIZE];
extern uint8_t (&g_ucNVRBinBuf)[NVR_BIN_BUF_SIZE];
extern uint8_t (&g_ucEEBuf)[NVR_BUF_SIZE];
extern uint8_t (&g_ucNVRBuf1)[NVR_BUF_SIZE];
extern uint8_t (&g_ucNVRBuf2)[NVR_BUF_SIZE];
extern uint8_t (&g_ucNVRBuf3)[NVR_BUF_SIZE];
extern uint8_t g_ucAppBinBuf[APP_BIN_BUF_SIZE];

extern uint32_t g_nBinSize;
extern uint32_t g_nNVRBinSize;
extern uint32_t g_nAppBinSize;

extern bool g_bEnBin;
extern bool g_bEnBL;
extern bool g_bEnEE;
extern bool g_bEnNVR1;
extern bool g_bEnNVR2;
extern bool g_bEnNVR3;

extern uint16_t g_nBinCheckSum;
extern uint16_t g_nNVRBinCheckSum;
extern uint16_t g_nEECheckSum;
extern uint16_t g_nNVRCheckSum1;
extern uint16_t g_nNVRCheckSum2;
extern uint16_t g_nNVRCheckSum3;

// Sets `length` bytes to 0xFF (erased), writing only the blocks that are not erased already: an image page
// nobody wrote stays untouched, which spares a short-lived process a page fault per page.
void eraseImage(uint8_t *buf, size_t length);

// Sum of the bytes, each unsigned, modulo 65,536.
uint16_t sum16(const uint8_t *data, size_t length);

// Used lengths of the images for the current chip.
uint32_t flashSizeBytes();       // nFlashSizeKB × 1024, at most the image capacity
uint32_t bootLoaderSizeBytes();  // nBootSectors × nSectorSize, at most the image capacity
uint32_t eepromSizeBytes();      // nEepromSize, at most the image capacity
uint32_t nvrSectorBytes();       // nSectorSize, at most the image capacity

// Data side of the flash view refresh: fills the tail behind `size` with 0xFF and sets g_nBinCheckSum.
// Returns false and changes nothing when `size` exceeds the chip's flash.
bool fillBinAndSum(uint8_t *buf, uint32_t size);

// Data side of the BootLoader table refresh: fills bytes size..8191 with 0xFF and, when g_bEnBL is set,
// sets g_nNVRBinCheckSum. Returns false and changes nothing when size exceeds 8 KiB or the chip has no
// BootLoader area.
bool fillBLAndSum(uint8_t *buf, uint32_t size);

void calcEECheckSum();
void calcNVR1CheckSum();
void calcNVR2CheckSum();
void calcNVR3CheckSum();

// Clears every image (not the Link's firmware), size and enable flag. A new chip or project also needs
// resetProduction() for the production settings.
void resetImages();
