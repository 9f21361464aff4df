#include "chipchoice.h"

#include "chip/images.h"
#include "files/cfgdb.h"
#include "production/productionsettings.h"

ChipChoice::ChipChoice()
{
    m_list.load();
    g_mcuList = m_list.list();
    applyCfgNames(m_list.list());
}

QVector<McuInfo> ChipChoice::selectable() const
{
    QVector<McuInfo> chips;
    for (const QString &name : chipSelectorNames(m_list.list())) {
        if (const McuInfo *chip = findMcuByName(m_list.list(), name))
            chips << *chip;
    }
    return chips;
}

const McuInfo *ChipChoice::find(const QString &name) const
{
    const QVector<McuInfo> chips = selectable();
    for (const McuInfo &chip : chips) {
        if (chip.strName == name)
            return findMcuByName(m_list.list(), name);
    }
    // A catalogue name: the window list holds the same records in the same order as g_mcuList.
    for (int i = 0; i < g_mcuList.size() && i < m_list.list().size(); ++i) {
        if (g_mcuList[i].strName != name)
            continue;
        for (const McuInfo &chip : chips) {
            if (chip.strName == m_list.list()[i].strName)
                return &m_list.list()[i];
        }
    }
    return nullptr;
}

void selectChip(const McuInfo &chip, bool blankImages)
{
    g_currentMcu = chip;
    if (blankImages)
        resetImages();
    resetProduction();
}
