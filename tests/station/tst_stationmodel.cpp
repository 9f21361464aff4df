// The station's panel model driven by worker events without a process, the worker's command line, and the
// operator's labels.
#include "files/chipname.h"
#include "station/linklabels.h"
#include "station/panelmodel.h"
#include "station/stationcontroller.h"
#include "worker/workerclient.h"

#include <algorithm>

#include <QtTest>

#include <QJsonDocument>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(PanelModel::State)

namespace {
using State = PanelModel::State;

// One event, as "start", "progress 40", "label TEXT", "chip CODE TEXT", "result JSON", "unplug", "plug",
// "lost REASON", "message TEXT", or "end HOW [STATUS]" (HOW: exited, crashed, hung, refused, notstarted).
void apply(PanelModel &model, const QString &event)
{
    const QString kind = event.section(QLatin1Char(' '), 0, 0);
    const QString rest = event.section(QLatin1Char(' '), 1);
    if (kind == QLatin1String("start")) {
        model.started();
    } else if (kind == QLatin1String("progress")) {
        model.progress(rest.toInt());
    } else if (kind == QLatin1String("label")) {
        model.stepChanged(rest);
    } else if (kind == QLatin1String("message")) {
        model.message(rest);
    } else if (kind == QLatin1String("chip")) {
        model.chipDone(rest.section(QLatin1Char(' '), 0, 0).toInt(), rest.section(QLatin1Char(' '), 1));
    } else if (kind == QLatin1String("result")) {
        model.resultReceived(QJsonDocument::fromJson(rest.toUtf8()).object());
    } else if (kind == QLatin1String("unplug") || kind == QLatin1String("plug")) {
        model.setAttached(kind == QLatin1String("plug"));
    } else if (kind == QLatin1String("lost")) {
        model.recordLost(rest);
    } else if (kind == QLatin1String("end")) {
        using Ending = WorkerReport::Ending;
        WorkerReport report;
        const QString how = rest.section(QLatin1Char(' '), 0, 0);
        report.ending = how == QLatin1String("crashed")      ? Ending::Crashed
                        : how == QLatin1String("hung")       ? Ending::Hung
                        : how == QLatin1String("refused")    ? Ending::Refused
                        : how == QLatin1String("notstarted") ? Ending::NotStarted
                                                             : Ending::Exited;
        report.exitStatus = report.ending == Ending::Exited ? rest.section(QLatin1Char(' '), 1, 1).toInt() : -1;
        report.hasResult = report.ending == Ending::Exited && report.exitStatus != 64;
        report.failure = report.ending == Ending::Exited ? QString() : QStringLiteral("client: %1").arg(how);
        report.checksum = rest.section(QLatin1Char(' '), 2, 2);
        model.finished(report);
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown event ") + event));
    }
}
}

class TestStationModel : public QObject
{
    Q_OBJECT

private slots:
    void eventsGiveTheState_data();
    void eventsGiveTheState();
    void yieldAndLastPass();
    void wrongChipAndSerialOfAChip();
    void workerArgumentsBurnTheStationsProject();
    void theLedgerIsChosenWhileNothingRuns();
    void lookingAtTheSpacesNeverMakesALedger();
    void recordsGoToTheFileOrTheLedger_data();
    void recordsGoToTheFileOrTheLedger();
    void startAllStartsOneAtATime();
    void labelsAreRememberedPerPort();
    void panelsFollowTheAttachedLinks();
};

