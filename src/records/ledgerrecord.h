#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// One chip pass as the ledger keeps it. (station, run, sequence) is its key: a record sent again, after a
// lost answer or from a spool, is kept once.
struct LedgerRecord
{
    QString station;
    QString run;              // one per program run of a station (a fresh id at its start)
    int64_t sequence = 0;     // 1, 2, ... within the run
    QDateTime time;           // kept in UTC, to the millisecond
    QString operatorName;
    QString port;             // the Link's USB port
    QString label;            // the Link's label (name given by the line), may be empty
    QString firmware;         // the Link's firmware version
    QString programVersion;   // this program's version
    QString chip;             // chip model
    uint16_t chipId = 0;      // the id the chip answered
    QString space;            // serial space; empty when the chip got no serial
    std::optional<int64_t> serial;
    QStringList areas;
    QStringList checksums;    // "%04X", one per area
    QString imageChecksum;
    int result = 0;           // the operation's result code; 0 = pass
    QString text;
    int64_t durationMs = 0;
};
