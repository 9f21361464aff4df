// The worker protocol line by line: what each side writes, exactly, and what a line is read as.
#include "worker/workerinput.h"
#include "worker/workerprotocol.h"
#include "worker/workerwriter.h"

#include <QtTest>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {
// The fields a message of its kind carries, in one comparable line.
QString described(const WorkerMessage &m)
{
    switch (m.kind) {
    case WorkerMessage::Malformed: return QStringLiteral("malformed");
    case WorkerMessage::Hello: return QStringLiteral("hello %1").arg(m.protocol);
    case WorkerMessage::Progress: return QStringLiteral("progress %1").arg(m.percent);
    case WorkerMessage::Label: return QStringLiteral("label ") + m.text;
    case WorkerMessage::Message: return QStringLiteral("message ") + m.text;
    case WorkerMessage::Chip:
        return QStringLiteral("chip %1 %2 %3 %4").arg(m.chip).arg(m.chipId).arg(m.result).arg(m.text)
               + (m.serial ? QStringLiteral(" serial %1").arg(*m.serial) : QString())
               + (m.checksum.isEmpty() ? QString() : QStringLiteral(" checksum ") + m.checksum);
    case WorkerMessage::Record: return QStringLiteral("record %1").arg(m.record);
    case WorkerMessage::Result:
        return QStringLiteral("result %1 %2").arg(m.result).arg(m.text) + (m.serial ? QStringLiteral(" serial %1").arg(*m.serial) : QString());
    case WorkerMessage::Alive: return QStringLiteral("alive");
    case WorkerMessage::End: return QStringLiteral("end %1 %2").arg(m.exitStatus).arg(m.checksum);
    }
    return QString();
}
}

class TestWorkerProtocol : public QObject
{
    Q_OBJECT

private slots:
    void writerLines();
    void readsEveryMessageKind_data();
    void readsEveryMessageKind();
    void refusesWhatIsNoMessage_data();
    void refusesWhatIsNoMessage();
    void progressAtAPanelsPace();
    void parentCommands_data();
    void parentCommands();
    void recordAnswers();
};

// Every message the worker writes, byte for byte, and each read back as what it says.
void TestWorkerProtocol::writerLines()
{
    QList<QByteArray> lines;
    WorkerWriter writer([&lines](const QByteArray &line) { lines << line; });
    writer.hello();
    writer.progress(37);
    writer.progress(37);  // no news: no line
    writer.progress(150);
    writer.label(QString::fromUtf8("芯片连接中..."));
    writer.message(QStringLiteral("a \"b\"\nc"));
    QCOMPARE(writer.record(), 1);
    QCOMPARE(writer.record(), 2);
    writer.alive();
    writer.end(0, QStringLiteral("49F2"));
    writer.end(3, QString());
    const QList<QByteArray> expected = {
        "{\"hello\":{\"protocol\":1}}\n",
        "{\"progress\":37}\n",
        "{\"progress\":100}\n",
        "{\"label\":\"\xE8\x8A\xAF\xE7\x89\x87\xE8\xBF\x9E\xE6\x8E\xA5\xE4\xB8\xAD...\"}\n",
        "{\"message\":\"a \\\"b\\\"\\nc\"}\n",
        "{\"record\":1}\n",
        "{\"record\":2}\n",
        "{\"alive\":1}\n",
        "{\"end\":{\"checksum\":\"49F2\",\"exit\":0}}\n",
        "{\"end\":{\"checksum\":null,\"exit\":3}}\n",
    };
    QCOMPARE(lines, expected);

    QStringList read;
    for (const QByteArray &line : lines)
        read << described(parseWorkerMessage(line.chopped(1)));
    QCOMPARE(read, (QStringList{"hello 1", "progress 37", "progress 100", QString::fromUtf8("label 芯片连接中..."),
                                "message a \"b\"\nc", "record 1", "record 2", "alive", "end 0 49F2", "end 3 "}));
}

// The steps of a transfer go out at most one per gap; its start, its first step and its end always.
void TestWorkerProtocol::progressAtAPanelsPace()
{
    QList<QByteArray> lines;
    auto now = std::chrono::steady_clock::time_point();
    WorkerWriter writer([&lines](const QByteArray &line) { lines << line; }, [&now] { return now; });
    const auto step = [&](int percent, int afterMs) {
        now += std::chrono::milliseconds(afterMs);
        writer.progress(percent);
    };
    step(0, 0);
    step(1, 10);   // the first step
    step(2, 10);   // too soon
    step(3, WorkerWriter::kProgressGapMs - 30);
    step(4, 20);   // a gap after 1
    step(5, WorkerWriter::kProgressGapMs);
    step(6, 1);
    step(100, 1);  // the end
    step(0, 1);    // a new transfer
    step(7, 1);    // its first step
    step(8, 1);
    QList<QByteArray> sent;
    for (const QByteArray &line : lines)
        sent << line.trimmed();
    QCOMPARE(sent, (QList<QByteArray>{"{\"progress\":0}", "{\"progress\":1}", "{\"progress\":4}", "{\"progress\":5}",
                                      "{\"progress\":100}", "{\"progress\":0}", "{\"progress\":7}"}));
}

