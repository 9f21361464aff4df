// Runs every benchmark and prints the one table: our figure, the peer's figure from the same run, the ratio,
// the goal and the verdict. In-process figures come from the Google Benchmark executables beside this one
// (medians of 5 repetitions); whole-process figures are medians of interleaved runs timed here.

#include "benchdata.h"
#include "benchtable.h"
#include "burnreports.h"
#include "gbenchrun.h"
#include "ledgerrows.h"
#include "processrun.h"
#include "worker/workerprotocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Goals of the benchmark table (issue 9). Never loosened here.
constexpr double kHexMBps = 200;
constexpr double kProjectMs = 1;
constexpr double kRomViewMs = 30;
constexpr double kBLTableMs = 20;
constexpr double kStartupMs = 300;
constexpr double kStartupRssMB = 80;
constexpr double kBurnCpuMs = 20;
// A worker is a process start, so the command line's own starts are held against the bare Qt Core program
// (qt_floor), the floor of the library chosen; objcopy and srec_cat start faster than Qt itself on some
// machines, so a ratio to them judges the machine more than the code, and they stay as information.
constexpr double kCliStartFloorRatio = 1.25;
constexpr double kConvertFloorRatio = 1.25;
constexpr double kGangRatio = 1.15;
constexpr int kGangLinks = 4;
constexpr double kBigGangRatio = 1.10;
constexpr int kBigGangLinks = 16;
constexpr int kGangRuns = 3;
// A worker process is a Link's whole cost in a gang or a station, its start included.
constexpr double kWorkerCpuMs = 40;
constexpr double kStationRatio = 1.10;  // a station of 16 Links against a station of one
constexpr int kStationLinks = 16;
constexpr double kStationStallMs = 50;   // the GUI thread's longest stall while 16 panels update
constexpr double kStationRssMb = 150;

constexpr int kProcessRuns = 31;
constexpr int kStartupRuns = 11;

struct Setup
{
    // --smoke: every benchmark once, to show that each still runs; the figures are not fit for a verdict.
    bool smoke = false;
    int processRuns = kProcessRuns;
    int startupRuns = kStartupRuns;
    int repetitions = 5;
    QString benchDir;
    QString cli;
    QString floor;  // the bare Qt Core program
    QStringList environment;
    QString work;  // scratch folder of this run
};

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Timed
{
    bool ok = true;
    double ms = 0;          // median wall time
    double ratio = 0;       // median over the rounds of the first command's time / this one's
    std::vector<double> walls;
};

// Runs the commands in turn, `runs` rounds after one warm-up round, so all of them see the same load; the
// ratios pair the runs of one round, which keeps a load that comes and goes out of them.
QVector<Timed> timeInterleaved(const QVector<QStringList> &commands, const QStringList &env, int runs)
{
    QVector<Timed> timed(commands.size());
    for (int round = -1; round < runs; ++round) {
        for (int i = 0; i < commands.size(); ++i) {
            const ProcessRun r = runProcess(commands[i], env);
            timed[i].ok = timed[i].ok && r.ok;
            if (round >= 0)
                timed[i].walls.push_back(r.wallNs / 1e6);
        }
    }
    for (Timed &t : timed) {
        t.ms = median(t.walls);
        std::vector<double> ratios;
        for (size_t k = 0; k < t.walls.size(); ++k)
            ratios.push_back(timed[0].walls[k] / t.walls[k]);
        t.ratio = median(ratios);
    }
    return timed;
}

bool installed(const QString &tool)
{
    return !QStandardPaths::findExecutable(tool).isEmpty();
}

BenchRow missing(const QString &benchmark, const QString &goal, BenchRow::Verdict why)
{
    return {benchmark, why == BenchRow::NotBuilt ? QStringLiteral("not built") : QStringLiteral("no result"),
            QString(), QString(), goal, why};
}

// A Google Benchmark case, or the row that says why it has no figure.
const CaseResult *caseOf(const QHash<QString, CaseResult> &results, const QString &name, const QString &benchmark,
                         const QString &goal, QVector<BenchRow> &rows)
{
    if (results.isEmpty()) {
        rows.append(missing(benchmark, goal, BenchRow::NotBuilt));
        return nullptr;
    }
    const auto it = results.constFind(name);
    if (it == results.constEnd() || !it->ok()) {
        BenchRow r = missing(benchmark, goal, BenchRow::Failed);
        if (it != results.constEnd() && !it->error.isEmpty())
            r.ours = it->error;
        rows.append(r);
        return nullptr;
    }
    return &*it;
}

