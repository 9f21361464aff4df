#include "ledgerspool.h"

#include "ledgerexport.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

QString ledgerSpoolPath()
{
    const QString chosen = qEnvironmentVariable("TQ_LEDGER_SPOOL");
    if (!chosen.isEmpty())
        return chosen;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/ledger-spool.db");
}

LedgerSpool::LedgerSpool(const QString &path) : m_path(path)
{
    static QAtomicInt counter;
    m_connection = QStringLiteral("tq-spool-%1").arg(counter.fetchAndAddRelaxed(1));
}

LedgerSpool::~LedgerSpool()
{
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool LedgerSpool::fail(const QString &detail)
{
    m_error = QCoreApplication::translate("ledger", "本地暂存文件 %1：%2").arg(QDir::toNativeSeparators(m_path), detail.trimmed());
    return false;
}

bool LedgerSpool::open(bool create)
{
    if (m_db.isOpen())
        return true;
    if (!create && !QFileInfo::exists(m_path))
        return false;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return fail(QCoreApplication::translate("ledger", "无法建立文件夹"));
    if (!m_db.isValid())
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!m_db.open())
        return fail(m_db.lastError().text());
    QSqlQuery q(m_db);
    for (const char *sql : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL",
                            "CREATE TABLE IF NOT EXISTS tq_spool (id INTEGER PRIMARY KEY, ledger TEXT NOT NULL,"
                            " station TEXT NOT NULL, run TEXT NOT NULL, seq INTEGER NOT NULL, record TEXT NOT NULL,"
                            " UNIQUE (ledger, station, run, seq))"}) {
        if (!q.exec(QLatin1String(sql))) {
            const QString error = q.lastError().text();
            m_db.close();
            return fail(error);
        }
    }
    return true;
}

int LedgerSpool::count(const QString &ledger)
{
    if (!open(false))
        return m_error.isEmpty() ? 0 : -1;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM tq_spool WHERE ledger = ?"));
    q.addBindValue(ledger);
    if (!q.exec() || !q.next()) {
        fail(q.lastError().text());
        return -1;
    }
    return q.value(0).toInt();
}

bool LedgerSpool::add(const QString &ledger, const LedgerRecord &r)
{
    if (!open(true))
        return false;
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("INSERT INTO tq_spool (ledger, station, run, seq, record) VALUES (?, ?, ?, ?, ?)"
                             " ON CONFLICT (ledger, station, run, seq) DO NOTHING"));
    q.addBindValue(ledger);
    q.addBindValue(r.station);
    q.addBindValue(r.run);
    q.addBindValue(qlonglong(r.sequence));
    q.addBindValue(QString::fromUtf8(QJsonDocument(recordJson(r)).toJson(QJsonDocument::Compact)));
    return q.exec() || fail(q.lastError().text());
}

bool LedgerSpool::waiting(const QString &ledger, QVector<LedgerRecord> *records)
{
    records->clear();
    if (!open(false))
        return m_error.isEmpty();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT record FROM tq_spool WHERE ledger = ? ORDER BY id"));
    q.addBindValue(ledger);
    if (!q.exec())
        return fail(q.lastError().text());
    while (q.next()) {
        const QJsonDocument doc = QJsonDocument::fromJson(q.value(0).toString().toUtf8());
        if (!doc.isObject())
            return fail(QCoreApplication::translate("ledger", "一条暂存记录已损坏"));
        records->append(recordFromJson(doc.object()));
    }
    return true;
}

bool LedgerSpool::remove(const QString &ledger, const LedgerRecord &r)
{
    if (!open(false))
        return m_error.isEmpty();
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("DELETE FROM tq_spool WHERE ledger = ? AND station = ? AND run = ? AND seq = ?"));
    q.addBindValue(ledger);
    q.addBindValue(r.station);
    q.addBindValue(r.run);
    q.addBindValue(qlonglong(r.sequence));
    return q.exec() || fail(q.lastError().text());
}

