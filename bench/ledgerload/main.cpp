// ledger_load: a production line on one ledger, under load and faults, and the figures it reaches.
//
//   ledger_load [--records N] [--stations S] [--links L] [--sqlite-records M] [--no-fsync] [--json]
//               [--reservations FILE] [--sqlite-only]
//
// Starts a private PostgreSQL server (the test suite's own helper), lets S station processes of L Link
// threads each reserve and record N serials through the store, kills one station with SIGKILL in the middle
// of its blocks and starts it again, restarts the server once half-way, and then checks the ledger: no serial
// written twice, every value given out written or void, every record a station kept still there, the killed
// station's block voided at its restart. Then one station alone on SQLite. Each against a plain INSERT loop
// on the same database. Exit status 0 when every check holds (the goals are judged by scripts/bench).

#include "ledgerload.h"

#include "records/productionstore.h"
#include "support/pgserver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <numeric>
#include <memory>
#include <vector>

namespace {
struct Options
{
    int records = 100000;
    int stations = 20;
    int links = 16;
    int sqliteRecords = 5000;
    bool fsync = true;
    bool json = false;
    QString reservationsFile;
    bool sqliteOnly = false;  // every reservation's start and time, against the restart, for a closer look
};

// After the server is back, every Link's next call opens a new connection (hundreds at once, each a server
// process started): the restart's window runs this long past the server's return.
constexpr qint64 kRestartSettleMs = 2000;

struct SqliteFigures
{
    SingleStation ours;
    double peerRecordsPerSecond = 0;
    double peerInsertP99Ms = 0;
};

const QString kMemoryFolder = QStringLiteral("/dev/shm");

struct Figures
{
    int64_t records = 0;
    double seconds = 0;
    double recordsPerSecond = 0;
    double reserveP99Ms = 0;
    double reserveMaxMs = 0;
    int reservations = 0;
    // The same, without the reservations that overlapped the restart window (the server down, and the
    // reconnection of every Link after it: see kRestartSettleMs).
    double reserveP99OutsideRestartMs = 0;
    int reservationsInRestart = 0;
    double restartSeconds = 0;
    double peerRecordsPerSecond = 0;
    double peerInsertP99Ms = 0;
    SqliteFigures sqlite;
    SqliteFigures sqliteInMemory;  // the file in a memory folder, when the machine has one
    QStringList problems;
};

// The line: one process per station, the faults at fixed points of its progress.
class LineRun
{
public:
    LineRun(const Options &options, PgServer &server) : m_options(options), m_server(server) {}

    // Runs until every station has ended; the facts for the checks in facts(), what went wrong in problems.
    void run(Figures *figures)
    {
        m_figures = figures;
        m_facts.wanted = m_options.records;
        const int links = m_options.stations * m_options.links;
        for (int s = 0; s < m_options.stations; ++s) {
            Station st;
            st.name = QStringLiteral("st%1").arg(s + 1, 2, 10, QLatin1Char('0'));
            for (int l = 0; l < m_options.links; ++l) {
                const int index = s * m_options.links + l;
                st.quota << m_options.records / links + (index < m_options.records % links ? 1 : 0);
            }
            m_stations.push_back(std::move(st));
        }
        m_facts.killedStation = m_stations.front().name;
        QElapsedTimer wall;
        wall.start();
        for (int s = 0; s < int(m_stations.size()); ++s)
            spawn(s, m_stations[s].quota);
        if (m_running > 0)
            m_loop.exec();
        figures->seconds = wall.nsecsElapsed() / 1e9;
        QVector<double> all, outside;
        for (const Reservation &r : m_reservations) {
            all << r.ms;
            figures->reserveMaxMs = qMax(figures->reserveMaxMs, r.ms);
            const bool during = m_upMs > 0 && r.began < m_upMs + kRestartSettleMs && r.began + r.ms > m_downMs;
            if (during)
                ++figures->reservationsInRestart;
            else
                outside << r.ms;
        }
        figures->reserveP99Ms = percentile99(all);
        figures->reserveP99OutsideRestartMs = percentile99(outside);
        figures->reservations = all.size();
        figures->restartSeconds = (m_upMs - m_downMs) / 1e3;
        writeReservations();
        if (!m_killed)
            figures->problems << QStringLiteral("the line ended before a station could be killed");
        if (!m_restarted)
            figures->problems << QStringLiteral("the line ended before the server could be restarted");
    }

