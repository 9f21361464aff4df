#include "clitestutil.h"

#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

// Ctrl-C, as SIGINT, during a burn that waits for a chip.
class TestCliInterrupt : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void interruptEndsTheWaitCleanly_data();
    void interruptEndsTheWaitCleanly();
    void loopInterruptedAfterAChipCountsIt();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir->path()); }
    QString emulate() const { return QStringLiteral("--emulate=") + path(QStringLiteral("link")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliInterrupt::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCliInterrupt::interruptEndsTheWaitCleanly_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");

    QTest::newRow("burn") << QStringList() << 130;
    QTest::newRow("loop") << QStringList{QStringLiteral("--loop")} << 130;
}

void TestCliInterrupt::interruptEndsTheWaitCleanly()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), patternBytes(100, 19)));
    QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("link")), QStringLiteral("--remove")}).exitCode, 0);

    QProcess p;
    p.setWorkingDirectory(m_dir->path());
    p.start(cliPath(), QStringList{emulate(), QStringLiteral("burn"), QStringLiteral("in.bin")} + options);
    QVERIFY(p.waitForStarted());
    // Wait until the burn is waiting for a chip.
    QString err;
    while (!err.contains(QStringLiteral("芯片连接中")) && p.state() == QProcess::Running) {
        p.waitForReadyRead(1000);
        err += QString::fromUtf8(p.readAllStandardError());
    }
    QVERIFY(err.contains(QStringLiteral("芯片连接中")));
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), status);
    err += QString::fromUtf8(p.readAllStandardError());
    QVERIFY(err.contains(QStringLiteral("提示信息")));
    if (options.contains(QStringLiteral("--loop")))
        QCOMPARE(p.readAllStandardOutput(), QByteArray("0 颗芯片：0 颗通过，0 颗失败\n"));
    // The state folder is whole: the next run finds the socket still empty.
    const CliRun state = cli({QStringLiteral("--json"), QStringLiteral("emulator"), path(QStringLiteral("link"))});
    QCOMPARE(json(state.out).object()[QStringLiteral("chipPresent")].toBool(), false);
}

// However a loop is ended, Ctrl-C is exit 130 and the closing line counts the chips, as text or JSON.
void TestCliInterrupt::loopInterruptedAfterAChipCountsIt()
{
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), patternBytes(100, 20)));
    for (const bool asJson : {false, true}) {
        QProcess p;
        p.setWorkingDirectory(m_dir->path());
        const QStringList format = asJson ? QStringList{QStringLiteral("--json")} : QStringList();
        p.start(cliPath(), QStringList{emulate()} + format
                               + QStringList{QStringLiteral("burn"), QStringLiteral("in.bin"), QStringLiteral("--loop")});
        QVERIFY(p.waitForStarted());
        QByteArray out;
        const QByteArray firstChip = asJson ? QByteArray("\"chip\":1") : QByteArray("芯片 1：");
        while (!out.contains(firstChip) && p.state() == QProcess::Running) {
            p.waitForReadyRead(1000);
            out += p.readAllStandardOutput();
        }
        QVERIFY(out.contains(firstChip));
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 130);
        out += p.readAllStandardOutput();
        if (!asJson) {
            QVERIFY2(out.endsWith("1 颗芯片：1 颗通过，0 颗失败\n"), out.constData());
            continue;
        }
        const QJsonObject summary = json(out.trimmed().split('\n').last()).object();
        QCOMPARE(summary[QStringLiteral("result")].toInt(), 130);
        QCOMPARE(summary[QStringLiteral("chips")].toInt(), 1);
        QCOMPARE(summary[QStringLiteral("passed")].toInt(), 1);
        QCOMPARE(summary[QStringLiteral("failed")].toInt(), 0);
    }
}

QTEST_GUILESS_MAIN(TestCliInterrupt)
#include "tst_cli_interrupt.moc"
