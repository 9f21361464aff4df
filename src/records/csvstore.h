#pragma once

#include "productionlog.h"
#include "productionstore.h"

// The ledger as the CSV production log (--log): records only, each line on the disk before record() returns.
class CsvStore : public ProductionStore
{
public:
    explicit CsvStore(const QString &path) : m_path(path) {}
    bool open(QString *error);

    QString location() const override { return QStringLiteral("csv:") + m_path; }
    bool record(const LedgerRecord &record) override;

private:
    QString m_path;
    ProductionLog m_log;
};
