#pragma once

#include "production/productionsettings.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// A named range of serial numbers shared by a line, and how one is written into a chip: which area, at which
// address, how many bytes, coded in which radix (10: BCD, two digits a byte; 16: binary) and in which byte
// order. Values run from `first` towards `last` by `step`, up or down as `first` and `last` say.
struct SerialSpace
{
    enum class ByteOrder { MsbFirst, LsbFirst };  // MsbFirst: most significant byte at the lowest address

    QString name;
    uint8_t area = RollingAreaNvr;  // RollingArea
    uint32_t address = 0;           // of the first byte inside the area
    int width = 1;                  // bytes, 1 to 4
    int radix = 16;                 // 10 or 16
    int64_t step = 1;
    ByteOrder byteOrder = ByteOrder::MsbFirst;
    int64_t first = 0;
    int64_t last = 0;

    int direction() const { return last >= first ? 1 : -1; }
    // How many values the space holds.
    int64_t count() const;
    // The value at `index` (0 = first); only for 0 <= index < count().
    int64_t valueAt(int64_t index) const;
    // The largest value the width holds in the radix (99..9 or FF..F).
    int64_t largest() const;
    // Why the space cannot be kept, in the user's language; empty when it can.
    QString problem() const;
    // `value` as the chip holds it: width bytes in the space's radix and byte order.
    QByteArray coded(int64_t value) const;

    static QString byteOrderName(ByteOrder order);
    static bool byteOrderFromName(const QString &name, ByteOrder *order);
};

// A space written as a project's rolling record says (area, address, width, radix, step; the record's
// direction must agree with first and last, checked by the caller through problem()).
SerialSpace spaceFromRolling(const QString &name, const rolling_seting_t &rolling, int64_t first, int64_t last);

// A value as the command line takes it: decimal, or hexadecimal after 0x. False when it is neither or
// negative.
bool parseSerialValue(const QString &text, int64_t *value);