void TestStationModel::eventsGiveTheState_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<State>("state");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("passed");
    QTest::addColumn<int>("failed");
    QTest::addColumn<QString>("text");  // the result text holds this

    const QString ok = QStringLiteral("烧写成功");
    QTest::newRow("never started") << QStringList{} << State::Idle << false << 0 << 0 << QString();
    QTest::newRow("waiting for a chip")
        << QStringList{"start", "label 芯片连接中...", "label 芯片连接中...."} << State::Waiting << true << 0 << 0 << QString();
    QTest::newRow("burning") << QStringList{"start", "label 烧写中...", "progress 40"} << State::Working << true << 0 << 0 << QString();
    QTest::newRow("a chip passed, the loop waits")
        << QStringList{"start", "progress 50", "label 烧写成功", "chip 0 " + ok} << State::Ok << true << 1 << 0 << ok;
    QTest::newRow("the next chip is burning")
        << QStringList{"start", "chip 0 " + ok, "label 芯片连接中.", "label 烧写中...", "progress 10"} << State::Working << true << 1 << 0 << ok;
    QTest::newRow("removal keeps the verdict")
        << QStringList{"start", "chip 0 " + ok, "label 芯片连接中.."} << State::Ok << true << 1 << 0 << ok;
    QTest::newRow("a chip pulled mid-pass")
        << QStringList{"start", "label 烧写中...", "progress 30", "label 芯片连接中."} << State::Waiting << true << 0 << 0 << QString();
    QTest::newRow("wrong chip")
        << QStringList{"start", "chip 0 " + ok, "chip 4 目标MCU是 VR5K1234"} << State::Ng << true << 1 << 1 << "VR5K1234";
    QTest::newRow("stopped after a pass: the verdict stays")
        << QStringList{"start", "chip 0 " + ok, R"(result {"result":130,"text":"interrupted","chips":1,"passed":1,"failed":0})", "end exited 130"}
        << State::Ok << false << 1 << 0 << ok;
    QTest::newRow("stopped while waiting")
        << QStringList{"start", "label 芯片连接中...", R"(result {"result":130,"text":"interrupted","chips":0,"passed":0,"failed":0})", "end exited 130"}
        << State::Idle << false << 0 << 0 << QString();
    QTest::newRow("single burn passes")
        << QStringList{"start", "progress 100", R"(result {"result":0,"text":"烧写成功"})", "end exited 0 49F2"} << State::Ok << false << 1 << 0 << ok;
    QTest::newRow("single burn without a chip")
        << QStringList{"start", R"(result {"result":3,"text":"芯片连接失败"})", "end exited 3"} << State::Ng << false << 0 << 1 << "芯片连接失败";
    QTest::newRow("Link pulled out, the worker ends 36")
        << QStringList{"start", "chip 0 " + ok, "unplug", R"(result {"result":36,"text":"打开USB失败","chips":1,"passed":1,"failed":0})", "end exited 36"}
        << State::PulledOut << false << 1 << 0 << "USB";
    QTest::newRow("pulled out and plugged back") << QStringList{"start", "unplug", "end exited 36", "plug"} << State::Idle << false << 0 << 0 << "USB";
    QTest::newRow("the loop's own Link error")
        << QStringList{"start", R"(result {"result":36,"text":"打开USB失败","chips":0,"passed":0,"failed":0})", "end exited 36"}
        << State::PulledOut << false << 0 << 0 << "USB";
    QTest::newRow("killed") << QStringList{"start", "chip 0 " + ok, "end crashed"} << State::Crashed << false << 1 << 0 << "client: crashed";
    QTest::newRow("hung") << QStringList{"start", "label 烧写中...", "end hung"} << State::Hung << false << 0 << 0 << "client: hung";
    QTest::newRow("another version") << QStringList{"start", "end refused"} << State::NotStarted << false << 0 << 0 << "client: refused";
    QTest::newRow("no program") << QStringList{"start", "end notstarted"} << State::NotStarted << false << 0 << 0 << "client: notstarted";
    QTest::newRow("refused its command line")
        << QStringList{"start", "message p.mprj: cannot be read", "end exited 64"} << State::Ng << false << 0 << 0 << "p.mprj: cannot be read";
    QTest::newRow("record lost")
        << QStringList{"start", "chip 0 " + ok, "lost s.csv: disk full", R"(result {"result":74,"text":"production record not written","chips":1,"passed":1,"failed":0})", "end exited 74"}
        << State::Ng << false << 1 << 0 << "s.csv: disk full";
    // The ledger's server away with no serial left, or the space used up: the panel stops NG, saying so.
    QTest::newRow("ledger server away")
        << QStringList{"start", "chip 0 " + ok, "message emu1: 账本 x 的服务器无法连接",
                       R"(result {"result":75,"text":"production record not written","chips":1,"passed":1,"failed":0})", "end exited 75"}
        << State::Ng << false << 1 << 0 << "账本服务器无法连接";
    QTest::newRow("the worker's ledger stopped it")
        << QStringList{"start", "chip 0 " + ok, "message emu1: 序列号空间 sn 已用完（2 个值都已发出）",
                       R"(result {"result":74,"text":"production record not written","chips":1,"passed":1,"failed":0})", "end exited 74"}
        << State::Ng << false << 1 << 0 << "序列号空间 sn 已用完";
    QTest::newRow("restarted after a failure")
        << QStringList{"start", "end crashed", "start", "label 芯片连接中."} << State::Waiting << true << 0 << 0 << QString();
}

