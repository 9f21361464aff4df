#include "commands.h"

#include "exitstatus.h"
#include "filesteps.h"
#include "ledgerargs.h"
#include "reports.h"
#include "files/filekind.h"
#include "files/inputfile.h"
#include "files/savefile.h"
#include "production/productionsettings.h"
#include "records/ledgerexport.h"
#include "records/ledgerurl.h"
#include "records/productionstore.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QSysInfo>

#include <memory>

namespace {
const QString kSpace = QStringLiteral("space");
const QString kStatus = QStringLiteral("status");
const QString kFind = QStringLiteral("find");
const QString kExport = QStringLiteral("export");

int usageError(const CliContext &ctx, const QString &text)
{
    ctx.error(QStringLiteral("tarnquill-cli ledger: ") + text);
    return ExitStatus::Usage;
}

// The subcommand's operand count and options; false after a usage error.
bool checkForm(const CliContext &ctx, int operands, const QStringList &options, int *status)
{
    const QStringList &args = ctx.options.operands;
    if (args.size() - 1 != operands) {
        *status = usageError(ctx, QCoreApplication::translate("ledger", "ledger %1 需要 %2 个参数，给了 %3 个")
                                      .arg(args[0]).arg(operands).arg(args.size() - 1));
        return false;
    }
    for (auto it = ctx.options.ledgerValues.constBegin(); it != ctx.options.ledgerValues.constEnd(); ++it) {
        if (!options.contains(it.key())) {
            *status = usageError(ctx, QCoreApplication::translate("ledger", "%1 不适用于 ledger %2").arg(it.key(), args[0]));
            return false;
        }
    }
    return true;
}

QString value(const CliContext &ctx, const char *name)
{
    return ctx.options.ledgerValues.value(QString::fromLatin1(name));
}

// The ledger of --ledger, else TQ_LEDGER; null after the error, with the exit status in `status`. Only a
// command that `makes` something may make the ledger file: one that looks is refused a file that is not there.
enum class LedgerUse { Look, Make };
std::unique_ptr<ProductionStore> openLedger(const CliContext &ctx, LedgerUse use, int *status)
{
    const QString url = ledgerUrlOf(ctx.options);
    if (url.isEmpty()) {
        *status = usageError(ctx, QCoreApplication::translate("ledger", "没有账本：请用 --ledger URL 或环境变量 TQ_LEDGER 指定"));
        return nullptr;
    }
    QString error;
    LedgerLocation location;
    if (!parseLedgerUrl(url, &location, &error)) {
        *status = usageError(ctx, error);
        return nullptr;
    }
    if (use == LedgerUse::Look && location.fileMissing()) {
        ctx.error(location.fileMissingText());
        *status = ExitStatus::BadInput;
        return nullptr;
    }
    auto store = openProductionStore(url, &error);
    if (!store) {
        ctx.error(error);
        *status = ExitStatus::CannotWrite;
    }
    return store;
}

int storeFailed(const CliContext &ctx, const ProductionStore &store)
{
    ctx.error(store.errorString());
    return ExitStatus::CannotWrite;
}

QString spaceText(const SerialSpace &s)
{
    return QCoreApplication::translate("ledger", "序列号空间 %1：%2 到 %3，步长 %4，共 %5 个；写在 %6 地址 0x%7，%8 字节，%9")
        .arg(s.name, serialText(s, s.first), serialText(s, s.last))
        .arg(s.step)
        .arg(s.count())
        .arg(rollingAreaText(s.area))
        .arg(QString::number(s.address, 16).toUpper())
        .arg(s.width)
        .arg((s.radix == 10 ? QCoreApplication::translate("ledger", "十进制 BCD") : QCoreApplication::translate("ledger", "十六进制"))
             + QStringLiteral(", ")
             + (s.byteOrder == SerialSpace::ByteOrder::MsbFirst ? QCoreApplication::translate("ledger", "高字节在前")
                                                                  : QCoreApplication::translate("ledger", "低字节在前")));
}

// The rolling record that says where and how: the project's (--from), else the chosen chip's default.
bool rollingRecord(const CliContext &ctx, rolling_seting_t *record, int *status)
{
    const QString project = value(ctx, "--from");
    if (!project.isEmpty()) {
        if (fileKindOf(project) != FileKind::Project) {
            *status = usageError(ctx, QCoreApplication::translate("ledger", "%1：--from 需要 .mprj 工程").arg(project));
            return false;
        }
        InputFile in;
        FileOutcome loaded = inspectInputFile(project, &in);
        if (loaded.ok())
            loaded = loadProjectFile(in, ctx.chips);
        ctx.errors(loaded.messages);
        if (!loaded.ok()) {
            *status = loaded.status;
            return false;
        }
        if (!g_bEnRollCode) {
            ctx.error(QCoreApplication::translate("ledger", "%1：工程没有启用序列号，不知道序列号写在哪里、怎样写").arg(project));
            *status = ExitStatus::BadInput;
            return false;
        }
    }
    *record = g_rollingSet;
    return true;
}

int runSpace(const CliContext &ctx)
{
    int status = 0;
    if (!checkForm(ctx, 1, {QStringLiteral("--first"), QStringLiteral("--last"), QStringLiteral("--from"), QStringLiteral("--byte-order")}, &status))
        return status;
    int64_t first = 0, last = 0;
    if (!parseSerialValue(value(ctx, "--first"), &first) || !parseSerialValue(value(ctx, "--last"), &last))
        return usageError(ctx, QCoreApplication::translate("ledger", "ledger space 需要 --first 和 --last，十进制或 0x 开头的十六进制"));
    rolling_seting_t rolling{};
    if (!rollingRecord(ctx, &rolling, &status))
        return status;
    SerialSpace space = spaceFromRolling(ctx.options.operands[1], rolling, first, last);
    const QString order = value(ctx, "--byte-order");
    if (!order.isEmpty() && !SerialSpace::byteOrderFromName(order, &space.byteOrder))
        return usageError(ctx, QCoreApplication::translate("ledger", "--byte-order 取 msb-first 或 lsb-first"));
    if (first != last && (last > first) != rolling.incDec())
        return usageError(ctx, rolling.incDec() ? QCoreApplication::translate("ledger", "序列号设置为递增：--last 不能小于 --first")
                                                : QCoreApplication::translate("ledger", "序列号设置为递减：--last 不能大于 --first"));
    const QString problem = space.problem();
    if (!problem.isEmpty())
        return usageError(ctx, value(ctx, "--from").isEmpty()
                                   ? problem + QCoreApplication::translate("ledger", "（没有 --from 时按所选芯片的默认序列号设置：请用 --from 指定工程）")
                                   : problem);
    auto store = openLedger(ctx, LedgerUse::Make, &status);
    if (!store)
        return status;
    if (!store->createSpace(space))
        return storeFailed(ctx, *store);
    if (ctx.options.json)
        printJson(spaceJson(space));
    else
        printText(spaceText(space) + QLatin1Char('\n'));
    return ExitStatus::Success;
}

// One lease as `status` and `find` show it.
QString leaseText(const SerialSpace &space, const SerialLease &l)
{
    QString state;
    switch (l.state) {
    case SerialLease::State::Pending:
        state = QCoreApplication::translate("ledger", "下载中或结果未知");
        break;
    case SerialLease::State::Open:
        state = QCoreApplication::translate("ledger", "在 Link 中");
        break;
    case SerialLease::State::Closed:
        state = l.reason == SerialLease::Reason::Erased ? QCoreApplication::translate("ledger", "已关闭：Link 的存储已擦除")
                                                         : QCoreApplication::translate("ledger", "已关闭：新的下载替换了它");
        break;
    case SerialLease::State::Void:
        state = QCoreApplication::translate("ledger", "作废：下载失败（%1）").arg(l.detail);
        break;
    }
    return QCoreApplication::translate("ledger", "工位 %1 端口 %2：%3 到 %4（%5 个），%6 租出，%7")
        .arg(l.station, l.port, serialText(space, l.first), serialText(space, l.last))
        .arg(l.count)
        .arg(l.leased.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), state);
}