    const LineFacts &facts() const { return m_facts; }

private:
    void writeReservations() const
    {
        if (m_options.reservationsFile.isEmpty())
            return;
        QFile f(m_options.reservationsFile);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_figures->problems << QStringLiteral("cannot write %1: %2").arg(f.fileName(), f.errorString());
            return;
        }
        QTextStream out(&f);
        out << "# began_ms_after_server_down reservation_ms (server back at " << (m_upMs - m_downMs) << " ms)\n";
        for (const Reservation &r : m_reservations)
            out << (r.began - m_downMs) << ' ' << r.ms << '\n';
    }

private:
    struct Station
    {
        QString name;
        QVector<int> quota;
        QHash<QString, int> done;  // records kept per port
        int kept = 0;
        int generation = 0;
        std::unique_ptr<QProcess> process;
    };

    static QString port(int link) { return QStringLiteral("usb%1").arg(link + 1, 2, 10, QLatin1Char('0')); }

    QString logOf(const Station &st) const { return m_logs.filePath(st.name + QStringLiteral(".log")); }

    // The end of what a station wrote to stderr, for the report of its failure.
    QString logTail(const Station &st) const
    {
        QFile f(logOf(st));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(600)).trimmed() : QString();
    }

    QString urlOf(const Station &st) const { return m_server.url() + QStringLiteral("&application_name=") + st.name; }

    void spawn(int index, const QVector<int> &quota)
    {
        Station &st = m_stations[index];
        QStringList quotas;
        for (int q : quota)
            quotas << QString::number(q);
        st.process = std::make_unique<QProcess>();
        st.process->setStandardErrorFile(logOf(st), QIODevice::Append);
        // Each station its own spool for the records that wait while the server restarts.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQ_LEDGER_SPOOL"), m_logs.filePath(st.name + QStringLiteral(".spool.db")));
        st.process->setProcessEnvironment(env);
        QProcess *p = st.process.get();
        QObject::connect(p, &QProcess::readyReadStandardOutput, [this, index] { readLines(index); });
        QObject::connect(p, qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
                         [this, index](int code, QProcess::ExitStatus status) { ended(index, code, status); });
        p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--station"), urlOf(st), st.name, quotas.join(QLatin1Char(','))});
        ++m_running;
    }

    void readLines(int index)
    {
        Station &st = m_stations[index];
        while (st.process->canReadLine())
            line(st, QString::fromUtf8(st.process->readLine()).trimmed().split(QLatin1Char(' ')));
    }

    void line(Station &st, const QStringList &f)
    {
        if (f.value(0) == QLatin1String("L")) {
            m_reservations.append({f.value(2).toLongLong(), f.value(1).toDouble() / 1e3});
        } else if (f.value(0) == QLatin1String("V")) {
            if (st.generation > 0)
                m_facts.voidedAtRestart += f.value(2).toLongLong();
        } else if (f.value(0) == QLatin1String("R") && f.size() == 5) {
            m_facts.acknowledged.insert(QStringLiteral("%1|%2|%3").arg(st.name, f[2], f[3]));
            ++st.done[f[1]];
            ++st.kept;
            ++m_kept;
            faults(st);
        }
    }

    // The first station killed at 30 % of its own records, the server restarted at half the line's.
    void faults(Station &st)
    {
        if (!m_killed && &st == &m_stations.front() && st.kept * 10 >= std::accumulate(st.quota.begin(), st.quota.end(), 0) * 3) {
            m_killed = true;
            st.process->kill();  // SIGKILL
        }
        if (!m_restarted && m_kept >= m_options.records / 2) {
            m_restarted = true;
            QTimer::singleShot(0, [this] {
                m_downMs = QDateTime::currentMSecsSinceEpoch();
                if (!m_server.restart())
                    m_figures->problems << QStringLiteral("the server did not come back: ") + m_server.error();
                m_upMs = QDateTime::currentMSecsSinceEpoch();
            });
        }
    }

    void ended(int index, int code, QProcess::ExitStatus status)
    {
        Station &st = m_stations[index];
        readLines(index);
        --m_running;
        if (index == 0 && st.generation == 0) {
            if (status != QProcess::CrashExit) {
                m_figures->problems << QStringLiteral("station %1 ended before it could be killed: give the line more records")
                                           .arg(st.name);
                m_killed = true;
            }
            // Judge what the dead station left once the server has let its sessions go, then start it again
            // on the same Links for what they still owe.
            QString error;
            if (!connectionsGone(m_server.url(), st.name, &error)
                || (m_facts.heldAtKill = heldReserved(m_server.url(), st.name, &error)) < 0)
                m_figures->problems << QStringLiteral("after the kill: ") + error;
            QVector<int> rest;
            for (int l = 0; l < st.quota.size(); ++l)
                rest << qMax(0, st.quota[l] - st.done.value(port(l)));
            st.generation = 1;
            QTimer::singleShot(0, [this, rest] { spawn(0, rest); });
            return;
        }
        if (status != QProcess::NormalExit || code != 0)
            m_figures->problems << QStringLiteral("station %1 ended with status %2: %3").arg(st.name).arg(code).arg(logTail(st));
        if (m_running == 0)
            m_loop.quit();
    }

    const Options &m_options;
    PgServer &m_server;
    Figures *m_figures = nullptr;
    std::vector<Station> m_stations;
    LineFacts m_facts;
    struct Reservation
    {
        qint64 began;  // ms since the epoch
        double ms;
    };
    QVector<Reservation> m_reservations;
    qint64 m_downMs = 0, m_upMs = 0;  // the server's restart
    QEventLoop m_loop;
    QTemporaryDir m_logs;
    int m_running = 0;
    int m_kept = 0;
    bool m_killed = false;
    bool m_restarted = false;
};

