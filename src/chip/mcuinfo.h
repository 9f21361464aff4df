#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

// One chip model of the family.
struct McuInfo
{
    uint32_t nArch = 0;          // core family; every model here is 8051
    uint32_t nID = 0;            // chip identifier (low 16 bits); 0 marks an empty catalogue slot
    QString strName;             // model name, stored in project files
    uint32_t nFlashSizeKB = 0;
    uint32_t nBootSectors = 0;   // BootLoader area in NVR sectors; 0 = no BootLoader area
    uint32_t nNvr1Page = 0;      // NVR pages are numbered from 1
    uint32_t nNvr1Sectors = 0;
    uint32_t nNvr2Page = 0;
    uint32_t nNvr2Sectors = 0;
    QString strNvr2Options;      // "-"-separated visibility flags of the NVR2 option controls
    uint32_t nNvr3Page = 0;
    uint32_t nNvr3Sectors = 0;
    QString strNvr3Options;
    uint32_t nEepromSize = 0;
    uint32_t nSectorSize = 0;
    uint8_t ucDataWidth = 0;     // EEPROM/NVR1 table cell width in bits: 8 or 16
    QString strDescription;
};

constexpr uint32_t MCU_ARCH_8051 = 8051;
constexpr int MCU_TABLE_SIZE = 100;

extern McuInfo g_mcuTable[MCU_TABLE_SIZE];

// The window's chip list: every non-empty catalogue slot, in slot order.
class McuList
{
public:
    McuList();  // (re)fills g_mcuTable with the built-in models
    void load();
    QVector<McuInfo> &list() { return m_list; }
    const QVector<McuInfo> &list() const { return m_list; }

private:
    QVector<McuInfo> m_list;
};

// Catalogue names, copied before cfg.db renames the window's entries; the worker looks names up here.
extern QVector<McuInfo> g_mcuList;
extern McuInfo g_currentMcu;

// Start of NVR page p (pages count from 1), as the 16-bit NVR address the Link takes.
inline uint16_t nvrPageAddress(const McuInfo &mcu, uint32_t page)
{
    return static_cast<uint16_t>((page - 1) * mcu.nSectorSize);
}

// Looks a chip up by its exact model name; nullptr when absent.
const McuInfo *findMcuByName(const QVector<McuInfo> &list, const QString &name);