QHash<QString, CaseResult> runCases(const Setup &s, const char *executable, QVector<QString> &notes)
{
    QString failure;
    auto results = runGoogleBenchmark(s.benchDir + QLatin1Char('/') + QLatin1String(executable), s.environment, s.repetitions,
                                      &failure);
    if (!failure.isEmpty())
        notes.append(QStringLiteral("%1: %2").arg(QLatin1String(executable), failure));
    return results;
}

void fileRows(const Setup &s, QVector<BenchRow> &rows, QVector<QString> &notes)
{
    const auto results = runCases(s, "bench_files", notes);
    const QString hexGoal = QStringLiteral("≥ %1 MB/s").arg(kHexMBps);
    if (const CaseResult *c = caseOf(results, QStringLiteral("BM_HexLoad64K"),
                                     QStringLiteral("HEX load in-process (64 KiB)"), hexGoal, rows)) {
        const double mbps = c->number("bytes_per_second") / 1e6;
        rows.append({QStringLiteral("HEX load in-process (64 KiB, %1 KB text)").arg(int(c->number("hex_bytes") / 1000)),
                     QStringLiteral("%1 MB/s").arg(mbps, 0, 'f', 0), QString(), QString(), hexGoal,
                     verdict(mbps >= kHexMBps)});
    }
    const QString projectGoal = QStringLiteral("≤ %1 ms").arg(kProjectMs);
    for (const auto &[name, label] : {std::pair{"BM_ProjectSave", "Project save (all areas, 32 KiB)"},
                                      std::pair{"BM_ProjectLoad", "Project load (all areas, 32 KiB)"}}) {
        // The CPU time beside the wall time: a save waits for the disk to hold the file (QSaveFile flushes it).
        if (const CaseResult *c = caseOf(results, QLatin1String(name), QLatin1String(label), projectGoal, rows))
            rows.append({QLatin1String(label),
                         QStringLiteral("%1 (CPU %2)").arg(millis(c->ms("real_time")), millis(c->ms("cpu_time"))),
                         QString(), QString(), projectGoal, verdict(c->ms("real_time") <= kProjectMs)});
    }
}

// The converters on one HEX file in `dir`, interleaved with the bare Qt Core program. Empty when
// tarnquill-cli failed or gave another image.
struct ConvertTimes
{
    QVector<Timed> t;  // tarnquill-cli, the floor, tarnquill-cli's start, then srec_cat and objcopy where installed
    int floor = 1;
    int start = 2;     // tarnquill-cli chips: the command line's start without a file
    int srec = -1;     // their indexes in t, -1 when not installed
    int objcopy = -1;
};

ConvertTimes timeConverters(const Setup &s, const QString &dir, const QByteArray &image)
{
    const QString hex = dir + QStringLiteral("/image32k.hex");
    QFile f(hex);
    if (!f.open(QIODevice::WriteOnly)
        || f.write(hexText(reinterpret_cast<const uint8_t *>(image.constData()), uint32_t(image.size()))) < 0)
        return {};
    f.close();

    ConvertTimes c;
    QVector<QStringList> commands{{s.cli, QStringLiteral("convert"), hex, dir + QStringLiteral("/ours.bin")},
                                  {s.floor},
                                  {s.cli, QStringLiteral("chips")}};
    if (installed(QStringLiteral("srec_cat"))) {
        c.srec = commands.size();
        commands.append({QStringLiteral("srec_cat"), hex, QStringLiteral("-intel"), QStringLiteral("-o"),
                         dir + QStringLiteral("/srec.bin"), QStringLiteral("-binary")});
    }
    if (installed(QStringLiteral("objcopy"))) {
        c.objcopy = commands.size();
        commands.append({QStringLiteral("objcopy"), QStringLiteral("-I"), QStringLiteral("ihex"), QStringLiteral("-O"),
                         QStringLiteral("binary"), hex, dir + QStringLiteral("/objcopy.bin")});
    }
    c.t = timeInterleaved(commands, s.environment, s.processRuns);
    QFile out(dir + QStringLiteral("/ours.bin"));
    if (!c.t[0].ok || !c.t[c.floor].ok || !c.t[c.start].ok || !out.open(QIODevice::ReadOnly) || out.readAll() != image)
        return {};
    return c;
}

