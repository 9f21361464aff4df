// WorkerClient against a scripted worker: each turn a worker can take, as the events a front end sees.
#include "worker/workerclient.h"
#include "worker/workerprocess.h"
#include "worker/workerprotocol.h"
#include "worker/workerscratch.h"

#include <QtTest>

#include <QTemporaryDir>

#include <csignal>

namespace {
const char kHello[] = "out:{\"hello\":{\"protocol\":1}}";

QString scriptedWorker()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tq_scriptedworker"));
}

// Every event of `client` as one line each.
QStringList &record(WorkerClient &client, QStringList &events)
{
    QObject::connect(&client, &WorkerClient::helloReceived, [&events](int v) { events << QStringLiteral("hello %1").arg(v); });
    QObject::connect(&client, &WorkerClient::progressChanged, [&events](int p) { events << QStringLiteral("progress %1").arg(p); });
    QObject::connect(&client, &WorkerClient::labelChanged, [&events](const QString &t) { events << QStringLiteral("label ") + t; });
    QObject::connect(&client, &WorkerClient::messageReceived, [&events](const QString &t) { events << QStringLiteral("message ") + t; });
    QObject::connect(&client, &WorkerClient::chipDone, [&events](int n, const QString &id, int r, const QString &t, qint64 serial) {
        events << QStringLiteral("chip %1 %2 %3 %4").arg(n).arg(id).arg(r).arg(t) + (serial >= 0 ? QStringLiteral(" serial %1").arg(serial) : QString());
    });
    QObject::connect(&client, &WorkerClient::recordKept, [&events](int n) { events << QStringLiteral("record %1").arg(n); });
    QObject::connect(&client, &WorkerClient::resultReceived, [&events](const QJsonObject &o) {
        events << QStringLiteral("result %1").arg(o.value(QStringLiteral("result")).toInt());
    });
    QObject::connect(&client, &WorkerClient::lineRejected, [&events](const QByteArray &l) { events << QStringLiteral("rejected ") + QString::fromUtf8(l.left(20)); });
    QObject::connect(&client, &WorkerClient::finished, [&events] { events << QStringLiteral("finished"); });
    return events;
}

bool waitForEnd(WorkerClient &client)
{
    QSignalSpy ended(&client, &WorkerClient::finished);
    return !client.report().running() || ended.wait(30000);
}
}

class TestWorkerClient : public QObject
{
    Q_OBJECT

private slots:
    void followsAWholeRun();
    void refusesAWorkerOfAnotherVersion_data();
    void refusesAWorkerOfAnotherVersion();
    void linesOutsideTheProtocolArePassedOver();
    void passesStopOn();
    void endsAHungWorker_data();
    void endsAHungWorker();
    void reportsACrash();
    void reportsAProgramThatCannotStart();
    void scratchFoldersOfEndedParentsGo();
    void processPassesStreamsAndStatus();
    void processReportsAProgramThatCannotStart_data();
    void processReportsAProgramThatCannotStart();
    void processIsKilled();
    void processWritesToAClosedInputQuietly();
    void processLeaksNoDescriptors();
};