SpooledStore::SpooledStore(std::unique_ptr<ProductionStore> server, const QString &spoolPath)
    : m_server(std::move(server)), m_spool(spoolPath)
{
}

bool SpooledStore::open(QString *error)
{
    m_waiting = m_spool.count(location());
    if (m_waiting < 0) {
        *error = m_spool.errorString();
        return false;
    }
    return true;
}

bool SpooledStore::server(bool ok)
{
    m_away = m_server->serverAway();
    return ok || fail(m_server->errorString());
}

bool SpooledStore::send()
{
    if (m_waiting == 0)
        return true;
    QVector<LedgerRecord> waiting;
    if (!m_spool.waiting(location(), &waiting))
        return fail(m_spool.errorString());
    for (const LedgerRecord &r : waiting) {
        if (!server(m_server->record(r)))
            return false;
        if (!m_spool.remove(location(), r))
            return fail(m_spool.errorString());
    }
    // Another process of this station may have added some meanwhile: they go with the next call.
    m_waiting = qMax(0, m_spool.count(location()));
    return true;
}

bool SpooledStore::record(const LedgerRecord &r)
{
    // Behind records that still wait, this one waits too (whatever keeps them there), so they reach the
    // server in their order. Sent and refused, it is the caller's to handle: a spool keeps only what the
    // server could not be asked.
    const bool queued = !send();
    if (!queued && server(m_server->record(r)))
        return true;
    if (!queued && !m_away)
        return false;
    const bool away = m_away;
    const QString error = m_error;
    if (!m_spool.add(location(), r))
        return fail(m_spool.errorString());
    m_waiting = qMax(m_waiting + 1, m_spool.count(location()));
    m_away = away;
    return away || fail(error);
}

bool SpooledStore::startStation(const SerialHolder &holder, int64_t *voided)
{
    return send() && server(m_server->startStation(holder, voided));
}

bool SpooledStore::createSpace(const SerialSpace &space)
{
    return send() && server(m_server->createSpace(space));
}

bool SpooledStore::space(const QString &name, SerialSpace *space)
{
    return server(m_server->space(name, space));
}

bool SpooledStore::reserve(const QString &space, const SerialHolder &holder, int count, QVector<int64_t> *values)
{
    return send() && server(m_server->reserve(space, holder, count, values));
}

bool SpooledStore::release(const QString &space, const SerialHolder &holder, const QVector<int64_t> &values)
{
    return send() && server(m_server->release(space, holder, values));
}

bool SpooledStore::status(LedgerStatus *status)
{
    return send() && server(m_server->status(status));
}

bool SpooledStore::find(const QString &space, int64_t value, QVector<LedgerRecord> *records,
                        std::optional<SerialState> *state)
{
    return send() && server(m_server->find(space, value, records, state));
}

bool SpooledStore::records(const QDateTime &since, QVector<LedgerRecord> *records)
{
    return send() && server(m_server->records(since, records));
}

bool SpooledStore::nextIndex(const QString &space, int64_t *index)
{
    return server(m_server->nextIndex(space, index));
}

bool SpooledStore::lease(const QString &space, const QString &station, const QStringList &ports, int64_t count,
                         QVector<SerialLease> *leases)
{
    return send() && server(m_server->lease(space, station, ports, count, leases));
}

bool SpooledStore::settleLease(int64_t id, bool ok, const QString &detail)
{
    return send() && server(m_server->settleLease(id, ok, detail));
}

bool SpooledStore::closeLease(const SerialHolder &holder, SerialLease::Reason reason, bool *closed)
{
    return send() && server(m_server->closeLease(holder, reason, closed));
}

bool SpooledStore::findLease(const QString &space, int64_t value, std::optional<SerialLease> *lease)
{
    return send() && server(m_server->findLease(space, value, lease));
}

bool SpooledStore::heldLeases(const QString &station, QVector<SerialLease> *leases)
{
    return send() && server(m_server->heldLeases(station, leases));
}

bool SpooledStore::stationFigures(const QDateTime &since, QVector<StationStatus> *stations)
{
    return send() && server(m_server->stationFigures(since, stations));
}
