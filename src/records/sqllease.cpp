// The ledger's leases to Links, in its database (see SerialLease).
#include "sqlstore.h"

#include <QCoreApplication>
#include <QSqlQuery>

namespace {
const QString kLeaseColumns = QStringLiteral(
    "id, space, station, port, first_value, last_value, value_count, leased_at, state, settled_at, reason, detail");

// A lease its Link holds, as far as the ledger knows.
const QString kHeld = QStringLiteral("state IN ('pending', 'open')");

SerialLease::State stateFrom(const QString &name)
{
    for (SerialLease::State state : {SerialLease::State::Pending, SerialLease::State::Open, SerialLease::State::Closed}) {
        if (name == SerialLease::stateName(state))
            return state;
    }
    return SerialLease::State::Void;
}

SerialLease::Reason reasonFrom(const QString &name)
{
    for (SerialLease::Reason reason : {SerialLease::Reason::Replaced, SerialLease::Reason::Erased, SerialLease::Reason::DownloadFailed}) {
        if (name == SerialLease::reasonName(reason))
            return reason;
    }
    return SerialLease::Reason::None;
}

SerialLease leaseFrom(const QSqlQuery &q)
{
    SerialLease l;
    int i = 0;
    l.id = q.value(i++).toLongLong();
    l.space = q.value(i++).toString();
    l.station = q.value(i++).toString();
    l.port = q.value(i++).toString();
    l.first = q.value(i++).toLongLong();
    l.last = q.value(i++).toLongLong();
    l.count = q.value(i++).toLongLong();
    l.leased = QDateTime::fromString(q.value(i++).toString(), Qt::ISODateWithMs);
    l.state = stateFrom(q.value(i++).toString());
    l.settled = QDateTime::fromString(q.value(i++).toString(), Qt::ISODateWithMs);
    l.reason = reasonFrom(q.value(i++).toString());
    l.detail = q.value(i++).toString();
    return l;
}

}

bool SqlStore::readNextIndex(const QString &spaceName, int64_t *next, int64_t *total)
{
    QSqlQuery q(m_db);
    if (!run(q, QStringLiteral("SELECT next_index, total FROM tq_space WHERE name = ?"), {spaceName}))
        return false;
    if (!q.next())
        return noSpace(spaceName);
    *next = q.value(0).toLongLong();
    *total = q.value(1).toLongLong();
    return true;
}

bool SqlStore::nextIndex(const QString &spaceName, int64_t *index)
{
    int64_t next = 0, total = 0;
    const bool ok = transaction([&] { return readNextIndex(spaceName, &next, &total); });
    if (ok)
        *index = next;
    return ok;
}

bool SqlStore::lease(const QString &spaceName, const QString &station, const QStringList &ports, int64_t count,
                     QVector<SerialLease> *leases)
{
    if (count < 1 || ports.isEmpty())
        return fail(QCoreApplication::translate("ledger", "租出的序列号个数须至少为 1"));
    const int64_t needed = count * ports.size();
    QVector<SerialLease> made;
    // Safe to run again after a lost answer: the first try's leases are closed as replaced by the second's,
    // their values taken all the same.
    const bool ok = transaction([&] {
        made.clear();
        const QString at = timeNow();
        QSqlQuery q(m_db);
        for (const QString &port : ports) {
            if (!run(q, QStringLiteral("UPDATE tq_lease SET state = 'closed', reason = ?, settled_at = ? WHERE station = ?"
                                       " AND port = ? AND ") + kHeld,
                     {SerialLease::reasonName(SerialLease::Reason::Replaced), at, textValue(station), textValue(port)}))
                return false;
        }
        // One statement moves the counter past every block, or none when they do not all fit.
        if (!run(q, QStringLiteral("UPDATE tq_space SET next_index = next_index + ? WHERE name = ? AND next_index + ? <= total"
                                   " RETURNING next_index"),
                 {qlonglong(needed), spaceName, qlonglong(needed)}))
            return false;
        if (!q.next()) {
            q.finish();
            int64_t next = 0, total = 0;
            if (!readNextIndex(spaceName, &next, &total))
                return false;
            return fail(QCoreApplication::translate("ledger", "序列号空间 %1 只剩 %2 个值，不够 %3 个 Link 各租 %4 个（共 %5 个）")
                            .arg(spaceName).arg(total - next).arg(ports.size()).arg(count).arg(needed));
        }
        const int64_t start = q.value(0).toLongLong() - needed;
        q.finish();
        SerialSpace s;
        bool found = false;
        if (!readSpace(spaceName, &s, &found))
            return false;
        for (int i = 0; i < ports.size(); ++i) {
            SerialLease l;
            l.space = spaceName;
            l.station = station;
            l.port = ports[i];
            l.count = count;
            const int64_t firstIndex = start + i * count;
            l.first = s.valueAt(firstIndex);
            l.last = s.valueAt(firstIndex + count - 1);
            l.leased = QDateTime::fromString(at, Qt::ISODateWithMs);
            if (!run(q, QStringLiteral("INSERT INTO tq_lease (space, station, port, first_index, value_count, first_value,"
                                       " last_value, state, leased_at) VALUES (?,?,?,?,?,?,?,'pending',?) RETURNING id"),
                     {spaceName, textValue(station), textValue(l.port), qlonglong(firstIndex), qlonglong(count),
                      qlonglong(l.first), qlonglong(l.last), at}))
                return false;
            if (!q.next())
                return dbFail(QStringLiteral("INSERT ... RETURNING id"));
            l.id = q.value(0).toLongLong();
            q.finish();
            made << l;
        }
        return true;
    });
    if (ok)
        *leases = made;
    return ok;
}