bool parseOptions(const QStringList &args, Options *o)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        const auto number = [&](int *target) {
            bool ok = false;
            *target = args.value(++i).toInt(&ok);
            return ok && *target > 0;
        };
        bool ok = true;
        if (a == QLatin1String("--records"))
            ok = number(&o->records);
        else if (a == QLatin1String("--stations"))
            ok = number(&o->stations);
        else if (a == QLatin1String("--links"))
            ok = number(&o->links);
        else if (a == QLatin1String("--sqlite-records"))
            ok = number(&o->sqliteRecords);
        else if (a == QLatin1String("--no-fsync"))
            o->fsync = false;
        else if (a == QLatin1String("--json"))
            o->json = true;
        else if (a == QLatin1String("--sqlite-only"))
            o->sqliteOnly = true;
        else if (a == QLatin1String("--reservations") && i + 1 < args.size())
            o->reservationsFile = args[++i];
        else
            ok = false;
        if (!ok)
            return false;
    }
    return o->stations >= 2 && o->records >= o->stations * o->links * 4;
}

// The line on PostgreSQL, its checks and its peer. False when it could not run at all.
bool runLine(const Options &o, Figures *f)
{
    const QString missing = PgServer::unavailable();
    if (!missing.isEmpty()) {
        f->problems << missing;
        return false;
    }
    PgServer server;
    server.setSettings({QStringLiteral("max_connections=%1").arg(o.stations * o.links + 20),
                        QStringLiteral("fsync=%1").arg(o.fsync ? QStringLiteral("on") : QStringLiteral("off"))});
    if (!server.start()) {
        f->problems << server.error();
        return false;
    }
    {
        QString error;
        std::unique_ptr<ProductionStore> store = openProductionStore(server.url(), &error);
        SerialSpace space;
        space.name = kLoadSpace;
        space.width = 4;
        space.first = 1;
        space.last = int64_t(o.records) * 4;
        if (!store || !store->createSpace(space)) {
            f->problems << (store ? store->errorString() : error);
            return false;
        }
    }
    LineRun line(o, server);
    line.run(f);
    f->problems << checkLine(server.url(), line.facts(), &f->records);
    f->recordsPerSecond = f->records / f->seconds;
    QString error;
    QVector<double> latencies;
    f->peerRecordsPerSecond = plainInsertRate(server.url(), qBound(500, o.records / 10, 5000), &latencies, &error);
    f->peerInsertP99Ms = percentile99(latencies);
    if (!error.isEmpty())
        f->problems << QStringLiteral("plain INSERT loop on PostgreSQL: ") + error;
    return true;
}

