#pragma once

#include "ledgerrecord.h"
#include "serialspace.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

// A block of a space's values given to a Link for stand-alone burning: the Link's rolling record starts at
// `first` and counts `count` values by the space's step. The Link burns them by itself, so which of them reach
// chips is never known to the ledger: a lease's values are taken from the space's counter once and for all,
// whatever becomes of the lease.
//
// A lease is pending from the moment it is taken until the download ends: open when the Link took the project,
// void when the download failed (`detail` says how). A station and port hold one lease at a time: the next
// download to that Link, or an erase of its store, closes the one it held. Closed and void are final.
struct SerialLease
{
    enum class State { Pending, Open, Closed, Void };
    enum class Reason { None, Replaced, Erased, DownloadFailed };

    int64_t id = 0;
    QString space;
    QString station;
    QString port;
    int64_t first = 0;
    int64_t last = 0;
    int64_t count = 0;
    QDateTime leased;    // when it was taken (UTC)
    State state = State::Pending;
    QDateTime settled;   // when it became open, closed or void (UTC); invalid while pending
    Reason reason = Reason::None;
    QString detail;      // the download's result, for a void lease

    bool held() const { return state == State::Pending || state == State::Open; }
    static QString stateName(State state);
    static QString reasonName(Reason reason);
};

// What `ledger status` shows of a serial space.
struct SpaceStatus
{
    SerialSpace space;
    int64_t total = 0;
    std::optional<int64_t> nextFree;  // none when every value was given out
    int64_t written = 0;
    int64_t voided = 0;    // also the values of void leases (their download failed: no chip has them)
    int64_t reserved = 0;
    int64_t leased = 0;    // values of pending, open and closed leases; written + voided + reserved + leased
                           // is every value given out
    QVector<SerialLease> leases;  // the held ones (pending and open), by station and port
};

// What `ledger status` shows of a station.
struct StationStatus
{
    QString station;
    int64_t chips = 0;
    int64_t passes = 0;
    int64_t failures = 0;
    QDateTime last;  // the station's latest record, whenever it was (stationFigures only)
};

struct LedgerStatus
{
    QVector<SpaceStatus> spaces;
    QVector<StationStatus> stations;
};

enum class SerialState { Reserved, Written, Void };

// Who holds a reservation: a station, and the Link port when the station runs several Links at once (each
// gang worker holds its own block and settles only its own).
struct SerialHolder
{
    SerialHolder(const QString &station, const QString &port = QString()) : station(station), port(port) {}
    QString station;
    QString port;
};
QString serialStateName(SerialState state);

// The production ledger, one interface for its three back-ends (CSV file, SQLite, PostgreSQL).
//
// A serial is reserved by a station in blocks (reserve), then settled with the chip's record: written when the
// chip passed, void when it did not (record). A value is given out once, whatever becomes of it: void values
// are never given again, and the database refuses a value twice. A station that stops without settling its
// block (a crash, a kill) has the rest voided at its next start (startStation). A record settles what its
// station and port hold.
//
// A store belongs to the thread that opened it (a database connection may only be used there). Every call
// returns false with errorString() (in the user's language) when it failed; a failed call changes nothing.
class ProductionStore
{
public:
    virtual ~ProductionStore() = default;

    virtual QString location() const = 0;  // for people; never holds a password
    QString errorString() const { return m_error; }
    // The last call failed because the ledger's server could not be reached (stopped, restarting, the network
    // down): the same call may succeed later. Only a server's store says so.
    bool serverAway() const { return m_away; }
    // Records kept on this computer while the server was away, to be sent when it is back.
    virtual int waiting() const { return 0; }
    // Sends the records that wait; false (serverAway() when that is why) when some still wait.
    virtual bool sendWaiting() { return true; }

    // Voids `holder`'s unsettled reservations (left by a run that ended without settling them).
    virtual bool startStation(const SerialHolder &holder, int64_t *voided);
    // Keeps `record`; one with a serial settles it in the same transaction (written on a pass, else void):
    // the serial must be held by the record's station and port.
    virtual bool record(const LedgerRecord &record) = 0;
    // A new space; refused when the name is taken.
    virtual bool createSpace(const SerialSpace &space);
    virtual bool space(const QString &name, SerialSpace *space);
    // Up to `count` next values of `space` for `holder`, in order; fewer only when the space runs out,
    // none (and false) when it is used up.
    virtual bool reserve(const QString &space, const SerialHolder &holder, int count, QVector<int64_t> *values);
    // Voids values `holder` reserved and will not use (the unused rest of a block at a clean end).
    virtual bool release(const QString &space, const SerialHolder &holder, const QVector<int64_t> &values);
    virtual bool status(LedgerStatus *status);
    // Every record of the value in `space`, oldest first, and the value's state (none when never given out).
    virtual bool find(const QString &space, int64_t value, QVector<LedgerRecord> *records,
                      std::optional<SerialState> *state);
    // Records from `since` on (all when invalid), oldest first.
    virtual bool records(const QDateTime &since, QVector<LedgerRecord> *records);
    // Every station that ever kept a record, by name: its chips, passes and failures from `since` on (a day of
    // the line) and the time of its latest record.
    virtual bool stationFigures(const QDateTime &since, QVector<StationStatus> *stations);
    // Has `onRecord` called, on this store's thread from its event loop, soon after any station keeps a record,
    // also after the connection was made anew. A station announces at most one record a second: look again a
    // second after the last call to have them all (SqlStore::kRecordNoticeMs). False when the back-end cannot
    // tell (then look from time to time).
    virtual bool watchRecords(std::function<void()> onRecord);

    // Leases to Links (see SerialLease). The index of `space`'s next free value (its count when used up).
    virtual bool nextIndex(const QString &space, int64_t *index);
    // One pending lease of `count` values of `space` for each of `ports` of `station`, the blocks one after
    // the other in the ports' order, in one transaction: what those ports held is closed (replaced) in it.
    // Refused whole, nothing changed, when the space has fewer values left.
    virtual bool lease(const QString &space, const QString &station, const QStringList &ports, int64_t count,
                       QVector<SerialLease> *leases);
    // The download of pending lease `id` ended: open when `ok`, else void with `detail`. False when the lease
    // is not pending any more.
    virtual bool settleLease(int64_t id, bool ok, const QString &detail);
    // Closes the lease `holder` holds (its Link's store is erased or being replaced); `closed` says whether
    // there was one.
    virtual bool closeLease(const SerialHolder &holder, SerialLease::Reason reason, bool *closed);
    // The lease of `space` whose block holds `value`, if any.
    virtual bool findLease(const QString &space, int64_t value, std::optional<SerialLease> *lease);
    // The leases `station` holds (pending and open), by port.
    virtual bool heldLeases(const QString &station, QVector<SerialLease> *leases);

protected:
    bool fail(const QString &error)
    {
        m_error = error;
        return false;
    }
    bool unsupported();
    bool leasesUnsupported();

    QString m_error;
    bool m_away = false;
};

// Opens the ledger at `url` (see ledgerurl.h): the schema is made on first use and brought forward to this
// program's version; a newer one is refused. Null with the reason in `error`; `serverAway` says whether the
// reason was a server that could not be reached. A PostgreSQL ledger comes with its spool (ledgerspool.h).
std::unique_ptr<ProductionStore> openProductionStore(const QString &url, QString *error, bool *serverAway = nullptr);
