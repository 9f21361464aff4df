#include "gangcommands.h"

#include "commands.h"
#include "exitstatus.h"
#include "filesteps.h"
#include "gangdisplay.h"
#include "ganglog.h"
#include "gangrunner.h"
#include "gangserial.h"
#include "gangsignals.h"
#include "linklease.h"
#include "linkselection.h"
#include "progressdisplay.h"
#include "reports.h"
#include "emulator/linkemulator.h"
#include "engine/resultcodes.h"
#include "link/devicelock.h"
#include "link/linkports.h"
#include "production/productionsettings.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace {
const QStringList &gangCommands()
{
    static const QStringList names = {QStringLiteral("burn"),   QStringLiteral("erase"),
                                      QStringLiteral("blank"),  QStringLiteral("download"),
                                      QStringLiteral("erase-link"), QStringLiteral("fw-version"),
                                      QStringLiteral("upgrade")};
    return names;
}

QStringList portsOf(const QVector<AttachedLink> &links)
{
    QStringList ports;
    for (const AttachedLink &link : links)
        ports << link.port;
    return ports;
}

QString portList(const QVector<AttachedLink> &links)
{
    return links.isEmpty() ? QCoreApplication::translate("cli", "no Link is attached")
                           : QCoreApplication::translate("cli", "attached: %1").arg(portsOf(links).join(QStringLiteral(", ")));
}

// True when no other process drives `link` right now: for a real Link neither a gang nor a one-Link program
// (which holds the machine-wide lock), for an emulated one nobody holding its folder's lock.
bool linkIsFree(const AttachedLink &link, bool emulated)
{
    if (emulated) {
        if (link.path.isEmpty())
            return true;  // in memory: nobody else can reach it
        LinkEmulator emulator(link.path);
        LinkEmulator::LinkLock lock(emulator);
        return lock.tryLock();
    }
    NamedLock machine(kDeviceLockName);
    NamedLock own(linkLockName(link.port).toStdString());
    return machine.tryLock() && own.tryLock();
}

// Arguments of the fw-version workers that read the versions for links.
QStringList versionQueryArguments(const CliOptions &options)
{
    QStringList arguments;
    if (options.emulate)
        arguments << (options.emulateDir.isEmpty() ? QStringLiteral("--emulate") : QStringLiteral("--emulate=") + options.emulateDir);
    return arguments << QStringLiteral("fw-version");
}

// Loads the project of a gang download, which the parent checks before any worker starts.
int loadDownloadProject(const CliContext &ctx)
{
    const QString path = ctx.options.operands.value(0);
    if (fileKindOf(path) != FileKind::Project) {
        ctx.error(QCoreApplication::translate("cli", "%1: download takes a .mprj project").arg(path));
        return ExitStatus::Usage;
    }
    InputFile in;
    FileOutcome loaded = inspectInputFile(path, &in);
    if (loaded.ok())
        loaded = loadProjectFile(in, ctx.chips);
    ctx.errors(loaded.messages);
    return loaded.ok() ? ExitStatus::Success : loaded.status;
}

// Gives each worker of a gang download its own serial numbers; refuses a plan that cannot be kept.
int planSerialNumbersFor(const CliContext &ctx, GangRunner &runner, const QStringList &ports)
{
    if (!g_bEnRollCode)
        return ExitStatus::Success;
    const uint32_t limit = g_bEnLimit ? g_nLimitCount : 0;
    const SerialPlan plan = planSerialNumbers(g_rollingSet, ports.size(), limit);
    if (!plan.refusal.isEmpty()) {
        ctx.error(plan.refusal);
        return ExitStatus::BadInput;
    }
    for (int i = 0; i < ports.size(); ++i) {
        const rolling_seting_t &r = plan.records[i];
        ctx.error(QStringLiteral("%1: %2").arg(ports[i], serialPlanText(r, limit)));
        runner.setExtraArguments(i, {QStringLiteral("--gang-serial=%1:%2").arg(r.startVal).arg(r.step)});
    }
    return ExitStatus::Success;
}

// Leases each Link its block and hands it to that Link's worker.
int takeLeases(const CliContext &ctx, LinkLeases &leases, GangRunner &runner, const QStringList &ports)
{
    if (const int status = leases.take(ctx, ports))
        return status;
    for (int i = 0; i < ports.size(); ++i) {
        const rolling_seting_t r = leasedRecord(g_rollingSet, *leases.leaseOf(ports[i]));
        runner.setExtraArguments(i, {QStringLiteral("--gang-serial=%1:%2").arg(r.startVal).arg(r.step)});
    }
    return ExitStatus::Success;
}

// What ended the gang besides its Links' results: a record its log could not keep (74, as a one-Link loop),
// a signal (128 + its number); workers' logs kept for the records the gang's log lacks.
int reportGangEnding(const CliContext &ctx, const GangRunner &runner, int status)
{
    if (runner.ending() == GangRunner::Ending::RecordLost) {
        ctx.error(QCoreApplication::translate("cli", "%1: cannot write the production record: %2; every Link stopped before its next chip")
                      .arg(ctx.options.logFile, runner.recordError()));
        status = ExitStatus::CannotWrite;
    }
    if (!runner.keptLogs().isEmpty())
        ctx.error(QCoreApplication::translate("cli", "records that are not in %1 are kept in: %2")
                      .arg(ctx.options.logFile, runner.keptLogs().join(QStringLiteral(", "))));
    if (runner.ending() == GangRunner::Ending::Terminated)
        status = 128 + gangTerminationSignal();
    return status;
}
}

