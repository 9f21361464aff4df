#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

struct CliOptions;

// The ledger command's own options (each takes a value) and its lines of the usage text.
const QStringList &ledgerOptionNames();
QString ledgerUsage();

// The ledger a command records in: --ledger, else TQ_LEDGER; empty for none.
QString ledgerUrlOf(const CliOptions &options);
// Who records: --station, else the host name.
QString stationOf(const CliOptions &options);
// A serial's area as people read it (NVR, EEPROM, FLASH).
QString rollingAreaText(uint8_t area);
