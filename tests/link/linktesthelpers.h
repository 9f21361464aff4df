#pragma once

#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "link/hidbackend.h"
#include "link/linkreporter.h"

#include "support/debugcapture.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <deque>
#include <functional>
#include <mutex>

// Records what the commands report.
class RecordingReporter : public LinkReporter
{
public:
    QVector<int> progressValues;
    QStringList labels;
    QStringList debug;
    QVector<QVector<int>> versions;
    void progress(int percent) override { progressValues << percent; }
    void labelMessage(const QString &t) override { labels << t; }
    void debugMessage(const QString &t) override { debug << t; }
    void firmwareVersion(uint16_t H, uint16_t M, uint16_t L) override { versions << QVector<int>{H, M, L}; }
};

inline void selectChip(const QString &name)
{
    McuList list;
    list.load();
    g_mcuList = list.list();
    for (const McuInfo &m : g_mcuList)
        if (m.strName == name)
            g_currentMcu = m;
}

inline QByteArray ackReport(const QByteArray &tail = QByteArray())
{
    QByteArray a(64, '\0');
    a[0] = 0x06;
    for (int i = 0; i < tail.size() && i + 1 < 64; ++i)
        a[i + 1] = tail[i];
    return a;
}