// The tools beside the bare Qt Core program, for information.
void converterInfoRows(const ConvertTimes &c, const QString &benchmark, const QString &where, QVector<BenchRow> &rows)
{
    for (const auto &[index, tool] : {std::pair{c.srec, "srec_cat"}, std::pair{c.objcopy, "objcopy"}}) {
        if (index < 0)
            continue;
        const Timed &t = c.t[index];
        rows.append({benchmark + QStringLiteral(" vs %1%2").arg(QLatin1String(tool), where), millis(c.t[0].ms),
                     QStringLiteral("%1 %2").arg(QLatin1String(tool), millis(t.ms)), ratioText(t.ratio),
                     QStringLiteral("information"), BenchRow::Info});
    }
}

// Where a convert's time above the floor goes, from the figures of the run: the command line's start (chips
// against the floor), the load and the write (the convert in memory against chips), and the rest, the flush
// to the disk. Each from the ratios paired within its own rounds, brought to the floor of the disk's rounds,
// so that a load that differs between the two sets of rounds does not move the pieces.
QString convertNote(const ConvertTimes &disk, const ConvertTimes &memory)
{
    const auto ms = [](double v) { return QString::number(v, 'f', 2); };
    const double floorMs = disk.t[disk.floor].ms;
    // t[i].ratio is the convert's time over command i's.
    const double total = (disk.t[disk.floor].ratio - 1) * floorMs;
    const double start = (disk.t[disk.floor].ratio / disk.t[disk.start].ratio - 1) * floorMs;
    const double work = (memory.t[memory.floor].ratio - memory.t[memory.floor].ratio / memory.t[memory.start].ratio)
                        * floorMs;
    return QStringLiteral("convert above the floor: %1 ms in all; the command line's start (chips) %2 ms, "
                          "reading the HEX and writing the BIN %3 ms, the flush to the disk %4 ms")
        .arg(ms(total), ms(start), ms(work), ms(total - start - work));
}

// Whole processes on the largest image any catalogue chip takes (32 KiB), the same file for every tool,
// against the bare Qt Core program: what the convert adds above the floor is its own work, the durable
// write (flushed to the disk) included. The files lie in the system's temporary folder; a second,
// informative run puts them in memory (/dev/shm), where flushing a written file to the disk costs nothing.
void hexProcessRows(const Setup &s, QVector<BenchRow> &rows, QVector<QString> &notes)
{
    const QString benchmark = QStringLiteral("HEX load whole process (32 KiB): tarnquill-cli convert");
    const QString goal = QStringLiteral("≤ %1× bare Qt Core program").arg(kConvertFloorRatio);
    if (!QFileInfo(s.cli).isExecutable() || !QFileInfo(s.floor).isExecutable()) {
        rows.append(missing(benchmark, goal, BenchRow::NotBuilt));
        return;
    }
    QByteArray image(32 * 1024, '\0');
    fillPattern(reinterpret_cast<uint8_t *>(image.data()), uint32_t(image.size()), 7);

    const ConvertTimes disk = timeConverters(s, s.work, image);
    if (disk.t.isEmpty()) {
        rows.append(missing(benchmark, goal, BenchRow::Failed));
        return;
    }
    const Timed &floor = disk.t[disk.floor];
    rows.append({benchmark + QStringLiteral(" vs the floor"), millis(disk.t[0].ms),
                 QStringLiteral("bare Qt Core %1").arg(millis(floor.ms)), ratioText(floor.ratio), goal,
                 verdict(floor.ratio <= kConvertFloorRatio)});
    converterInfoRows(disk, benchmark, QString(), rows);

    QTemporaryDir memory(QStringLiteral("/dev/shm/tq-bench-XXXXXX"));
    if (!memory.isValid())
        return;
    const ConvertTimes mem = timeConverters(s, memory.path(), image);
    if (mem.t.isEmpty())
        return;
    const Timed &memFloor = mem.t[mem.floor];
    rows.append({benchmark + QStringLiteral(" vs the floor, files in memory"), millis(mem.t[0].ms),
                 QStringLiteral("bare Qt Core %1").arg(millis(memFloor.ms)), ratioText(memFloor.ratio), goal,
                 BenchRow::Info});
    converterInfoRows(mem, benchmark, QStringLiteral(", files in memory"), rows);
    if (floor.ratio > kConvertFloorRatio)
        notes.append(convertNote(disk, mem));
}