void TestWorkerProtocol::readsEveryMessageKind_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("read");
    QTest::newRow("hello") << QByteArray("{\"hello\":{\"protocol\":1}}") << "hello 1";
    QTest::newRow("hello of another version") << QByteArray("{\"hello\":{\"protocol\":7,\"program\":\"x\"}}") << "hello 7";
    QTest::newRow("progress") << QByteArray("{\"progress\":0}") << "progress 0";
    QTest::newRow("label") << QByteArray("{\"label\":\"Burning\"}") << "label Burning";
    QTest::newRow("message") << QByteArray("{\"message\":\"x.bin: cannot be read\"}") << "message x.bin: cannot be read";
    // The chips of a loop and the result are the command's own --json lines.
    QTest::newRow("chip")
        << QByteArray("{\"chip\":3,\"chipId\":\"2610\",\"result\":0,\"text\":\"\xE7\x83\xA7\xE5\x86\x99\xE6\x88\x90\xE5\x8A\x9F\"}")
        << QString::fromUtf8("chip 3 2610 0 烧写成功");
    QTest::newRow("failed chip") << QByteArray("{\"chip\":4,\"chipId\":\"2611\",\"result\":4,\"text\":\"x\"}") << "chip 4 2611 4 x";
    // A chip that took a serial from the ledger names it (a number; null: none).
    QTest::newRow("chip with its serial")
        << QByteArray("{\"chip\":2,\"chipId\":\"2610\",\"result\":0,\"serial\":4660,\"text\":\"t\"}")
        << "chip 2 2610 0 t serial 4660";
    QTest::newRow("chip with a serial past 32 bits")
        << QByteArray("{\"chip\":2,\"chipId\":\"2610\",\"result\":6,\"serial\":99999999999,\"text\":\"t\"}")
        << "chip 2 2610 6 t serial 99999999999";
    // With a serial per chip, each chip's checksum is its own.
    QTest::newRow("chip with its checksum")
        << QByteArray("{\"checksum\":\"83FE\",\"chip\":2,\"chipId\":\"2610\",\"result\":0,\"serial\":1,\"text\":\"t\"}")
        << "chip 2 2610 0 t serial 1 checksum 83FE";
    QTest::newRow("chip without a serial") << QByteArray("{\"chip\":2,\"chipId\":\"2610\",\"result\":0,\"serial\":null,\"text\":\"t\"}")
                                           << "chip 2 2610 0 t";
    QTest::newRow("single burn with its serial") << QByteArray("{\"result\":0,\"serial\":256,\"text\":\"t\"}") << "result 0 t serial 256";
    QTest::newRow("record") << QByteArray("{\"record\":12}") << "record 12";
    QTest::newRow("result") << QByteArray("{\"result\":3,\"text\":\"t\"}") << "result 3 t";
    QTest::newRow("result of a loop") << QByteArray("{\"chips\":5,\"failed\":1,\"passed\":4,\"result\":130,\"text\":\"interrupted\"}")
                                      << "result 130 interrupted";
    QTest::newRow("result without text") << QByteArray("{\"result\":0,\"version\":\"1.2.3\"}") << "result 0 ";
    QTest::newRow("alive") << QByteArray("{\"alive\":1}") << "alive";
    QTest::newRow("end") << QByteArray("{\"end\":{\"checksum\":\"49F2\",\"exit\":0}}") << "end 0 49F2";
    QTest::newRow("end without checksum") << QByteArray("{\"end\":{\"checksum\":null,\"exit\":74}}") << "end 74 ";
    QTest::newRow("keys in any order, spaces") << QByteArray(" { \"text\" : \"t\" , \"result\" : 2 } ") << "result 2 t";
}

void TestWorkerProtocol::readsEveryMessageKind()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, read);
    QCOMPARE(described(parseWorkerMessage(line)), read);
}

void TestWorkerProtocol::refusesWhatIsNoMessage_data()
{
    QTest::addColumn<QByteArray>("line");
    for (const char *line : {"", "not json", "[1,2]", "{}", "{\"progress\":", "{\"unknown\":1}", "{\"progress\":\"5\"}",
                             "{\"progress\":101}", "{\"progress\":-1}", "{\"progress\":1.5}", "{\"progress\":5,\"label\":\"x\"}",
                             "{\"label\":3}", "{\"message\":null}", "{\"record\":0}", "{\"hello\":{}}",
                             "{\"hello\":{\"protocol\":\"1\"}}", "{\"hello\":{\"protocol\":1},\"x\":1}",
                             "{\"end\":{\"exit\":\"0\",\"checksum\":null}}", "{\"end\":{\"exit\":0,\"checksum\":5}}",
                             "{\"result\":\"0\",\"text\":\"t\"}", "{\"result\":0,\"text\":3}", "{\"chip\":1,\"result\":0,\"text\":\"t\"}",
                             "{\"chip\":\"1\",\"chipId\":\"2610\",\"result\":0,\"text\":\"t\"}", "{\"alive\":true}",
                             "{\"chip\":1,\"chipId\":\"2610\",\"result\":0,\"serial\":\"256\",\"text\":\"t\"}",
                             "{\"chip\":1,\"chipId\":\"2610\",\"result\":0,\"serial\":-1,\"text\":\"t\"}",
                             "{\"chip\":1,\"chipId\":\"2610\",\"result\":0,\"serial\":2.5,\"text\":\"t\"}",
                             "{\"result\":0,\"serial\":1e300,\"text\":\"t\"}",
                             "{\"checksum\":33790,\"chip\":1,\"chipId\":\"2610\",\"result\":0,\"text\":\"t\"}"})
        QTest::newRow(*line ? line : "(empty)") << QByteArray(line);
}