// Every message kind in the order a burn sends them, the record answered, the polled report at the end.
void TestWorkerClient::followsAWholeRun()
{
    WorkerClient client;
    QStringList events;
    record(client, events);
    client.start(scriptedWorker(),
                 {kHello, "env:TQ_WORKER_PROTOCOL", "out:{\"progress\":40}", "out:{\"label\":\"Burning\"}",
                  "out:{\"alive\":1}", "out:{\"message\":\"note\"}",
                  "out:{\"chip\":1,\"chipId\":\"2610\",\"result\":0,\"serial\":256,\"text\":\"ok\"}", "out:{\"record\":1}", "expect:logged",
                  "out:{\"chip\":2,\"chipId\":\"2611\",\"result\":4,\"text\":\"wrong\"}", "out:{\"record\":2}", "expect:unlogged full",
                  "out:{\"result\":74,\"text\":\"production record not written\",\"chips\":2}",
                  "raw:{\"end\":{\"checksum\":null,\"exit\":74}}", "exit:74"});
    QObject::connect(&client, &WorkerClient::recordKept, &client, [&client](int n) {
        client.answerRecord(n == 1, n == 1 ? QString() : QStringLiteral("full"));
        client.answerRecord(true);  // a second answer to the same record is not sent
    });
    QVERIFY(waitForEnd(client));
    QCOMPARE(events, (QStringList{"hello 1", "message 1", "progress 40", "label Burning", "message note", "chip 1 2610 0 ok serial 256",
                                  "record 1", "chip 2 2611 4 wrong", "record 2", "result 74", "finished"}));
    const WorkerReport &r = client.report();
    QCOMPARE(int(r.ending), int(WorkerReport::Ending::Exited));
    QCOMPARE(r.exitStatus, 74);
    QCOMPARE(r.protocol, 1);
    QCOMPARE(r.percent, 40);
    QCOMPARE(r.label, QStringLiteral("Burning"));
    QCOMPARE(r.chips, 2);
    QCOMPARE(r.passed, 1);
    QCOMPARE(r.failed, 1);
    QCOMPARE(r.lastChipId, QStringLiteral("2611"));
    QCOMPARE(r.lastSerial, -1);  // the last chip took none
    QVERIFY(r.hasResult);
    QCOMPARE(r.result.value(QStringLiteral("chips")).toInt(), 2);
    QVERIFY(r.hasEnd);  // the last line came without its end
    QVERIFY(r.checksum.isEmpty());
    QVERIFY(r.failure.isEmpty());
}

void TestWorkerClient::refusesAWorkerOfAnotherVersion_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("reason");
    QTest::newRow("version 2") << "out:{\"hello\":{\"protocol\":2}}" << "protocol version 2";
    QTest::newRow("no hello") << "out:{\"result\":0,\"text\":\"t\"}" << "does not speak the worker protocol";
    QTest::newRow("not a worker") << "out:usage: something" << "usage: something";
}

// The worker is ended before it says more: nothing of another protocol is taken for a result.
void TestWorkerClient::refusesAWorkerOfAnotherVersion()
{
    QFETCH(QString, first);
    QFETCH(QString, reason);
    WorkerClient client;
    QStringList events;
    record(client, events);
    client.start(scriptedWorker(), {first, "out:{\"result\":0,\"text\":\"t\"}", "hang"});
    QVERIFY(waitForEnd(client));
    const WorkerReport &r = client.report();
    QCOMPARE(int(r.ending), int(WorkerReport::Ending::Refused));
    QVERIFY2(r.failure.contains(reason), qPrintable(r.failure));
    QVERIFY(!r.hasResult);
    QCOMPARE(events, (QStringList{"message " + r.failure, "finished"}));
}

void TestWorkerClient::linesOutsideTheProtocolArePassedOver()
{
    WorkerClient client;
    QStringList events;
    record(client, events);
    client.start(scriptedWorker(), {kHello, "out:not json", "out:{\"progress\":101}", "out:{\"hello\":{\"protocol\":1}}",
                                    "long:1100000", "out:{\"progress\":5}", "out:{\"result\":0,\"text\":\"t\"}", "exit:0"});
    QVERIFY(waitForEnd(client));
    QCOMPARE(events, (QStringList{"hello 1", "rejected not json", "rejected {\"progress\":101}", "rejected {\"hello\":{\"protocol\"",
                                  "rejected xxxxxxxxxxxxxxxxxxxx", "progress 5", "result 0", "finished"}));
    QCOMPARE(int(client.report().ending), int(WorkerReport::Ending::Exited));
    QVERIFY(client.report().hasResult);
}

void TestWorkerClient::passesStopOn()
{
    WorkerClient client;
    client.start(scriptedWorker(), {kHello, "expect:stop", "out:{\"result\":130,\"text\":\"interrupted\"}", "exit:130"});
    QSignalSpy hello(&client, &WorkerClient::helloReceived);
    QVERIFY(hello.wait(30000));
    client.stop();
    QVERIFY(waitForEnd(client));
    QCOMPARE(int(client.report().ending), int(WorkerReport::Ending::Exited));
    QCOMPARE(client.report().exitStatus, 130);
}

void TestWorkerClient::endsAHungWorker_data()
{
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QString>("reason");
    QTest::newRow("silent") << false << "no sign of life";
    QTest::newRow("deaf to stop") << true << "did not stop";
}

