// Gang burn loops under signals, a disk that fills and a parent that is held: POSIX only (the tests send
// SIGINT, SIGTERM, SIGSTOP and SIGKILL, and limit the parent's file size with prlimit).
#include "clitestutil.h"

#include <QtTest>

#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/types.h>

namespace {
// A gang burn loop on emulated Links l1, l2, ... of `dir`, its stderr collected while the test waits.
class GangLoop
{
public:
    GangLoop(const QTemporaryDir &dir, int links, const QStringList &extra, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
        : m_dir(dir)
    {
        QStringList folders;
        for (int i = 1; i <= links; ++i)
            folders << dir.filePath(QStringLiteral("l%1").arg(i));
        // The parent ignores SIGXFSZ, so a file-size limit set on it later makes its writes fail instead. The
        // lines are read in English (tst_clilanguage holds both languages).
        const QStringList arguments = QStringList{QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; exec \"$@\""), QStringLiteral("sh"),
                                                  cliPath(), QStringLiteral("--lang=en"), QStringLiteral("--emulate=") + folders.join(QLatin1Char(',')),
                                                  QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("burn"),
                                                  QStringLiteral("in.bin"), QStringLiteral("--loop")}
                                      + extra;
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(dir.path());
        m_process.start(QStringLiteral("/bin/sh"), arguments);
        m_process.waitForStarted(30000);
    }
    ~GangLoop()
    {
        if (m_process.state() == QProcess::Running && pid() > 0) {
            ::kill(pid(), SIGCONT);
            ::kill(pid(), SIGINT);
            m_process.waitForFinished(60000);
        }
    }
    pid_t pid() const { return pid_t(m_process.processId()); }
    // Waits until `done` holds for what the gang showed so far (at most a minute).
    bool waitFor(const std::function<bool(const QString &)> &done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done(m_err) && m_process.state() == QProcess::Running && clock.elapsed() < 60000) {
            m_process.waitForReadyRead(200);
            m_err += QString::fromUtf8(m_process.readAllStandardError());
        }
        return done(m_err);
    }
    bool chipsShown(int chip, int links)
    {
        return waitFor([chip, links](const QString &err) {
            for (int i = 1; i <= links; ++i) {
                if (!err.contains(QStringLiteral("emu%1: chip %2:").arg(i).arg(chip)))
                    return false;
            }
            return true;
        });
    }
    // Takes the chip out of Link `link`'s socket and puts the next one in.
    bool swapChip(int link) const
    {
        const QString folder = m_dir.filePath(QStringLiteral("l%1").arg(link));
        if (runCli({QStringLiteral("emulator"), folder, QStringLiteral("--remove")}, m_dir.path()).exitCode != 0)
            return false;
        // The socket stays empty as long as a hand takes to swap a chip, not just between two program starts: a
        // worker that looks every 50 ms on a busy machine would otherwise miss the removal and wait for ever.
        QTest::qWait(300);
        return runCli({QStringLiteral("emulator"), folder, QStringLiteral("--insert")}, m_dir.path()).exitCode == 0;
    }
    // Ends the run with `signal` and returns its exit status (-1 when it did not end normally).
    int end(int signal)
    {
        if (m_process.state() == QProcess::Running && pid() > 0)
            ::kill(pid(), signal);
        if (!m_process.waitForFinished(60000) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        m_err += QString::fromUtf8(m_process.readAllStandardError());
        return m_process.exitCode();
    }
    QStringList results() { return QString::fromUtf8(m_process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    const QString &err() const { return m_err; }

private:
    const QTemporaryDir &m_dir;
    QProcess m_process;
    QString m_err;
};

// The production record's rows without its header, each without its line end; a cut row fails the test.
QList<QByteArray> recordRows(const QString &path)
{
    QByteArray bytes = readFile(path);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (!bytes.endsWith("\r\n"))
        return {"(no CRLF at the end)"};
    QList<QByteArray> rows = bytes.split('\n');
    rows.removeFirst();
    rows.removeLast();
    for (QByteArray &row : rows)
        row = row.endsWith('\r') ? row.chopped(1) : QByteArray("(no CRLF) ") + row;
    return rows;
}

QList<pid_t> childrenOf(pid_t parent)
{
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-P"), QString::number(parent)});
    pgrep.waitForFinished(10000);
    QList<pid_t> pids;
    for (const QByteArray &line : pgrep.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            pids << pid_t(line.toInt());
    }
    return pids;
}
}

class TestGangPosix : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void ctrlCEndsEveryLinkWithTheLogComplete();
    void fullDiskStopsTheGangWithEveryRecordKept();
    void recordIsMergedBeforeTheLinksNextChip();
    void killedWorkerFailsAloneWith70();
    void sigtermEndsCleanlyAndLeavesNoScratch();
    void chipLinesReadInTheUsersLanguage();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestGangPosix::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(writeFile(m_dir->filePath(QStringLiteral("in.bin")), patternBytes(3000, 5)));
}

void TestGangPosix::ctrlCEndsEveryLinkWithTheLogComplete()
{
    GangLoop gang(*m_dir, 3, {QStringLiteral("--log"), QStringLiteral("record.csv")});
    // Every Link burns the chip in its socket, then waits for the next one.
    QVERIFY2(gang.chipsShown(1, 3), qPrintable(gang.err()));
    QCOMPARE(gang.end(SIGINT), 130);
    const QStringList results = gang.results();
    QCOMPARE(results.size(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(QRegularExpression(QStringLiteral("^emu%1: stopped, [1-9]\\d* chip\\(s\\): [1-9]\\d* passed, 0 failed$").arg(i + 1))
                     .match(results[i]).hasMatch(),
                 qPrintable(results[i]));

    // One record per chip, each under its Link, behind the one header; a new record is UTF-8 with a mark, CRLF.
    const QByteArray bytes = readFile(m_dir->filePath(QStringLiteral("record.csv")));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBFlink,time,chip,chip id,areas,checksums,result,text\r\n"));
    const QList<QByteArray> rows = recordRows(m_dir->filePath(QStringLiteral("record.csv")));
    QCOMPARE(rows.size(), 3);
    QStringList links;
    for (const QByteArray &row : rows) {
        const QList<QByteArray> fields = row.split(',');
        QCOMPARE(fields.size(), 8);
        QCOMPARE(fields[6], QByteArray("0"));
        links << QString::fromUtf8(fields[0]);
    }
    links.sort();
    QCOMPARE(links, (QStringList{"emu1", "emu2", "emu3"}));
}

// The gang's record stops growing (its file-size limit reached, as on a full disk): the gang ends with 74
// and says so, every row in the file is whole, and the rows it could not take stay in the workers' logs.
void TestGangPosix::fullDiskStopsTheGangWithEveryRecordKept()
{
    QTemporaryDir temp;  // the kept workers' logs go with it
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), temp.path());
    GangLoop gang(*m_dir, 3, {QStringLiteral("--log"), QStringLiteral("record.csv")}, env);
    QVERIFY2(gang.chipsShown(1, 3), qPrintable(gang.err()));
    const QString record = m_dir->filePath(QStringLiteral("record.csv"));
    const qint64 full = QFileInfo(record).size() + 20;  // less than a row
    QProcess limit;
    limit.start(QStringLiteral("prlimit"), {QStringLiteral("--pid"), QString::number(gang.pid()),
                                            QStringLiteral("--fsize=%1:%1").arg(full)});
    QVERIFY(limit.waitForFinished(10000));
    QCOMPARE(limit.exitCode(), 0);
    QVERIFY(gang.swapChip(2));
    QVERIFY2(gang.waitFor([](const QString &err) { return err.contains(QStringLiteral("record.csv: cannot write the production record")); }),
             qPrintable(gang.err()));
    QCOMPARE(gang.end(0), 74);  // signal 0: it ends by itself
    const QStringList results = gang.results();
    QCOMPARE(results.size(), 3);
    QVERIFY2(results[1].startsWith(QStringLiteral("emu2: NG 74")), qPrintable(results[1]));
    QVERIFY2(results[0].startsWith(QStringLiteral("emu1: stopped")), qPrintable(results[0]));

    const QList<QByteArray> rows = recordRows(record);
    QCOMPARE(rows.size(), 3);
    for (const QByteArray &row : rows)
        QCOMPARE(row.split(',').size(), 8);
    QCOMPARE(QFileInfo(record).size(), full - 20);
    // emu2's second chip is in its own log, which is kept and named.
    const QRegularExpressionMatch kept = QRegularExpression(QStringLiteral("kept in: (\\S+link2\\.csv)")).match(gang.err());
    QVERIFY2(kept.hasMatch(), qPrintable(gang.err()));
    const QByteArray workerLog = readFile(kept.captured(1));
    QCOMPARE(workerLog.count('\n'), 3);  // header and two chips
    QVERIFY(kept.captured(1).startsWith(temp.path()));
}

// While the parent has not merged a Link's record (it is held with SIGSTOP), that Link burns no further chip.
void TestGangPosix::recordIsMergedBeforeTheLinksNextChip()
{
    QTemporaryDir temp;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), temp.path());
    GangLoop gang(*m_dir, 2, {QStringLiteral("--log"), QStringLiteral("record.csv")}, env);
    QVERIFY2(gang.chipsShown(1, 2), qPrintable(gang.err()));
    const QStringList scratch = QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(scratch.size(), 1);
    const QString workerLog = QDir(temp.filePath(scratch[0])).filePath(QStringLiteral("link1.csv"));
    auto workerRows = [&workerLog] { return readFile(workerLog).count('\n') - 1; };

    QVERIFY(gang.pid() > 0);  // kill(0, ...) would reach this test's own process group
    QCOMPARE(::kill(gang.pid(), SIGSTOP), 0);
    QVERIFY(gang.swapChip(1));
    QTRY_COMPARE_WITH_TIMEOUT(workerRows(), 2, 60000);  // chip 2 burned and in the worker's own log
    QVERIFY(gang.swapChip(1));
    // Chip 3 waits for chip 2's row in the gang's record.
    QTest::qWait(1500);
    QCOMPARE(workerRows(), 2);
    QCOMPARE(::kill(gang.pid(), SIGCONT), 0);
    QVERIFY2(gang.chipsShown(2, 1), qPrintable(gang.err()));
    // The swap it did not see while it waited: the next one brings chip 3.
    QVERIFY(gang.swapChip(1));
    QVERIFY2(gang.chipsShown(3, 1), qPrintable(gang.err()));
    QCOMPARE(gang.end(SIGINT), 130);
    QCOMPARE(recordRows(m_dir->filePath(QStringLiteral("record.csv"))).size(), 4);
}

