#include "productionstore.h"

#include "csvstore.h"
#include "ledgerspool.h"
#include "ledgerurl.h"
#include "sqlstore.h"

#include <QCoreApplication>

QString serialStateName(SerialState state)
{
    switch (state) {
    case SerialState::Reserved:
        return QStringLiteral("reserved");
    case SerialState::Written:
        return QStringLiteral("written");
    case SerialState::Void:
        break;
    }
    return QStringLiteral("void");
}

QString SerialLease::stateName(State state)
{
    switch (state) {
    case State::Pending:
        return QStringLiteral("pending");
    case State::Open:
        return QStringLiteral("open");
    case State::Closed:
        return QStringLiteral("closed");
    case State::Void:
        break;
    }
    return QStringLiteral("void");
}

QString SerialLease::reasonName(Reason reason)
{
    switch (reason) {
    case Reason::Replaced:
        return QStringLiteral("replaced");
    case Reason::Erased:
        return QStringLiteral("erased");
    case Reason::DownloadFailed:
        return QStringLiteral("download failed");
    case Reason::None:
        break;
    }
    return QString();
}

bool ProductionStore::unsupported()
{
    return fail(QCoreApplication::translate("ledger", "CSV 账本只记录芯片，不管理序列号，也不能查询：请用 sqlite: 或 postgresql:// 账本"));
}

bool ProductionStore::startStation(const SerialHolder &, int64_t *voided)
{
    *voided = 0;
    return true;
}

bool ProductionStore::createSpace(const SerialSpace &)
{
    return unsupported();
}

bool ProductionStore::space(const QString &, SerialSpace *)
{
    return unsupported();
}

bool ProductionStore::reserve(const QString &, const SerialHolder &, int, QVector<int64_t> *)
{
    return unsupported();
}

bool ProductionStore::release(const QString &, const SerialHolder &, const QVector<int64_t> &)
{
    return unsupported();
}

bool ProductionStore::status(LedgerStatus *)
{
    return unsupported();
}

bool ProductionStore::find(const QString &, int64_t, QVector<LedgerRecord> *, std::optional<SerialState> *)
{
    return unsupported();
}

bool ProductionStore::records(const QDateTime &, QVector<LedgerRecord> *)
{
    return unsupported();
}

bool ProductionStore::leasesUnsupported()
{
    return fail(QCoreApplication::translate("ledger", "CSV 账本不能给 Link 租出序列号段：请用 sqlite: 或 postgresql:// 账本"));
}

bool ProductionStore::nextIndex(const QString &, int64_t *)
{
    return leasesUnsupported();
}

bool ProductionStore::lease(const QString &, const QString &, const QStringList &, int64_t, QVector<SerialLease> *)
{
    return leasesUnsupported();
}

bool ProductionStore::settleLease(int64_t, bool, const QString &)
{
    return leasesUnsupported();
}

bool ProductionStore::closeLease(const SerialHolder &, SerialLease::Reason, bool *closed)
{
    // A ledger without leases holds none to close.
    *closed = false;
    return true;
}

bool ProductionStore::findLease(const QString &, int64_t, std::optional<SerialLease> *lease)
{
    lease->reset();
    return true;
}

bool ProductionStore::heldLeases(const QString &, QVector<SerialLease> *leases)
{
    leases->clear();
    return true;
}

bool ProductionStore::stationFigures(const QDateTime &, QVector<StationStatus> *)
{
    return unsupported();
}

bool ProductionStore::watchRecords(std::function<void()>)
{
    return false;
}

std::unique_ptr<ProductionStore> openProductionStore(const QString &url, QString *error, bool *serverAway)
{
    if (serverAway)
        *serverAway = false;
    LedgerLocation location;
    if (!parseLedgerUrl(url, &location, error))
        return nullptr;
    if (location.kind == LedgerLocation::Kind::Csv) {
        auto store = std::make_unique<CsvStore>(location.path);
        if (!store->open(error))
            return nullptr;
        return store;
    }
    auto store = std::make_unique<SqlStore>(location);
    if (!store->open(error)) {
        if (serverAway)
            *serverAway = store->serverAway();
        return nullptr;
    }
    if (location.kind != LedgerLocation::Kind::Postgres)
        return store;
    auto spooled = std::make_unique<SpooledStore>(std::move(store), ledgerSpoolPath());
    if (!spooled->open(error))
        return nullptr;
    return spooled;
}