void viewRows(const Setup &s, QVector<BenchRow> &rows, QVector<QString> &notes)
{
    const auto results = runCases(s, "bench_views", notes);
    for (const auto &[name, label, goalMs] :
         {std::tuple{"BM_RomViewRefresh64K", "ROM view refresh (64 KiB, offscreen)", kRomViewMs},
          std::tuple{"BM_BootLoaderTableFill", "BootLoader table fill (6,656 cells, offscreen)", kBLTableMs}}) {
        const QString goal = QStringLiteral("≤ %1 ms").arg(goalMs);
        if (const CaseResult *c = caseOf(results, QLatin1String(name), QLatin1String(label), goal, rows))
            rows.append({QLatin1String(label), millis(c->ms("real_time")), QString(), QString(), goal,
                         verdict(c->ms("real_time") <= goalMs)});
    }
}

void startupRows(const Setup &s, QVector<BenchRow> &rows)
{
    const QString probe = s.benchDir + QStringLiteral("/startup_probe");
    const QString timeLabel = QStringLiteral("Window start-up to shown (offscreen)");
    const QString rssLabel = QStringLiteral("Window start-up peak RSS");
    const QString timeGoal = QStringLiteral("≤ %1 ms").arg(kStartupMs);
    const QString rssGoal = QStringLiteral("≤ %1 MB").arg(kStartupRssMB);
    if (!QFileInfo(probe).isExecutable()) {
        rows.append(missing(timeLabel, timeGoal, BenchRow::NotBuilt));
        rows.append(missing(rssLabel, rssGoal, BenchRow::NotBuilt));
        return;
    }
    std::vector<double> shown;
    double rss = 0;
    bool ok = true;
    for (int round = -1; round < s.startupRuns; ++round) {
        const ProcessRun r = runProcess({probe}, s.environment);
        const QByteArray line = r.out.trimmed();
        ok = ok && r.ok && line.startsWith("shown ");
        if (!ok)
            break;
        rss = std::max(rss, r.maxRssKb / 1024.0);
        if (round >= 0)
            shown.push_back((line.mid(6).toLongLong() - r.startNs) / 1e6);
    }
    if (!ok) {
        rows.append(missing(timeLabel, timeGoal, BenchRow::Failed));
        rows.append(missing(rssLabel, rssGoal, BenchRow::Failed));
        return;
    }
    const double ms = median(shown);
    rows.append({timeLabel, millis(ms), QString(), QString(), timeGoal, verdict(ms <= kStartupMs)});
    rows.append({rssLabel, QStringLiteral("%1 MB").arg(rss, 0, 'f', 1), QString(), QString(), rssGoal,
                 verdict(rss <= kStartupRssMB)});
}

