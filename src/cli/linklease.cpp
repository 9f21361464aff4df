#include "linklease.h"

#include "commands.h"
#include "exitstatus.h"
#include "ledgerargs.h"
#include "engine/resultcodes.h"
#include "production/rollingrules.h"
#include "records/ledgerexport.h"
#include "records/ledgerurl.h"
#include "session/attachedlinks.h"

#include <QCoreApplication>

namespace {
QString directionText(bool up)
{
    return up ? QCoreApplication::translate("ledger", "递增") : QCoreApplication::translate("ledger", "递减");
}

// The ledger given to a command, when it keeps leases: none (and 0) when no ledger, or a CSV one, is given and
// none is `required`. 0, or the exit status after the message.
int openLeaseLedger(const CliContext &ctx, bool required, std::unique_ptr<ProductionStore> *store)
{
    const QString url = ledgerUrlOf(ctx.options);
    if (url.isEmpty()) {
        if (!required)
            return ExitStatus::Success;
        ctx.error(QCoreApplication::translate("ledger", "没有账本：请用 --ledger URL 或环境变量 TQ_LEDGER 指定"));
        return ExitStatus::Usage;
    }
    LedgerLocation location;
    QString error;
    if (!parseLedgerUrl(url, &location, &error)) {
        ctx.error(error);
        return ExitStatus::Usage;
    }
    if (location.kind == LedgerLocation::Kind::Csv) {
        if (!required)
            return ExitStatus::Success;
        ctx.error(QCoreApplication::translate("ledger", "CSV 账本不能给 Link 租出序列号段：请用 sqlite: 或 postgresql:// 账本"));
        return ExitStatus::Usage;
    }
    bool away = false;
    *store = openProductionStore(url, &error, &away);
    if (!*store) {
        ctx.error(error);
        return away ? ExitStatus::LedgerAway : ExitStatus::CannotWrite;
    }
    return ExitStatus::Success;
}

int storeFailed(const CliContext &ctx, const ProductionStore &store)
{
    ctx.error(store.errorString());
    return store.serverAway() ? ExitStatus::LedgerAway : ExitStatus::CannotWrite;
}

// A lease that `port` held, closed for `reason`.
QString closedText(const QString &port, const QString &station, SerialLease::Reason reason)
{
    const QString why = reason == SerialLease::Reason::Erased ? QCoreApplication::translate("ledger", "Link 的存储已擦除")
                                                                : QCoreApplication::translate("ledger", "新的下载替换了 Link 中的工程");
    return QCoreApplication::translate("ledger", "%1：工位 %2 在这个 Link 上的序列号租约已关闭（%3）；其中未用的值不会再发出").arg(port, station, why);
}
}

QString leaseRecordProblem(const SerialSpace &space, const rolling_seting_t &record)
{
    const SerialSpace project = spaceFromRolling(space.name, record, space.first, space.last);
    QStringList differences;
    if (project.area != space.area || project.address != space.address)
        differences << QCoreApplication::translate("ledger", "写在 %1 0x%2，空间写在 %3 0x%4")
                           .arg(rollingAreaText(project.area), QString::number(project.address, 16).toUpper(), rollingAreaText(space.area),
                                QString::number(space.address, 16).toUpper());
    if (project.width != space.width)
        differences << QCoreApplication::translate("ledger", "宽度 %1 字节，空间 %2 字节").arg(project.width).arg(space.width);
    if (project.radix != space.radix)
        differences << QCoreApplication::translate("ledger", "%1 进制，空间 %2 进制").arg(project.radix).arg(space.radix);
    if (project.step != space.step)
        differences << QCoreApplication::translate("ledger", "步长 %1，空间 %2").arg(project.step).arg(space.step);
    if (space.first != space.last && record.incDec() != (space.direction() > 0))
        differences << QCoreApplication::translate("ledger", "%1，空间%2").arg(directionText(record.incDec()), directionText(space.direction() > 0));
    if (differences.isEmpty())
        return QString();
    return QCoreApplication::translate("ledger", "工程的序列号设置与序列号空间 %1 不符：%2").arg(space.name, differences.join(QStringLiteral("; ")));
}

QString leaseFitProblem(const SerialSpace &space, int64_t next, const rolling_seting_t &record, int links, int64_t count)
{
    const int64_t needed = int64_t(links) * count;
    const int64_t left = qMax<int64_t>(0, space.count() - next);
    if (needed > left)
        return QCoreApplication::translate("ledger", "序列号空间 %1 只剩 %2 个值，不够 %3 个 Link 各租 %4 个（共 %5 个）")
            .arg(space.name).arg(left).arg(links).arg(count).arg(needed);
    const int64_t largest = qMin<int64_t>(int64_t(rolling::maxStartValue(record.bitSize, record.radix)), 0xFFFFFFFFll);
    for (int64_t value : {space.valueAt(next), space.valueAt(next + needed - 1)}) {
        if (value < 0 || value > largest)
            return QCoreApplication::translate("ledger", "序列号 %1 超出工程序列号的 %2 位宽度").arg(serialText(space, value)).arg(8 * ((record.bitSize & 0x07) + 1));
    }
    return QString();
}

rolling_seting_t leasedRecord(const rolling_seting_t &record, const SerialLease &lease)
{
    rolling_seting_t r = record;
    r.startVal = uint32_t(lease.first);
    return r;
}

