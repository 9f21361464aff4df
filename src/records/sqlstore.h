#pragma once

#include "ledgerurl.h"
#include "productionstore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

#include <functional>

class QThread;

// The ledger in a database through Qt SQL: SQLite (QSQLITE: WAL journal, synchronous=FULL, a busy time-out)
// or PostgreSQL (QPSQL). Every statement is prepared with bound values; every change is one transaction.
// A PostgreSQL connection lost in the middle (a server restart, a dropped link) is opened anew and the
// transaction run once more: each one is safe to repeat (a record sent twice is kept once, a block reserved
// twice leaves the first to be voided), and a failed one changed nothing.
class SqlStore : public ProductionStore
{
public:
    explicit SqlStore(const LedgerLocation &location);
    ~SqlStore() override;
    SqlStore(const SqlStore &) = delete;
    SqlStore &operator=(const SqlStore &) = delete;

    // Connects and makes or brings forward the schema; false with the reason in `error`.
    bool open(QString *error);

    // The schema version this program writes.
    static int schemaVersion();
    // The statements that bring version n - 1 to n, at [n - 1] (the migration tests build older ledgers).
    static QVector<QStringList> schemaStepsFor(bool postgres);

    QString location() const override { return m_location.display(); }
    bool startStation(const SerialHolder &holder, int64_t *voided) override;
    bool record(const LedgerRecord &record) override;
    bool createSpace(const SerialSpace &space) override;
    bool space(const QString &name, SerialSpace *space) override;
    bool reserve(const QString &space, const SerialHolder &holder, int count, QVector<int64_t> *values) override;
    bool release(const QString &space, const SerialHolder &holder, const QVector<int64_t> &values) override;
    bool status(LedgerStatus *status) override;
    bool find(const QString &space, int64_t value, QVector<LedgerRecord> *records,
              std::optional<SerialState> *state) override;
    bool records(const QDateTime &since, QVector<LedgerRecord> *records) override;
    // Leases (sqllease.cpp).
    bool nextIndex(const QString &space, int64_t *index) override;
    bool lease(const QString &space, const QString &station, const QStringList &ports, int64_t count,
               QVector<SerialLease> *leases) override;
    bool settleLease(int64_t id, bool ok, const QString &detail) override;
    bool closeLease(const SerialHolder &holder, SerialLease::Reason reason, bool *closed) override;
    bool findLease(const QString &space, int64_t value, std::optional<SerialLease> *lease) override;
    bool heldLeases(const QString &station, QVector<SerialLease> *leases) override;
    bool stationFigures(const QDateTime &since, QVector<StationStatus> *stations) override;
    bool watchRecords(std::function<void()> onRecord) override;
    // A connection announces a kept record at most once in this time (watchRecords): a listener that looks
    // again this long after the last notice it got has seen every record.
    static constexpr int kRecordNoticeMs = 1000;

    // Whether the server still answers. A connection found lost is made anew (listening again when watched),
    // and `renewed` says so: what was announced in between was missed. False when the server cannot be reached.
    bool check(bool *renewed);

private:
    bool postgres() const { return m_location.kind == LedgerLocation::Kind::Postgres; }
    bool connect();
    bool useWal(QSqlQuery &query);
    bool ownThread();
    // Together: runs `body` between BEGIN and COMMIT, rolled back when it or the commit fails. ByItself: `body`
    // is one statement that commits alone (PostgreSQL), whole or not at all.
    enum class Commit { Together, ByItself };
    bool transaction(const std::function<bool()> &body, Commit commit = Commit::Together);
    bool attempt(const std::function<bool()> &body, Commit commit);
    bool connectionLost();
    bool serverGone();  // false, noting a server that cannot be reached
    // Prepares and runs `sql` with `values` bound in order (":a" ... placeholders); false sets the error.
    bool run(QSqlQuery &query, const QString &sql, const QVariantList &values = {});
    // The same for the statements every chip runs: prepared once per connection and kept, so a record costs
    // the server no parsing and no round trip to prepare. The caller finishes a query it read from.
    bool runKept(const QString &sql, const QVariantList &values, QSqlQuery **query = nullptr);
    bool statementFailed(const QSqlQuery &query);
    void disconnect();
    bool ensureSchema();
    // The ledger's schema version, 0 when it has none yet; false for one this program cannot use.
    bool readSchemaVersion(int *version);
    // PostgreSQL: the block taken in a transaction that frees the space's counter without waiting for the disk,
    // then made durable by one of the station's own. `lost`: the server forgot the block before that.
    bool reserveDurably(const QString &space, const SerialHolder &holder, int count, QVector<int64_t> *values, bool *lost);
    // SQLite: the counter's move and the block in one transaction.
    bool reserveTogether(const QString &space, const SerialHolder &holder, int count, QVector<int64_t> *values);
    bool usedUp(const QString &space, int64_t total);
    bool noSpace(const QString &space);
    bool readSpace(const QString &name, SerialSpace *space, bool *found);
    bool queryRecords(const QString &where, const QVariantList &values, QVector<LedgerRecord> *records);
    bool dbFail(const QString &detail);
    // The space's leases in `status`: their values, and the held ones (inside status()'s transaction).
    bool leaseStatus(SpaceStatus *status);
    bool readNextIndex(const QString &space, int64_t *next, int64_t *total);
    static QString timeNow();           // as the ledger keeps times
    static QVariant textValue(const QString &value);  // empty, never NULL
    bool listenForRecords();  // on the open connection, when watched

    LedgerLocation m_location;
    QString m_connection;
    QSqlDatabase m_db;
    QThread *m_thread = nullptr;
    QHash<QString, QSqlQuery> m_kept;  // of the open connection
    std::function<void()> m_onRecord;
    int m_connections = 0;
    QElapsedTimer m_lastNotice;  // since this connection's last announced record  // made so far, the first included
    bool m_rolledBack = false;  // the running transaction was already rolled back after a failed statement
};
