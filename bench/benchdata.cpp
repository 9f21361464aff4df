#include "benchdata.h"

namespace {
char hexDigit(unsigned v)
{
    return "0123456789ABCDEF"[v & 0xF];
}

void appendByte(QByteArray &out, unsigned v)
{
    out.append(hexDigit(v >> 4));
    out.append(hexDigit(v));
}
}

void fillPattern(uint8_t *buf, uint32_t size, uint32_t seed)
{
    uint32_t x = seed * 2654435761u + 1;
    for (uint32_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        buf[i] = static_cast<uint8_t>(x);
    }
}

QByteArray hexText(const uint8_t *data, uint32_t size)
{
    QByteArray out;
    out.reserve(int(size / 16 * 45 + 16));
    for (uint32_t at = 0; at < size; at += 16) {
        const unsigned n = size - at < 16 ? size - at : 16;
        unsigned sum = n + (at >> 8) + (at & 0xFF);
        out.append(':');
        appendByte(out, n);
        appendByte(out, at >> 8);
        appendByte(out, at & 0xFF);
        appendByte(out, 0);
        for (unsigned i = 0; i < n; ++i) {
            appendByte(out, data[at + i]);
            sum += data[at + i];
        }
        appendByte(out, (0x100 - (sum & 0xFF)) & 0xFF);
        out.append("\r\n");
    }
    out.append(":00000001FF\r\n");
    return out;
}

McuInfo benchChip(uint32_t flashKB)
{
    McuList catalogue;
    catalogue.load();
    McuInfo chip = *findMcuByName(catalogue.list(), QStringLiteral("VR5K2610"));
    chip.nFlashSizeKB = flashKB;
    chip.nEepromSize = 512;
    return chip;
}