void TestStationModel::eventsGiveTheState()
{
    QFETCH(QStringList, events);
    QFETCH(State, state);
    QFETCH(bool, running);
    QFETCH(int, passed);
    QFETCH(int, failed);
    QFETCH(QString, text);
    PanelModel model(QStringLiteral("emu1"));
    int changes = 0;
    connect(&model, &PanelModel::changed, [&changes] { ++changes; });
    for (const QString &event : qAsConst(events))
        apply(model, event);
    QCOMPARE(model.state(), state);
    QCOMPARE(model.running(), running);
    QCOMPARE(model.passed(), passed);
    QCOMPARE(model.failed(), failed);
    QVERIFY2(text.isEmpty() ? model.resultText().isEmpty() : model.resultText().contains(text), qPrintable(model.resultText()));
    QVERIFY(changes >= events.size());  // every event redraws the panel
    QVERIFY(!PanelModel::stateText(state).isEmpty());
}

void TestStationModel::yieldAndLastPass()
{
    PanelModel model(QStringLiteral("emu1"));
    QCOMPARE(model.yield(), 0.0);
    model.setImageChecksum(QStringLiteral("49F2"));
    model.started();
    model.chipDone(4, QStringLiteral("目标MCU是 VR5K1234"));
    QVERIFY(!model.lastPass().isValid());
    QVERIFY(model.checksum().isEmpty());  // a failed chip holds nothing
    for (int i = 0; i < 3; ++i)
        model.chipDone(0, QStringLiteral("烧写成功"));
    QCOMPARE(model.yield(), 75.0);
    QVERIFY(model.lastPass().isValid());
    QCOMPARE(model.checksum(), QStringLiteral("49F2"));
    model.resetCounters();
    QCOMPARE(model.passed() + model.failed(), 0);
    QVERIFY(!model.lastPass().isValid());
}

// A wrong chip names the model the station burns and the chip found, as the one-Link window does; a chip's
// serial stays on the panel until the next chip that passes.
void TestStationModel::wrongChipAndSerialOfAChip()
{
    PanelModel model(QStringLiteral("emu1"));
    model.setChipModel(QStringLiteral("VR5K0001"));
    model.started();
    model.chipDone(0, QStringLiteral("烧写成功"), QStringLiteral("2610"), QStringLiteral("0x100"));
    QCOMPARE(model.serial(), QStringLiteral("0x100"));
    model.chipDone(4, QStringLiteral("目标MCU是 ICID：1234"), QStringLiteral("1234"));
    QCOMPARE(model.resultText(), wrongChipText(QStringLiteral("VR5K0001"), chipNameForId(0x1234)));
    QVERIFY2(model.resultText().startsWith(QStringLiteral("需要 VR5K0001，检测到 ")), qPrintable(model.resultText()));
    QCOMPARE(model.serial(), QStringLiteral("0x100"));  // the failed chip took none that stays
    // A single burn's result names no id: the chip is named by the engine's text.
    model.resultReceived(QJsonObject{{"result", 4}, {"text", QStringLiteral("目标MCU是 VR5K9999")}});
    QCOMPARE(model.resultText(), wrongChipText(QStringLiteral("VR5K0001"), QStringLiteral("VR5K9999")));
    model.chipDone(0, QStringLiteral("烧写成功"), QStringLiteral("2610"), QStringLiteral("0x101"));
    QCOMPARE(model.serial(), QStringLiteral("0x101"));
    // A loop that a wrong chip ended closes with it: its text stays the same.
    model.chipDone(4, QStringLiteral("目标MCU是 ICID：1234"), QStringLiteral("1234"));
    model.resultReceived(QJsonObject{{"result", 4}, {"text", QStringLiteral("目标MCU是 ICID：1234")}, {"chips", 4}});
    QCOMPARE(model.resultText(), wrongChipText(QStringLiteral("VR5K0001"), QStringLiteral("ICID：1234")));
}

