#pragma once

#include "records/ledgerrecord.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <functional>

// The ledger's load and fault run: a line of stations, each a process of its own with one thread per Link,
// reserving and recording serials through the real store against one PostgreSQL server; and one station
// alone on SQLite. Both are held against a plain INSERT loop on the same database.

// The space every station draws from.
inline const QString kLoadSpace = QStringLiteral("load");
constexpr int kLoadBlock = 16;  // values a Link reserves at a time, as a burn loop does

// One station process. Arguments: URL STATION QUOTA,QUOTA,... (one quota of records per Link). It prints a
// line for each event, flushed at once, so a station killed at any moment has told what it kept:
//   V PORT N              the Link voided N values its station held unsettled at the start
//   L MICROSECONDS BEGAN  one block reserved, the time the successful call took and when it began (ms since
//                         the epoch, to place it against the server's restart)
//   R PORT RUN SEQ VALUE  one record kept (committed)
// Exit status 0 when every Link recorded its quota.
int runStation(const QStringList &arguments);

// The record of one chip pass as a Link of the load run makes it: every field filled, one chip in 25 failing.
LedgerRecord loadRecord(const QString &station, const QString &port, const QString &run, int64_t sequence, int64_t serial);

// Runs `operation` until it succeeds, pausing between tries (the server may be restarting), for at most
// `patienceMs`. False with the last error when it never did.
bool retry(const std::function<bool()> &operation, int patienceMs = 300000);

// The 99th percentile of `values` (0 when empty).
double percentile99(QVector<double> values);

// A plain INSERT loop of `count` rows shaped as records, one transaction each, on one connection of the
// database at `url`: the peer of the store's figures. Rows per second, 0 with `error` when it failed. The
// latencies of the statements (milliseconds) go to `latencies` when given.
double plainInsertRate(const QString &url, int count, QVector<double> *latencies, QString *error);

struct SingleStation
{
    double recordsPerSecond = 0;
    double reserveP99Ms = 0;
    int records = 0;
};
// One station with one Link on the SQLite ledger at `url`: reserves in blocks and records `count` serials.
bool runSingleStation(const QString &url, int count, SingleStation *result, QString *error);

// The checks after a line run, on the ledger at `url`: every failure in words; empty when all hold.
struct LineFacts
{
    QSet<QString> acknowledged;  // "station|run|seq" of every record a station said it kept
    int wanted = 0;              // records the line had to make
    QString killedStation;
    int64_t heldAtKill = -1;     // values the killed station held reserved right after its death
    int64_t voidedAtRestart = 0; // what its Links voided when it came back
};
QStringList checkLine(const QString &url, const LineFacts &facts, int64_t *records);

// Values `station` holds reserved now; -1 with `error` when the ledger could not be read.
int64_t heldReserved(const QString &url, const QString &station, QString *error);

// Waits until the server holds no session named `applicationName`; false with `error` after 10 s.
bool connectionsGone(const QString &url, const QString &applicationName, QString *error);