QString statusText(const LedgerStatus &st)
{
    QString text;
    for (const SpaceStatus &s : st.spaces) {
        text += spaceText(s.space) + QLatin1Char('\n');
        text += QCoreApplication::translate("ledger", "  下一个 %1，已写入 %2，作废 %3，预留中 %4\n")
                    .arg(s.nextFree ? serialText(s.space, *s.nextFree) : QCoreApplication::translate("ledger", "（已用完）"))
                    .arg(s.written)
                    .arg(s.voided)
                    .arg(s.reserved);
        if (s.leased > 0)
            text += QCoreApplication::translate("ledger", "  租给 Link 的 %1 个值：Link 自行烧录，账本不知道用了哪些，这些值不会再发出\n").arg(s.leased);
        for (const SerialLease &l : s.leases)
            text += QStringLiteral("    ") + leaseText(s.space, l) + QLatin1Char('\n');
    }
    for (const StationStatus &s : st.stations) {
        text += QCoreApplication::translate("ledger", "工位 %1：芯片 %2，通过 %3，失败 %4，良率 %5%\n")
                    .arg(s.station)
                    .arg(s.chips)
                    .arg(s.passes)
                    .arg(s.failures)
                    .arg(s.chips ? 100.0 * double(s.passes) / double(s.chips) : 0.0, 0, 'f', 1);
    }
    if (st.spaces.isEmpty() && st.stations.isEmpty())
        text = QCoreApplication::translate("ledger", "账本是空的：没有序列号空间，也没有记录\n");
    return text;
}

