#include "clitestutil.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

#include <sys/stat.h>

namespace {
// The end of a started run: its exit status and what it wrote.
CliRun finished(QProcess &p)
{
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
    return finished(p);
}

// tarnquill-cli with arguments given as bytes, as a shell hands them over (QProcess would encode text), in a
// UTF-8 locale.
CliRun runWithBytes(const QList<QByteArray> &arguments, const QString &workDir)
{
    QString script = QStringLiteral("exec \"$0\"");
    for (const QByteArray &argument : arguments) {
        QString octal;
        for (const char c : argument)
            octal += QStringLiteral("\\%1").arg(uint(uchar(c)), 3, 8, QLatin1Char('0'));
        script += QStringLiteral(" \"$(printf '%1')\"").arg(octal);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script, cliPath()});
    return finished(p);
}
}

// The command line on FIFOs, devices, full disks and names that are not text: each fails at once with its exit
// status and leaves
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

    // A name that is not text in the system's encoding cannot be opened or created under its own bytes through
    // Qt: it is refused (64) with its bytes shown, before anything is read, written or created.
    void namesThatAreNotText_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("named");  // how the refusal shows the argument; empty: no refusal
        const QByteArray gbk("gbk\xC4\xE3\xBA\xC3.hex");  // "gbk你好.hex" in GBK, an existing file
        QTest::newRow("existing input in GBK") << QList<QByteArray>{"info", gbk} << 64
                                               << QStringLiteral("\"gbk\\xC4\\xE3\\xBA\\xC3.hex\"");
        QTest::newRow("burn input in GBK") << QList<QByteArray>{"--emulate", "burn", gbk} << 64
                                           << QStringLiteral("\"gbk\\xC4\\xE3\\xBA\\xC3.hex\"");
        QTest::newRow("convert output") << QList<QByteArray>{"convert", "in.hex", "out\xFF.bin"} << 64
                                        << QStringLiteral("\"out\\xFF.bin\"");
        QTest::newRow("read output") << QList<QByteArray>{"--emulate", "read", "out\xFF.bin"} << 64
                                     << QStringLiteral("\"out\\xFF.bin\"");
        QTest::newRow("upload output") << QList<QByteArray>{"--emulate", "upload", "up\xFF.mprj"} << 64
                                       << QStringLiteral("\"up\\xFF.mprj\"");
        QTest::newRow("production record") << QList<QByteArray>{"--emulate", "burn", "in.hex", "--log", "log\xFF.csv"} << 64
                                           << QStringLiteral("\"log\\xFF.csv\"");
        QTest::newRow("production record, = form")
            << QList<QByteArray>{"--emulate", "burn", "in.hex", "--log=log\xFF.csv"} << 64
            << QStringLiteral("\"--log=log\\xFF.csv\"");
        QTest::newRow("trace") << QList<QByteArray>{"--emulate", "--trace", "t\xFF.txt", "erase"} << 64
                               << QStringLiteral("\"t\\xFF.txt\"");
        QTest::newRow("emulator folder") << QList<QByteArray>{"--emulate=link\xFF", "erase"} << 64
                                         << QStringLiteral("\"--emulate=link\\xFF\"");
        QTest::newRow("gang folder") << QList<QByteArray>{"--emulate=a,b\xFF", "--link", "all", "erase"} << 64
                                     << QStringLiteral("\"--emulate=a,b\\xFF\"");
        QTest::newRow("emulator command's folder") << QList<QByteArray>{"emulator", "link\xFE"} << 64
                                                   << QStringLiteral("\"link\\xFE\"");
        // Names in the system's encoding are taken as they are.
        QTest::newRow("UTF-8 name") << QList<QByteArray>{"convert", "in.hex", "输出.bin"} << 0 << QString();
    }

    void namesThatAreNotText()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(int, status);
        QFETCH(QString, named);
        // Created under its own bytes: QFile would write a name it can decode.
        const QByteArray gbk = QFile::encodeName(m_dir->path()) + "/gbk\xC4\xE3\xBA\xC3.hex";
        FILE *file = std::fopen(gbk.constData(), "wb");
        QVERIFY(file);
        const QByteArray hex = hexText(patternBytes(64, 5));
        QCOMPARE(std::fwrite(hex.constData(), 1, size_t(hex.size()), file), size_t(hex.size()));
        QCOMPARE(std::fclose(file), 0);
        const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        const CliRun run = runWithBytes(arguments, m_dir->path());
        QCOMPARE(run.exitCode, status);
        if (named.isEmpty()) {
            QVERIFY2(QFile::exists(path(QString::fromUtf8(arguments.last()))), qPrintable(run.err));
            return;
        }
        QVERIFY2(run.err.contains(named) && run.err.contains(QStringLiteral("不是系统编码")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // Nothing written under another name, no emulator folder made.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
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
        QVERIFY2(run.err.contains(QStringLiteral("无法写入")), qPrintable(run.err));
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
        QVERIFY2(run.err.contains(QStringLiteral("无法写出输出")), qPrintable(run.err));
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
        QVERIFY2(run.err.contains(QStringLiteral("无法写入生产记录")), qPrintable(run.err));
        QCOMPARE(readFile(path(QStringLiteral("record.csv"))), previous);
        if (!options.isEmpty())
            QVERIFY2(run.out.endsWith("1 颗芯片：1 颗通过，0 颗失败\n"), run.out.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliPosix)
#include "tst_cliposix.moc"
