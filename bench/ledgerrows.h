#pragma once

#include "benchtable.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The ledger's rows: ledger_load's line on PostgreSQL (stations × Links under a server restart and a killed
// station) and one station on SQLite, each against a plain INSERT loop on the same database. `smoke` runs a
// small line; a failed check is a failed row in either run.
void ledgerRows(const QString &benchDir, const QStringList &environment, bool smoke, QVector<BenchRow> &rows,
                QVector<QString> &notes);