int runStatus(const CliContext &ctx)
{
    int status = 0;
    if (!checkForm(ctx, 0, {}, &status))
        return status;
    auto store = openLedger(ctx, LedgerUse::Look, &status);
    if (!store)
        return status;
    LedgerStatus st;
    if (!store->status(&st))
        return storeFailed(ctx, *store);
    if (ctx.options.json)
        printJson(statusJson(st));
    else
        printText(statusText(st));
    return ExitStatus::Success;
}

int runFind(const CliContext &ctx)
{
    int status = 0;
    if (!checkForm(ctx, 1, {QStringLiteral("--space")}, &status))
        return status;
    int64_t serial = 0;
    if (!parseSerialValue(ctx.options.operands[1], &serial))
        return usageError(ctx, QCoreApplication::translate("ledger", "序列号 \"%1\" 须为十进制或 0x 开头的十六进制").arg(ctx.options.operands[1]));
    const QString spaceName = value(ctx, "--space");
    if (spaceName.isEmpty())
        return usageError(ctx, QCoreApplication::translate("ledger", "ledger find 需要 --space NAME"));
    auto store = openLedger(ctx, LedgerUse::Look, &status);
    if (!store)
        return status;
    SerialSpace space;
    QVector<LedgerRecord> records;
    std::optional<SerialState> state;
    std::optional<SerialLease> lease;
    if (!store->space(spaceName, &space) || !store->find(spaceName, serial, &records, &state))
        return storeFailed(ctx, *store);
    // A value given to a Link in a block has no state of its own: its lease tells.
    if (!state && !store->findLease(spaceName, serial, &lease))
        return storeFailed(ctx, *store);
    const bool leaseVoid = lease && lease->state == SerialLease::State::Void;
    if (ctx.options.json) {
        QJsonObject o;
        o.insert(QStringLiteral("space"), spaceName);
        o.insert(QStringLiteral("serial"), qint64(serial));
        o.insert(QStringLiteral("state"), state   ? QJsonValue(serialStateName(*state))
                                          : lease ? QJsonValue(leaseVoid ? QStringLiteral("void") : QStringLiteral("leased"))
                                                  : QJsonValue());
        if (lease)
            o.insert(QStringLiteral("lease"), leaseJson(*lease));
        o.insert(QStringLiteral("records"), recordsJson(records));
        printJson(o);
        return ExitStatus::Success;
    }
    const QString stateText = lease                               ? QCoreApplication::translate("ledger", "租给 Link（%1）").arg(leaseText(space, *lease))
                              : !state                            ? QCoreApplication::translate("ledger", "从未发出")
                              : *state == SerialState::Written  ? QCoreApplication::translate("ledger", "已写入")
                              : *state == SerialState::Void     ? QCoreApplication::translate("ledger", "作废")
                                                                : QCoreApplication::translate("ledger", "预留中");
    QString text = QCoreApplication::translate("ledger", "序列号 %1（空间 %2）：%3\n").arg(serialText(space, serial), spaceName, stateText);
    for (const LedgerRecord &r : records) {
        text += QStringLiteral("  %1  %2  %3  %4  %5  %6 %7\n")
                    .arg(r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), r.station, r.port, r.chip)
                    .arg(r.chipId, 4, 16, QLatin1Char('0'))
                    .arg(r.result)
                    .arg(r.text);
    }
    printText(text);
    return ExitStatus::Success;
}

// --since as ISO 8601: a date (from its local midnight) or a date and time (local unless it names a zone).
bool parseSince(const QString &text, QDateTime *since)
{
    *since = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!since->isValid()) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (date.isValid())
            *since = date.startOfDay();
    }
    return since->isValid();
}

