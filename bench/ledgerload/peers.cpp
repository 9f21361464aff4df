#include "ledgerload.h"

#include "records/ledgerurl.h"
#include "records/productionstore.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

#include <memory>

namespace {
// A connection to the ledger's database as the store makes it (SQLite: WAL, synchronous=FULL), under `name`.
QSqlDatabase connectTo(const QString &url, const QString &name, QString *error)
{
    LedgerLocation loc;
    if (!parseLedgerUrl(url, &loc, error))
        return QSqlDatabase();
    const bool pg = loc.kind == LedgerLocation::Kind::Postgres;
    QSqlDatabase db = QSqlDatabase::addDatabase(pg ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(pg ? loc.database : loc.path);
    db.setHostName(loc.host);
    db.setUserName(loc.user);
    if (loc.port > 0)
        db.setPort(loc.port);
    if (!db.open()) {
        *error = db.lastError().text();
        return QSqlDatabase();
    }
    if (!pg) {
        QSqlQuery q(db);
        for (const char *pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL"}) {
            if (!q.exec(QLatin1String(pragma))) {
                *error = q.lastError().text();
                return QSqlDatabase();
            }
        }
    }
    return db;
}

double insertLoop(QSqlDatabase &db, int count, QVector<double> *latencies, QString *error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral(
            "CREATE TABLE peer_record (station TEXT, run TEXT, seq BIGINT, time TEXT, operator TEXT, port TEXT,"
            " label TEXT, firmware TEXT, program_version TEXT, chip TEXT, chip_id INTEGER, space TEXT, serial BIGINT,"
            " areas TEXT, checksums TEXT, image_checksum TEXT, result INTEGER, text TEXT, duration_ms BIGINT)"))) {
        *error = q.lastError().text();
        return 0;
    }
    if (!q.prepare(QStringLiteral("INSERT INTO peer_record VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"))) {
        *error = q.lastError().text();
        return 0;
    }
    QElapsedTimer all;
    all.start();
    for (int i = 1; i <= count; ++i) {
        const LedgerRecord r = loadRecord(QStringLiteral("peer"), QStringLiteral("usb01"), QStringLiteral("run"), i, i);
        for (const QVariant &v : QVariantList{r.station, r.run, qlonglong(r.sequence), r.time.toString(Qt::ISODateWithMs),
                                              r.operatorName, r.port, r.label, r.firmware, r.programVersion, r.chip,
                                              int(r.chipId), r.space, qlonglong(*r.serial), r.areas.join(QLatin1Char(' ')),
                                              r.checksums.join(QLatin1Char(' ')), r.imageChecksum, r.result, r.text,
                                              qlonglong(r.durationMs)})
            q.addBindValue(v);
        QElapsedTimer one;
        one.start();
        if (!q.exec()) {
            *error = q.lastError().text();
            return 0;
        }
        if (latencies)
            latencies->append(one.nsecsElapsed() / 1e6);
    }
    return count / (all.nsecsElapsed() / 1e9);
}
}

double plainInsertRate(const QString &url, int count, QVector<double> *latencies, QString *error)
{
    const QString name = QStringLiteral("ledger-load-peer");
    double rate = 0;
    {
        QSqlDatabase db = connectTo(url, name, error);
        if (db.isOpen())
            rate = insertLoop(db, count, latencies, error);
    }
    QSqlDatabase::removeDatabase(name);
    return rate;
}

bool runSingleStation(const QString &url, int count, SingleStation *result, QString *error)
{
    std::unique_ptr<ProductionStore> store = openProductionStore(url, error);
    if (!store)
        return false;
    const auto failed = [&] {
        *error = store->errorString();
        return false;
    };
    SerialSpace space;
    space.name = kLoadSpace;
    space.width = 4;
    space.first = 1;
    space.last = int64_t(count) * 2;
    if (!store->createSpace(space))
        return failed();
    const SerialHolder holder(QStringLiteral("alone"), QStringLiteral("usb01"));
    QVector<double> reservations;
    QVector<int64_t> block;
    QElapsedTimer all;
    all.start();
    for (int i = 1; i <= count; ++i) {
        if (block.isEmpty()) {
            QElapsedTimer t;
            t.start();
            if (!store->reserve(kLoadSpace, holder, kLoadBlock, &block))
                return failed();
            reservations << t.nsecsElapsed() / 1e6;
        }
        if (!store->record(loadRecord(holder.station, holder.port, QStringLiteral("run"), i, block.takeFirst())))
            return failed();
    }
    result->recordsPerSecond = count / (all.nsecsElapsed() / 1e9);
    result->reserveP99Ms = percentile99(reservations);
    result->records = count;
    return block.isEmpty() || store->release(kLoadSpace, holder, block) || failed();
}
