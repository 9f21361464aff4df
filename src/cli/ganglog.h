#pragma once

#include "records/mergedlog.h"

// The production record of a gang run: the one-Link log's columns behind a "link" column holding the port.
class GangLog : public MergedLog
{
public:
    GangLog() : MergedLog({QStringLiteral("link")}) {}

    bool copyNewLines(const QString &port, const QString &workerLog, qint64 *offset)
    {
        return MergedLog::copyNewLines({port}, workerLog, offset);
    }
};
