#pragma once

#include "chip/mcuinfo.h"

#include <QtTest>

// Makes the named catalogue chip the current one, as choosing it in the chip list does.
inline void selectMcu(const QString &name)
{
    McuList list;
    list.load();
    const McuInfo *m = findMcuByName(list.list(), name);
    QVERIFY(m);
    g_currentMcu = *m;
}
