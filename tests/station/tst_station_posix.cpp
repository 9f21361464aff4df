// A station of emulated Links run by real worker processes of tarnquill-cli: chips swapped, removed and
// wrong, a Link pulled out and plugged back, a worker killed or frozen; every other panel goes on and every
// chip's record is on disk. POSIX: workers are killed and frozen with signals.
#include "cli/clitestutil.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "emulator/linkemulator.h"
#include "files/projectfile.h"
#include "production/productionsettings.h"
#include "records/productionstore.h"
#include "station/panelmodel.h"
#include "station/stationcontroller.h"

#include <QtTest>

#include <QTemporaryDir>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <sys/types.h>

namespace {
using State = PanelModel::State;
constexpr int kWaitMs = 60000;  // an outer bound for a machine loaded by other tests; no speed is asserted

bool waitFor(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, kWaitMs);
}
}

class TestStationPosix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyOtherPanelGoesOnAndEveryRecordIsKept();
    void aFrozenWorkerEndsItsPanelOnly();
    void theProjectIsWrittenOnceForARun();
    void aStopRightAfterTheStartEndsTheRun();
    void aRecordThatCannotBeKeptStopsItsPanel();
    void everyChipsSerialIsItsLedgerRecord_data();
    void everyChipsSerialIsItsLedgerRecord();
    void aSpaceUsedUpStopsItsPanels();

private:
    QString folder(int link) const { return m_dir->filePath(QStringLiteral("l%1").arg(link)); }
    // The operator at Link `link`'s socket, or at its USB plug.
    void socket(int link, bool present, uint16_t id = LinkEmulator::kDefaultChipId)
    {
        LinkEmulator emulator(folder(link));
        emulator.setChipId(id);
        emulator.setChipPresent(present);
        QVERIFY(emulator.save());
    }
    void plug(int link, bool in)
    {
        LinkEmulator emulator(folder(link));
        emulator.setConnected(in);
        QVERIFY(emulator.save());
    }
    // A new chip: out of the socket, the loop sees the empty socket, a fresh chip in.
    void swapChip(int link, PanelModel *panel)
    {
        socket(link, false);
        QVERIFY(waitFor([panel] { return panel->step().contains(QStringLiteral("芯片连接中")); }));
        socket(link, true);
    }
    // The station's production record is station.csv, or none with `recordFile` false.
    void makeStation(int links, int silenceMs = WorkerClient::kDefaultSilenceTimeoutMs,
                     int stopMs = WorkerClient::kDefaultStopTimeoutMs, bool recordFile = true);
    PanelModel *panel(int link) const { return m_station->panel(QStringLiteral("emu%1").arg(link)); }
    // The rows of the station's record, by the port in their first column.
    QMap<QString, QStringList> recordRows() const;
    // A SQLite ledger in the test's folder with a space of `values` serials, two bytes at kSerialAt of the flash.
    QString makeLedger(int values);
    // The serial in the chip of Link `link`, as the space codes it.
    int64_t chipSerial(int link) const
    {
        const QByteArray bytes = LinkEmulator(folder(link)).chipFlash().mid(kSerialAt, 2);
        return bytes.size() == 2 ? (uint8_t(bytes[0]) << 8 | uint8_t(bytes[1])) : -1;
    }
    static constexpr uint32_t kSerialAt = 0x40;

    QString m_tempRoot;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<StationController> m_station;
    QByteArray m_image;
    int m_projectWrites = 0;
};

void TestStationPosix::initTestCase()
{
    QVERIFY2(QFile::exists(cliPath()), qPrintable(cliPath()));
    m_tempRoot = QDir::tempPath();
}