int runLinks(const CliContext &ctx)
{
    const QVector<AttachedLink> links = attachedLinks(ctx.options.emulate, ctx.options.emulateDir);
    QStringList freePorts;
    for (const AttachedLink &link : links) {
        if (!link.iap && linkIsFree(link, ctx.options.emulate))
            freePorts << link.port;
    }
    GangRunner runner(freePorts, versionQueryArguments(ctx.options));
    const QVector<GangOutcome> versions = runner.run();

    QJsonArray array;
    QString text;
    for (const AttachedLink &link : links) {
        const int queried = freePorts.indexOf(link.port);
        const bool busy = !link.iap && queried < 0;
        QJsonValue version;
        if (queried >= 0 && versions[queried].code() == 0)
            version = versions[queried].result.value(QStringLiteral("version"));
        const QString mode = link.iap ? QStringLiteral("IAP") : QStringLiteral("normal");
        QJsonObject object{{QStringLiteral("port"), link.port},
                           {QStringLiteral("path"), link.path},
                           {QStringLiteral("mode"), mode},
                           {QStringLiteral("version"), version}};
        if (busy)
            object.insert(QStringLiteral("busy"), true);
        array.append(object);
        // The JSON's words stay the same in every language; the table speaks the user's.
        text += QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(link.port, link.path,
                         link.iap ? mode : QCoreApplication::translate("cli", "normal"),
                         busy ? QCoreApplication::translate("cli", "busy")
                              : version.isString() ? version.toString() : QStringLiteral("-"));
    }
    if (ctx.options.json)
        printJson(array);
    else
        printText(text);
    return ExitStatus::Success;
}

int runGang(const CliContext &ctx, const LinkChoice &choice)
{
    if (!gangCommands().contains(ctx.options.command)) {
        ctx.error(QCoreApplication::translate("cli", "%1 works on one Link: choose it with --link PORT").arg(ctx.options.command));
        return ExitStatus::Usage;
    }
    const QVector<AttachedLink> attached = attachedLinks(ctx.options.emulate, ctx.options.emulateDir);
    QStringList ports = choice.ports.isEmpty() ? portsOf(attached) : choice.ports;
    for (const QString &port : qAsConst(ports)) {
        if (!portsOf(attached).contains(port)) {
            ctx.error(QCoreApplication::translate("cli", "no Link at port %1; %2").arg(port, portList(attached)));
            return ExitStatus::Usage;
        }
    }
    // A dead Link on a line must not shrink the gang unnoticed: the script says how many it needs.
    if (ctx.options.expect > 0 && ports.size() < ctx.options.expect) {
        ctx.error(QCoreApplication::translate("cli", "--expect %1: only %2 Link(s) attached; %3")
                      .arg(ctx.options.expect)
                      .arg(ports.size())
                      .arg(portList(attached)));
        return ExitStatus::Usage;
    }
    if (ports.isEmpty()) {
        ctx.error(resultDisplayText(36, resultCodeText(36)));
        return exitStatusForResult(36);
    }
    std::sort(ports.begin(), ports.end(), portLess);
    ctx.display.message(QCoreApplication::translate("cli", "Links taking part (%1): %2")
                            .arg(ports.size())
                            .arg(ports.join(QStringLiteral(", "))));

    GangRunner runner(ports, QCoreApplication::arguments().mid(1));
    // With --serial the ledger leases each Link a block instead of the interleave.
    LinkLeases leases;
    const bool leasing = ctx.options.command == QLatin1String("download") && !ctx.options.serialSpace.isEmpty();
    if (ctx.options.command == QLatin1String("download")) {
        int status = loadDownloadProject(ctx);
        if (status == ExitStatus::Success)
            status = leasing ? leases.prepare(ctx, ports.size()) : planSerialNumbersFor(ctx, runner, ports);
        if (status != ExitStatus::Success)
            return status;
    }
    GangLog log;
    if (!ctx.options.logFile.isEmpty()) {
        if (!log.open(ctx.options.logFile)) {
            ctx.error(QCoreApplication::translate("cli", "%1: cannot write: %2").arg(ctx.options.logFile, log.errorString()));
            return ExitStatus::CannotWrite;
        }
        runner.setLog(&log);
    }
    runner.setTraceFile(ctx.options.traceFile);
    if (leasing) {
        if (const int status = takeLeases(ctx, leases, runner, ports))
            return status;
    }
    ctx.display.finish();
    GangDisplay display(ports);
    runner.setDisplay(&display);
    installGangTerminationHandler();
    const QVector<GangOutcome> outcomes = runner.run();
    int status = reportGangEnding(ctx, runner, gangExitStatus(outcomes, runner.interrupted()));
    for (const GangOutcome &outcome : outcomes) {
        const bool ok = outcome.exitStatus == 0 && outcome.code() == 0;
        const int settled = leases.settle(ctx, outcome.port, ok, gangResultLine(outcome));
        if (status == ExitStatus::Success)
            status = settled;
    }

    if (ctx.options.json) {
        QJsonArray array;
        for (const GangOutcome &outcome : outcomes)
            array.append(joinedJson(gangResultJson(outcome), leases.resultJson(outcome.port)));
        printJson(array);
    } else {
        QString text;
        for (const GangOutcome &outcome : outcomes)
            text += gangResultLine(outcome) + QLatin1Char('\n');
        printText(text);
    }
    return status;
}
