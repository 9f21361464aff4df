#include "clitestutil.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {
// tarnquill-cli with its files cut at `fileSizeLimit` bytes (0: no limit), as on a disk that fills up: a
// write past the limit returns short. SIGXFSZ is ignored so the write fails instead of ending the process.
CliRun runLimited(const QStringList &arguments, const QString &workDir, qint64 fileSizeLimit,
                  const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
                  const QString &stdoutFile = QString())
{
    QStringList wrapped{QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; exec \"$@\""), QStringLiteral("sh")};
    if (fileSizeLimit > 0)
        wrapped << QStringLiteral("prlimit") << QStringLiteral("--fsize=%1").arg(fileSizeLimit) << QStringLiteral("--");
    wrapped << cliPath() << arguments;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral("/bin/sh"), wrapped);
    CliRun run;
    // A reader stuck on a FIFO or a loop that does not stop fails here instead of hanging the suite.
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}
}

// The command line on FIFOs, devices and full disks: each fails at once with its exit status and leaves
// the previous files whole.
class TestCliPosix : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_runtime;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    CliRun cli(const QStringList &arguments, qint64 limit = 0) const
    {
        return runLimited(arguments, m_dir->path(), limit);
    }
    bool makeFifo(const QString &name) const
    {
        return ::mkfifo(QFile::encodeName(path(name)).constData(), 0600) == 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(writeFile(path(QStringLiteral("in.hex")), hexText(patternBytes(32768, 3))));
    }

    void specialInputsAreRefusedAtOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        const QString fifo = QStringLiteral("是管道、套接字或设备文件，不是普通文件");
        QTest::newRow("info on a FIFO") << QStringList{QStringLiteral("info"), QStringLiteral("fifo.hex")} << 65 << fifo;
        QTest::newRow("burn from a FIFO") << QStringList{QStringLiteral("--emulate"), QStringLiteral("burn"), QStringLiteral("fifo.mprj")}
                                          << 65 << fifo;
        QTest::newRow("firmware from a FIFO") << QStringList{QStringLiteral("--emulate"), QStringLiteral("upgrade"),
                                                             QStringLiteral("fw-01-000001.bin")}
                                              << 65 << fifo;
        QTest::newRow("/dev/zero as hex") << QStringList{QStringLiteral("info"), QStringLiteral("zero.hex")} << 65
                                          << QStringLiteral("设备文件");
        QTest::newRow("log on a FIFO") << QStringList{QStringLiteral("--emulate"), QStringLiteral("burn"), QStringLiteral("in.hex"),
                                                      QStringLiteral("--log"), QStringLiteral("fifo.csv")}
                                       << 74 << fifo;
        QTest::newRow("trace on a FIFO") << QStringList{QStringLiteral("--emulate"), QStringLiteral("--trace"),
                                                        QStringLiteral("fifo.csv"), QStringLiteral("fw-version")}
                                         << 74 << fifo;
        QTest::newRow("trace on /dev/null") << QStringList{QStringLiteral("--emulate"), QStringLiteral("--trace"),
                                                           QStringLiteral("/dev/null"), QStringLiteral("fw-version")}
                                            << 74 << QStringLiteral("设备文件");
        QTest::newRow("log on /dev/full") << QStringList{QStringLiteral("--emulate"), QStringLiteral("burn"), QStringLiteral("in.hex"),
                                                         QStringLiteral("--log"), QStringLiteral("/dev/full")}
                                          << 74 << QStringLiteral("设备文件");
    }

    void specialInputsAreRefusedAtOnce()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, text);
        for (const QString &name : {QStringLiteral("fifo.hex"), QStringLiteral("fifo.mprj"), QStringLiteral("fifo.csv"),
                                    QStringLiteral("fw-01-000001.bin")})
            QVERIFY(makeFifo(name));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path(QStringLiteral("zero.hex"))));
        const CliRun run = cli(arguments);
        QCOMPARE(run.exitCode, status);
        QVERIFY2(run.err.contains(text), qPrintable(run.err));
        QVERIFY(!run.err.contains(QStringLiteral("烧写成功")));
    }

    // cfg.db is read before any command; a FIFO in its place hung every command.
    void cfgDbOnAFifo()
    {
        QVERIFY(QFile::link(cliPath(), path(QStringLiteral("tarnquill-cli"))));
        QVERIFY(makeFifo(QStringLiteral("cfg.db")));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQ_APP_DIR"), m_dir->path());
        const CliRun run = runLimited({QStringLiteral("chips")}, m_dir->path(), 0, env);
        QCOMPARE(run.exitCode, 65);
        QVERIFY2(run.err.contains(QStringLiteral("管道")), qPrintable(run.err));
    }

    void fullDiskKeepsThePreviousFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output");
        QTest::newRow("convert to a project") << QStringList{QStringLiteral("convert"), QStringLiteral("in.hex"), QStringLiteral("out.mprj")}
                                              << QStringLiteral("out.mprj");
        QTest::newRow("convert to a bin") << QStringList{QStringLiteral("convert"), QStringLiteral("in.hex"), QStringLiteral("out.bin")}
                                          << QStringLiteral("out.bin");
        QTest::newRow("read") << QStringList{QStringLiteral("--emulate=link"), QStringLiteral("read"), QStringLiteral("out.bin")}
                              << QStringLiteral("out.bin");
    }

    void fullDiskKeepsThePreviousFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        const QByteArray previous = patternBytes(40000, 4);
        QVERIFY(writeFile(path(output), previous));
        // The chip read holds the whole HEX image.
        if (arguments.contains(QStringLiteral("read")))
            QCOMPARE(cli({QStringLiteral("--emulate=link"), QStringLiteral("burn"), QStringLiteral("in.hex")}).exitCode, 0);
        const CliRun run = cli(arguments, 20000);
        QCOMPARE(run.exitCode, 74);
        QVERIFY2(run.err.contains(QStringLiteral("cannot write")), qPrintable(run.err));
        QCOMPARE(readFile(path(output)), previous);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // in.hex and the output
    }

    // What a command prints on stdout is its result: output that cannot be written is a failure (74) with the
    // system's reason, never a success.
    void stdoutThatCannotBeWritten_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output");  // where stdout goes
        QTest::addColumn<qint64>("limit");
        const QString full = QStringLiteral("/dev/full");
        QTest::newRow("chips to /dev/full") << QStringList{QStringLiteral("chips")} << full << qint64(0);
        QTest::newRow("help to /dev/full") << QStringList{QStringLiteral("--help")} << full << qint64(0);
        QTest::newRow("info to /dev/full") << QStringList{QStringLiteral("info"), QStringLiteral("in.hex")} << full
                                           << qint64(0);
        QTest::newRow("burn --json to /dev/full")
            << QStringList{QStringLiteral("--emulate"), QStringLiteral("--json"), QStringLiteral("burn"), QStringLiteral("in.hex")}
            << full << qint64(0);
        QTest::newRow("blank --json onto a full disk")
            << QStringList{QStringLiteral("--emulate"), QStringLiteral("--json"), QStringLiteral("blank")}
            << QStringLiteral("out.json") << qint64(8);
        QTest::newRow("chips onto a full disk") << QStringList{QStringLiteral("chips")} << QStringLiteral("out.txt")
                                                << qint64(20);
    }

    void stdoutThatCannotBeWritten()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        QFETCH(qint64, limit);
        const QString target = output.startsWith(QLatin1Char('/')) ? output : path(output);
        const CliRun run = runLimited(arguments, m_dir->path(), limit, QProcessEnvironment::systemEnvironment(), target);
        QCOMPARE(run.exitCode, 74);
        QVERIFY2(run.err.contains(QStringLiteral("cannot write the output")), qPrintable(run.err));
        // The same command with somewhere to write succeeds: the failure is the output's alone.
        QCOMPARE(cli(arguments).exitCode, 0);
    }

    // A chip burned but not recorded stops the loop before the next chip, and the record has no torn line.
    void failedRecordStopsTheBurn_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("one chip") << QStringList();
        QTest::newRow("loop") << QStringList{QStringLiteral("--loop")};
    }

    void failedRecordStopsTheBurn()
    {
        QFETCH(QStringList, options);
        const QByteArray previous = "time,chip,chip id,areas,checksums,result,text\n" + QByteArray(19900, 'x') + '\n';
        QVERIFY(writeFile(path(QStringLiteral("record.csv")), previous));
        const CliRun run = cli(QStringList{QStringLiteral("--emulate"), QStringLiteral("burn"), QStringLiteral("in.hex"),
                                           QStringLiteral("--log"), QStringLiteral("record.csv")} + options,
                               20000);
        QCOMPARE(run.exitCode, 74);
        QVERIFY2(run.err.contains(QStringLiteral("cannot write the production record")), qPrintable(run.err));
        QCOMPARE(readFile(path(QStringLiteral("record.csv"))), previous);
        if (!options.isEmpty())
            QVERIFY2(run.out.endsWith("1 chip(s): 1 passed, 0 failed\n"), run.out.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliPosix)
#include "tst_cliposix.moc"