void TestWorkerClient::endsAHungWorker()
{
    QFETCH(bool, stop);
    QFETCH(QString, reason);
    WorkerClient client;
    client.setSilenceTimeout(0);  // a start on a loaded machine may take its time
    client.setStopTimeout(300);
    client.start(scriptedWorker(), {kHello, "hang"});
    QSignalSpy hello(&client, &WorkerClient::helloReceived);
    QVERIFY(hello.wait(30000));
    if (stop)
        client.stop();
    else
        client.setSilenceTimeout(300);
    QVERIFY(waitForEnd(client));
    const WorkerReport &r = client.report();
    QCOMPARE(int(r.ending), int(WorkerReport::Ending::Hung));
    QVERIFY2(r.failure.contains(reason), qPrintable(r.failure));
    QCOMPARE(r.lastMessage, r.failure);
}

void TestWorkerClient::reportsACrash()
{
#ifdef Q_OS_WIN
    QSKIP("abort() is an ordinary exit with status 3 on Windows");
#endif
    WorkerClient client;
    client.start(scriptedWorker(), {kHello, "out:{\"progress\":5}", "err:about to fail", "crash"});
    QVERIFY(waitForEnd(client));
    const WorkerReport &r = client.report();
    QCOMPARE(int(r.ending), int(WorkerReport::Ending::Crashed));
    QCOMPARE(r.exitStatus, -1);
    QVERIFY(!r.failure.isEmpty());
    QCOMPARE(r.percent, 5);
    QCOMPARE(r.lastMessage, QStringLiteral("about to fail"));  // its stderr
}

void TestWorkerClient::reportsAProgramThatCannotStart()
{
    QTemporaryDir dir;
    WorkerClient client;
    QSignalSpy ended(&client, &WorkerClient::finished);
    client.start(dir.filePath(QStringLiteral("no-such-program")), {});
    QVERIFY(ended.wait(30000));
    QCOMPARE(int(client.report().ending), int(WorkerReport::Ending::NotStarted));
    QVERIFY(!client.report().failure.isEmpty());
}

// An empty folder of a parent that is gone goes; a running parent's folder and one holding files stay.
void TestWorkerClient::scratchFoldersOfEndedParentsGo()
{
    QTemporaryDir temp;
    QProcess ended;
    ended.start(scriptedWorker(), {"exit:0"});
    QVERIFY(ended.waitForFinished(30000));
    const QString gone = QString::number(ended.processId() > 0 ? ended.processId() : 999999);
    const QString own = QString::number(QCoreApplication::applicationPid());
    QDir dir(temp.path());
    for (const QString &name : {WorkerScratch::prefix() + gone + "-aaaaaa", WorkerScratch::prefix() + gone + "-bbbbbb",
                                WorkerScratch::prefix() + own + "-cccccc", QStringLiteral("other-%1-dddddd").arg(gone)})
        QVERIFY(dir.mkdir(name));
    QFile kept(dir.filePath(WorkerScratch::prefix() + gone + "-bbbbbb/link1.csv"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();
    const QStringList removed = WorkerScratch::removeStale(temp.path());
    QCOMPARE(removed, QStringList{dir.filePath(WorkerScratch::prefix() + gone + "-aaaaaa")});
    QCOMPARE(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
}

namespace {
struct ProcessRun
{
    QByteArray out, err;
    int exitCode = -1;
    bool crashed = false;
};

// Follows `process` to its end, collecting what it wrote.
bool runToEnd(WorkerProcess &process, ProcessRun *run)
{
    QObject::connect(&process, &WorkerProcess::readyReadStandardOutput, [&] { run->out += process.readAllStandardOutput(); });
    QObject::connect(&process, &WorkerProcess::readyReadStandardError, [&] { run->err += process.readAllStandardError(); });
    QObject::connect(&process, &WorkerProcess::finished, [run](int code, bool crashed) {
        run->exitCode = code;
        run->crashed = crashed;
    });
    QSignalSpy ended(&process, &WorkerProcess::finished);
    if (!ended.wait(30000))
        return false;
    run->out += process.readAllStandardOutput();
    run->err += process.readAllStandardError();
    return true;
}
}

void TestWorkerClient::processPassesStreamsAndStatus()
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("TQ_SEAM"), QStringLiteral("given"));
    WorkerProcess process;
    process.start(scriptedWorker(), {"out:first", "err:second", "expect:ping", "out:got it", "env:TQ_SEAM", "exit:7"}, environment);
    QVERIFY(process.isRunning());
    QVERIFY(process.processId() > 0);
    process.write("ping\n");
    ProcessRun run;
    QVERIFY(runToEnd(process, &run));
    // A Windows program writes its line ends as CRLF; the protocol reads both.
    QCOMPARE(QByteArray(run.out).replace("\r\n", "\n"), QByteArray("first\ngot it\n{\"message\":\"given\"}\n"));
    QCOMPARE(run.err.trimmed(), QByteArray("second"));
    QCOMPARE(run.exitCode, 7);
    QVERIFY(!run.crashed);
    QVERIFY(!process.isRunning());
    process.write("late\n");  // to nobody: dropped
}

void TestWorkerClient::processReportsAProgramThatCannotStart_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("no such file") << false;
    QTest::newRow("not executable") << true;
}