void TestStationPosix::init()
{
    m_dir = std::make_unique<QTemporaryDir>(m_tempRoot + QStringLiteral("/tst_station-XXXXXX"));
    QVERIFY(m_dir->isValid());
    // The station's scratch folders (and any it keeps) go with the test's folder.
    qputenv("TMPDIR", QFile::encodeName(m_dir->path()));
    m_projectWrites = 0;
    // The station's project: a flash image for the emulator's own chip.
    McuList catalogue;
    catalogue.load();
    for (const McuInfo &chip : catalogue.list()) {
        if (chip.nID == LinkEmulator::kDefaultChipId)
            g_currentMcu = chip;
    }
    QCOMPARE(uint16_t(g_currentMcu.nID), LinkEmulator::kDefaultChipId);
    resetImages();
    resetProduction();
    m_image = patternBytes(3000, 9);
    std::memcpy(g_ucBinBuf, m_image.constData(), size_t(m_image.size()));
    g_nBinSize = uint32_t(m_image.size());
    g_bEnBin = true;
    fillBinAndSum(g_ucBinBuf, g_nBinSize);
    QCOMPARE(saveProject(m_dir->filePath(QStringLiteral("p.mprj"))), 0);
}

void TestStationPosix::cleanup()
{
    m_station.reset();  // ends any worker a failed test left
}

void TestStationPosix::makeStation(int links, int silenceMs, int stopMs, bool recordFile)
{
    StationSetup setup;
    setup.program = cliPath();
    setup.emulate = true;
    QStringList folders;
    for (int i = 1; i <= links; ++i) {
        folders << folder(i);
        socket(i, true);
    }
    setup.emulateDir = folders.join(QLatin1Char(','));
    setup.labelsFolder = m_dir->path();
    setup.silenceTimeoutMs = silenceMs;
    setup.stopTimeoutMs = stopMs;
    m_station = std::make_unique<StationController>(setup);
    m_station->setProjectWriter([this](const QString &path, QString *error) {
        ++m_projectWrites;
        QFile::remove(path);
        if (QFile::copy(m_dir->filePath(QStringLiteral("p.mprj")), path))
            return true;
        *error = QStringLiteral("copy failed");
        return false;
    });
    QString error;
    if (recordFile)
        QVERIFY2(m_station->setRecordFile(m_dir->filePath(QStringLiteral("station.csv")), &error), qPrintable(error));
    m_station->refreshLinks();
    QCOMPARE(m_station->panels().size(), links);
}

QMap<QString, QStringList> TestStationPosix::recordRows() const
{
    QMap<QString, QStringList> rows;
    const QByteArray bytes = readFile(m_dir->filePath(QStringLiteral("station.csv")));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    // A new record: UTF-8 with its mark, CRLF, the station's columns first.
    if (!bytes.startsWith("\xEF\xBB\xBF") || lines.isEmpty() || !lines[0].startsWith(QStringLiteral("link,label,")))
        return rows;
    for (int i = 1; i < lines.size(); ++i)
        rows[lines[i].section(QLatin1Char(','), 0, 0)] << lines[i];
    return rows;
}

