#pragma once

#include "productionstore.h"

#include <QSqlDatabase>

#include <memory>

// Where a station keeps the records it could not send: $TQ_LEDGER_SPOOL, else ledger-spool.db in the
// program's data folder of this user.
QString ledgerSpoolPath();

// A station's records waiting for the ledger's server, in a SQLite file of this computer (WAL,
// synchronous=FULL: a record is on the disk before the next chip, as it would be on the server). Made only
// when first needed. Records are kept per ledger (its location), so one never reaches another ledger; a
// record is known by its key (station, run, sequence): added twice, it is kept once.
class LedgerSpool
{
public:
    explicit LedgerSpool(const QString &path);
    ~LedgerSpool();
    LedgerSpool(const LedgerSpool &) = delete;
    LedgerSpool &operator=(const LedgerSpool &) = delete;

    QString path() const { return m_path; }
    QString errorString() const { return m_error; }
    // How many records wait; 0 also when there is no spool file yet. -1 with errorString() when unreadable.
    int count(const QString &ledger);
    bool add(const QString &ledger, const LedgerRecord &record);
    // Every waiting record, in the order they were added.
    bool waiting(const QString &ledger, QVector<LedgerRecord> *records);
    bool remove(const QString &ledger, const LedgerRecord &record);

private:
    bool open(bool create);
    bool fail(const QString &detail);

    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
    QString m_error;
};

// A PostgreSQL ledger with its spool: when the server is away, records go to the spool and the call
// succeeds; every later call first sends what waits (the server keeps a record once, by its key), so the
// records reach the server in their order before anything else is asked of it. Serials still come only from
// the server: with the server away, reserve() fails and serverAway() says so. A station's start sends its
// spool before it voids its unsettled values, so a value a spooled record settles is never voided instead.
class SpooledStore : public ProductionStore
{
public:
    SpooledStore(std::unique_ptr<ProductionStore> server, const QString &spoolPath);

    // Reads how many records wait from an earlier run; false with `error` when the spool is unreadable.
    bool open(QString *error);

    QString location() const override { return m_server->location(); }
    int waiting() const override { return m_waiting; }
    bool sendWaiting() override { return send(); }
    QString spoolPath() const { return m_spool.path(); }
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
    bool nextIndex(const QString &space, int64_t *index) override;
    bool lease(const QString &space, const QString &station, const QStringList &ports, int64_t count,
               QVector<SerialLease> *leases) override;
    bool settleLease(int64_t id, bool ok, const QString &detail) override;
    bool closeLease(const SerialHolder &holder, SerialLease::Reason reason, bool *closed) override;
    bool findLease(const QString &space, int64_t value, std::optional<SerialLease> *lease) override;
    bool heldLeases(const QString &station, QVector<SerialLease> *leases) override;
    bool stationFigures(const QDateTime &since, QVector<StationStatus> *stations) override;
    bool watchRecords(std::function<void()> onRecord) override { return m_server->watchRecords(std::move(onRecord)); }

private:
    // Sends what waits; false (with serverAway() when that was why) when some still waits.
    bool send();
    // The server's answer to a call, its error and whether it was away taken over.
    bool server(bool ok);

    std::unique_ptr<ProductionStore> m_server;
    LedgerSpool m_spool;
    int m_waiting = 0;
};
