#include "rollingrules.h"

#include <QCoreApplication>

namespace rolling {

QString notHexWarning()
{
    return QCoreApplication::translate("settings", "您输入的数据不是16进制,请重新输入");
}

namespace {

QString notDec()
{
    return QCoreApplication::translate("settings", "您输入的数据不是10进制,请重新输入");
}
QString flashOverflow()
{
    return QCoreApplication::translate("settings", "序列号超过FLASH空间,请重新输入");
}
QString eepromOverflow()
{
    return QCoreApplication::translate("settings", "序列号超过EEPROM空间,请重新输入");
}
QString nvrOverflow()
{
    return QCoreApplication::translate("settings", "序列号超过NVR空间,请重新输入");
}
QString mayCoverProgram()
{
    return QCoreApplication::translate("settings", "您输入的地址可能会覆盖程序地址,请重新输入");
}
QString mayCoverBootLoader()
{
    return QCoreApplication::translate("settings", "您输入的地址可能会覆盖BootLoader地址,请重新输入");
}

Outcome refuse(const QString &warning)
{
    Outcome o;
    o.verdict = Verdict::Refuse;
    o.warning = warning;
    return o;
}

Outcome store(uint64_t value)
{
    Outcome o;
    o.verdict = Verdict::Store;
    o.value = value;
    return o;
}

bool isHexPrefixOnly(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("0x") || text == QLatin1String("0X");
}

// Signed arithmetic: with no chip selected every size is 0 and the last byte of an area is −1.
int64_t lastByte(uint64_t bytes)
{
    return static_cast<int64_t>(bytes) - 1;
}

bool crossesSector(uint64_t first, uint64_t last, uint32_t sectorSize)
{
    return sectorSize == 0 || first / sectorSize != last / sectorSize;
}

} // namespace

uint64_t maxStartValue(uint8_t bitSize, uint8_t radix)
{
    const int bytes = (bitSize & 0x07) + 1;
    const uint64_t base = (radix & 0x03) == 0 ? 100 : 256;
    uint64_t limit = 1;
    for (int i = 0; i < bytes; ++i)
        limit *= base;
    return limit - 1;
}

bool startValueTooLarge(const rolling_seting_t &r)
{
    return r.startVal > maxStartValue(r.bitSize, r.radix);
}

uint32_t areaLastAddress(uint8_t area, const RollingLimits &limits)
{
    switch (area) {
    case RollingAreaFlash:
        return limits.flashBytes - 1;
    case RollingAreaEeprom:
        return limits.sectorSize - 1;
    default:
        return limits.nvrLastAddress();
    }
}

Outcome checkStartAddress(const QString &text, const rolling_seting_t &r, const RollingLimits &limits,
                          Editor editor)
{
    // The record holds a 32-bit address: a longer number is no address at all, not one to cut down.
    bool ok = false;
    const uint64_t address = text.toUInt(&ok, 16);
    if (!ok) {
        if (isHexPrefixOnly(text))
            return Outcome();
        return refuse(notHexWarning());
    }
    const uint64_t end = address + (r.bitSize & 0x07);
    const int64_t last = static_cast<int64_t>(end);

    Outcome accepted = store(address);
    const uint8_t area = r.area();
    const bool rangeChecked = editor == Editor::Window || area == RollingAreaNvr;
    if (rangeChecked) {
        if (area == RollingAreaFlash) {
            if (last > lastByte(limits.flashBytes))
                return refuse(flashOverflow());
            if (limits.binEnabled && limits.binSize >= address)
                accepted.logNote = mayCoverProgram();
            else
                accepted.clearLog = true;
        } else if (area == RollingAreaEeprom) {
            if (last > lastByte(limits.sectorSize))
                return refuse(eepromOverflow());
        } else if (limits.bootSectors == 0) {
            if (last > lastByte(limits.sectorSize))
                return refuse(nvrOverflow());
        } else {
            if (last > lastByte(uint64_t(limits.bootSectors) * limits.sectorSize))
                return refuse(nvrOverflow());
            if (limits.blEnabled && limits.blSize >= address)
                accepted.logNote = mayCoverBootLoader();
            else
                accepted.clearLog = true;
        }
    }
    if (crossesSector(address, end, limits.sectorSize))
        return refuse(QCoreApplication::translate("settings", "序列号跨越两个扇区,请重新输入"));
    return accepted;
}

Outcome checkWidth(int index, const rolling_seting_t &r, const RollingLimits &limits)
{
    if (index < 0 || index >= WidthCount)
        return Outcome();
    const uint64_t end = uint64_t(r.startAdd) + index;
    const int64_t last = static_cast<int64_t>(end);
    switch (r.area()) {
    case RollingAreaFlash:
        if (last > lastByte(limits.flashBytes))
            return refuse(flashOverflow());
        if (limits.binEnabled && limits.binSize >= end)
            return refuse(mayCoverProgram());
        break;
    case RollingAreaEeprom:
        if (last > lastByte(limits.sectorSize))
            return refuse(eepromOverflow());
        break;
    default:
        if (limits.bootSectors == 0) {
            if (last > lastByte(limits.sectorSize))
                return refuse(nvrOverflow());
        } else {
            if (last > lastByte(uint64_t(limits.bootSectors) * limits.sectorSize))
                return refuse(nvrOverflow());
            if (limits.blEnabled && limits.blSize >= end)
                return refuse(mayCoverBootLoader());
        }
        break;
    }
    if (crossesSector(r.startAdd, end, limits.sectorSize))
        return refuse(QCoreApplication::translate("settings", "序列号跨越两个扇区,请重新选择"));
    return store(static_cast<uint64_t>(index));
}

Outcome checkStartValue(const QString &text, const rolling_seting_t &r)
{
    if (text.isEmpty())
        return Outcome();
    const bool hex = (r.radix & 0x03) != 0;
    bool ok = false;
    const uint64_t value = text.toULongLong(&ok, hex ? 16 : 10);
    if (!ok)
        return refuse(hex ? notHexWarning() : notDec());
    if (value > maxStartValue(r.bitSize, r.radix))
        return refuse(QCoreApplication::translate("settings", "初始值大于位宽"));
    return store(value);
}

Outcome checkStep(const QString &text, const rolling_seting_t &r)
{
    const bool hex = (r.radix & 0x03) != 0;
    if (hex ? isHexPrefixOnly(text) : text.isEmpty())
        return Outcome();
    bool ok = false;
    const uint64_t value = text.toULongLong(&ok, hex ? 16 : 10);
    if (!ok)
        return refuse(hex ? notHexWarning() : notDec());
    if (hex ? value > 0xFF : value > 99)
        return refuse(hex ? QCoreApplication::translate("settings", "步进范围是0-0xff")
                          : QCoreApplication::translate("settings", "步进范围是0-99"));
    return store(value);
}

QString recordProblem(const rolling_seting_t &r, const RollingLimits &limits)
{
    const int width = r.bitSize & 0x07;
    if (width >= WidthCount)
        return QCoreApplication::translate("settings", "序列号位宽为%1字节，只能是1至4字节").arg(width + 1);
    if (r.area() > RollingAreaFlash)
        return QCoreApplication::translate("settings", "序列号区域%1不存在").arg(r.area());
    if ((r.radix & 0x03) > 1)
        return QCoreApplication::translate("settings", "序列号进制%1不存在").arg(r.radix & 0x03);
    if (startValueTooLarge(r))
        return QCoreApplication::translate("settings", "初始值大于位宽");
    if ((r.radix & 0x03) == 0 && r.step > 99)
        return QCoreApplication::translate("settings", "步进范围是0-99");
    // The images do not bound a stored record: only the area and its sectors.
    RollingLimits area = limits;
    area.binEnabled = area.blEnabled = false;
    const Outcome placed = checkWidth(width, r, area);
    return placed.verdict == Verdict::Refuse ? placed.warning : QString();
}

uint32_t parseInRadix(const QString &text, bool hex)
{
    bool ok = false;
    const uint32_t value = text.toUInt(&ok, hex ? 16 : 10);
    return ok ? value : 0;
}

QString passwordConflict(const rolling_seting_t &r, const RollingLimits &limits)
{
    const int64_t limit = static_cast<int64_t>(limits.nvrAreaBytes()) - 64;
    const int64_t used = int64_t(r.startAdd) + (r.bitSize & 0x07) + 1;
    if (used <= limit)
        return QString();
    return QCoreApplication::translate("settings", "地址与加密数据地址冲突,请重新输入，序列号占用地址不超过%1")
        .arg(QString::asprintf("%02llX", static_cast<long long>(limit)));
}

QString addressText(uint32_t address)
{
    return QString::asprintf("0x%x", address);
}

QString refusedAddressText(uint32_t address)
{
    return QString::asprintf("0x%02x", address);
}

} // namespace rolling
