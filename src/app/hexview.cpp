#include "hexview.h"

#include <algorithm>

namespace {
const char kHex[] = "0123456789ABCDEF";
}

QString romViewText(const uint8_t *data, uint32_t size)
{
    // 16 bytes take 16 × 3 + 1 characters including the extra blank and the line break.
    QString text;
    text.reserve(static_cast<int>((size / 16 + 1) * 49));
    for (uint32_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        text += QLatin1Char(kHex[b >> 4]);
        text += QLatin1Char(kHex[b & 0x0F]);
        const uint32_t column = i % 16;
        if (column == 15 || i + 1 == size)
            text += QLatin1Char('\n');
        else if (column == 7)
            text += QLatin1String("  ");
        else
            text += QLatin1Char(' ');
    }
    return text;
}

QString gutterText(int firstBlock, int line)
{
    return QString::asprintf("%04X  ", (firstBlock + line) * 16);
}

int gutterWidth(int blockCount, int digitAdvance)
{
    int digits = 1;
    for (int max = std::max(1, blockCount); max >= 10; max /= 10)
        ++digits;
    return digits * digitAdvance + 30;
}

QString cellText(uint32_t value, bool wide)
{
    return QString::asprintf(wide ? "%04X" : "%02X", value);
}

bool parseCell(const QString &text, bool wide, uint32_t *value)
{
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (!ok || v > (wide ? 0xFFFFu : 0xFFu))
        return false;
    *value = v;
    return true;
}

uint8_t fillValueFromText(const QString &text)
{
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 16);
    if (!ok || v < 0)
        return 0;
    return static_cast<uint8_t>(std::min<qlonglong>(v, 255));
}