void burnRows(const Setup &s, QVector<BenchRow> &rows, QVector<QString> &notes)
{
    const auto results = runCases(s, "bench_burn", notes);
    const QString cpuLabel = QStringLiteral("Burn host CPU (32 KiB + BootLoader, emulator, waits 0)");
    const QString cpuGoal = QStringLiteral("≤ %1 ms CPU").arg(kBurnCpuMs);
    const CaseResult *c = caseOf(results, QStringLiteral("BM_BurnHostOverhead"), cpuLabel, cpuGoal, rows);
    if (!c) {
        rows.append(missing(QStringLiteral("Burn HID reports"), QStringLiteral("= least"), rows.last().verdict));
        return;
    }
    const double cpu = c->ms("cpu_time");
    const double waitMs = c->number("link_wait_ms");
    rows.append({cpuLabel, millis(cpu), QStringLiteral("Link waits %1 s").arg(waitMs / 1000, 0, 'f', 1),
                 QStringLiteral("%1 %").arg(100 * cpu / waitMs, 0, 'f', 2), cpuGoal, verdict(cpu <= kBurnCpuMs)});
    for (const auto &[counted, least, label] :
         {std::tuple{"reports_sent", "least_sent", "Burn HID reports sent"},
          std::tuple{"reports_received", "least_received", "Burn HID reports received"}}) {
        const int n = int(c->number(counted));
        const int m = int(c->number(least));
        rows.append({QLatin1String(label), QString::number(n), QStringLiteral("least %1").arg(m),
                     ratioText(double(n) / m), QStringLiteral("= least"), verdict(n == m)});
    }
    rows.append({QStringLiteral("Real burn of 32 KiB flash (Link waits, computed)"),
                 QStringLiteral("%1 s").arg(c->number("link_wait_ms_flash_only") / 1000, 0, 'f', 1), QString(),
                 QString(), QStringLiteral("about 13 s"), BenchRow::Info});
    rows.append({QStringLiteral("Real burn of 32 KiB + BootLoader (Link waits, computed)"),
                 QStringLiteral("%1 s").arg(waitMs / 1000, 0, 'f', 1), QString(), QString(), QString(),
                 BenchRow::Info});
}

// Start of the command line against a bare QCoreApplication program, the start-up every program on Qt Core
// pays; objcopy beside them for information.
void cliStartRows(const Setup &s, QVector<BenchRow> &rows)
{
    const QString label = QStringLiteral("CLI start: tarnquill-cli chips");
    const QString goal = QStringLiteral("≤ %1× bare Qt Core program").arg(kCliStartFloorRatio);
    if (!QFileInfo(s.cli).isExecutable() || !QFileInfo(s.floor).isExecutable()) {
        rows.append(missing(label, goal, BenchRow::NotBuilt));
        return;
    }
    QVector<QStringList> commands{{s.cli, QStringLiteral("chips")}, {s.floor}};
    const bool haveObjcopy = installed(QStringLiteral("objcopy"));
    if (haveObjcopy)
        commands.append({QStringLiteral("objcopy"), QStringLiteral("--version")});
    const QVector<Timed> t = timeInterleaved(commands, s.environment, s.processRuns);
    rows.append({label, millis(t[0].ms), QStringLiteral("bare Qt Core %1").arg(millis(t[1].ms)),
                 ratioText(t[1].ratio), goal,
                 t[0].ok && t[1].ok ? verdict(t[1].ratio <= kCliStartFloorRatio) : BenchRow::Failed});
    if (haveObjcopy && t[2].ok)
        rows.append({label + QStringLiteral(" vs objcopy --version"), millis(t[0].ms),
                     QStringLiteral("objcopy --version %1").arg(millis(t[2].ms)), ratioText(t[2].ratio),
                     QStringLiteral("information"), BenchRow::Info});
}

// CPU time of every child process reaped so far (and of their reaped children), in milliseconds.
double childCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// One gang size: its command, and per round its wall time, its ratio to one Link alone and its CPU per Link
// (the parent, its workers and the emulators answering them).
struct GangTimes
{
    int links = 0;
    double ratioGoal = 0;
    QStringList command;
    std::vector<double> ms, ratios, cpuPerLink;
};

