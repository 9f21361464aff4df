#include "images.h"

#include "mcuinfo.h"

#include <algorithm>
#include <cstring>

namespace {
// An image as the process starts: erased, in the program file's data rather than zeroed memory, so a page
// that is never written is never copied (eraseImage below writes only pages that are not erased already).
// A fresh page costs a fault each; a short command that clears every image would pay for all of them.
template <uint32_t N> struct ErasedImage
{
    uint8_t bytes[N];
    constexpr ErasedImage() : bytes()
    {
        for (uint32_t i = 0; i < N; ++i)
            bytes[i] = 0xFF;
    }
};
constexpr size_t kPage = 4096;
alignas(kPage) ErasedImage<BIN_BUF_SIZE> s_bin;
alignas(kPage) ErasedImage<NVR_BIN_BUF_SIZE> s_nvrBin;
alignas(kPage) ErasedImage<NVR_BUF_SIZE> s_ee;
ErasedImage<NVR_BUF_SIZE> s_nvr1;
alignas(kPage) ErasedImage<NVR_BUF_SIZE> s_nvr2;
ErasedImage<NVR_BUF_SIZE> s_nvr3;
}

uint8_t (&g_ucBinBuf)[BIN_BUF_SIZE] = s_bin.bytes;
uint8_t (&g_ucNVRBinBuf)[NVR_BIN_BUF_SIZE] = s_nvrBin.bytes;
uint8_t (&g_ucEEBuf)[NVR_BUF_SIZE] = s_ee.bytes;
uint8_t (&g_ucNVRBuf1)[NVR_BUF_SIZE] = s_nvr1.bytes;
uint8_t (&g_ucNVRBuf2)[NVR_BUF_SIZE] = s_nvr2.bytes;
uint8_t (&g_ucNVRBuf3)[NVR_BUF_SIZE] = s_nvr3.bytes;
uint8_t g_ucAppBinBuf[APP_BIN_BUF_SIZE];

uint32_t g_nBinSize = 0;
uint32_t g_nNVRBinSize = 0;
uint32_t g_nAppBinSize = 0;

bool g_bEnBin = false;
bool g_bEnBL = false;
bool g_bEnEE = false;
bool g_bEnNVR1 = false;
bool g_bEnNVR2 = false;
bool g_bEnNVR3 = false;

uint16_t g_nBinCheckSum = 0;
uint16_t g_nNVRBinCheckSum = 0;
uint16_t g_nEECheckSum = 0;
uint16_t g_nNVRCheckSum1 = 0;
uint16_t g_nNVRCheckSum2 = 0;
uint16_t g_nNVRCheckSum3 = 0;

void eraseImage(uint8_t *buf, size_t length)
{
    // Read before written: a page already erased stays shared with the program file, never copied.
    static constexpr ErasedImage<256> kErased;
    while (length > 0) {
        const size_t block = std::min(length, sizeof kErased.bytes);
        if (std::memcmp(buf, kErased.bytes, block) != 0)
            std::memset(buf, 0xFF, block);
        buf += block;
        length -= block;
    }
}

uint16_t sum16(const uint8_t *data, size_t length)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += data[i];
    return static_cast<uint16_t>(sum);
}

uint32_t flashSizeBytes()
{
    return std::min<uint32_t>(g_currentMcu.nFlashSizeKB * 1024u, BIN_BUF_SIZE);
}

uint32_t bootLoaderSizeBytes()
{
    return std::min<uint32_t>(g_currentMcu.nBootSectors * g_currentMcu.nSectorSize, NVR_BIN_BUF_SIZE);
}

uint32_t eepromSizeBytes()
{
    return std::min<uint32_t>(g_currentMcu.nEepromSize, NVR_BUF_SIZE);
}

uint32_t nvrSectorBytes()
{
    return std::min<uint32_t>(g_currentMcu.nSectorSize, NVR_BUF_SIZE);
}

bool fillBinAndSum(uint8_t *buf, uint32_t size)
{
    const uint32_t flash = flashSizeBytes();
    if (size > flash)
        return false;
    eraseImage(buf + size, flash - size);
    g_nBinCheckSum = sum16(buf, flash);
    return true;
}

bool fillBLAndSum(uint8_t *buf, uint32_t size)
{
    if (size > NVR_BIN_BUF_SIZE || g_currentMcu.nBootSectors == 0)
        return false;
    eraseImage(buf + size, NVR_BIN_BUF_SIZE - size);
    if (g_bEnBL)
        g_nNVRBinCheckSum = sum16(buf, bootLoaderSizeBytes());
    return true;
}

void calcEECheckSum() { g_nEECheckSum = sum16(g_ucEEBuf, eepromSizeBytes()); }
void calcNVR1CheckSum() { g_nNVRCheckSum1 = sum16(g_ucNVRBuf1, nvrSectorBytes()); }
void calcNVR2CheckSum() { g_nNVRCheckSum2 = sum16(g_ucNVRBuf2, nvrSectorBytes()); }
void calcNVR3CheckSum() { g_nNVRCheckSum3 = sum16(g_ucNVRBuf3, nvrSectorBytes()); }

void resetImages()
{
    eraseImage(g_ucBinBuf, sizeof g_ucBinBuf);

    g_bEnBin = g_bEnBL = g_bEnEE = false;
    g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = false;

    g_nBinSize = 0;
    g_nNVRBinSize = 0;

    eraseImage(g_ucNVRBinBuf, sizeof g_ucNVRBinBuf);
    eraseImage(g_ucEEBuf, sizeof g_ucEEBuf);
    eraseImage(g_ucNVRBuf1, sizeof g_ucNVRBuf1);
    eraseImage(g_ucNVRBuf2, sizeof g_ucNVRBuf2);
    eraseImage(g_ucNVRBuf3, sizeof g_ucNVRBuf3);
}