bool SqlStore::settleLease(int64_t id, bool ok, const QString &detail)
{
    const SerialLease::State state = ok ? SerialLease::State::Open : SerialLease::State::Void;
    return transaction([&] {
        QSqlQuery q(m_db);
        // Settled the same way already (the answer of the first try lost) counts as done.
        if (!run(q, QStringLiteral("UPDATE tq_lease SET state = ?, reason = ?, detail = ?, settled_at = ? WHERE id = ?"
                                   " AND state IN ('pending', ?)"),
                 {SerialLease::stateName(state),
                  textValue(SerialLease::reasonName(ok ? SerialLease::Reason::None : SerialLease::Reason::DownloadFailed)),
                  textValue(detail), timeNow(), qlonglong(id), SerialLease::stateName(state)}))
            return false;
        if (q.numRowsAffected() != 1)
            return fail(QCoreApplication::translate("ledger", "租约 %1 已不在下载中（另一次下载或擦除已把它关闭）").arg(id));
        return true;
    });
}

bool SqlStore::closeLease(const SerialHolder &holder, SerialLease::Reason reason, bool *closed)
{
    int64_t rows = 0;
    const bool ok = transaction([&] {
        QSqlQuery q(m_db);
        if (!run(q, QStringLiteral("UPDATE tq_lease SET state = 'closed', reason = ?, settled_at = ? WHERE station = ?"
                                   " AND port = ? AND ") + kHeld,
                 {SerialLease::reasonName(reason), timeNow(), textValue(holder.station), textValue(holder.port)}))
            return false;
        rows = q.numRowsAffected();
        return true;
    });
    if (ok)
        *closed = rows > 0;
    return ok;
}

bool SqlStore::findLease(const QString &spaceName, int64_t value, std::optional<SerialLease> *lease)
{
    std::optional<SerialLease> found;
    const bool ok = transaction([&] {
        found.reset();
        SerialSpace s;
        bool known = false;
        if (!readSpace(spaceName, &s, &known))
            return false;
        if (!known)
            return noSpace(spaceName);
        const int64_t offset = (value - s.first) * s.direction();
        if (offset < 0 || offset % s.step != 0 || offset / s.step >= s.count())
            return true;
        const int64_t index = offset / s.step;
        QSqlQuery q(m_db);
        // The counter only moves on, so one lease at most holds an index.
        if (!run(q, QStringLiteral("SELECT %1 FROM tq_lease WHERE space = ? AND first_index <= ? AND first_index + value_count > ?")
                        .arg(kLeaseColumns),
                 {spaceName, qlonglong(index), qlonglong(index)}))
            return false;
        if (q.next())
            found = leaseFrom(q);
        return true;
    });
    if (ok)
        *lease = found;
    return ok;
}

bool SqlStore::heldLeases(const QString &station, QVector<SerialLease> *leases)
{
    QVector<SerialLease> held;
    const bool ok = transaction([&] {
        held.clear();
        QSqlQuery q(m_db);
        if (!run(q, QStringLiteral("SELECT %1 FROM tq_lease WHERE station = ? AND %2 ORDER BY port").arg(kLeaseColumns, kHeld),
                 {textValue(station)}))
            return false;
        while (q.next())
            held << leaseFrom(q);
        return true;
    });
    if (ok)
        *leases = held;
    return ok;
}

bool SqlStore::leaseStatus(SpaceStatus *st)
{
    QSqlQuery q(m_db);
    if (!run(q, QStringLiteral("SELECT state, CAST(SUM(value_count) AS BIGINT) FROM tq_lease WHERE space = ? GROUP BY state"),
             {st->space.name}))
        return false;
    while (q.next()) {
        const int64_t values = q.value(1).toLongLong();
        (stateFrom(q.value(0).toString()) == SerialLease::State::Void ? st->voided : st->leased) += values;
    }
    q.finish();
    if (!run(q, QStringLiteral("SELECT %1 FROM tq_lease WHERE space = ? AND %2 ORDER BY station, port").arg(kLeaseColumns, kHeld),
             {st->space.name}))
        return false;
    st->leases.clear();
    while (q.next())
        st->leases << leaseFrom(q);
    return true;
}