int runExport(const CliContext &ctx)
{
    int status = 0;
    if (!checkForm(ctx, 1, {QStringLiteral("--since"), QStringLiteral("--format")}, &status))
        return status;
    const QString out = ctx.options.operands[1];
    QString format = value(ctx, "--format");
    if (format.isEmpty())
        format = out.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) ? QStringLiteral("json") : QStringLiteral("csv");
    if (format != QLatin1String("csv") && format != QLatin1String("json"))
        return usageError(ctx, QCoreApplication::translate("ledger", "--format 取 csv 或 json"));
    QDateTime since;
    if (ctx.options.ledgerValues.contains(QStringLiteral("--since")) && !parseSince(value(ctx, "--since"), &since))
        return usageError(ctx, QCoreApplication::translate("ledger", "--since 须为 ISO 8601 时间，如 2026-05-01 或 2026-05-01T08:00:00"));
    const FileOutcome writable = checkWritable(out);
    if (!writable.ok()) {
        ctx.errors(writable.messages);
        return writable.status;
    }
    auto store = openLedger(ctx, LedgerUse::Look, &status);
    if (!store)
        return status;
    QVector<LedgerRecord> records;
    if (!store->records(since, &records))
        return storeFailed(ctx, *store);
    const QByteArray bytes = format == QLatin1String("json") ? QJsonDocument(recordsJson(records)).toJson()
                                                             : recordsCsv(records);
    QString error;
    if (!replaceFile(out, bytes, &error)) {
        ctx.error(QCoreApplication::translate("cli", "%1: %2").arg(out, error));
        return ExitStatus::CannotWrite;
    }
    if (ctx.options.json) {
        QJsonObject o;
        o.insert(QStringLiteral("file"), out);
        o.insert(QStringLiteral("records"), records.size());
        printJson(o);
    } else {
        printText(QCoreApplication::translate("ledger", "已导出 %1 条记录到 %2\n").arg(records.size()).arg(out));
    }
    return ExitStatus::Success;
}
}

QString rollingAreaText(uint8_t area)
{
    return area == RollingAreaEeprom ? QStringLiteral("EEPROM") : area == RollingAreaFlash ? QStringLiteral("FLASH")
                                                                                           : QStringLiteral("NVR");
}

QString ledgerUrlOf(const CliOptions &options)
{
    return options.ledger.isEmpty() ? qEnvironmentVariable("TQ_LEDGER") : options.ledger;
}

QString stationOf(const CliOptions &options)
{
    return options.station.isEmpty() ? QSysInfo::machineHostName() : options.station;
}

const QStringList &ledgerOptionNames()
{
    static const QStringList names = {QStringLiteral("--first"), QStringLiteral("--last"), QStringLiteral("--from"),
                                      QStringLiteral("--byte-order"), QStringLiteral("--space"), QStringLiteral("--since"),
                                      QStringLiteral("--format")};
    return names;
}

QString ledgerUsage()
{
    return QCoreApplication::translate("ledger",
        "  ledger space 名称 --first 值 --last 值 [--from 工程.mprj] [--byte-order msb-first|lsb-first]\n"
        "                                新建序列号空间：写在哪里、怎样写取自工程的序列号设置\n"
        "  ledger status                 每个序列号空间和每个工位的统计，以及租给 Link 的序列号段\n"
        "  ledger find 值 --space 名称   一个序列号的全部记录\n"
        "  ledger export 输出 [--since 时间] [--format csv|json]  导出记录\n"
        "  burn 文件 --serial 名称 [--loop]  每颗芯片烧录前写入空间的下一个序列号，随芯片记录记入账本\n"
        "  download 工程.mprj --serial 名称  给每个 Link 租出“烧录次数限制”个值的一段序列号，写入它的序列号设置\n"
        "--ledger URL（或环境变量 TQ_LEDGER）：sqlite:路径、postgresql://[用户@]主机[:端口]/数据库[?host=套接字目录&sslmode=...]\n"
        "或 csv:路径；密码放在 ~/.pgpass 或 PGPASSWORD 中，不写在地址里。--station 名称（默认主机名）、--operator 名称：记录者。\n");
}

int runLedger(const CliContext &ctx)
{
    const QString sub = ctx.options.operands.value(0);
    if (sub == kSpace)
        return runSpace(ctx);
    if (sub == kStatus)
        return runStatus(ctx);
    if (sub == kFind)
        return runFind(ctx);
    if (sub == kExport)
        return runExport(ctx);
    return usageError(ctx, QCoreApplication::translate("ledger", "ledger 后面须跟 space、status、find 或 export"));
}
