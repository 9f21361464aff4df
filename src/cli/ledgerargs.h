#pragma once

#include <QString>
#include <QStringList>

// The ledger command's own options (each takes a value) and its lines of the usage text.
const QStringList &ledgerOptionNames();
QString ledgerUsage();