void TestStationModel::workerArgumentsBurnTheStationsProject()
{
    QTemporaryDir dir;
    StationSetup setup;
    setup.emulate = true;
    setup.emulateDir = QStringLiteral("a,b");
    setup.labelsFolder = dir.path();
    StationController station(setup);
    QCOMPARE(station.workerArguments(QStringLiteral("emu2"), QStringLiteral("p.mprj"), QStringLiteral("l.csv"), true),
             (QStringList{"--link", "emu2", "--gang-worker", "--json", "--log", "l.csv", "--emulate=a,b", "burn", "p.mprj", "--loop"}));
    // No station record to merge into (a ledger alone): no log of its own.
    QCOMPARE(station.workerArguments(QStringLiteral("emu2"), QStringLiteral("p.mprj"), QString(), true),
             (QStringList{"--link", "emu2", "--gang-worker", "--json", "--emulate=a,b", "burn", "p.mprj", "--loop"}));
    setup.emulate = false;
    setup.language = QStringLiteral("en");  // the steps a worker shows read in the window's language
    StationController real(setup);
    QCOMPARE(real.workerArguments(QStringLiteral("1-1.2"), QStringLiteral("p.mprj"), QStringLiteral("l.csv"), false),
             (QStringList{"--link", "1-1.2", "--gang-worker", "--json", "--log", "l.csv", "--lang", "en", "burn", "p.mprj"}));
}

// Who records where: the ledger, the station, the operator, the label of the Link and the serial space go
// to every worker; the worker's environment never names a ledger of its own.
void TestStationModel::theLedgerIsChosenWhileNothingRuns()
{
    QTemporaryDir dir;
    StationSetup setup;
    setup.labelsFolder = dir.path();
    setup.stationName = QStringLiteral("S1");
    StationController station(setup);
    station.setLinks({{QStringLiteral("emu1"), QString()}});
    QString error;
    QVERIFY2(station.setLabel(QStringLiteral("emu1"), QStringLiteral("左"), &error), qPrintable(error));
    QVERIFY(!station.setSerialSpace(QStringLiteral("sn"), &error));  // no ledger, no serial
    QVERIFY(!error.isEmpty());
    QVERIFY(!station.setLedger(QStringLiteral("mysql://x/y"), QStringLiteral("S1"), QString(), &error));
    QVERIFY(!station.setLedger(QStringLiteral("sqlite:/l.db"), QStringLiteral(" "), QString(), &error));
    QVERIFY(station.ledgerLocation().isEmpty());
    QSignalSpy changes(&station, &StationController::ledgerChanged);
    QVERIFY2(station.setLedger(QStringLiteral("postgresql://li@db.line/ledger?sslmode=require"), QStringLiteral("S2"),
                               QStringLiteral(" 王 "), &error), qPrintable(error));
    QVERIFY2(station.setSerialSpace(QStringLiteral("sn"), &error), qPrintable(error));
    QCOMPARE(changes.count(), 2);
    QVERIFY2(station.ledgerLocation().startsWith(QStringLiteral("postgresql://li@db.line")), qPrintable(station.ledgerLocation()));
    QCOMPARE(station.workerArguments(QStringLiteral("emu1"), QStringLiteral("p.mprj"), QStringLiteral("l.csv"), true),
             (QStringList{"--link", "emu1", "--gang-worker", "--json", "--log", "l.csv", "--ledger",
                          "postgresql://li@db.line/ledger?sslmode=require", "--station", "S2", "--operator", "王", "--label",
                          "左", "burn", "p.mprj", "--loop", "--serial", "sn"}));
    // Another ledger: its spaces are others; no serial until one is chosen there.
    QVERIFY(station.setLedger(QStringLiteral("sqlite:/tmp/l.db"), QStringLiteral("S2"), QString(), &error));
    QCOMPARE(station.setup().serialSpace, QString());
    QCOMPARE(station.workerArguments(QStringLiteral("emu1"), QStringLiteral("p.mprj"), QStringLiteral("l.csv"), false),
             (QStringList{"--link", "emu1", "--gang-worker", "--json", "--log", "l.csv", "--ledger", "sqlite:/tmp/l.db",
                          "--station", "S2", "--label", "左", "burn", "p.mprj"}));
}

// The station reads the spaces of a SQLite ledger whose file is not there yet: it says so and leaves it so.
void TestStationModel::lookingAtTheSpacesNeverMakesALedger()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("l.db"));
    const QString url = QStringLiteral("sqlite:") + file;
    const LedgerSpaces now = LedgerSpacesReader::readNow(url);
    QVERIFY(!now.ok);
    QVERIFY(now.missing);
    QCOMPARE(now.error, QStringLiteral("账本文件 %1 还不存在").arg(QDir::toNativeSeparators(file)));
    QVERIFY(!QFile::exists(file));

    StationSetup setup;
    setup.labelsFolder = dir.path();
    setup.stationName = QStringLiteral("S1");
    StationController station(setup);
    QString error;
    QVERIFY2(station.setLedger(url, QStringLiteral("S1"), QString(), &error), qPrintable(error));
    QSignalSpy read(&station, &StationController::spacesRead);
    station.readSpaces();
    QVERIFY(read.wait(30000));
    QVERIFY(station.spaces().missing);
    QVERIFY(station.spaces().spaces.isEmpty());
    QVERIFY(!QFile::exists(file));
}