void TestWorkerClient::processReportsAProgramThatCannotStart()
{
    QFETCH(bool, exists);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("not-a-program"));
    if (exists) {
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("nothing to run\n") > 0);
    }
    WorkerProcess process;
    QSignalSpy failed(&process, &WorkerProcess::failedToStart);
    QSignalSpy ended(&process, &WorkerProcess::finished);
    process.start(program, {}, QProcessEnvironment::systemEnvironment());
    QVERIFY(failed.wait(30000));
    QVERIFY2(!failed.at(0).at(0).toString().isEmpty(), "no reason given");
    QVERIFY(!process.isRunning());
    QCOMPARE(ended.count(), 0);
}

void TestWorkerClient::processIsKilled()
{
    WorkerProcess process;
    process.start(scriptedWorker(), {"out:up", "hang"}, QProcessEnvironment::systemEnvironment());
    QSignalSpy up(&process, &WorkerProcess::readyReadStandardOutput);
    QVERIFY(up.wait(30000));
    process.kill();
    ProcessRun run;
    QVERIFY(runToEnd(process, &run));
#ifndef Q_OS_WIN
    QVERIFY(run.crashed);
    QCOMPARE(run.exitCode, SIGKILL);
#endif
    QVERIFY(!process.isRunning());
}

void TestWorkerClient::processWritesToAClosedInputQuietly()
{
#ifdef Q_OS_WIN
    QSKIP("no SIGPIPE on Windows");
#else
    // A child that has closed its input: the write fails, and must not end this process by SIGPIPE.
    WorkerProcess process;
    process.start(QStringLiteral("/bin/sh"), {"-c", "exec 0<&-; echo closed; sleep 30"}, QProcessEnvironment::systemEnvironment());
    QSignalSpy closed(&process, &WorkerProcess::readyReadStandardOutput);
    QVERIFY(closed.wait(30000));
    process.write("anyone?\n");
    process.write("still here\n");
    QVERIFY(process.isRunning());
    process.kill();
    QVERIFY(process.waitForFinished(30000));
    QVERIFY(!process.isRunning());
#endif
}

void TestWorkerClient::processLeaksNoDescriptors()
{
#ifdef Q_OS_WIN
    QSKIP("descriptors listed through /proc");
#else
    // A child started while another runs holds what one started alone holds (what this test inherited
    // included): none of the other's pipes or pidfd.
    const auto descriptorsOfAChild = [](QByteArray *listed) {
        WorkerProcess lister;
        lister.start(QStringLiteral("/bin/sh"),
                     {"-c", "for n in $(seq 0 1023); do [ -e /proc/$$/fd/$n ] && echo $n; done; exit 0"},
                     QProcessEnvironment::systemEnvironment());
        ProcessRun run;
        if (!runToEnd(lister, &run))
            return false;
        *listed = run.out.simplified();
        return true;
    };
    QByteArray alone, beside;
    QVERIFY(descriptorsOfAChild(&alone));
    QVERIFY2(alone.startsWith("0 1 2"), alone.constData());
    WorkerProcess other;
    other.start(scriptedWorker(), {"hang"}, QProcessEnvironment::systemEnvironment());
    QVERIFY(other.isRunning());
    QVERIFY(descriptorsOfAChild(&beside));
    QCOMPARE(beside, alone);
#endif
}

QTEST_GUILESS_MAIN(TestWorkerClient)
#include "tst_workerclient.moc"
