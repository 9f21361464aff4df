#pragma once

#include "ledgerrecord.h"
#include "productionstore.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QVector>

// The ledger as scripts and spreadsheets read it. A record's keys: time (ISO 8601, UTC), station, operator,
// port, label, firmware, programVersion, chip, chipId, space, serial (a number; null when none), result (the
// code), text, checksum (the image's), areas, checksums, durationMs, run, sequence. The CSV has the same
// columns in that order.

QJsonObject recordJson(const LedgerRecord &record);
// The record recordJson() made, whole.
LedgerRecord recordFromJson(const QJsonObject &object);
QJsonArray recordsJson(const QVector<LedgerRecord> &records);
// UTF-8 with a byte-order mark and CRLF line ends, as spreadsheets open it; a header line first.
QByteArray recordsCsv(const QVector<LedgerRecord> &records);

QJsonObject spaceJson(const SerialSpace &space);
// station, port, space, first, last, count, time (ISO 8601, UTC), state; settled, reason and detail once settled.
QJsonObject leaseJson(const SerialLease &lease);
QJsonObject statusJson(const LedgerStatus &status);
// A value as people read it in the space's radix: 0x-hexadecimal or decimal.
QString serialText(const SerialSpace &space, int64_t value);