QString oneLinkPort(const CliContext &ctx)
{
    if (!ctx.options.link.isEmpty())
        return ctx.options.link;
    const QVector<AttachedLink> links = attachedLinks(ctx.options.emulate, ctx.options.emulateDir);
    return links.size() == 1 ? links.first().port : QString();
}

LinkLeases::LinkLeases() = default;
LinkLeases::~LinkLeases() = default;

int LinkLeases::prepare(const CliContext &ctx, int links)
{
    const QString project = ctx.options.operands.value(0);
    if (!g_bEnRollCode) {
        ctx.error(QCoreApplication::translate("ledger", "%1：工程没有启用序列号：--serial 需要工程的序列号设置（写在哪里、怎样写）").arg(project));
        return ExitStatus::BadInput;
    }
    if (!g_bEnLimit || g_nLimitCount == 0) {
        ctx.error(QCoreApplication::translate("ledger", "%1：工程没有启用烧录次数限制：--serial 给每个 Link 租出“烧录次数 × 步长”的一段序列号，"
                     "没有限制就不知道一个 Link 会用多少").arg(project));
        return ExitStatus::BadInput;
    }
    m_record = g_rollingSet;
    m_count = g_nLimitCount;
    m_station = stationOf(ctx.options);
    if (const int status = openLeaseLedger(ctx, true, &m_store))
        return status;
    int64_t next = 0;
    if (!m_store->space(ctx.options.serialSpace, &m_space) || !m_store->nextIndex(m_space.name, &next))
        return ledgerFailed(ctx);
    QString problem = leaseRecordProblem(m_space, m_record);
    if (problem.isEmpty())
        problem = leaseFitProblem(m_space, next, m_record, links, m_count);
    if (!problem.isEmpty()) {
        ctx.error(QCoreApplication::translate("cli", "%1: %2").arg(project, problem));
        return ExitStatus::BadInput;
    }
    return ExitStatus::Success;
}

int LinkLeases::take(const CliContext &ctx, const QStringList &ports)
{
    // What the Links held before, for the operator: the lease closes them in its own transaction.
    QVector<SerialLease> held;
    if (!m_store->heldLeases(m_station, &held) || !m_store->lease(m_space.name, m_station, ports, m_count, &m_leases))
        return ledgerFailed(ctx);
    for (const SerialLease &old : qAsConst(held)) {
        if (ports.contains(old.port))
            ctx.error(closedText(old.port, m_station, SerialLease::Reason::Replaced));
    }
    for (const SerialLease &l : qAsConst(m_leases)) {
        ctx.error(QCoreApplication::translate("ledger", "%1：序列号 %2 到 %3（%4 个，空间 %5，工位 %6）")
                      .arg(l.port, serialText(m_space, l.first), serialText(m_space, l.last))
                      .arg(l.count)
                      .arg(m_space.name, m_station));
    }
    return ExitStatus::Success;
}

int LinkLeases::indexOf(const QString &port) const
{
    for (int i = 0; i < m_leases.size(); ++i) {
        if (m_leases[i].port == port)
            return i;
    }
    return -1;
}

const SerialLease *LinkLeases::leaseOf(const QString &port) const
{
    const int i = indexOf(port);
    return i < 0 ? nullptr : &m_leases[i];
}

int LinkLeases::settle(const CliContext &ctx, const QString &port, bool ok, const QString &detail)
{
    const int i = indexOf(port);
    if (i < 0)
        return ExitStatus::Success;
    SerialLease *l = &m_leases[i];
    if (m_store->settleLease(l->id, ok, detail)) {
        l->state = ok ? SerialLease::State::Open : SerialLease::State::Void;
        l->reason = ok ? SerialLease::Reason::None : SerialLease::Reason::DownloadFailed;
        l->detail = ok ? QString() : detail;
        l->settled = QDateTime::currentDateTimeUtc();
        return ExitStatus::Success;
    }
    const QString range = QCoreApplication::translate("ledger", "%1 到 %2").arg(serialText(m_space, l->first), serialText(m_space, l->last));
    ctx.error(ok ? QCoreApplication::translate("ledger", "%1：Link 已存下工程，但账本没能把序列号 %2 的租约记为已下载，它仍显示为下载中（这些值不会再发出）").arg(port, range)
                 : QCoreApplication::translate("ledger", "%1：下载失败，但账本没能作废序列号 %2 的租约，它仍显示为下载中（这些值不会再发出）").arg(port, range));
    return ledgerFailed(ctx);
}

QJsonObject LinkLeases::resultJson(const QString &port) const
{
    const SerialLease *l = leaseOf(port);
    return l ? QJsonObject{{QStringLiteral("lease"), leaseJson(*l)}} : QJsonObject();
}

int LinkLeases::ledgerFailed(const CliContext &ctx) const
{
    return storeFailed(ctx, *m_store);
}

int closeHeldLease(const CliContext &ctx, const QString &port, SerialLease::Reason reason)
{
    std::unique_ptr<ProductionStore> store;
    if (const int status = openLeaseLedger(ctx, false, &store))
        return status;
    if (!store || port.isEmpty())
        return ExitStatus::Success;
    const QString station = stationOf(ctx.options);
    bool closed = false;
    if (!store->closeLease({station, port}, reason, &closed))
        return storeFailed(ctx, *store);
    if (closed)
        ctx.error(closedText(port, station, reason));
    return ExitStatus::Success;
}