void TestStationPosix::everyOtherPanelGoesOnAndEveryRecordIsKept()
{
    makeStation(4);
    QString error;
    const QStringList labels = {QStringLiteral("左"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("右,4号")};
    for (int i = 1; i <= 4; ++i)
        QVERIFY2(m_station->setLabel(QStringLiteral("emu%1").arg(i), labels[i - 1], &error), qPrintable(error));
    QSignalSpy locks(m_station.get(), &StationController::lockChanged);
    socket(2, false);           // no chip in the socket
    socket(3, true, 0x1234);    // the wrong chip
    QVERIFY2(m_station->startAll(&error), qPrintable(error));
    QVERIFY(m_station->locked());
    QCOMPARE(locks.count(), 1);

    QVERIFY(waitFor([this] { return panel(1)->state() == State::Ok && panel(4)->state() == State::Ok; }));
    // The wrong chip is that panel's failed chip, NG naming the chip; its loop waits for the chip to be swapped.
    QVERIFY(waitFor([this] { return panel(3)->failed() == 1; }));
    QCOMPARE(panel(3)->state(), State::Ng);
    QVERIFY2(panel(3)->resultText().contains(QStringLiteral("1234")), qPrintable(panel(3)->resultText()));
    QCOMPARE(panel(2)->state(), State::Waiting);

    // Link 4 pulled out while its loop waits for the next chip: that panel alone ends.
    plug(4, false);
    m_station->refreshLinks();
    QCOMPARE(panel(4)->state(), State::PulledOut);
    QVERIFY(waitFor([this] { return !panel(4)->running(); }));
    QCOMPARE(panel(4)->state(), State::PulledOut);

    // Link 1's worker killed: that panel alone ends, and starts again alone.
    const qint64 pid = m_station->workerProcessId(QStringLiteral("emu1"));
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QVERIFY(waitFor([this] { return !panel(1)->running(); }));
    QCOMPARE(panel(1)->state(), State::Crashed);
    QVERIFY2(panel(2)->running(), qPrintable(panel(2)->resultText()));
    QVERIFY(m_station->locked());
    QVERIFY2(m_station->start(QStringLiteral("emu1"), &error), qPrintable(error));
    QVERIFY(waitFor([this] { return panel(1)->passed() == 2; }));
    QCOMPARE(panel(1)->state(), State::Ok);

    // Plugged back, Link 4 is attached again and restarted alone.
    QVERIFY(!m_station->start(QStringLiteral("emu4"), &error));  // not attached yet
    plug(4, true);
    m_station->refreshLinks();
    QCOMPARE(panel(4)->state(), State::Idle);
    QVERIFY2(m_station->start(QStringLiteral("emu4"), &error), qPrintable(error));
    QVERIFY(waitFor([this] { return panel(4)->passed() == 2; }));

    // The operator at the sockets: a chip into the empty one, the wrong one replaced, a next chip.
    socket(2, true);
    QVERIFY(waitFor([this] { return panel(2)->state() == State::Ok; }));
    swapChip(3, panel(3));  // the same run burns the right chip
    QVERIFY(waitFor([this] { return panel(3)->state() == State::Ok; }));
    swapChip(1, panel(1));
    QVERIFY(waitFor([this] { return panel(1)->passed() == 3; }));

    m_station->stopAll();
    QVERIFY(waitFor([this] { return !m_station->locked(); }));
    QCOMPARE(locks.count(), 2);
    QCOMPARE(m_projectWrites, 1);  // restarts while others ran burned the same project
    const State ends[] = {State::Ok, State::Ok, State::Ok, State::Ok};
    const int passed[] = {3, 1, 1, 2};
    const int failed[] = {0, 0, 1, 0};
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(panel(i)->state(), ends[i - 1]);
        QCOMPARE(panel(i)->passed(), passed[i - 1]);
        QCOMPARE(panel(i)->failed(), failed[i - 1]);
        QCOMPARE(LinkEmulator(folder(i)).chipFlash().left(m_image.size()), m_image);
    }
    // Every chip of every panel is in the record, behind its port and label.
    const QMap<QString, QStringList> rows = recordRows();
    for (int i = 1; i <= 4; ++i) {
        const QString port = QStringLiteral("emu%1").arg(i);
        QCOMPARE(rows.value(port).size(), passed[i - 1] + failed[i - 1]);
        const QString label = i == 4 ? QStringLiteral("\"右,4号\"") : labels[i - 1];
        for (const QString &row : rows.value(port))
            QVERIFY2(row.startsWith(port + QLatin1Char(',') + label + QLatin1Char(',')), qPrintable(row));
    }
}

void TestStationPosix::aFrozenWorkerEndsItsPanelOnly()
{
    makeStation(2, 4000);  // the silence allowed, scaled down; a worker says it is alive every second
    QString error;
    QVERIFY2(m_station->startAll(&error), qPrintable(error));
    QVERIFY(waitFor([this] { return panel(1)->state() == State::Ok && panel(2)->state() == State::Ok; }));
    const qint64 pid = m_station->workerProcessId(QStringLiteral("emu1"));
    QCOMPARE(::kill(pid_t(pid), SIGSTOP), 0);
    QVERIFY(waitFor([this] { return !panel(1)->running(); }));
    QCOMPARE(panel(1)->state(), State::Hung);
    QVERIFY(!panel(1)->resultText().isEmpty());
    // The other Link goes on, chip after chip.
    QVERIFY(panel(2)->running());
    swapChip(2, panel(2));
    QVERIFY(waitFor([this] { return panel(2)->passed() == 2; }));
    m_station->stopAll();
    QVERIFY(waitFor([this] { return !m_station->locked(); }));
    QCOMPARE(panel(2)->state(), State::Ok);
    QCOMPARE(recordRows().value(QStringLiteral("emu2")).size(), 2);
    QCOMPARE(recordRows().value(QStringLiteral("emu1")).size(), 1);
}

