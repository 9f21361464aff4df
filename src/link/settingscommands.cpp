#include "linkcommands.h"

#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "linkframe.h"
#include "production/productionsettings.h"

#include <QDebug>

#include <algorithm>
#include <cstring>

namespace {
constexpr int kTimeout = 5;
constexpr int kNameBytes = 16;
constexpr int kPasswordRoom = 60;

struct FlagBit {
    int bit;
    bool *flag;
};

// The writer configuration's flag word; bit 11 (password) is only ever sent, never taken back.
const FlagBit kFlagBits[] = {
    {0, &g_bEnBin},         {1, &g_bNoAdcParamCheck}, {2, &g_bEnNVR1},          {3, &g_bEnNVR2},
    {4, &g_bEnNVR3},        {5, &g_bEnRollCode},      {6, &g_bEnLimit},         {7, &g_bEnAutoBurner},
    {8, &g_bEnBL},          {9, &g_bEnUploadProtect}, {10, &g_bEnAutoWrite},    {11, &g_bEnEncryption},
    {12, &g_bUartMode},     {13, &g_bCaliAdc},        {14, &g_bCaliClock},      {15, &g_bCaliOnly},
};
constexpr int kEncryptionBit = 11;
} // namespace

int LinkCommands::WriteToRolling()
{
    const rolling_seting_t &r = g_rollingSet;
    qDebug("size = %d!", int(sizeof(rolling_seting_t)));
    qDebug("radix = %d!", r.radix & 0x03);
    qDebug("incDec = %d!", r.incDec() ? 1 : 0);
    qDebug("startAdd = %d!", int(r.startAdd));
    qDebug("bitSize = %d!", r.bitSize & 0x07);
    qDebug("startVal = %d!", int(r.startVal));
    qDebug("step = %d!", r.step);
    qDebug("rolling_seting_t len = %d!", int(sizeof(rolling_seting_t)));
    LinkFrame f(LinkCode::WriteToRolling);
    rollingToBytes(r, f.bytes + 3);
    uint8_t a[64];
    return simpleCommand(f.data(), a, kTimeout, "WriteToRolling fail:%02x");
}

int LinkCommands::ReadFromRolling()
{
    LinkFrame f(LinkCode::ReadFromRolling);
    uint8_t a[64];
    if (simpleCommand(f.data(), a, kTimeout, "ReadFromRolling fail:%02x") != 0)
        return 1;
    g_rollingSet = rollingFromBytes(a + 3);
    return 0;
}

int LinkCommands::WriteToPassword()
{
    const QByteArray utf8 = g_strPsw.toUtf8();
    // The frame holds 60 password bytes; the password dialog keeps it shorter than that.
    const int length = std::min<int>(g_ucPswLen, kPasswordRoom);
    for (int i = 0; i < length; ++i)
        qDebug("psw[%d] = %c", i, i < utf8.size() ? utf8[i] : 0);
    qDebug("length = %d!", g_ucPswLen);
    LinkFrame f(LinkCode::WriteToPassword);
    f.bytes[3] = g_ucPswLen;
    std::memcpy(f.bytes + 4, utf8.constData(), std::min(utf8.size(), kPasswordRoom));
    uint8_t a[64];
    return simpleCommand(f.data(), a, kTimeout, nullptr);
}

int LinkCommands::WriteToLimit()
{
    LinkFrame f(LinkCode::WriteToLimit);
    f.put32(3, g_nLimitCount);
    uint8_t a[64];
    return simpleCommand(f.data(), a, kTimeout, "WriteToLimit fail:%02x");
}

int LinkCommands::ReadFromLimit()
{
    LinkFrame f(LinkCode::ReadFromLimit);
    uint8_t a[64];
    if (simpleCommand(f.data(), a, kTimeout, "ReadFromLimit fail:%02x") != 0)
        return 1;
    g_nLimitCount = get32(a + 3);
    qDebug("g_nLimitCount len = %d!", int(g_nLimitCount));
    return 0;
}

int LinkCommands::WriteToAotoBurner()
{
    LinkFrame f(LinkCode::WriteToAotoBurner);
    autoBurnerToBytes(g_autoBurnerSet, f.bytes + 3);
    uint8_t a[64];
    return simpleCommand(f.data(), a, kTimeout, "WriteToAotoBurner fail:%02x");
}