// Gangs of 4 and 16 emulated Links against one Link alone, 32 KiB each, with the Link's real waits (about
// 13 s a burn), in turns so that all see the same load. Beside them one worker as a gang starts it (the same
// arguments, the protocol's environment, a parent that keeps its stdin open): its own CPU, start included,
// is what a Link costs in a gang or a station. A smoke run burns once each with the waits scaled to nothing.
void gangRows(const Setup &s, QVector<BenchRow> &rows, QVector<QString> &notes)
{
    const QString cpuLabel = QStringLiteral("Gang burn host CPU per Link (whole processes)");
    const QString cpuGoal = QStringLiteral("≤ %1 ms CPU").arg(kBurnCpuMs);
    const QString workerLabel = QStringLiteral("Worker process host CPU per Link (start included, 32 KiB, real waits)");
    const QString workerGoal = QStringLiteral("≤ %1 ms CPU").arg(kWorkerCpuMs);
    std::vector<GangTimes> gangs(2);
    gangs[0].links = kGangLinks;
    gangs[0].ratioGoal = kGangRatio;
    gangs[1].links = kBigGangLinks;
    gangs[1].ratioGoal = kBigGangRatio;
    const auto gangLabel = [](const GangTimes &g) {
        return QStringLiteral("Gang burn: %1 emulated Links × 32 KiB, real waits").arg(g.links);
    };
    const auto gangGoal = [](const GangTimes &g) { return QStringLiteral("≤ %1× one Link").arg(g.ratioGoal); };
    const auto allMissing = [&](BenchRow::Verdict why) {
        for (const GangTimes &g : gangs)
            rows.append(missing(gangLabel(g), gangGoal(g), why));
        rows.append(missing(cpuLabel, cpuGoal, why));
        rows.append(missing(workerLabel, workerGoal, why));
    };
    if (!QFileInfo(s.cli).isExecutable()) {
        allMissing(BenchRow::NotBuilt);
        return;
    }
    const QString image = s.work + QStringLiteral("/gang32k.bin");
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(32 * 1024, char(0x5A))) != 32 * 1024) {
        allMissing(BenchRow::Failed);
        return;
    }
    file.close();
    const QString burn = QStringLiteral("burn");
    for (GangTimes &g : gangs) {
        QStringList folders;
        for (int i = 1; i <= g.links; ++i)
            folders << s.work + QStringLiteral("/gang%1-%2").arg(g.links).arg(i);
        g.command = QStringList{s.cli, QStringLiteral("--emulate=") + folders.join(QLatin1Char(',')),
                                QStringLiteral("--link"), QStringLiteral("all"), burn, image};
    }
    const QStringList single = {s.cli, QStringLiteral("--emulate=") + s.work + QStringLiteral("/alone"), burn, image};
    // As the gang of 16 starts the worker of its first Link.
    const QStringList worker = QStringList{s.cli, QStringLiteral("--link"), QStringLiteral("emu1"),
                                           QStringLiteral("--gang-worker"), QStringLiteral("--json"), gangs.back().command.at(1),
                                           burn, image};
    QStringList env = s.environment;
    if (!s.smoke)
        env << QStringLiteral("TQ_EMULATOR_WAITS=real");
    const QStringList protocol{QStringLiteral("%1=%2")
                                   .arg(QLatin1String(WorkerProtocol::kEnvironmentVariable))
                                   .arg(WorkerProtocol::kVersion)};
    const QStringList workerEnv = env + protocol;
    // Where the worker's CPU goes: the same worker with the Link's waits scaled to nothing (its start and its
    // work without the waits), and the command line's start alone.
    const QStringList noWaitsEnv = s.environment + protocol;
    const QStringList start = {s.cli, QStringLiteral("chips")};

    std::vector<double> singleMs, singleCpu, workerCpu, noWaitsCpu, startCpu;
    bool ok = true;
    const int runs = s.smoke ? 1 : kGangRuns;
    for (int round = 0; round < runs && ok; ++round) {
        const ProcessRun one = runProcess(single, env, 120000);
        ok = one.ok;
        singleMs.push_back(one.wallNs / 1e6);
        singleCpu.push_back(one.cpuMs);
        for (GangTimes &g : gangs) {
            const double before = childCpuMs();
            const ProcessRun all = runProcess(g.command, env, 120000);
            ok = ok && all.ok;
            g.cpuPerLink.push_back((childCpuMs() - before) / g.links);
            g.ms.push_back(all.wallNs / 1e6);
            g.ratios.push_back(double(all.wallNs) / double(one.wallNs));
        }
        const ProcessRun w = runProcess(worker, workerEnv, 120000, true);
        ok = ok && w.ok && w.out.contains("\"end\"");
        workerCpu.push_back(w.cpuMs);
        const ProcessRun quick = runProcess(worker, noWaitsEnv, 120000, true);
        ok = ok && quick.ok && quick.out.contains("\"end\"");
        noWaitsCpu.push_back(quick.cpuMs);
        const ProcessRun started = runProcess(start, s.environment);
        ok = ok && started.ok;
        startCpu.push_back(started.cpuMs);
    }
    if (!ok) {
        allMissing(BenchRow::Failed);
        return;
    }
    for (const GangTimes &g : gangs) {
        const double ratio = median(g.ratios);
        rows.append({gangLabel(g), millis(median(g.ms)), QStringLiteral("one Link %1").arg(millis(median(singleMs))),
                     ratioText(ratio), gangGoal(g), verdict(ratio <= g.ratioGoal)});
    }
    const double cpu = median(gangs.front().cpuPerLink);
    rows.append({cpuLabel, millis(cpu), QStringLiteral("one Link alone %1").arg(millis(median(singleCpu))), QString(),
                 cpuGoal, verdict(cpu <= kBurnCpuMs)});
    rows.append({QStringLiteral("Gang of %1 host CPU per Link (whole processes, the parent's share included)").arg(kBigGangLinks),
                 millis(median(gangs.back().cpuPerLink)), QString(), QString(), QStringLiteral("information"), BenchRow::Info});
    const double workerMs = median(workerCpu);
    rows.append({workerLabel, millis(workerMs), QStringLiteral("one Link alone %1").arg(millis(median(singleCpu))),
                 QString(), workerGoal, verdict(workerMs <= kWorkerCpuMs)});
    if (workerMs > kWorkerCpuMs) {
        const double startMs = median(startCpu);
        const double workMs = median(noWaitsCpu);
        notes.append(QStringLiteral("worker CPU per Link %1 ms: its start %2 ms (tarnquill-cli chips), the burn's "
                                    "own work %3 ms (the same worker with the Link's waits scaled to nothing), "
                                    "waking from the Link's waits %4 ms (a wake-up per pause, on cold caches)")
                         .arg(QString::number(workerMs, 'f', 1), QString::number(startMs, 'f', 1),
                              QString::number(workMs - startMs, 'f', 1), QString::number(workerMs - workMs, 'f', 1)));
    }
}