void TestStationPosix::theProjectIsWrittenOnceForARun()
{
    makeStation(2);
    QString error;
    // Without a record the station does not burn.
    StationSetup bare;
    bare.program = cliPath();
    bare.emulate = true;
    bare.emulateDir = folder(1);
    bare.labelsFolder = m_dir->path();
    StationController unrecorded(bare);
    unrecorded.refreshLinks();
    QVERIFY(!unrecorded.start(QStringLiteral("emu1"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!unrecorded.locked());

    QVERIFY2(m_station->start(QStringLiteral("emu1"), &error), qPrintable(error));
    QVERIFY2(m_station->start(QStringLiteral("emu2"), &error), qPrintable(error));
    QCOMPARE(m_projectWrites, 1);
    QVERIFY(m_station->locked());
    m_station->stop(QStringLiteral("emu1"));
    QVERIFY(waitFor([this] { return !panel(1)->running(); }));
    QVERIFY(m_station->locked());  // one panel still runs
    m_station->stop(QStringLiteral("emu2"));
    QVERIFY(waitFor([this] { return !m_station->locked(); }));
    // A new run takes the project as it is now; a project that cannot be written starts nothing.
    m_station->setProjectWriter([](const QString &, QString *e) {
        *e = QStringLiteral("no areas");
        return false;
    });
    QVERIFY(!m_station->start(QStringLiteral("emu1"), &error));
    QVERIFY2(error.contains(QStringLiteral("no areas")), qPrintable(error));
    QVERIFY(!m_station->locked());
    QCOMPARE(panel(1)->running(), false);
}

// The operator stops a panel the moment it started, before its worker has begun its loop: the worker ends
// its run by itself instead of burning on until the client gives up on it.
void TestStationPosix::aStopRightAfterTheStartEndsTheRun()
{
    makeStation(1, WorkerClient::kDefaultSilenceTimeoutMs, 10000);
    socket(1, false);  // a loop that would wait for a chip for ever
    QString error;
    QVERIFY2(m_station->start(QStringLiteral("emu1"), &error), qPrintable(error));
    m_station->stop(QStringLiteral("emu1"));
    QVERIFY(waitFor([this] { return !panel(1)->running(); }));
    QCOMPARE(panel(1)->state(), State::Idle);
    QCOMPARE(panel(1)->resultText(), QString());
}

// The station's record file cannot grow (a full disk): the panel whose chip it could not keep stops NG with the
// reason, before its next chip; the record is still in that worker's own log.
void TestStationPosix::aRecordThatCannotBeKeptStopsItsPanel()
{
    makeStation(1);
    QString error;
    QVERIFY2(m_station->startAll(&error), qPrintable(error));
    QVERIFY(waitFor([this] { return panel(1)->state() == State::Ok; }));
    // Only this process writes the station's record; the worker, started before, keeps its own limits.
    const QString record = m_dir->filePath(QStringLiteral("station.csv"));
    rlimit before{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = before;
    full.rlim_cur = rlim_t(QFileInfo(record).size() + 10);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
    // The operator's swap through another program, which lifts the limit for itself.
    auto operatorAt = [this](const QString &what) {
        QProcess cli;
        cli.setStandardOutputFile(QProcess::nullDevice());
        cli.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -f unlimited && exec \"$0\" emulator \"$1\" $2"),
                                              cliPath(), folder(1), what});
        return cli.waitForFinished(kWaitMs) ? cli.exitCode() : -1;
    };
    const bool removed = operatorAt(QStringLiteral("--remove")) == 0
                         && waitFor([this] { return panel(1)->step().contains(QStringLiteral("芯片连接中")); })
                         && operatorAt(QStringLiteral("--insert")) == 0;
    const bool ended = waitFor([this] { return !panel(1)->running(); });
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(removed);
    QVERIFY(ended);
    QCOMPARE(panel(1)->state(), State::Ng);
    QVERIFY2(panel(1)->resultText().contains(QStringLiteral("station.csv")), qPrintable(panel(1)->resultText()));
    QCOMPARE(recordRows().value(QStringLiteral("emu1")).size(), 1);  // no part of the second row
    QVERIFY(readFile(record).endsWith("\r\n"));
    // Nothing is lost: the scratch folder that holds the worker's own log of both chips stays.
    const QStringList kept = QDir(m_dir->path()).entryList({QStringLiteral("tarnquill-workers-*")}, QDir::Dirs);
    QCOMPARE(kept.size(), 1);
    QByteArray workerLog;
    for (const QString &name : QDir(m_dir->filePath(kept[0])).entryList({QStringLiteral("*.csv")}, QDir::Files))
        workerLog += readFile(m_dir->filePath(kept[0] + QLatin1Char('/') + name));
    QCOMPARE(workerLog.count("烧写成功"), 2);
}

