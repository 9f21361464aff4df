#include "serialspace.h"

#include <QCoreApplication>

#include <algorithm>

int64_t SerialSpace::count() const
{
    if (step <= 0)
        return 0;
    const int64_t span = direction() > 0 ? last - first : first - last;
    return span / step + 1;
}

int64_t SerialSpace::valueAt(int64_t index) const
{
    return first + direction() * step * index;
}

int64_t SerialSpace::largest() const
{
    int64_t value = 1;
    for (int i = 0; i < width; ++i)
        value *= radix == 10 ? 100 : 256;
    return value - 1;
}

QString SerialSpace::problem() const
{
    if (name.trimmed().isEmpty() || name.size() > 64)
        return QCoreApplication::translate("ledger", "序列号空间的名称须为 1 到 64 个字符");
    if (width < 1 || width > 4)
        return QCoreApplication::translate("ledger", "序列号宽度须为 1 到 4 字节");
    if (radix != 10 && radix != 16)
        return QCoreApplication::translate("ledger", "序列号进制须为 10 或 16");
    if (area > RollingAreaFlash)
        return QCoreApplication::translate("ledger", "序列号区域须为 NVR、EEPROM 或 FLASH");
    if (step < 1)
        return QCoreApplication::translate("ledger", "序列号步长须至少为 1");
    if (first < 0 || last < 0 || first > largest() || last > largest())
        return QCoreApplication::translate("ledger", "序列号的首值和末值须在 0 到 %1 之间（%2 字节宽度）").arg(largest()).arg(width);
    return QString();
}

QByteArray SerialSpace::coded(int64_t value) const
{
    QByteArray bytes(width, '\0');
    uint64_t rest = uint64_t(value);
    // Least significant byte first, turned round below for the most-significant-first order.
    for (int i = 0; i < width; ++i) {
        if (radix == 10) {
            bytes[i] = char(((rest / 10) % 10) << 4 | (rest % 10));
            rest /= 100;
        } else {
            bytes[i] = char(rest & 0xFF);
            rest >>= 8;
        }
    }
    if (byteOrder == ByteOrder::MsbFirst)
        std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

QString SerialSpace::byteOrderName(ByteOrder order)
{
    return order == ByteOrder::MsbFirst ? QStringLiteral("msb-first") : QStringLiteral("lsb-first");
}

bool SerialSpace::byteOrderFromName(const QString &name, ByteOrder *order)
{
    if (name == QLatin1String("msb-first"))
        *order = ByteOrder::MsbFirst;
    else if (name == QLatin1String("lsb-first"))
        *order = ByteOrder::LsbFirst;
    else
        return false;
    return true;
}

SerialSpace spaceFromRolling(const QString &name, const rolling_seting_t &rolling, int64_t first, int64_t last)
{
    SerialSpace space;
    space.name = name;
    space.area = rolling.area();
    space.address = rolling.startAdd;
    space.width = (rolling.bitSize & 0x07) + 1;
    space.radix = (rolling.radix & 0x03) == 0 ? 10 : 16;
    space.step = rolling.step;
    space.first = first;
    space.last = last;
    return space;
}

bool parseSerialValue(const QString &text, int64_t *value)
{
    const QString t = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < 0 || t.startsWith(QLatin1Char('+')) || t.mid(2).startsWith(QLatin1Char('-')) || t.mid(2).startsWith(QLatin1Char('+')))
        return false;
    *value = v;
    return true;
}
