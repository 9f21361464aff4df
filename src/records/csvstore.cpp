#include "csvstore.h"

bool CsvStore::open(QString *error)
{
    if (m_log.open(m_path))
        return true;
    *error = m_path + QStringLiteral(": ") + m_log.errorString();
    return false;
}

bool CsvStore::record(const LedgerRecord &r)
{
    ProductionRecord line;
    line.time = r.time.toLocalTime();
    line.chipModel = r.chip;
    line.chipId = r.chipId;
    line.areas = r.areas;
    line.checksums = r.checksums;
    line.result = r.result;
    line.text = r.text;
    if (m_log.append(line))
        return true;
    return fail(m_path + QStringLiteral(": ") + m_log.errorString());
}