void TestWorkerProtocol::refusesWhatIsNoMessage()
{
    QFETCH(QByteArray, line);
    QCOMPARE(parseWorkerMessage(line).kind, WorkerMessage::Malformed);
}

void TestWorkerProtocol::parentCommands_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("reasonRead");
    QTest::newRow("stop") << int(WorkerCommand::Stop) << QString() << QByteArray("stop\n") << QString();
    QTest::newRow("logged") << int(WorkerCommand::Logged) << QString() << QByteArray("logged\n") << QString();
    QTest::newRow("unlogged") << int(WorkerCommand::Unlogged) << QStringLiteral("g.csv: disk full") << QByteArray("unlogged g.csv: disk full\n")
                              << QStringLiteral("g.csv: disk full");
    // A line break in the reason would be read as a command of its own.
    QTest::newRow("unlogged, two lines") << int(WorkerCommand::Unlogged) << QStringLiteral("a\r\nstop") << QByteArray("unlogged a  stop\n")
                                         << QStringLiteral("a  stop");
}

void TestWorkerProtocol::parentCommands()
{
    QFETCH(int, kind);
    QFETCH(QString, reason);
    QFETCH(QByteArray, line);
    QFETCH(QString, reasonRead);
    QCOMPARE(workerCommandLine({WorkerCommand::Kind(kind), reason}), line);
    const WorkerCommand read = parseWorkerCommand(line.chopped(1));
    QCOMPARE(int(read.kind), kind);
    QCOMPARE(read.reason, reasonRead);
    QCOMPARE(parseWorkerCommand("stopp").kind, WorkerCommand::Unknown);
    QCOMPARE(parseWorkerCommand("").kind, WorkerCommand::Unknown);
}

// The worker's side of a record: it goes on after "logged", stops after "unlogged" or when the parent is gone.
void TestWorkerProtocol::recordAnswers()
{
    int stops = 0;
    WorkerInput input([&stops] { ++stops; });
    QString reason;
    input.take("logged");
    QVERIFY(input.waitForRecordAnswer(&reason));
    input.take("unlogged g.csv: disk full");
    QVERIFY(!input.waitForRecordAnswer(&reason));
    QCOMPARE(reason, QStringLiteral("g.csv: disk full"));
    input.take("later-command");  // a command of a later protocol is passed over
    input.take("stop");
    QCOMPARE(stops, 1);

    // A waiter on another thread (the engine's) wakes with the answer.
    bool kept = false;
    std::thread waiter([&] { kept = input.waitForRecordAnswer(&reason); });
    input.take("logged");
    waiter.join();
    QVERIFY(kept);

    input.inputEnded();
    QVERIFY(!input.waitForRecordAnswer(&reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(stops, 2);

    // Read from a stream as the worker reads its stdin: CR LF line ends, lines longer than one read, a last
    // line without its end. One answer at a time, as the parent gives them. The reading thread may still run
    // its last call when this test returns, so the input outlives the test, as the worker's outlives its process.
    static std::atomic<int> streamStops{0};
    static WorkerInput *const fromStream = new WorkerInput([] { ++streamStops; });
    std::FILE *stream = std::tmpfile();
    QVERIFY(stream);
    const QByteArray longReason(10000, 'x');
    const QByteArray text = "later-command " + QByteArray(10000, 'y') + "\r\nunlogged " + longReason + "\r\nstop";
    QCOMPARE(std::fwrite(text.constData(), 1, size_t(text.size()), stream), size_t(text.size()));
    std::rewind(stream);
    fromStream->startReading(stream);
    QVERIFY(!fromStream->waitForRecordAnswer(&reason));
    QCOMPARE(reason, QString::fromLatin1(longReason));
    QVERIFY(!fromStream->waitForRecordAnswer(&reason));  // the stream ended, after the stop was read
    QVERIFY(streamStops.load() >= 1);
    std::fclose(stream);  // the reader is done with it: it saw the end
}

QTEST_APPLESS_MAIN(TestWorkerProtocol)
#include "tst_workerprotocol.moc"
