#pragma once

#include "support/testfiles.h"
#include "files/filemessages.h"
#include "chip/images.h"
#include "production/productionsettings.h"
#include "chip/mcuinfo.h"

#include <QByteArray>
#include <QFile>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>

// The catalogue as the window lists it.
inline QVector<McuInfo> catalogue()
{
    McuList list;
    list.load();
    return list.list();
}

// Makes the named catalogue model current, as a chip selection does, with freshly reset images.
inline bool selectCatalogueChip(const QString &name)
{
    const QVector<McuInfo> chips = catalogue();
    const McuInfo *m = findMcuByName(chips, name);
    if (!m)
        return false;
    g_currentMcu = *m;
    resetImages();
    resetProduction();
    return true;
}

inline bool allBytesAre(const uint8_t *data, size_t length, uint8_t value)
{
    return std::all_of(data, data + length, [value](uint8_t b) { return b == value; });
}

// Records every box and log line a file routine produces.
struct RecordedMessages
{
    QStringList boxes;  // "title|text"
    QStringList logs;

    FileMessages sink()
    {
        FileMessages m;
        m.box = [this](const QString &title, const QString &text) { boxes << title + QLatin1Char('|') + text; };
        m.log = [this](const QString &text) { logs << text; };
        return m;
    }
};