void TestStationModel::recordsGoToTheFileOrTheLedger_data()
{
    QTest::addColumn<bool>("ledger");
    QTest::addColumn<bool>("file");
    QTest::addColumn<QString>("shown");  // what the station says of where its records go
    QTest::newRow("neither: refused") << false << false << QStringLiteral("未选择生产记录：开始前请选择生产记录文件");
    QTest::newRow("the file") << false << true << QString();
    QTest::newRow("the ledger alone") << true << false << QStringLiteral("未选择生产记录文件：记录只写入账本");
    QTest::newRow("the ledger and the file") << true << true << QString();
}

// Every chip is recorded somewhere: without a ledger a panel starts only with a production record file, with
// one the file is a choice, and a worker gets a log of its own only to merge into that file.
void TestStationModel::recordsGoToTheFileOrTheLedger()
{
    QFETCH(bool, ledger);
    QFETCH(bool, file);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
    StationSetup setup;
    setup.labelsFolder = dir.path();
    setup.stationName = QStringLiteral("S1");
    setup.program = dir.filePath(QStringLiteral("no-such-program"));  // the worker ends at once, not started
    StationController station(setup);
    station.setProjectWriter([](const QString &path, QString *) {
        QFile project(path);
        return project.open(QIODevice::WriteOnly) && project.write("p") == 1;
    });
    station.setLinks({{QStringLiteral("emu1"), QString()}});
    QString error;
    const QString ledgerFile = dir.filePath(QStringLiteral("l.db"));
    if (ledger)
        QVERIFY2(station.setLedger(QStringLiteral("sqlite:") + ledgerFile, QStringLiteral("S1"), QString(), &error), qPrintable(error));
    const QString record = dir.filePath(QStringLiteral("s.csv"));
    if (file)
        QVERIFY2(station.setRecordFile(record, &error), qPrintable(error));
    QCOMPARE(recordFileText(station.recordFile(), !station.ledgerLocation().isEmpty()),
             shown.isEmpty() ? QDir::toNativeSeparators(record) : shown);

    const bool started = station.start(QStringLiteral("emu1"), &error);
    QCOMPARE(started, ledger || file);
    if (!started) {
        QCOMPARE(error, QStringLiteral("请先选择生产记录文件：没有账本时，每颗芯片都记录在这个文件中"));
        QCOMPARE(station.panel(QStringLiteral("emu1"))->state(), State::Idle);
        QVERIFY(!station.locked());
        return;
    }
    QVERIFY(QTest::qWaitFor([&station] { return !station.locked(); }, 30000));
    QVERIFY(!QFile::exists(ledgerFile));  // made by a worker that records, never by the start
}

// Start all starts the first worker at once and the others from the event loop, one at a time; the station
// stays locked until the last has started and ended, and stop all drops those not started yet.
void TestStationModel::startAllStartsOneAtATime()
{
    QTemporaryDir dir;
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
    StationSetup setup;
    setup.labelsFolder = dir.path();
    setup.program = dir.filePath(QStringLiteral("no-such-program"));  // every worker ends at once, not started
    StationController station(setup);
    station.setProjectWriter([](const QString &path, QString *) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("p") == 1;
    });
    QString error;
    QVERIFY2(station.setRecordFile(dir.filePath(QStringLiteral("s.csv")), &error), qPrintable(error));
    station.setLinks({{QStringLiteral("emu1"), QString()}, {QStringLiteral("emu2"), QString()}, {QStringLiteral("emu3"), QString()}});
    QSignalSpy locks(&station, &StationController::lockChanged);
    QSignalSpy failures(&station, &StationController::startFailed);
    auto started = [&station] {
        int n = 0;
        for (const PanelModel *p : station.panels())
            n += p->state() != State::Idle;
        return n;
    };
    QVERIFY2(station.startAll(&error), qPrintable(error));
    QCOMPARE(started(), 1);
    QVERIFY(station.locked());
    // Locked once, for the whole start, and free after the last.
    QVERIFY(QTest::qWaitFor([&] { return locks.count() == 2; }, 30000));
    QCOMPARE(locks.at(1).at(0).toBool(), false);
    QCOMPARE(started(), 3);
    QCOMPARE(failures.count(), 0);  // each one started; the program's absence is its panel's verdict
    // Where the system refuses the program inside the start itself (Windows), the panel learns it from the
    // event loop's next turn, after the lock may already be free.
    QVERIFY(QTest::qWaitFor([&station] {
        const QVector<PanelModel *> panels = station.panels();
        return std::all_of(panels.cbegin(), panels.cend(), [](const PanelModel *p) { return p->state() == State::NotStarted; });
    }, 30000));

    // Stopped right after the start: those not started yet never start.
    QVERIFY(station.startAll(&error));
    QSignalSpy second(station.panel(QStringLiteral("emu2")), &PanelModel::changed);
    QSignalSpy third(station.panel(QStringLiteral("emu3")), &PanelModel::changed);
    station.stopAll();
    QVERIFY(QTest::qWaitFor([&] { return locks.count() == 4; }, 30000));
    QTest::qWait(5 * StationController::kStartSpacingMs);
    QCOMPARE(second.count() + third.count(), 0);
    QVERIFY(!station.locked());
}

