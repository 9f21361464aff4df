#pragma once

#include "production/productionsettings.h"
#include "records/productionstore.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

struct CliContext;

// Serial numbers for Links that burn stand-alone, from the ledger: a download with --serial NAME leases each
// Link a block of burn-limit values of the space (the Link can burn no more) and writes the block's first value
// into the Link's rolling record; the Link then counts by the space's step. The ledger never learns which of a
// block's values reached chips, so every leased value stays taken for good (see SerialLease).

// Why a project's rolling record cannot carry leases of `space`: it writes elsewhere (area, address), in another
// width or radix, by another step or in the other direction. Empty when it agrees.
QString leaseRecordProblem(const SerialSpace &space, const rolling_seting_t &record);
// Why `links` blocks of `count` values from the space's index `next` on cannot be leased: the space has fewer
// left, or a value would not fit the record's width. Empty when they can.
QString leaseFitProblem(const SerialSpace &space, int64_t next, const rolling_seting_t &record, int links, int64_t count);
// `record` starting at the lease's first value.
rolling_seting_t leasedRecord(const rolling_seting_t &record, const SerialLease &lease);

// The port of the one Link a command drives: --link PORT, else the one attached Link's; empty when none is.
QString oneLinkPort(const CliContext &ctx);

// The ledger's side of a download with --serial, for one Link or a gang. Every refusal comes before anything
// is leased or downloaded.
class LinkLeases
{
public:
    LinkLeases();
    ~LinkLeases();

    // Checks the loaded project (serial number on, burn limit on, its record as the space says) and the ledger
    // (one that keeps leases, the space with values for `links` blocks) and keeps the ledger open. 0, or the
    // exit status after the message.
    int prepare(const CliContext &ctx, int links);
    // One pending lease per port, what those ports held closed in the same transaction; each Link's block
    // shown. 0, or the exit status after the message.
    int take(const CliContext &ctx, const QStringList &ports);
    // The lease of `port`, once taken; null for a port without one.
    const SerialLease *leaseOf(const QString &port) const;
    // The download to `port` ended: its lease open when `ok`, else void with `detail` (the result). 0, or the
    // exit status after the message.
    int settle(const CliContext &ctx, const QString &port, bool ok, const QString &detail);
    // {"lease": {...}} for the result of `port` (see leaseJson), as settled; empty for a port without one.
    QJsonObject resultJson(const QString &port) const;

private:
    int indexOf(const QString &port) const;  // -1 for a port without a lease
    int ledgerFailed(const CliContext &ctx) const;

    std::unique_ptr<ProductionStore> m_store;
    SerialSpace m_space;
    rolling_seting_t m_record{};
    QString m_station;
    int64_t m_count = 0;
    QVector<SerialLease> m_leases;
};

// A download without --serial (the Link's store is replaced) or an erase of the Link's store: closes the lease
// that this station holds at `port`, when a ledger that keeps leases is given (--ledger, TQ_LEDGER). 0, or the
// exit status after the message.
int closeHeldLease(const CliContext &ctx, const QString &port, SerialLease::Reason reason);