QTEST_GUILESS_MAIN(TestStationPosix)
#include "tst_station_posix.moc"

QString TestStationPosix::makeLedger(int values)
{
    const QString url = QStringLiteral("sqlite:") + m_dir->filePath(QStringLiteral("ledger.db"));
    QString error;
    const std::unique_ptr<ProductionStore> store = openProductionStore(url, &error);
    if (!store) {
        qWarning("%s", qPrintable(error));
        return QString();
    }
    SerialSpace space;
    space.name = QStringLiteral("sn");
    space.area = RollingAreaFlash;
    space.address = kSerialAt;
    space.width = 2;
    space.radix = 16;
    space.first = 0x100;
    space.last = 0x100 + values - 1;
    if (!store->createSpace(space)) {
        qWarning("%s", qPrintable(store->errorString()));
        return QString();
    }
    return url;
}

void TestStationPosix::everyChipsSerialIsItsLedgerRecord_data()
{
    QTest::addColumn<bool>("recordFile");
    QTest::newRow("the ledger and a record file") << true;
    QTest::newRow("the ledger alone") << false;
}

// Three Links on a SQLite ledger with a serial space: every chip holds the serial its record names, the
// record carries the station, the operator, the Link's port and label, and the panel shows the serial. The
// station's record file, when one is chosen, has every chip too.
void TestStationPosix::everyChipsSerialIsItsLedgerRecord()
{
    QFETCH(bool, recordFile);
    const QString url = makeLedger(100);
    QVERIFY(!url.isEmpty());
    makeStation(3, WorkerClient::kDefaultSilenceTimeoutMs, WorkerClient::kDefaultStopTimeoutMs, recordFile);
    QString error;
    QVERIFY2(m_station->setLedger(url, QStringLiteral("S1"), QStringLiteral("li"), &error), qPrintable(error));
    QSignalSpy read(m_station.get(), &StationController::spacesRead);
    m_station->readSpaces();
    QVERIFY(read.wait(kWaitMs));
    QVERIFY2(m_station->spaces().ok, qPrintable(m_station->spaces().error));
    QCOMPARE(m_station->spaces().spaces.size(), 1);
    QVERIFY2(m_station->setSerialSpace(QStringLiteral("sn"), &error), qPrintable(error));
    const QStringList labels = {QStringLiteral("左"), QString(), QStringLiteral("右")};
    for (int i = 1; i <= 3; ++i)
        QVERIFY2(m_station->setLabel(QStringLiteral("emu%1").arg(i), labels[i - 1], &error), qPrintable(error));
    QVERIFY2(m_station->startAll(&error), qPrintable(error));
    // Nothing about the ledger changes under running panels.
    QVERIFY(!m_station->setSerialSpace(QString(), &error));
    QVERIFY(!m_station->setLedger(QString(), QStringLiteral("S1"), QString(), &error));
    QVERIFY(waitFor([this] {
        return panel(1)->state() == State::Ok && panel(2)->state() == State::Ok && panel(3)->state() == State::Ok;
    }));
    swapChip(1, panel(1));
    QVERIFY(waitFor([this] { return panel(1)->passed() == 2; }));
    m_station->stopAll();
    QVERIFY(waitFor([this] { return !m_station->locked(); }));

    const std::unique_ptr<ProductionStore> store = openProductionStore(url, &error);
    QVERIFY2(store, qPrintable(error));
    QVector<LedgerRecord> records;
    QVERIFY2(store->records(QDateTime(), &records), qPrintable(store->errorString()));
    QCOMPARE(records.size(), 4);
    QSet<int64_t> serials;
    for (int i = 1; i <= 3; ++i) {
        const QString port = QStringLiteral("emu%1").arg(i);
        QVector<LedgerRecord> own;
        for (const LedgerRecord &r : qAsConst(records)) {
            if (r.port == port)
                own << r;
        }
        QCOMPARE(own.size(), i == 1 ? 2 : 1);
        for (const LedgerRecord &r : qAsConst(own)) {
            QCOMPARE(r.result, 0);
            QCOMPARE(r.station, QStringLiteral("S1"));
            QCOMPARE(r.operatorName, QStringLiteral("li"));
            QCOMPARE(r.label, labels[i - 1]);
            QCOMPARE(r.space, QStringLiteral("sn"));
            QVERIFY(r.serial);
            serials << *r.serial;
        }
        // The chip in the socket is the port's last record, and the panel shows its serial.
        QCOMPARE(chipSerial(i), *own.last().serial);
        QCOMPARE(panel(i)->serial(), QStringLiteral("0x") + QString::number(*own.last().serial, 16).toUpper());
        // Each serial makes the chip's sum its own: the panel shows the chip's, not the project's.
        QCOMPARE(panel(i)->checksum(), own.last().imageChecksum);
    }
    QCOMPARE(serials.size(), 4);  // none given twice
    const QMap<QString, QStringList> rows = recordRows();
    QCOMPARE(rows.value(QStringLiteral("emu1")).size(), recordFile ? 2 : 0);
    QCOMPARE(rows.value(QStringLiteral("emu3")).size(), recordFile ? 1 : 0);
    QCOMPARE(QFile::exists(m_dir->filePath(QStringLiteral("station.csv"))), recordFile);
}