// A worker killed with SIGKILL ends its Link with 70 ("the worker ended abnormally"); the others go on.
void TestGangPosix::killedWorkerFailsAloneWith70()
{
    GangLoop gang(*m_dir, 3, {});
    QVERIFY2(gang.chipsShown(1, 3), qPrintable(gang.err()));
    const QList<pid_t> workers = childrenOf(gang.pid());
    QCOMPARE(workers.size(), 3);
    QCOMPARE(::kill(workers[1], SIGKILL), 0);
    for (int link = 1; link <= 3; ++link)
        QVERIFY(gang.swapChip(link));
    QVERIFY2(gang.waitFor([](const QString &err) { return err.count(QStringLiteral(": chip 2:")) == 2; }), qPrintable(gang.err()));
    QCOMPARE(gang.end(SIGINT), 130);
    const QStringList results = gang.results();
    QCOMPARE(results.size(), 3);
    QCOMPARE(results.filter(QStringLiteral(": stopped, 2 chip(s)")).size(), 2);
    QCOMPARE(results.filter(QRegularExpression(QStringLiteral(": NG 70 \\S"))).size(), 1);
}

// SIGTERM ends the gang as Ctrl-C does: every Link finishes its chip, the record is whole, the scratch
// folder goes; the status says which signal ended it.
void TestGangPosix::sigtermEndsCleanlyAndLeavesNoScratch()
{
    QTemporaryDir temp;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), temp.path());
    GangLoop gang(*m_dir, 2, {QStringLiteral("--log"), QStringLiteral("record.csv")}, env);
    QVERIFY2(gang.chipsShown(1, 2), qPrintable(gang.err()));
    QCOMPARE(QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    QCOMPARE(gang.end(SIGTERM), 128 + SIGTERM);
    QCOMPARE(gang.results().size(), 2);
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(recordRows(m_dir->filePath(QStringLiteral("record.csv"))).size(), 2);
}

void TestGangPosix::chipLinesReadInTheUsersLanguage()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TQ_LANG"), QStringLiteral("en"));
    GangLoop gang(*m_dir, 2, {}, env);
    QVERIFY2(gang.chipsShown(1, 2), qPrintable(gang.err()));
    QVERIFY2(gang.err().contains(QStringLiteral("emu1: chip 1: id 2610, 0 Programming succeeded")), qPrintable(gang.err()));
    QVERIFY2(!gang.err().contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))), qPrintable(gang.err()));
    QCOMPARE(gang.end(SIGINT), 130);
}

QTEST_GUILESS_MAIN(TestGangPosix)
#include "tst_gang_posix.moc"
