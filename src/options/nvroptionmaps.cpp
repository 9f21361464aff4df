#include "nvroptionmaps.h"

#include "chip/factorytrim.h"
#include "chip/images.h"
#include "production/productionsettings.h"

#include <QCoreApplication>
#include <cstring>

namespace nvropt {

namespace {

constexpr int kUserCfgFill = 0x800;

int oneByteItem(const uint8_t *image, int offset)
{
    return image[offset] == On ? 1 : 0;
}

uint8_t pinByte(bool group, int index)
{
    return group && index >= 0 ? static_cast<uint8_t>(index) : Off;
}

bool isHexPrefixOnly(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("0x") || text == QLatin1String("0X");
}

} // namespace

bool allBytes(const uint8_t *image, int offset, int length, uint8_t value)
{
    for (int i = 0; i < length; ++i)
        if (image[offset + i] != value)
            return false;
    return true;
}

void fillBytes(uint8_t *image, int offset, int length, uint8_t value)
{
    std::memset(image + offset, value, static_cast<size_t>(length));
}

UserCfg readUserCfg(const uint8_t *image)
{
    UserCfg c;
    c.readProtect = allBytes(image, 0x10, 16, On);
    c.writeProtect = allBytes(image, 0x20, 16, On);
    c.resetPin1Mode = oneByteItem(image, 0x30);
    c.resetPin2Mode = oneByteItem(image, 0x31);
    c.powerOnDelay = oneByteItem(image, 0x38);
    c.bootSelect = oneByteItem(image, 0x39);
    c.i2c = image[0x40] == On;
    c.sda = image[0x41];
    c.scl = image[0x42];
    c.uart = image[0x43] == On;
    c.tx = image[0x44];
    c.rx = image[0x45];
    c.lock = allBytes(image, 0x1E0, 16, On);
    return c;
}

void writeUserCfg(uint8_t *image, const UserCfg &c, bool smallChip)
{
    fillBytes(image, 0, kUserCfgFill, Off);
    fillBytes(image, 0x10, 16, c.readProtect ? On : Off);
    image[0x30] = c.resetPin1Mode == 1 ? On : Off;
    image[0x38] = c.powerOnDelay == 1 ? On : Off;
    if (!smallChip) {
        fillBytes(image, 0x20, 16, c.writeProtect ? On : Off);
        image[0x31] = c.resetPin2Mode == 1 ? On : Off;
        image[0x39] = c.bootSelect == 1 ? On : Off;
    }
    image[0x40] = c.i2c ? On : Off;
    image[0x41] = pinByte(c.i2c, c.sda);
    image[0x42] = pinByte(c.i2c, c.scl);
    image[0x43] = c.uart ? On : Off;
    image[0x44] = pinByte(c.uart, c.tx);
    image[0x45] = pinByte(c.uart, c.rx);
    fillBytes(image, 0x1E0, 16, c.lock ? On : Off);
}

QStringList pinList(bool smallChip)
{
    QStringList pins;
    for (int port = 0; port <= 3; ++port) {
        for (int bit = 0; bit <= 7; ++bit) {
            if ((port == 3 && bit > 1) || (smallChip && port == 2 && bit > 1) || (smallChip && port == 3))
                break;
            pins << QStringLiteral("P%1%2").arg(port).arg(bit);
        }
    }
    return pins;
}

QString checkPins(const UserCfg &c)
{
    if (c.i2c) {
        if (c.sda < 0)
            return QCoreApplication::translate("options", "SDA设置不能为空");
        if (c.scl < 0)
            return QCoreApplication::translate("options", "SCL设置不能为空");
        if (c.sda == c.scl)
            return QCoreApplication::translate("options", "SDA与SCL设置不能相同");
    }
    if (c.uart && c.tx == c.rx)
        return QCoreApplication::translate("options", "TX与RX设置不能相同");
    if (c.i2c && c.uart) {
        if (c.sda == c.rx)
            return QCoreApplication::translate("options", "SDA与RX设置不能相同");
        if (c.sda == c.tx)
            return QCoreApplication::translate("options", "SDA与TX设置不能相同");
        if (c.scl == c.rx)
            return QCoreApplication::translate("options", "SCL与RX设置不能相同");
        if (c.scl == c.tx)
            return QCoreApplication::translate("options", "SCL与TX设置不能相同");
    }
    return QString();
}

Nvr2Options readNvr2Options(const uint8_t *image)
{
    Nvr2Options o;
    o.idcode = allBytes(image, 0x00, 16, On);
    o.idcode0 = image[0x11];
    o.idcode1 = image[0x12];
    o.idcode2 = image[0x13];
    o.codeReadProtect = allBytes(image, 0x20, 16, On);
    o.highZ = image[0x50] == ModeOn;
    o.porDelayOff = image[0x51] == ModeOn;
    o.nvrStart = image[0x52] == ModeOn;
    o.userNvrLocked = allBytes(image, 0x60, 32, On);
    return o;
}

void setIdcode(uint8_t *image, bool on) { fillBytes(image, 0x00, 16, on ? On : Off); }

void setIdcodeByte(uint8_t *image, int which, uint8_t v)
{
    if (which >= 0 && which <= 2)
        image[0x11 + which] = v;
}

void setCodeReadProtect(uint8_t *image, bool on) { fillBytes(image, 0x20, 16, on ? On : Off); }
void setResetPinHighZ(uint8_t *image, bool highZ) { image[0x50] = highZ ? ModeOn : Off; }
void setPorDelayOff(uint8_t *image, bool on) { image[0x51] = on ? ModeOn : Off; }
void setNvrStart(uint8_t *image, bool on) { image[0x52] = on ? ModeOn : Off; }
void setUserNvrLocked(uint8_t *image, bool on) { fillBytes(image, 0x60, 32, on ? On : Off); }

Nvr2Visibility nvr2Visibility(const QString &options)
{
    QStringList fields = options.split(QLatin1Char('-'));
    Nvr2Visibility v;
    v.wellFormed = fields.size() >= 6;
    while (fields.size() < 6)
        fields << QStringLiteral("0");
    for (int i = 0; i < 5; ++i)
        v.show[i] = fields.at(i) != QLatin1String("0");
    return v;
}

bool parseIdcode(const QString &text, uint8_t *value, bool *warn)
{
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (ok && v <= 0xFF) {
        *value = static_cast<uint8_t>(v);
        *warn = false;
        return true;
    }
    *warn = !isHexPrefixOnly(text);
    return false;
}

const Nvr3Marker kNvr3Markers[13] = {
    {"checkBox_bandgapTrimming", 0x00, 1},
    {"checkBox_LDOTrimming", 0x02, 1},
    {"checkBox_ADCTring", 0x04, 1},
    {"checkBox_LRC", 0x06, 1},
    {"checkBox_HRC", HrcMarkerOffset, 1},
    {"checkBox_MRC", 0x0C, 1},
    {"checkBox_TouchKey", 0x20, 2},
    {"checkBox_flashMask", 0x22, 1},
    {"checkBox_ADCMask", 0x24, 2},
    {"checkBox_OP0Mask", 0x26, 2},
    {"checkBox_OP1Mask", 0x28, 2},
    {"checkBox_CmpMask", 0x2A, 2},
    {"checkBox_canNotRW_CFG", 0x60, 32},
};

const Nvr3Marker *nvr3Marker(const QString &objectName)
{
    for (const Nvr3Marker &m : kNvr3Markers)
        if (objectName == QLatin1String(m.objectName))
            return &m;
    return nullptr;
}

void setNvr3Marker(uint8_t *image, const Nvr3Marker &m, bool on)
{
    if (m.length == 2) {
        image[m.offset] = on ? On : Off;
        image[m.offset + 1] = on ? MaskSecond : Off;
    } else {
        fillBytes(image, m.offset, m.length, on ? On : Off);
    }
}

bool nvr3MarkerOn(const uint8_t *image, const Nvr3Marker &m)
{
    if (m.length == 2)
        return image[m.offset] == On && image[m.offset + 1] == MaskSecond;
    return allBytes(image, m.offset, m.length, On);
}

bool parseMadr(const QString &text, uint8_t *value, bool *warn)
{
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (ok && v <= MadrMax) {
        *value = static_cast<uint8_t>(v);
        *warn = false;
        return true;
    }
    *warn = !isHexPrefixOnly(text) && g_bEnNVR3;
    return false;
}

bool parseChip(const QString &text, uint16_t *value, bool *warn)
{
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (ok && v < 0x10000) {
        *value = static_cast<uint16_t>(v);
        *warn = false;
        return true;
    }
    *warn = !text.isEmpty() && g_bEnNVR3;
    return false;
}

QString madrText(const uint8_t *image)
{
    return QString::number(image[MadrOffset], 16).toUpper();
}

QString chipText(const uint8_t *image)
{
    return QString::number(image[ChipOffset] | (image[ChipOffset + 1] << 8), 16).toUpper();
}

QString factoryClockLine(const uint8_t *nvr3)
{
    const double mhz = (nvr3[0x11] | (nvr3[0x12] << 8)) / 1000.0;
    if (mhz > 33.0 || mhz < 19.0)
        return QCoreApplication::translate("options", "主频: ERROR!");
    return QCoreApplication::translate("options", "主频: %1MHz").arg(mhz, 0, 'f', 2);
}

FactoryRow factoryRow(const McuInfo &mcu, const uint8_t *nvr3, int row)
{
    FactoryRow r;
    const uint32_t address = (mcu.nNvr3Page - 1) * mcu.nSectorSize + static_cast<uint32_t>(row);
    r.address = QString::number(address, 16);
    r.value = QString::asprintf("%02x", nvr3[row]);
    const bool small = mcu.nID == SMALL_TRIM_CHIP_ID;
    const NvrFacInfo *table = small ? g_nvrFacInfoSmall : g_nvrFacInfo;
    const int count = small ? NVR_FAC_INFO_SMALL_COUNT : NVR_FAC_INFO_COUNT;
    for (int i = 0; i < count; ++i) {
        if (table[i].nAddr == address) {
            r.description = trimDescriptionText(table[i].strDescription);
            break;
        }
    }
    return r;
}

bool rollingInNvrRange(uint32_t from, uint32_t to)
{
    if (!g_bEnRollCode || g_rollingSet.area() != RollingAreaNvr)
        return false;
    const uint64_t end = uint64_t(g_rollingSet.startAdd) + (g_rollingSet.bitSize & 0x07);
    return end >= from && end < to;
}

} // namespace nvropt