// One station on SQLite in `folder`, bracketed by two plain INSERT loops (the disk's flush time drifts with
// the machine's other work; the peer's figure is the mean of the two).
void runSqliteIn(const QString &folder, int count, SqliteFigures *f, QStringList *problems)
{
    QTemporaryDir dir(folder + QStringLiteral("/tq-ledger-XXXXXX"));
    QString error;
    QVector<double> latencies;
    double peer = plainInsertRate(QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("peer1.db")), count, &latencies, &error);
    if (!runSingleStation(QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("ledger.db")), count, &f->ours, &error))
        *problems << QStringLiteral("SQLite station in %1: %2").arg(folder, error);
    peer += plainInsertRate(QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("peer2.db")), count, &latencies, &error);
    f->peerRecordsPerSecond = peer / 2;
    f->peerInsertP99Ms = percentile99(latencies);
    if (!error.isEmpty() && peer == 0)
        *problems << QStringLiteral("plain INSERT loop on SQLite in %1: %2").arg(folder, error);
}

void runSqlite(const Options &o, Figures *f)
{
    runSqliteIn(QDir::tempPath(), o.sqliteRecords, &f->sqlite, &f->problems);
    // The same in memory (a flush costs nothing there): what the statements themselves cost, ours and the peer's.
    if (QFileInfo(kMemoryFolder).isDir())
        runSqliteIn(kMemoryFolder, o.sqliteRecords, &f->sqliteInMemory, &f->problems);
}

