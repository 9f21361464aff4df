// Writes a small seed corpus for the fuzz targets with the program's own writers:
// make_seeds DIR creates DIR/hex, DIR/project, DIR/cfgdb and DIR/emulatorstate.
#include "fuzzsupport.h"
#include "emulator/emulatorstate.h"
#include "files/cfgdb.h"
#include "files/projectfile.h"
#include "production/productionsettings.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

void put(const QString &dir, const QString &name, const QByteArray &data)
{
    QDir().mkpath(dir);
    QFile f(dir + QLatin1Char('/') + name);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

QByteArray withChip(uint8_t pick, const QByteArray &file)
{
    return QByteArray(1, static_cast<char>(pick)) + file;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    fuzzsupport::init();

    const QByteArray hex = ":10000000000102030405060708090A0B0C0D0E0F78\n"
                           ":020000040001F9\n"
                           ":04FFF000DEADBEEFD5\n"
                           ":0400000A01020304E8\n"
                           ":00000001FF\n";
    put(root + "/hex", "flash", withChip(0, hex));
    put(root + "/hex", "bootloader", withChip(1, hex));
    put(root + "/hexrules", "flash", withChip(0, hex));
    put(root + "/hexrules", "bootloader", withChip(1, hex));
    put(root + "/hexrules", "sdcc", withChip(2, ":03000000020006F5\r\n:03005F0002000399\r\n:00000001FF\r\n"));

    for (uint8_t pick : {uint8_t(0), uint8_t(8), uint8_t(9)}) {
        fuzzsupport::selectChip(pick);
        g_bEnBin = true;
        g_nBinSize = 64;
        fillBinAndSum(g_ucBinBuf, g_nBinSize);
        g_bEnNVR2 = g_bEnNVR3 = true;
        calcNVR2CheckSum();
        calcNVR3CheckSum();
        g_bEnBL = g_currentMcu.nBootSectors != 0;
        g_nNVRBinSize = g_bEnBL ? 16 : 0;
        fillBLAndSum(g_ucNVRBinBuf, g_nNVRBinSize);
        g_bEnNVR1 = g_bEnEE = g_currentMcu.nBootSectors == 0;
        calcNVR1CheckSum();
        calcEECheckSum();
        g_bEnEncryption = true;
        g_strPsw = QStringLiteral("password1");
        g_ucPswLen = 9;
        g_bCaliClock = true;
        put(root + "/project", QStringLiteral("v1-%1").arg(pick), withChip(pick, projectBytes()));
    }

    g_nCfgCount = 2;
    g_strCfgChip[0] = QStringLiteral("VR5K2610");
    g_strCfgName[0] = QStringLiteral("Alpha");
    g_strCfgChip[1] = QStringLiteral("VR5K2710");
    g_strCfgName[1] = QStringLiteral("B:eta");
    g_strCompany = QStringLiteral("Co");
    QByteArray pad(CFG_PAD_SIZE, '\0');
    for (int i = 0; i < CFG_PAD_SIZE; ++i)
        pad[i] = static_cast<char>(i * 37 + 11);
    pad[3] = 20;
    put(root + "/cfgdb", "two-entries", buildCfgData(pad, cfgText()));

    // Command lines, arguments separated by NUL bytes.
    const QStringList lines[] = {
        {"--chip", "VR5K2610", "--areas=rom,bl", "burn", "a.hex", "--loop", "--log", "p.csv"},
        {"convert", "in.ihx", "out.bin", "--to=bl"},
        {"--emulate=dir", "--lang", "en", "emulator", "dir", "--fw", "1.2.65535", "--chip-id", "0x2610"},
        {"--json", "info", "--", "-x.mprj"},
    };
    int n = 0;
    for (const QStringList &line : lines)
        put(root + "/cliargs", QStringLiteral("line-%1").arg(n++), line.join(QLatin1Char('\0')).toUtf8());

    EmulatorState state;
    state.socket.present = false;
    state.chip.flash[0] = 0x02;
    state.chip.map.flashSizeKB = 16;
    state.store.settings[0] = 0x40;
    state.firmware.version = {2, 1, 515};
    state.firmware.image[3] = 0x12;
    state.firmware.end = 40;
    const QByteArray file = EmulatorStateFile::encode(state, 9);
    put(root + "/emulatorstate", "whole-file", withChip(0, file));
    put(root + "/emulatorstate", "sealed-body", withChip(1, file.mid(28)));
    put(root + "/emulatorstate", "blank-link", withChip(0, EmulatorStateFile::encode(EmulatorState(), 1)));
    return 0;
}
