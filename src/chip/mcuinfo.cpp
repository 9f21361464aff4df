#include "mcuinfo.h"

McuInfo g_mcuTable[MCU_TABLE_SIZE];
QVector<McuInfo> g_mcuList;
McuInfo g_currentMcu;

namespace {

struct BuiltIn
{
    const char *name;
    uint32_t id;
    uint32_t flashKB;
    uint32_t bootSectors;
    uint32_t nvr2Page;
    uint32_t nvr3Page;
};

const BuiltIn kBuiltIns[] = {
    {"VR5K2610", 0x2610, 32, 13, 14, 15},
    {"VR5K2611", 0x2611, 32, 13, 14, 15},
    {"VR5K4470", 0x4470, 32, 13, 14, 15},
    {"VR5K4471", 0x4471, 32, 13, 14, 15},
    {"VR5K2620", 0x2620, 16, 13, 14, 15},
    {"VR5K2621", 0x2621, 16, 13, 14, 15},
    {"VR5K2612", 0x2612, 32, 13, 14, 15},
    {"VR5K2630", 0x2630, 8, 13, 14, 15},
    {"VR5K2710", 0x2710, 32, 2, 3, 4},
};

McuInfo makeBuiltIn(const BuiltIn &b)
{
    McuInfo m;
    m.nArch = MCU_ARCH_8051;
    m.nID = b.id;
    m.strName = QString::fromLatin1(b.name);
    m.nFlashSizeKB = b.flashKB;
    m.nBootSectors = b.bootSectors;
    m.nNvr1Page = 0;
    m.nNvr1Sectors = 0;
    m.nNvr2Page = b.nvr2Page;
    m.nNvr2Sectors = 1;
    m.strNvr2Options = QStringLiteral("1-1-1-0-0-1");
    m.nNvr3Page = b.nvr3Page;
    m.nNvr3Sectors = 1;
    m.strNvr3Options = QStringLiteral("1-1-0-1-1-0-1-1-0-0-0-0-1");
    m.nEepromSize = 0;
    m.nSectorSize = 512;
    m.ucDataWidth = 8;
    m.strDescription = QStringLiteral("%1 %2K Flash").arg(m.strName).arg(b.flashKB);
    return m;
}

} // namespace

McuList::McuList()
{
    for (McuInfo &slot : g_mcuTable) {
        slot.strName.clear();
        slot.strNvr2Options.clear();
        slot.strNvr3Options.clear();
        slot.strDescription.clear();
        slot.nID = 0;
    }
    int slot = 0;
    for (const BuiltIn &b : kBuiltIns)
        g_mcuTable[slot++] = makeBuiltIn(b);
}

void McuList::load()
{
    for (const McuInfo &slot : g_mcuTable) {
        if (slot.nID != 0)
            m_list.append(slot);
    }
}

const McuInfo *findMcuByName(const QVector<McuInfo> &list, const QString &name)
{
    for (const McuInfo &m : list) {
        if (m.strName == name)
            return &m;
    }
    return nullptr;
}
