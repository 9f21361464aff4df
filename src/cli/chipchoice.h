#pragma once

#include "chip/mcuinfo.h"

#include <QString>
#include <QVector>

#include <cstdint>

// The chip list the window would offer, without a window: the catalogue with cfg.db's display names, in
// selector order.
class ChipChoice
{
public:
    // Fills the catalogue (g_mcuList keeps the catalogue names) and applies cfg.db's display names.
    ChipChoice();

    // What the chip selector lists, in its order; display names where cfg.db gives them. An entry of
    // cfg.db whose model is not in the catalogue selects nothing and is left out.
    QVector<McuInfo> selectable() const;

    // A selectable chip by its display name or its catalogue name; nullptr when there is none.
    const McuInfo *find(const QString &name) const;

    // The window's list (display names), where projects look their model up.
    const QVector<McuInfo> &windowList() const { return m_list.list(); }

private:
    McuList m_list;
};

// Makes `chip` the current chip the way a selection in the window does: the images, sizes, enable flags
// and production settings start afresh. A command that never touches the memory images passes
// `blankImages` false: filling them means some hundred kilobytes of fresh memory at its start.
void selectChip(const McuInfo &chip, bool blankImages = true);