void TestStationModel::labelsAreRememberedPerPort()
{
    QTemporaryDir dir;
    {
        LinkLabels labels(dir.path());
        QString error;
        QVERIFY2(labels.setLabel(QStringLiteral("emu1"), QStringLiteral("左工位"), &error), qPrintable(error));
        QVERIFY(labels.setLabel(QStringLiteral("emu2"), QStringLiteral("right\tside\n"), &error));
        QVERIFY(labels.setLabel(QStringLiteral("emu3"), QStringLiteral("gone"), &error));
        QVERIFY(labels.setLabel(QStringLiteral("emu3"), QStringLiteral("  "), &error));  // cleared
    }
    LinkLabels again(dir.path());
    QCOMPARE(again.label(QStringLiteral("emu1")), QStringLiteral("左工位"));
    QCOMPARE(again.label(QStringLiteral("emu2")), QStringLiteral("right side"));
    QCOMPARE(again.label(QStringLiteral("emu3")), QString());
    // A folder that cannot take the file: the label is not taken as remembered.
    LinkLabels nowhere(dir.filePath(QStringLiteral("missing/folder")));
    QString error;
    QVERIFY(!nowhere.setLabel(QStringLiteral("emu1"), QStringLiteral("x"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(nowhere.label(QStringLiteral("emu1")), QString());
}

void TestStationModel::panelsFollowTheAttachedLinks()
{
    QTemporaryDir dir;
    StationSetup setup;
    setup.labelsFolder = dir.path();
    QString error;
    QVERIFY(LinkLabels(dir.path()).setLabel(QStringLiteral("1-1.10"), QStringLiteral("右"), &error));
    StationController station(setup);
    QSignalSpy changes(&station, &StationController::panelsChanged);
    auto ports = [&station] {
        QStringList list;
        for (const PanelModel *p : station.panels())
            list << p->port();
        return list;
    };
    station.setLinks({{QStringLiteral("1-1.10"), QStringLiteral("/dev/hidraw2")},
                      {QStringLiteral("1-1.9"), QStringLiteral("/dev/hidraw1")}});
    QCOMPARE(ports(), (QStringList{"1-1.9", "1-1.10"}));  // port order, numbers as numbers
    QCOMPARE(station.panel(QStringLiteral("1-1.10"))->label(), QStringLiteral("右"));  // remembered
    QCOMPARE(changes.count(), 1);
    station.setLinks({{QStringLiteral("1-1.10"), QStringLiteral("/dev/hidraw2")},
                      {QStringLiteral("1-1.9"), QStringLiteral("/dev/hidraw1")}});
    QCOMPARE(changes.count(), 1);  // nothing came or went
    // A Link that never ran leaves with its panel; one that is not attached cannot start.
    station.setLinks({{QStringLiteral("1-1.10"), QStringLiteral("/dev/hidraw2")}});
    QCOMPARE(ports(), QStringList{"1-1.10"});
    QCOMPARE(changes.count(), 2);
    QVERIFY(!station.start(QStringLiteral("1-1.9"), &error));
    QVERIFY(error.contains(QStringLiteral("1-1.9")));
    QVERIFY(!station.locked());
}

QTEST_GUILESS_MAIN(TestStationModel)
#include "tst_stationmodel.moc"
