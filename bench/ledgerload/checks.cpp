#include "ledgerload.h"

#include "records/ledgerurl.h"

#include <QSqlDatabase>
#include <QThread>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
// A look into the ledger's tables beside the store, on a connection of its own.
class RawLedger
{
public:
    explicit RawLedger(const QString &url)
    {
        LedgerLocation loc;
        QString error;
        if (!parseLedgerUrl(url, &loc, &error)) {
            m_error = error;
            return;
        }
        const bool pg = loc.kind == LedgerLocation::Kind::Postgres;
        m_db = QSqlDatabase::addDatabase(pg ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), kName);
        m_db.setDatabaseName(pg ? loc.database : loc.path);
        m_db.setHostName(loc.host);
        m_db.setUserName(loc.user);
        if (!m_db.open())
            m_error = m_db.lastError().text();
    }
    ~RawLedger()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kName);
    }
    RawLedger(const RawLedger &) = delete;
    RawLedger &operator=(const RawLedger &) = delete;

    QString error() const { return m_error; }
    QSqlDatabase database() const { return m_db; }

    // The first column of the first row, as a number; -1 (and error()) when the query failed.
    int64_t number(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(m_db);
        if (!prepared(q, sql, values))
            return -1;
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    bool prepared(QSqlQuery &q, const QString &sql, const QVariantList &values)
    {
        if (!m_error.isEmpty())
            return false;
        q.setForwardOnly(true);
        if (q.prepare(sql)) {
            for (const QVariant &v : values)
                q.addBindValue(v);
            if (q.exec())
                return true;
        }
        m_error = q.lastError().text();
        return false;
    }

private:
    inline static const QString kName = QStringLiteral("ledger-load-raw");
    QSqlDatabase m_db;
    QString m_error;
};
}

int64_t heldReserved(const QString &url, const QString &station, QString *error)
{
    RawLedger raw(url);
    const int64_t n = raw.number(QStringLiteral("SELECT COUNT(*) FROM tq_serial WHERE station = ? AND state = 'reserved'"), {station});
    *error = raw.error();
    return n;
}

QStringList checkLine(const QString &url, const LineFacts &facts, int64_t *records)
{
    QStringList problems;
    RawLedger raw(url);
    const auto expectZero = [&](const char *what, const QString &sql) {
        const int64_t n = raw.number(sql);
        if (n != 0)
            problems << QStringLiteral("%1: %2").arg(QLatin1String(what), n < 0 ? raw.error() : QString::number(n));
    };
    expectZero("serials written twice",
               QStringLiteral("SELECT COUNT(*) FROM (SELECT space, serial FROM tq_record WHERE result = 0 AND serial IS NOT NULL"
                              " GROUP BY space, serial HAVING COUNT(*) > 1) twice"));
    expectZero("serials in more than one chip's record",
               QStringLiteral("SELECT COUNT(*) FROM (SELECT space, serial FROM tq_record WHERE serial IS NOT NULL"
                              " GROUP BY space, serial HAVING COUNT(*) > 1) twice"));
    expectZero("serials still reserved after the run", QStringLiteral("SELECT COUNT(*) FROM tq_serial WHERE state = 'reserved'"));
    expectZero("written serials without their passing record",
               QStringLiteral("SELECT COUNT(*) FROM tq_serial s WHERE s.state = 'written' AND NOT EXISTS (SELECT 1 FROM"
                              " tq_record r WHERE r.space = s.space AND r.serial = s.value AND r.result = 0)"));
    expectZero("records whose serial's state disagrees with the result",
               QStringLiteral("SELECT COUNT(*) FROM tq_record r JOIN tq_serial s ON s.space = r.space AND s.value = r.serial"
                              " WHERE (r.result = 0 AND s.state <> 'written') OR (r.result <> 0 AND s.state <> 'void')"));
    expectZero("records whose serial was never given out",
               QStringLiteral("SELECT COUNT(*) FROM tq_record r WHERE r.serial IS NOT NULL AND NOT EXISTS (SELECT 1 FROM"
                              " tq_serial s WHERE s.space = r.space AND s.value = r.serial)"));
    expectZero("values the counter gave out without a state",
               QStringLiteral("SELECT (SELECT next_index FROM tq_space WHERE name = 'load') - (SELECT COUNT(*) FROM tq_serial"
                              " WHERE space = 'load')"));

    QSet<QString> kept;
    {
        QSqlQuery keys(raw.database());
        if (raw.prepared(keys, QStringLiteral("SELECT station, run, seq FROM tq_record"), {})) {
            while (keys.next())
                kept.insert(QStringLiteral("%1|%2|%3").arg(keys.value(0).toString(), keys.value(1).toString(),
                                                           keys.value(2).toString()));
        } else {
            problems << QStringLiteral("records unreadable: ") + raw.error();
        }
    }
    *records = kept.size();
    int lost = 0;
    for (const QString &key : facts.acknowledged)
        lost += kept.contains(key) ? 0 : 1;
    if (lost)
        problems << QStringLiteral("records a station kept and the ledger lost: %1").arg(lost);
    if (kept.size() < facts.wanted)
        problems << QStringLiteral("records: %1 of %2").arg(kept.size()).arg(facts.wanted);

    if (!facts.killedStation.isEmpty()) {
        if (facts.heldAtKill <= 0)
            problems << QStringLiteral("the killed station held no reservation at its death (killed between blocks?)");
        else if (facts.voidedAtRestart != facts.heldAtKill)
            problems << QStringLiteral("the killed station held %1 values at its death, its restart voided %2")
                            .arg(facts.heldAtKill).arg(facts.voidedAtRestart);
    }
    return problems;
}

bool connectionsGone(const QString &url, const QString &applicationName, QString *error)
{
    // The server learns of a killed client at its next read: a COMMIT the client sent before it died may
    // still land. Its sessions are waited out before the ledger is judged.
    for (int look = 0; look < 200; ++look) {
        int64_t n = 0;
        {
            RawLedger raw(url);
            n = raw.number(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE application_name = ?"), {applicationName});
            *error = raw.error();
        }
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        QThread::msleep(50);
    }
    *error = QStringLiteral("the sessions of %1 are still open 10 s after its death").arg(applicationName);
    return false;
}
