// The one-Link window's burns in the ledger: every pass recorded, each chip given the next serial of the chosen
// space, and a ledger that cannot keep a record stops the burn. On the Link emulator and a SQLite ledger.

#include "appdirfixture.h"

#include "app/mcu_writer.h"
#include "boxes/boxes.h"
#include "chip/images.h"
#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "engine/engineflags.h"
#include "link/linkstate.h"
#include "link/timing.h"
#include "records/ledgerburn.h"
#include "records/productionstore.h"
#include "settings/ledgerchoice.h"

#include "support/namedchild.h"
#include "support/queuedspy.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
const QString kSpace = QStringLiteral("sn");
constexpr uint32_t kSerialAt = 0x1000;  // in the flash
}

class TestWindowLedger : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_appDir;
    std::unique_ptr<LinkEmulator> m_emulator;
    std::unique_ptr<EmulatorBackend> m_backend;
    std::unique_ptr<boxes::Recorder> m_boxes;
    std::unique_ptr<mcu_writer> m_window;
    QString m_url;

    template <typename T> T *child(const char *name) { return namedChild<T>(*m_window, name); }
    QAction *action(const char *name) { return child<QAction>(name); }

    // The worker idle and the run's ledger closed: the window is unlocked again.
    void waitIdle()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_window->worker().currentTask() == workThread::TaskIdle && !m_window->isLocked(), 20000);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<ProductionStore> openStore()
    {
        QString error;
        std::unique_ptr<ProductionStore> store = openProductionStore(m_url, &error);
        if (!store)
            qWarning("%s", qPrintable(error));
        return store;
    }

    QVector<LedgerRecord> records()
    {
        QVector<LedgerRecord> all;
        const auto store = openStore();
        if (!store || !store->records(QDateTime(), &all))
            qWarning("cannot read the records");
        return all;
    }

    SpaceStatus spaceStatus()
    {
        LedgerStatus status;
        const auto store = openStore();
        if (store && store->status(&status))
            for (const SpaceStatus &s : status.spaces)
                if (s.space.name == kSpace)
                    return s;
        qWarning("no status of the space");
        return SpaceStatus();
    }

    QByteArray chipSerial() { return m_emulator->chipFlash().mid(int(kSerialAt), 2); }

    // The space, chosen in the window once the ledger's spaces were read off its thread.
    void chooseSpace()
    {
        auto *combo = child<QComboBox>("comboBox_serialSpace");
        QTRY_VERIFY_WITH_TIMEOUT(combo->findData(kSpace) > 0, 20000);
        QVERIFY(combo->isEnabled());
        combo->setCurrentIndex(combo->findData(kSpace));
        emit combo->activated(combo->currentIndex());
    }

    // The next chip in the socket, once the loop has seen the socket empty.
    void nextChip(const std::atomic<uint8_t> &handled)
    {
        m_emulator->setChipPresent(false);
        QTRY_COMPARE_WITH_TIMEOUT(handled.load(), uint8_t(0), 20000);
        m_emulator->setChipPresent(true);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(useAsAppDir(m_appDir));
        qputenv("XDG_RUNTIME_DIR", m_appDir.path().toUtf8());
        setLinkTimeScale(0);
        m_emulator = std::make_unique<LinkEmulator>();
        m_emulator->attachToLinkClock();
        m_backend = std::make_unique<EmulatorBackend>(*m_emulator);
        setHidBackend(m_backend.get());
    }

    void cleanupTestCase() { setHidBackend(nullptr); }

    void init()
    {
        static int n = 0;
        m_url = QStringLiteral("sqlite:%1/line%2.db").arg(m_appDir.path()).arg(++n);
        const auto store = openStore();
        QVERIFY(store);
        SerialSpace space;
        space.name = kSpace;
        space.area = RollingAreaFlash;
        space.address = kSerialAt;
        space.width = 2;
        space.radix = 16;
        space.first = 0x1230;
        space.last = 0x12FF;
        QVERIFY(store->createSpace(space));

        m_emulator->setChipPresent(true);
        g_bI2CMode.store(1);
        m_boxes = std::make_unique<boxes::Recorder>();
        m_window = std::make_unique<mcu_writer>();
        QVERIFY(m_window->isConstructed());
        waitIdle();  // the firmware-version query posted at start
        m_window->setEmulator(*m_emulator);
        m_window->setLedgerChoice({m_url, QStringLiteral("S1"), QStringLiteral("ann")});
        // Flash on, filled with 00..FF repeated.
        if (!g_bEnBin)
            child<QCheckBox>("checkBox_bin")->click();
        QMetaObject::invokeMethod(m_window.get(), "slt_textEdit_bin_zero_ff_action_triggered");
        QVERIFY(g_nBinSize > kSerialAt);
    }

    void cleanup()
    {
        m_window.reset();
        m_boxes.reset();
    }

    // Two chips of the Auto loop: each holds its own serial, each is recorded with it and who burned it; the
    // rest of the block is voided at the end and the project's image is as it was.
    void loopRecordsEveryChipWithItsSerial()
    {
        chooseSpace();
        const QByteArray imageBefore(reinterpret_cast<const char *>(g_ucBinBuf) + kSerialAt, 2);
        QueuedSpy passes(&m_window->worker(), &workThread::sg_pass_done);
        action("auto_burn_action")->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 1, 30000);
        QCOMPARE(chipSerial().toHex(), QByteArray("1230"));
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>("label_lastSerial")->text(), QStringLiteral("序列号: 0x1230"), 20000);
        nextChip(g_bAutoBurnChipHandled);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 2, 30000);
        QCOMPARE(chipSerial().toHex(), QByteArray("1231"));
        action("auto_burn_action")->setChecked(false);
        waitIdle();
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>("label_lastSerial")->text(), QStringLiteral("序列号: 0x1231"), 20000);
        QVERIFY(!child<QLabel>("label_lastSerial")->isHidden());

        const QVector<LedgerRecord> kept = records();
        QCOMPARE(kept.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const LedgerRecord &r = kept[i];
            QCOMPARE(r.station, QStringLiteral("S1"));
            QCOMPARE(r.operatorName, QStringLiteral("ann"));
            QCOMPARE(r.port, QStringLiteral("emu"));
            QCOMPARE(r.space, kSpace);
            QCOMPARE(r.serial, std::optional<int64_t>(0x1230 + i));
            QCOMPARE(r.result, 0);
            QCOMPARE(r.chip, g_currentMcu.strName);
            QCOMPARE(r.chipId, uint16_t(LinkEmulator::kDefaultChipId));
            QCOMPARE(r.areas, QStringList{QStringLiteral("rom")});
            QVERIFY(!r.firmware.isEmpty());
            QVERIFY(!r.programVersion.isEmpty());
            QCOMPARE(r.sequence, int64_t(i + 1));
        }
        QCOMPARE(kept[0].run, kept[1].run);
        QVERIFY(kept[0].imageChecksum != kept[1].imageChecksum);  // the serial is part of the burned image

        const SpaceStatus s = spaceStatus();
        QCOMPARE(s.written, int64_t(2));
        QCOMPARE(s.reserved, int64_t(0));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucBinBuf) + kSerialAt, 2), imageBefore);
        for (const boxes::Call &c : m_boxes->calls)
            QVERIFY2(c.kind != boxes::Kind::Critical, qPrintable(c.text));
    }

    // Program burns until one chip passes: a failed chip's serial is void, the good chip takes the next one and
    // nothing is reserved past it.
    void programGivesAFailedChipsSerialUp()
    {
        chooseSpace();
        m_emulator->failNextPass();
        QueuedSpy passes(&m_window->worker(), &workThread::sg_pass_done);
        action("burn_action")->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>("label_lastSerial")->text(), QStringLiteral("序列号: 0x1230（作废）"), 20000);
        nextChip(g_bBurnChipHandled);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 2, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!action("burn_action")->isChecked(), 20000);
        waitIdle();
        QCOMPARE(chipSerial().toHex(), QByteArray("1231"));
        QCOMPARE(child<QLabel>("label_lastSerial")->text(), QStringLiteral("序列号: 0x1231"));
        const QVector<LedgerRecord> kept = records();
        QCOMPARE(kept.size(), 2);
        QVERIFY(kept[0].result != 0);
        QCOMPARE(kept[0].serial, std::optional<int64_t>(0x1230));
        QCOMPARE(kept[1].result, 0);
        QCOMPARE(kept[1].serial, std::optional<int64_t>(0x1231));
        const SpaceStatus s = spaceStatus();
        QCOMPARE(s.written, int64_t(1));
        QCOMPARE(s.voided, int64_t(1));
        QCOMPARE(s.reserved, int64_t(0));
        QCOMPARE(s.nextFree, std::optional<int64_t>(0x1232));
    }

    // Without a space every pass is recorded all the same, with no serial, and the chip keeps the image's bytes.
    void withoutASpaceEveryPassIsRecorded()
    {
        QueuedSpy burnt(&m_window->worker(), &workThread::sg_burn_chip_done);
        action("burn_action")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!burnt.isEmpty(), 30000);
        waitIdle();
        const QVector<LedgerRecord> kept = records();
        QCOMPARE(kept.size(), 1);
        QVERIFY(!kept[0].serial);
        QCOMPARE(kept[0].result, 0);
        QCOMPARE(chipSerial(), QByteArray(reinterpret_cast<const char *>(g_ucBinBuf) + kSerialAt, 2));
        QVERIFY(child<QLabel>("label_lastSerial")->isHidden());
    }

    // A ledger that refuses the record: the loop stops at that chip, the operator is told, and the chip's
    // serial is not left reserved.
    void ledgerThatCannotKeepTheRecordStopsTheBurn()
    {
        chooseSpace();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("refuse"));
            db.setDatabaseName(m_url.mid(int(qstrlen("sqlite:"))));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY2(q.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tq_record BEGIN "
                                           "SELECT RAISE(ABORT, 'disk full'); END")),
                     qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("refuse"));

        QueuedSpy passes(&m_window->worker(), &workThread::sg_pass_done);
        action("auto_burn_action")->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 1, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!action("auto_burn_action")->isChecked(), 20000);
        waitIdle();
        QCOMPARE(passes.size(), 1);  // no chip past the lost record
        QVERIFY(!m_boxes->calls.isEmpty());
        const boxes::Call &told = m_boxes->calls.last();
        QCOMPARE(told.kind, boxes::Kind::Critical);
        QVERIFY2(told.text.contains(QStringLiteral("账本记录失败，烧写已停止")) && told.text.contains(QStringLiteral("disk full")),
                 qPrintable(told.text));
        QVERIFY(records().isEmpty());
        const SpaceStatus s = spaceStatus();
        QCOMPARE(s.written, int64_t(0));
        QCOMPARE(s.reserved, int64_t(0));
    }

    // The window closed while its loop waits for the next chip: the chip burned is recorded, the rest of the
    // block is voided, nothing stays reserved.
    void closingTheWindowMidLoopSettlesTheBlock()
    {
        chooseSpace();
        QueuedSpy passes(&m_window->worker(), &workThread::sg_pass_done);
        action("auto_burn_action")->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 1, 30000);
        m_emulator->setChipPresent(false);
        QTRY_COMPARE_WITH_TIMEOUT(g_bAutoBurnChipHandled.load(), uint8_t(0), 20000);
        m_window.reset();
        QCOMPARE(records().size(), 1);
        const SpaceStatus s = spaceStatus();
        QCOMPARE(s.written, int64_t(1));
        QCOMPARE(s.reserved, int64_t(0));
        QCOMPARE(s.voided, int64_t(kLedgerLoopBlock - 1));
        m_emulator->setChipPresent(true);
    }

    // Switched off while the run's ledger opens: no chip is burned, and the serial taken for it is void.
    void switchedOffWhileTheLedgerOpensBurnsNothing()
    {
        chooseSpace();
        QueuedSpy passes(&m_window->worker(), &workThread::sg_pass_done);
        const QByteArray chipBefore = m_emulator->chipFlash();
        action("auto_burn_action")->setChecked(true);
        QVERIFY(m_window->isLocked());
        action("auto_burn_action")->setChecked(false);  // before the ledger's answer is handled
        waitIdle();
        QVERIFY(passes.isEmpty());
        QCOMPARE(m_emulator->chipFlash(), chipBefore);
        QVERIFY(records().isEmpty());
        const SpaceStatus s = spaceStatus();
        QCOMPARE(s.written, int64_t(0));
        QCOMPARE(s.reserved, int64_t(0));
        QCOMPARE(s.voided, int64_t(kLedgerLoopBlock));
    }

    // A ledger that cannot be opened: nothing is burned, and the operator is told why.
    void ledgerThatCannotBeOpenedBurnsNothing()
    {
        m_window->setLedgerChoice({QStringLiteral("sqlite:%1/no/such/folder/line.db").arg(m_appDir.path()), QStringLiteral("S1"), QString()});
        const QByteArray chipBefore = m_emulator->chipFlash();
        action("burn_action")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!action("burn_action")->isChecked(), 20000);
        waitIdle();
        QVERIFY(!m_boxes->calls.isEmpty());
        QCOMPARE(m_boxes->calls.last().kind, boxes::Kind::Critical);
        QVERIFY2(m_boxes->calls.last().text.contains(QStringLiteral("烧写未开始")), qPrintable(m_boxes->calls.last().text));
        QCOMPARE(m_emulator->chipFlash(), chipBefore);
    }
};

QTEST_MAIN(TestWindowLedger)
#include "tst_windowledger.moc"