int LinkCommands::ReadFromAotoBurner()
{
    LinkFrame f(LinkCode::ReadFromAotoBurner);
    uint8_t a[64];
    if (simpleCommand(f.data(), a, kTimeout, "AutoBurner fail:%02x") != 0)
        return 1;
    g_autoBurnerSet = autoBurnerFromBytes(a + 3);
    const autoBurner_seting_t &s = g_autoBurnerSet;
    qDebug("StartTime = %d!", s.StartTime);
    qDebug("BusyTime = %d!", s.BusyTime);
    qDebug("EotTime = %d!", s.EotTime);
    qDebug("OkNgTime = %d!", s.OkNgTime);
    qDebug("StartLevel = %d!", s.StartLevel);
    qDebug("BusyLevel = %d!", s.BusyLevel);
    qDebug("OkLevel = %d!", s.OkLevel);
    qDebug("NgLevel = %d!", s.NgLevel);
    return 0;
}

int LinkCommands::resetLink()
{
    LinkFrame f(LinkCode::resetLink);
    uint8_t a[64];
    if (exchange(f.data(), a, kTimeout) == Exchange::Ok && a[0] == LinkCode::Ack) {
        qDebug("reset link success\n");
        return 0;
    }
    qDebug("reset link fail\n");
    return 1;
}

int LinkCommands::WriteToWriterCfg()
{
    uint32_t flags = 0;
    for (const FlagBit &fb : kFlagBits)
        if (*fb.flag)
            flags |= 1u << fb.bit;
    LinkFrame f(LinkCode::WriteToWriterCfg);
    f.put32(3, flags);
    f.put16(7, g_nBinCheckSum);
    f.put16(9, g_nEECheckSum);
    f.put16(11, g_nNVRCheckSum1);
    f.put16(13, g_nNVRCheckSum2);
    f.put16(15, g_nNVRCheckSum3);
    const QByteArray name = g_currentMcu.strName.toLatin1().left(kNameBytes);
    std::memcpy(f.bytes + 17, name.constData(), name.size());
    f.bytes[33] = uint8_t(g_currentMcu.nBootSectors);
    f.bytes[34] = uint8_t(g_currentMcu.nNvr2Page);
    f.bytes[35] = uint8_t(g_currentMcu.nNvr2Sectors);
    f.bytes[36] = uint8_t(g_currentMcu.nNvr3Page);
    f.bytes[37] = uint8_t(g_currentMcu.nNvr3Sectors);
    f.bytes[38] = uint8_t(g_currentMcu.nFlashSizeKB);
    f.put16(39, g_nNVRBinCheckSum);
    f.put16(41, g_currentMcu.nID);
    const uint16_t nFreq = uint16_t(int(double(g_fClockFreq) * 10.0 + 0.5));
    f.put16(43, nFreq);
    qDebug() << "write size = " << 4;
    qDebug("write = %lx!", static_cast<unsigned long>(flags));
    qDebug() << "g_fClockFreq = " << g_fClockFreq;
    qDebug() << "nFreq = " << nFreq;
    uint8_t a[64];
    return simpleCommand(f.data(), a, kTimeout, "WriteToWriterCfg fail:%02x");
}

int LinkCommands::ReadFromWriterCfg()
{
    LinkFrame f(LinkCode::ReadFromWriterCfg);
    uint8_t a[64];
    if (simpleCommand(f.data(), a, kTimeout, "ReadFromWriterCfg fail:%02x") != 0)
        return 1;
    const uint32_t flags = get32(a + 3);
    qDebug("write = %lx!", static_cast<unsigned long>(flags));
    for (const FlagBit &fb : kFlagBits)
        if (fb.bit != kEncryptionBit)
            *fb.flag = (flags >> fb.bit) & 1;
    g_nBinCheckSum = get16(a + 7);
    g_nEECheckSum = get16(a + 9);
    g_nNVRCheckSum1 = get16(a + 11);
    g_nNVRCheckSum2 = get16(a + 13);
    g_nNVRCheckSum3 = get16(a + 15);
    const char *name = reinterpret_cast<const char *>(a + 17);
    g_currentMcu.strName = QString::fromLatin1(name, int(strnlen(name, kNameBytes)));
    const McuInfo *listed = findMcuByName(g_mcuList, g_currentMcu.strName);
    if (!listed) {
        // The Link holds a project for a chip this program does not know.
        reporter().labelMessage(QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "ReadFromWriterCfg fail:mcu name not found")));
        return 1;
    }
    g_currentMcu = *listed;
    qDebug() << "read WriterCfg done. mcu name = " << g_currentMcu.strName;
    g_nNVRBinCheckSum = get16(a + 39);
    return 0;
}