void print(const Options &o, const Figures &f)
{
    if (o.json) {
        QJsonObject j{{QStringLiteral("records"), qint64(f.records)},
                      {QStringLiteral("stations"), o.stations},
                      {QStringLiteral("links"), o.links},
                      {QStringLiteral("seconds"), f.seconds},
                      {QStringLiteral("recordsPerSecond"), f.recordsPerSecond},
                      {QStringLiteral("reserveP99Ms"), f.reserveP99Ms},
                      {QStringLiteral("reserveMaxMs"), f.reserveMaxMs},
                      {QStringLiteral("reserveP99OutsideRestartMs"), f.reserveP99OutsideRestartMs},
                      {QStringLiteral("reservationsInRestart"), f.reservationsInRestart},
                      {QStringLiteral("restartSettleSeconds"), double(kRestartSettleMs) / 1000},
                      {QStringLiteral("restartSeconds"), f.restartSeconds},
                      {QStringLiteral("peerRecordsPerSecond"), f.peerRecordsPerSecond},
                      {QStringLiteral("peerInsertP99Ms"), f.peerInsertP99Ms},
                      {QStringLiteral("sqliteRecords"), f.sqlite.ours.records},
                      {QStringLiteral("sqliteRecordsPerSecond"), f.sqlite.ours.recordsPerSecond},
                      {QStringLiteral("sqliteReserveP99Ms"), f.sqlite.ours.reserveP99Ms},
                      {QStringLiteral("sqlitePeerRecordsPerSecond"), f.sqlite.peerRecordsPerSecond},
                      {QStringLiteral("sqlitePeerInsertP99Ms"), f.sqlite.peerInsertP99Ms},
                      {QStringLiteral("sqliteMemoryRecordsPerSecond"), f.sqliteInMemory.ours.recordsPerSecond},
                      {QStringLiteral("sqliteMemoryPeerRecordsPerSecond"), f.sqliteInMemory.peerRecordsPerSecond},
                      {QStringLiteral("problems"), QJsonArray::fromStringList(f.problems)}};
        std::printf("%s\n", QJsonDocument(j).toJson(QJsonDocument::Compact).constData());
        return;
    }
    QTextStream out(stdout);
    out << QStringLiteral("PostgreSQL line: %1 stations x %2 Links, %3 records in %4 s (fsync %5), server restarted at half,"
                          " one station killed at 30 %\n")
               .arg(o.stations).arg(o.links).arg(f.records).arg(f.seconds, 0, 'f', 1).arg(o.fsync ? "on" : "off");
    out << QStringLiteral("  records/s          %1   plain INSERT loop %2\n").arg(f.recordsPerSecond, 0, 'f', 0).arg(f.peerRecordsPerSecond, 0, 'f', 0);
    out << QStringLiteral("  reservation p99    %1 ms (max %2 ms, %3 blocks)   plain INSERT p99 %4 ms\n")
               .arg(f.reserveP99Ms, 0, 'f', 2).arg(f.reserveMaxMs, 0, 'f', 0).arg(f.reservations).arg(f.peerInsertP99Ms, 0, 'f', 2);
    out << QStringLiteral("  outside the restart p99 %1 ms (%2 blocks overlapped the server's %3 s away and the %4 s after)\n")
               .arg(f.reserveP99OutsideRestartMs, 0, 'f', 2).arg(f.reservationsInRestart).arg(f.restartSeconds, 0, 'f', 1)
               .arg(kRestartSettleMs / 1000);
    out << QStringLiteral("SQLite, one station alone: %1 records, one commit each (WAL, synchronous=FULL)\n").arg(f.sqlite.ours.records);
    out << QStringLiteral("  records/s          %1   plain INSERT loop %2\n").arg(f.sqlite.ours.recordsPerSecond, 0, 'f', 0).arg(f.sqlite.peerRecordsPerSecond, 0, 'f', 0);
    out << QStringLiteral("  reservation p99    %1 ms   plain INSERT p99 %2 ms\n").arg(f.sqlite.ours.reserveP99Ms, 0, 'f', 2).arg(f.sqlite.peerInsertP99Ms, 0, 'f', 2);
    if (f.sqliteInMemory.ours.records > 0)
        out << QStringLiteral("  in %1 (no flush) %2 records/s   plain INSERT loop %3\n").arg(kMemoryFolder)
                   .arg(f.sqliteInMemory.ours.recordsPerSecond, 0, 'f', 0).arg(f.sqliteInMemory.peerRecordsPerSecond, 0, 'f', 0);
    out << (f.problems.isEmpty() ? QStringLiteral("checks: every one holds\n") : QStringLiteral("checks FAILED:\n  ") + f.problems.join(QStringLiteral("\n  ")) + QLatin1Char('\n'));
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--station"))
        return runStation(args.mid(2));
    Options o;
    if (!parseOptions(args, &o)) {
        std::fprintf(stderr, "usage: ledger_load [--records N] [--stations S>=2] [--links L] [--sqlite-records M] [--no-fsync] [--json]\n"
                             "                   [--reservations FILE] [--sqlite-only]\n"
                             "       (at least 4 records per Link)\n");
        return 2;
    }
    Figures f;
    if (o.sqliteOnly || runLine(o, &f))
        runSqlite(o, &f);
    print(o, f);
    return f.problems.isEmpty() ? 0 : 1;
}