// The station view: the controller and a panel per Link in one process (bench_station), one chip per Link
// with the Link's real waits, a station of 16 against a station of one; the GUI thread's longest stall and
// the process's peak memory with 16 panels.
void stationRows(const Setup &s, QVector<BenchRow> &rows)
{
    const QString wallLabel = QStringLiteral("Station view: %1 emulated Links × 32 KiB, real waits").arg(kStationLinks);
    const QString wallGoal = QStringLiteral("≤ %1× one Link").arg(kStationRatio);
    const QString stallLabel = QStringLiteral("Station view: GUI thread's longest stall, %1 panels updating").arg(kStationLinks);
    const QString stallGoal = QStringLiteral("≤ %1 ms").arg(kStationStallMs);
    const QString rssLabel = QStringLiteral("Station view: peak memory with %1 panels (view, panels, clients)").arg(kStationLinks);
    const QString rssGoal = QStringLiteral("≤ %1 MB").arg(kStationRssMb);
    const auto allMissing = [&](BenchRow::Verdict why) {
        rows.append(missing(wallLabel, wallGoal, why));
        rows.append(missing(stallLabel, stallGoal, why));
        rows.append(missing(rssLabel, rssGoal, why));
    };
    const QString program = s.benchDir + QStringLiteral("/bench_station");
    if (!QFileInfo(s.cli).isExecutable() || !QFileInfo(program).isExecutable()) {
        allMissing(BenchRow::NotBuilt);
        return;
    }
    const QString image = s.work + QStringLiteral("/station32k.bin");
    const QString project = s.work + QStringLiteral("/station32k.mprj");
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(32 * 1024, char(0x5A))) != 32 * 1024) {
        allMissing(BenchRow::Failed);
        return;
    }
    file.close();
    if (!runProcess({s.cli, QStringLiteral("convert"), image, project}, s.environment).ok) {
        allMissing(BenchRow::Failed);
        return;
    }
    QStringList env = s.environment;
    if (!s.smoke)
        env << QStringLiteral("TQ_EMULATOR_WAITS=real");
    struct Figures { double wall = 0, stall = 0, rssKb = 0; };
    const auto station = [&](int links, int round, Figures *f) {
        const QString work = s.work + QStringLiteral("/station-%1-%2").arg(links).arg(round);
        if (!QDir().mkpath(work))
            return false;
        const ProcessRun r = runProcess({program, QStringLiteral("--cli"), s.cli, QStringLiteral("--work"), work,
                                         QStringLiteral("--links"), QString::number(links), QStringLiteral("--project"),
                                         project},
                                        env, 240000);
        const QList<QByteArray> words = r.out.trimmed().split(' ');
        if (!r.ok || words.size() != 8 || words[0] != "wall")
            return false;
        f->wall = words[1].toDouble();
        f->stall = words[3].toDouble();
        f->rssKb = words[5].toDouble();
        return true;
    };
    std::vector<double> ratios, walls, oneWalls, stalls, rss;
    const int runs = s.smoke ? 1 : 3;
    for (int round = 0; round < runs; ++round) {
        Figures one, all;
        if (!station(1, round, &one) || !station(kStationLinks, round, &all)) {
            allMissing(BenchRow::Failed);
            return;
        }
        oneWalls.push_back(one.wall);
        walls.push_back(all.wall);
        ratios.push_back(all.wall / one.wall);
        stalls.push_back(all.stall);
        rss.push_back(all.rssKb / 1024);
    }
    const double ratio = median(ratios);
    rows.append({wallLabel, millis(median(walls)), QStringLiteral("one Link %1").arg(millis(median(oneWalls))),
                 ratioText(ratio), wallGoal, verdict(ratio <= kStationRatio)});
    // The worst round, not the median: one long stall is what an operator sees.
    const double stall = *std::max_element(stalls.begin(), stalls.end());
    rows.append({stallLabel, millis(stall), QString(), QString(), stallGoal, verdict(stall <= kStationStallMs)});
    const double mb = *std::max_element(rss.begin(), rss.end());
    rows.append({rssLabel, QStringLiteral("%1 MB").arg(mb, 0, 'f', 1), QString(), QString(), rssGoal,
                 verdict(mb <= kStationRssMb)});
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    Setup s;
    if (app.arguments().contains(QStringLiteral("--smoke"))) {
        s.smoke = true;
        s.processRuns = s.startupRuns = s.repetitions = 1;
    }
    s.benchDir = QCoreApplication::applicationDirPath();
    s.cli = QStringLiteral(TQ_BENCH_APP_DIR "/tarnquill-cli");
    s.floor = s.benchDir + QStringLiteral("/qt_floor");
    s.work = scratch.path();
    QDir(s.work).mkdir(QStringLiteral("runtime"));
    QFile::setPermissions(s.work + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                    | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TQ_APP_DIR"), QStringLiteral(TQ_BENCH_APP_DIR));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), s.work + QStringLiteral("/runtime"));
    s.environment = env.toStringList();

    QVector<BenchRow> rows;
    QVector<QString> notes;
    // --only GROUP[,GROUP...]: some groups of rows, for a short run (the full table judges the goals).
    const int only = app.arguments().indexOf(QStringLiteral("--only"));
    const QStringList groups = only > 0 ? app.arguments().value(only + 1).split(QLatin1Char(',')) : QStringList();
    const auto wanted = [&groups](const char *group) { return groups.isEmpty() || groups.contains(QLatin1String(group)); };
    if (wanted("files"))
        fileRows(s, rows, notes);
    if (wanted("convert"))
        hexProcessRows(s, rows, notes);
    if (wanted("views"))
        viewRows(s, rows, notes);
    if (wanted("startup"))
        startupRows(s, rows);
    if (wanted("burn"))
        burnRows(s, rows, notes);
    if (wanted("cli-start"))
        cliStartRows(s, rows);
    if (wanted("gang"))
        gangRows(s, rows, notes);
    if (wanted("station"))
        stationRows(s, rows);
    if (wanted("ledger"))
        ledgerRows(s.benchDir, s.environment, s.smoke, rows, notes);

    if (s.smoke) {
        for (BenchRow &r : rows)
            if (r.verdict == BenchRow::Pass || r.verdict == BenchRow::Fail)
                r.verdict = BenchRow::Info;
        notes.append(QStringLiteral("smoke run: every benchmark once, no verdicts"));
    }
    QTextStream out(stdout);
    out << formatTable(rows);
    for (const QString &n : notes)
        out << "note: " << n << '\n';
    out.flush();
    const bool allMet = std::none_of(rows.begin(), rows.end(), [](const BenchRow &r) {
        return r.verdict == BenchRow::Fail || r.verdict == BenchRow::Failed || r.verdict == BenchRow::NotBuilt;
    });
    return allMet ? 0 : 1;
}
