// tarnquill-cli's burn loop on an emulator folder driven from outside, killed, idle, and tracing onto a full
// disk. Uses signals, /proc and /dev/full.
#include "clitestutil.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

#include <signal.h>
#include <sys/stat.h>

namespace {
// The loop's written bytes (every write(), any file system) and its processor ticks so far.
struct ProcessUse {
    qint64 written = -1;
    qint64 ticks = -1;
};

ProcessUse useOf(qint64 pid)
{
    ProcessUse use;
    const QList<QByteArray> io = readFile(QStringLiteral("/proc/%1/io").arg(pid)).split('\n');
    for (const QByteArray &line : io)
        if (line.startsWith("wchar:"))
            use.written = line.mid(6).trimmed().toLongLong();
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() > 12)
        use.ticks = fields[11].toLongLong() + fields[12].toLongLong();  // utime + stime
    return use;
}

QString identity(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1 %2.%3 %4").arg(st.st_ino).arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec).arg(st.st_size);
}
} // namespace

class TestCliEmulatorPosix : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_loop;
    QByteArray m_loopOut;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString dir() const { return path(QStringLiteral("link")); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir->path()); }

    // realWaits: the emulated Link takes its time as a real one does, so a waiting loop polls at the pace a
    // real Link sets (the quick emulator polls every few milliseconds, which is no measure of idleness).
    void startLoop(bool realWaits = false, const QStringList &burnOptions = {})
    {
        m_loopOut.clear();
        m_loop.setWorkingDirectory(m_dir->path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (realWaits)
            environment.insert(QStringLiteral("TQ_EMULATOR_WAITS"), QStringLiteral("real"));
        m_loop.setProcessEnvironment(environment);
        m_loop.start(cliPath(), QStringList{QStringLiteral("--emulate=") + dir(), QStringLiteral("burn"), QStringLiteral("in.bin"),
                                 QStringLiteral("--loop")} + burnOptions);
        QVERIFY(m_loop.waitForStarted());
    }

    // Waits until the loop reported `chips` chips.
    bool chipsBurned(int chips)
    {
        return QTest::qWaitFor([&] {
            m_loopOut += m_loop.readAllStandardOutput();
            return m_loopOut.count("\n芯片 ") + (m_loopOut.startsWith("芯片 ") ? 1 : 0) >= chips;
        }, 20000);
    }

    bool socket(const QString &change) { return cli({QStringLiteral("emulator"), dir(), change}).exitCode == 0; }

    bool chipPresent()
    {
        return cli({QStringLiteral("--json"), QStringLiteral("emulator"), dir()}).out.contains("\"chipPresent\": true");
    }

    void stopLoop()
    {
        if (m_loop.state() == QProcess::Running) {
            ::kill(pid_t(m_loop.processId()), SIGINT);
            if (!m_loop.waitForFinished(20000))
                m_loop.kill();
        }
        m_loop.waitForFinished();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(writeFile(path(QStringLiteral("in.bin")), patternBytes(2000, 5)));
        QVERIFY(socket(QStringLiteral("--insert")));
    }

    void cleanup() { stopLoop(); }

    // An operator at the socket: every insertion after a removal is the next chip, and the loop never writes
    // its own idea of the socket back over the operator's.
    void theLoopFollowsTheSocketFromOutside()
    {
        startLoop();
        QVERIFY(chipsBurned(1));
        for (int chip = 2; chip <= 3; ++chip) {
            QVERIFY(socket(QStringLiteral("--remove")));
            QTest::qWait(200);  // the loop goes on polling meanwhile
            QVERIFY(!chipPresent());
            QVERIFY(socket(QStringLiteral("--insert")));
            QVERIFY2(chipsBurned(chip), m_loopOut.constData());
        }
    }

    // A wrong chip on a line is swapped as any failed chip is: reported, counted and recorded, and the loop
    // waits for the next chip.
    void aWrongChipIsOneFailedChipOfTheLoop()
    {
        QCOMPARE(cli({QStringLiteral("emulator"), dir(), QStringLiteral("--chip-id"), QStringLiteral("4470")}).exitCode, 0);
        startLoop(false, {QStringLiteral("--log"), QStringLiteral("loop.csv")});
        QVERIFY2(chipsBurned(1), m_loopOut.constData());
        QVERIFY(socket(QStringLiteral("--remove")));
        QTest::qWait(200);  // as long as a hand takes: the loop must see the socket empty
        QCOMPARE(cli({QStringLiteral("emulator"), dir(), QStringLiteral("--chip-id"), QStringLiteral("2610")}).exitCode, 0);
        QVERIFY(socket(QStringLiteral("--insert")));
        QVERIFY2(chipsBurned(2), m_loopOut.constData());
        stopLoop();
        QCOMPARE(m_loop.exitCode(), 130);
        m_loopOut += m_loop.readAllStandardOutput();
        const QString out = QString::fromUtf8(m_loopOut);
        QVERIFY2(out.contains(QStringLiteral("芯片 1：ID 4470，4 ")) && out.contains(QStringLiteral("芯片 2：ID 2610，0 ")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("2 颗芯片：1 颗通过，1 颗失败")), qPrintable(out));
        const QList<QByteArray> rows = readFile(path(QStringLiteral("loop.csv"))).split('\n');
        QCOMPARE(rows.size(), 4);  // the header, two chips, the empty rest after the last line end
        QCOMPARE(rows[1].split(',').value(2), QByteArray("4470"));
        QCOMPARE(rows[2].split(',').value(2), QByteArray("2610"));
        QCOMPARE(rows[1].split(',').value(5), QByteArray("4"));
        QCOMPARE(rows[2].split(',').value(5), QByteArray("0"));
    }

    // A Link pulled out and plugged back within its two seconds of grace is waited for, as a real one is: the
    // emulated Link's pauses are scaled to nothing, the operator's grace is not.
    void aLinkPulledForASecondIsWaitedFor()
    {
        startLoop();
        QVERIFY(chipsBurned(1));
        QVERIFY(socket(QStringLiteral("--remove")));
        QVERIFY(socket(QStringLiteral("--unplug")));
        QTest::qWait(1000);
        QVERIFY(socket(QStringLiteral("--plug")));
        QCOMPARE(m_loop.state(), QProcess::Running);
        QVERIFY(socket(QStringLiteral("--insert")));
        QVERIFY2(chipsBurned(2), m_loopOut.constData());
        // Pulled out for good, the loop ends with the USB failure once the grace is over.
        QVERIFY(socket(QStringLiteral("--unplug")));
        QVERIFY(m_loop.waitForFinished(20000));
        QCOMPARE(m_loop.exitCode(), 36);
    }

    // Waiting for the operator, the loop writes nothing and leaves the processor alone.
    void anIdleLoopWritesNothingAndSleeps()
    {
        startLoop(true);
        QVERIFY(chipsBurned(1));
        QTest::qWait(200);
        const QString state = identity(dir() + QStringLiteral("/emulator.state"));
        const ProcessUse first = useOf(m_loop.processId());
        QVERIFY(first.written >= 0 && first.ticks >= 0);
        // The quietest of several half seconds: a loop that spins burns every one of them (50 ticks, still 20
        // or more on a machine loaded by other tests), one that sleeps between polls a tick or two. A burst of
        // the machine's own (page cache, scheduler) in one window does not decide.
        qint64 quietest = std::numeric_limits<qint64>::max();
        QStringList seen;
        ProcessUse before = first;
        for (int window = 0; window < 4; ++window) {
            QTest::qWait(500);
            const ProcessUse after = useOf(m_loop.processId());
            quietest = std::min(quietest, after.ticks - before.ticks);
            seen << QString::number(after.ticks - before.ticks);
            before = after;
        }
        QCOMPARE(before.written, first.written);
        QCOMPARE(identity(dir() + QStringLiteral("/emulator.state")), state);
        QVERIFY2(quietest < 10, qPrintable(QStringLiteral("ticks per half second: ") + seen.join(QLatin1Char(' '))));
    }

    // Killed at any moment, the loop leaves a folder the next program reads.
    void killedAtAnyMomentLeavesAWholeFolder()
    {
        QRandomGenerator rng(7);
        for (int round = 0; round < 8; ++round) {
            startLoop();
            QTest::qWait(int(rng.bounded(20, 400)));
            ::kill(pid_t(m_loop.processId()), SIGKILL);
            QVERIFY(m_loop.waitForFinished(10000));
            const CliRun state = cli({QStringLiteral("emulator"), dir()});
            QVERIFY2(state.exitCode == 0, qPrintable(state.err));
            // A half-written new state the kill left behind is cleared away by the next program.
            QCOMPARE(QDir(dir()).entryList({QStringLiteral(".emulator.state.*")}, QDir::Files | QDir::Hidden).size(), 0);
            QVERIFY(socket(QStringLiteral("--remove")) && socket(QStringLiteral("--insert")));
        }
    }

    // A link where a state or lock file belongs is refused, and what it points to stays as it was.
    void symlinksInTheFolderAreNeverFollowed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("state file") << "emulator.state";
        QTest::newRow("folder lock") << "state.lock";
        QTest::newRow("the Link's lock") << "link.lock";
    }

    void symlinksInTheFolderAreNeverFollowed()
    {
        QFETCH(QString, name);
        const QString victim = path(QStringLiteral("victim"));
        QVERIFY(writeFile(victim, "keep me"));
        QVERIFY(::chmod(QFile::encodeName(victim).constData(), 0600) == 0);
        QFile::remove(dir() + QLatin1Char('/') + name);
        QVERIFY(QFile::link(victim, dir() + QLatin1Char('/') + name));
        const CliRun run = cli({QStringLiteral("--emulate=") + dir(), QStringLiteral("burn"), QStringLiteral("in.bin")});
        QCOMPARE(run.exitCode, 74);
        QVERIFY2(run.err.contains(QStringLiteral("symlink")), qPrintable(run.err));
        QVERIFY(!run.err.contains(QStringLiteral("烧写成功")));
        QCOMPARE(readFile(victim), QByteArray("keep me"));
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(victim).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);
    }

    // A trace that cannot be written fails the run.
    void aTraceOnAFullDiskFails()
    {
        const CliRun run = cli({QStringLiteral("--emulate=") + dir(), QStringLiteral("--trace"), QStringLiteral("/dev/full"),
                                QStringLiteral("burn"), QStringLiteral("in.bin")});
        QCOMPARE(run.exitCode, 74);
        QVERIFY2(run.err.contains(QStringLiteral("报文记录文件")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCliEmulatorPosix)
#include "tst_cliemulatorposix.moc"