// A space with two values for three Links: the Links that find it used up stop NG, saying so, and the
// others go on; the chip that took the last value is recorded.
void TestStationPosix::aSpaceUsedUpStopsItsPanels()
{
    // What the station says once it has found the space used up in the ledger (the worker's own words first).
    const QString kUsedUp = QStringLiteral("序列号空间 sn 已用完：请选择另一个");
    const QString url = makeLedger(2);
    QVERIFY(!url.isEmpty());
    makeStation(3);
    QString error;
    QVERIFY2(m_station->setLedger(url, QStringLiteral("S1"), QString(), &error), qPrintable(error));
    QVERIFY2(m_station->setSerialSpace(QStringLiteral("sn"), &error), qPrintable(error));
    QVERIFY2(m_station->startAll(&error), qPrintable(error));
    // A loop takes its values in blocks: one Link holds both, the others find none left.
    QVERIFY(waitFor([this] {
        int ended = 0;
        for (int i = 1; i <= 3; ++i)
            ended += !panel(i)->running() && panel(i)->resultText().contains(QStringLiteral("已用完"));
        return ended == 2;
    }));
    int burning = 0;
    for (int i = 1; i <= 3; ++i) {
        if (panel(i)->running()) {
            burning = i;
            continue;
        }
        QCOMPARE(panel(i)->state(), State::Ng);
        QVERIFY(waitFor([this, i, &kUsedUp] { return panel(i)->resultText() == kUsedUp; }));
    }
    QVERIFY(burning > 0);
    QVERIFY(waitFor([this, burning] { return panel(burning)->state() == State::Ok; }));
    // Its second chip takes the last value; then nothing is left for a third, and that panel stops too.
    swapChip(burning, panel(burning));
    QVERIFY(waitFor([this, burning] { return !panel(burning)->running(); }));
    QCOMPARE(panel(burning)->passed(), 2);
    QCOMPARE(chipSerial(burning), 0x101);
    QCOMPARE(panel(burning)->state(), State::Ng);
    QVERIFY(waitFor([this, burning, &kUsedUp] { return panel(burning)->resultText() == kUsedUp; }));
}
