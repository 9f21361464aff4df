// The window on the Link emulator, driven through its actions, slots and widgets. Every box goes to the
// recorder; Link pauses are scaled to 0.

#include "appdirfixture.h"

#include "boxes/boxes.h"
#include "app/mcu_writer.h"
#include "app/startup.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "chipdialog/dialogchiptype.h"
#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "engine/engineflags.h"
#include "lang/language.h"
#include "link/linkcommands.h"
#include "link/linkstate.h"
#include "link/timing.h"
#include "production/productionsettings.h"
#include "records/productionlog.h"

#include "support/namedchild.h"
#include "support/queuedspy.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QToolButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>


#include <cstring>
#include <memory>

namespace {
const QString kNormalName = QStringLiteral("USB#VID_1122&PID_3344#KVO_LINK0000");
const QString kIapName = QStringLiteral("USB#VID_1122&PID_3344#KVO_LINK_IAP");
}

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_appDir;
    std::unique_ptr<LinkEmulator> m_emulator;
    std::unique_ptr<EmulatorBackend> m_backend;
    std::unique_ptr<boxes::Recorder> m_boxes;
    std::unique_ptr<mcu_writer> m_window;

    template <typename T> T *child(const char *name) { return namedChild<T>(*m_window, name); }
    QAction *action(const char *name) { return child<QAction>(name); }

    void waitIdle()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_window->worker().currentTask() == workThread::TaskIdle, 20000);
        QCoreApplication::processEvents();
    }

    void selectChip(const QString &name)
    {
        child<QComboBox>("comboBox_icType")->setCurrentText(name);
    }

    QString writeFile(const QString &name, const QByteArray &data)
    {
        const QString path = m_appDir.path() + QLatin1Char('/') + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(data);
        return path;
    }

    void answerFile(const QString &path)
    {
        boxes::Answer a;
        a.text = path;
        m_boxes->answers.enqueue(a);
    }

    void answerSave(const QString &path, const QString &filter)
    {
        boxes::Answer a;
        a.text = path;
        a.selectedFilter = filter;
        m_boxes->answers.enqueue(a);
    }

    void answerYesNo(bool yes)
    {
        boxes::Answer a;
        a.button = yes ? QMessageBox::Yes : QMessageBox::No;
        m_boxes->answers.enqueue(a);
    }

    // ROM on, filled with 00..FF repeated.
    void rampRom()
    {
        if (!g_bEnBin)
            child<QCheckBox>("checkBox_bin")->click();
        QMetaObject::invokeMethod(m_window.get(), "slt_textEdit_bin_zero_ff_action_triggered");
    }

    // Runs an action's operation to its end; returns the code of `done`.
    template <typename Signal> int runOperation(const char *actionName, Signal done)
    {
        QueuedSpy spy(&m_window->worker(), done);
        action(actionName)->trigger();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!spy.isEmpty(), 30000); }();
        waitIdle();
        return spy.isEmpty() ? -1000 : spy.first().first().toInt();
    }

    QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString verdict() { return child<QLabel>("label_result")->property("verdict").toString(); }
    QString verdictDetail() { return child<QLabel>("label_result")->property("detail").toString(); }

    // A new window in `language`; Chinese again when the returned guard goes.
    auto reopenWindowIn(Language language)
    {
        m_window.reset();
        installLanguage(language);
        m_window = std::make_unique<mcu_writer>();
        waitIdle();
        m_window->setEmulator(*m_emulator);
        return qScopeGuard([] { installLanguage(Language::Chinese); });
    }
    bool showAtWindowSize()
    {
        m_window->setFixedSize(1100, 650);
        m_window->show();
        const bool exposed = QTest::qWaitForWindowExposed(m_window.get());
        QCoreApplication::processEvents();
        return exposed;
    }

    bool othersDisabled()
    {
        for (const char *name : {"open_action", "save_action", "up_action", "erase_action", "blank_action",
                                 "down_action", "upload_action", "update_action", "eraseFlash_action"})
            if (action(name)->isEnabled())
                return false;
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(useAsAppDir(m_appDir));
        // A device lock of our own, so other programs on this machine cannot hold it during a test.
        qputenv("XDG_RUNTIME_DIR", m_appDir.path().toUtf8());
        setLinkTimeScale(0);
        m_emulator = std::make_unique<LinkEmulator>();
        m_emulator->attachToLinkClock();
        m_backend = std::make_unique<EmulatorBackend>(*m_emulator);
        setHidBackend(m_backend.get());
    }

    void cleanupTestCase()
    {
        setHidBackend(nullptr);
    }

    void init()
    {
        m_emulator->setOpenFails(false);
        m_emulator->setChipPresent(true);
        g_bI2CMode.store(1);
        QFile::remove(m_appDir.path() + QStringLiteral("/openpath.pth"));
        m_boxes = std::make_unique<boxes::Recorder>();
        m_window = std::make_unique<mcu_writer>();
        QVERIFY(m_window->isConstructed());
        waitIdle();  // the firmware-version query posted at start
    }

    void cleanup()
    {
        m_window.reset();
        m_boxes.reset();
    }

    void startWithoutCfgDb()
    {
        m_window.reset();
        m_boxes->calls.clear();
        QTemporaryDir empty;
        const QByteArray saved = qgetenv("TQ_APP_DIR");
        qputenv("TQ_APP_DIR", empty.path().toUtf8());
        const int code = runTarnquill(*static_cast<QApplication *>(QCoreApplication::instance()), {});
        qputenv("TQ_APP_DIR", saved);
        QCOMPARE(code, 1);
        QCOMPARE(m_boxes->calls.size(), 2);
        QCOMPARE(m_boxes->calls[0].title, QStringLiteral("警告"));
        QCOMPARE(m_boxes->calls[1].title, QStringLiteral("错误"));
        for (const boxes::Call &c : m_boxes->calls)
            QCOMPARE(c.text, QStringLiteral("配置文件读取错误,请重新安装软件！"));
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<mcu_writer *>(w));
        QVERIFY(!QFile::exists(empty.path() + QStringLiteral("/openpath.pth")));
    }

    void unusableTraceFileEndsTheStart()
    {
        m_window.reset();
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("no/such/folder/trace.txt"));
        const int code = runTarnquill(*static_cast<QApplication *>(QCoreApplication::instance()),
                                      {QStringLiteral("tarnquill"), QStringLiteral("--trace"), trace});
        QCOMPARE(code, 1);
        QVERIFY(m_boxes->calls.isEmpty());  // said on stderr: a box would wait for someone to answer it
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<mcu_writer *>(w));
        QCOMPARE(&hidBackend(), static_cast<HidBackend *>(m_backend.get()));
    }

    void windowLayout()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("BLTarnquill V1.6.0 "));
        auto *tabs = child<QTabWidget>("tabWidget");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("ROM"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("NVR1"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("出厂设置"));
        QVERIFY(action("burn_action")->isCheckable());
        QVERIFY(action("actionI2C")->isChecked());
        QCOMPARE(child<QTableWidget>("tableWidgetNVRFac")->rowCount(), 512);
        // Controls of the pages taken out at start-up still exist.
        child<QGroupBox>("groupBox_rolling");
        child<QGroupBox>("groupBox_NVR3");
        child<QCheckBox>("checkBox_baohu_writer_flash");
    }

    void openPathEmptyFirstLine()
    {
        m_window.reset();
        QFile f(m_appDir.path() + QStringLiteral("/openpath.pth"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\n/somewhere/else\n");
        f.close();
        m_window = std::make_unique<mcu_writer>();
        QCOMPARE(m_window->lastDir(), m_appDir.path());
        waitIdle();
    }

    void lastDirPersists()
    {
        answerFile(QStringLiteral("/no/such/dir/x.txt"));
        QMetaObject::invokeMethod(m_window.get(), "on_open_action_triggered");
        m_window.reset();
        m_window = std::make_unique<mcu_writer>();
        QCOMPARE(m_window->lastDir(), QStringLiteral("/no/such/dir"));
        waitIdle();
    }

    // SDCC writes Intel HEX as .ihx: the open dialog offers it and the window reads it as HEX.
    void opensSdccIhx()
    {
        const QString path = m_appDir.path() + QStringLiteral("/sdcc.ihx");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(":0400000001020304F2\n:00000001FF\n");
        f.close();
        answerFile(path);
        QMetaObject::invokeMethod(m_window.get(), "on_open_action_triggered");
        QVERIFY(m_boxes->calls.last().filter.contains(QStringLiteral("*.ihx")));
        QVERIFY2(m_window->logText().contains(QStringLiteral("Rom: 4字节")), qPrintable(m_window->logText()));
        QCOMPARE(int(g_ucBinBuf[3]), 4);
    }

    void burnWithNoArea()
    {
        action("burn_action")->setChecked(true);
        QVERIFY(m_boxes->sawText(QStringLiteral("请选择烧录区域")));
        QVERIFY(!action("burn_action")->isChecked());
        QVERIFY(action("open_action")->isEnabled());
        QCOMPARE(g_bBurnRunning.load(), uint8_t(0));
    }

    void burnDoneKeepsToggle_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("36 open failed") << 36;
        QTest::newRow("37 lock held") << 37;
    }
    void burnDoneKeepsToggle()
    {
        QFETCH(int, code);
        child<QCheckBox>("checkBox_bin")->click();
        QMetaObject::invokeMethod(m_window.get(), "slt_textEdit_bin_fill_action_triggered");
        // Another program on the same emulated Link; released on every exit, so a failed check here cannot
        // leave the lock held for the tests after it.
        LinkEmulator::LinkLock otherProgram(*m_emulator);
        if (code == 36)
            m_emulator->setOpenFails(true);
        else
            QVERIFY(otherProgram.tryLock());
        QueuedSpy done(&m_window->worker(), &workThread::sg_burn_chip_done);
        action("burn_action")->setChecked(true);
        // The worker may signal before a wait() would start, so the spy is polled instead.
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 20000);
        QCOMPARE(done.first().first().toInt(), code);
        QCoreApplication::processEvents();
        QVERIFY(m_boxes->sawText(code == 36 ? QStringLiteral("打开USB失败")
                                            : QStringLiteral("Link正被其他程序使用(例如命令行烧录)。请先结束那个程序，再试一次。")));
        QCOMPARE(child<QLabel>("label_link_state")->text(),
                 code == 36 ? QStringLiteral("没有Link：请插上Link") : QStringLiteral("Link忙：正被其他程序使用"));
        QVERIFY(action("burn_action")->isChecked());
        QVERIFY(action("burn_action")->isEnabled());
        QVERIFY(othersDisabled());
        // The user switches it off.
        waitIdle();
        action("burn_action")->setChecked(false);
        QVERIFY(action("open_action")->isEnabled());
        QCOMPARE(g_bBurnRunning.load(), uint8_t(0));
    }

    void autoBurnDone_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("stillOn");
        QTest::newRow("4") << 4 << false;
        QTest::newRow("36") << 36 << false;
        QTest::newRow("37") << 37 << false;
        QTest::newRow("0") << 0 << true;
        QTest::newRow("3") << 3 << true;
    }
    void autoBurnDone()
    {
        QFETCH(int, code);
        QFETCH(bool, stillOn);
        {
            const QSignalBlocker blocker(action("auto_burn_action"));
            action("auto_burn_action")->setChecked(true);
        }
        action("open_action")->setEnabled(false);
        m_window->slt_auto_burn_action_done(code);
        QCOMPARE(action("auto_burn_action")->isChecked(), stillOn);
        QVERIFY(action("open_action")->isEnabled());
    }

    void code4LogsTwoLinesNoBox()
    {
        g_wChipId = 0x2611;
        m_window->slt_erase_action_done(4);
        QVERIFY(m_boxes->calls.isEmpty());
        const QStringList lines = m_window->logText().split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("目标MCU是 VR5K2611")));
        QVERIFY(lines.contains(QStringLiteral("目标MCU是 VR5K2611")));
        QCOMPARE(lines.filter(QStringLiteral("目标MCU是 ")).size(), 2);
    }

    void singleWireRefusals_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::newRow("read back") << "on_up_action_triggered";
        QTest::newRow("blank check") << "on_blank_action_triggered";
        QTest::newRow("erase") << "on_erase_action_triggered";
        QTest::newRow("factory read") << "on_pushButton_clicked";
    }
    void singleWireRefusals()
    {
        QFETCH(QString, slot);
        g_bEnBin = true;
        action("actionSingleLine")->setChecked(true);
        QCOMPARE(g_bI2CMode.load(), uint8_t(0));
        QVERIFY(!action("actionI2C")->isChecked());
        QMetaObject::invokeMethod(m_window.get(), slot.toLatin1().constData());
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("单线模式暂不支持此功能")});
        QCOMPARE(m_window->worker().currentTask(), uint8_t(workThread::TaskIdle));
        QVERIFY(action("open_action")->isEnabled());
        action("actionI2C")->setChecked(true);
        QCOMPARE(g_bI2CMode.load(), uint8_t(1));
    }

    void readFwZeroChangesNothing()
    {
        auto *label = child<QLabel>("label_fw_version");
        label->setText(QStringLiteral("V9.9.9"));
        m_window->slt_read_fw(0, 0, 0);
        QCOMPARE(label->text(), QStringLiteral("V9.9.9"));
        m_window->slt_read_fw(1, 2, 3);
        QCOMPARE(label->text(), QStringLiteral("V1.2.3"));
    }

    void actionWriteOnlySetsLabel()
    {
        g_bEnBin = true;
        action("action_write")->trigger();
        QCOMPARE(m_window->messageText(), QStringLiteral("提示信息"));
        QVERIFY(!action("burn_action")->isChecked());
        QCOMPARE(m_window->worker().currentTask(), uint8_t(workThread::TaskIdle));
        QVERIFY(m_boxes->calls.isEmpty());
    }

    void hotplug()
    {
        g_bIapArrived.store(0);
        m_window->slt_device_arrived(kNormalName + QLatin1Char(' ') + kIapName);
        QCOMPARE(g_bIapArrived.load(), uint8_t(1));
        QVERIFY(!m_window->logText().contains(QStringLiteral("Link已连接")));

        m_window->slt_device_removed(kIapName);
        QCOMPARE(g_bIapArrived.load(), uint8_t(1));

        m_window->slt_device_arrived(kNormalName.toLower());
        QVERIFY(m_window->logText().contains(QStringLiteral("Link已连接")));
        waitIdle();

        action("auto_burn_action")->blockSignals(true);
        action("auto_burn_action")->setChecked(true);
        action("auto_burn_action")->blockSignals(false);
        m_window->slt_device_removed(kNormalName.toLower());
        QCOMPARE(g_bIapArrived.load(), uint8_t(0));
        QVERIFY(m_window->logText().contains(QStringLiteral("Link已断开")));
        QCOMPARE(child<QLabel>("label_fw_version")->text(), QStringLiteral("****"));
        QVERIFY(!action("auto_burn_action")->isChecked());
    }

    void romViewAndGutter()
    {
        for (int i = 0; i < 32; ++i)
            g_ucBinBuf[i] = static_cast<uint8_t>(i);
        g_nBinSize = 32;
        m_window->updateBinView();
        const QString text = child<QPlainTextEdit>("textEdit_bin")->toPlainText();
        QVERIFY(text.startsWith(QStringLiteral("00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F\n"
                                               "10 11 12 13 14 15 16 17  18 19 1A 1B 1C 1D 1E 1F\n")));
        QCOMPARE(text.count(QLatin1Char('\n')), int(g_currentMcu.nFlashSizeKB * 1024 / 16));
    }

    void eeCellEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("error");
        QTest::addColumn<int>("byte");
        QTest::newRow("100 is too big") << "100" << true << 0xFF;
        QTest::newRow("not hex") << "zz" << true << 0xFF;
        QTest::newRow("3c") << "3c" << false << 0x3C;
    }
    void eeCellEntry()
    {
        QFETCH(QString, text);
        QFETCH(bool, error);
        QFETCH(int, byte);
        // The catalogue's models have no EEPROM; give the current one a sector of it.
        g_currentMcu.nEepromSize = 512;
        auto *table = child<QTableWidget>("tableWidget_EE");
        {
            const QSignalBlocker b(table);
            table->setRowCount(32);
            table->setColumnCount(16);
        }
        m_window->updateEETable();
        g_ucEEBuf[0x12] = 0x00;
        table->item(1, 2)->setText(text);
        QCOMPARE(m_boxes->sawText(QStringLiteral("输入错误")), error);
        if (error)
            QCOMPARE(table->item(1, 2)->text(), QStringLiteral("ff"));
        QCOMPARE(int(g_ucEEBuf[0x12]), byte);
    }

    void nvr1RowBeyond127()
    {
        // A chip without a BootLoader area shows NVR1; rows past 127 land in row 127.
        McuInfo &mcu = g_currentMcu;
        mcu.nBootSectors = 0;
        mcu.nNvr1Sectors = 16;
        mcu.ucDataWidth = 8;
        auto *table = child<QTableWidget>("tableWidget_NVR1");
        {
            const QSignalBlocker b(table);
            table->setRowCount(256);
            table->setColumnCount(16);
        }
        m_window->updateNVR1Table();
        g_ucNVRBuf1[127 * 16 + 3] = 0x00;
        table->item(130, 3)->setText(QStringLiteral("5a"));
        QCOMPARE(int(g_ucNVRBuf1[127 * 16 + 3]), 0x5A);
        QVERIFY(m_boxes->calls.isEmpty());
    }

    void fillInputValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::newRow("A5") << "A5" << 0xA5;
        QTest::newRow("1FF clamps") << "1FF" << 0xFF;
    }
    void fillInputValue()
    {
        QFETCH(QString, text);
        QFETCH(int, byte);
        boxes::Answer a;
        a.text = text;
        m_boxes->answers.enqueue(a);
        QMetaObject::invokeMethod(m_window.get(), "slt_textEdit_bin_xx_action_triggered");
        QCOMPARE(m_boxes->calls.size(), 1);
        QCOMPARE(m_boxes->calls[0].title, QStringLiteral("输入"));
        QCOMPARE(m_boxes->calls[0].text, QStringLiteral("输入2位16进制数"));
        QCOMPARE(m_boxes->calls[0].preset, QStringLiteral("00"));
        const uint32_t flash = g_currentMcu.nFlashSizeKB * 1024;
        QCOMPARE(g_nBinSize, flash);
        for (uint32_t i = 0; i < BIN_BUF_SIZE; ++i)
            QCOMPARE(int(g_ucBinBuf[i]), byte);
        QVERIFY(m_window->logText().contains(QStringLiteral("Rom: %1字节").arg(flash)));

        m_boxes->answers.enqueue(a);
        QMetaObject::invokeMethod(m_window.get(), "slt_tableWidget_BL_xx_action_triggered");
        QCOMPARE(g_nNVRBinSize, g_currentMcu.nBootSectors * g_currentMcu.nSectorSize);
        for (uint32_t i = 0; i < g_nNVRBinSize; ++i)
            QCOMPARE(int(g_ucNVRBinBuf[i]), byte);
    }

    void fillInputCancelled()
    {
        std::memset(g_ucBinBuf, 0x11, BIN_BUF_SIZE);
        boxes::Answer cancel;
        cancel.accepted = false;
        m_boxes->answers.enqueue(cancel);
        QMetaObject::invokeMethod(m_window.get(), "slt_textEdit_bin_xx_action_triggered");
        QCOMPARE(int(g_ucBinBuf[100]), 0x11);
    }

    void bootLoaderCellRaisesSize()
    {
        QVERIFY(g_currentMcu.nBootSectors != 0);
        QCOMPARE(g_nNVRBinSize, 0u);
        auto *table = child<QTableWidget>("tableWidget_NVR1");
        table->item(0, 5)->setText(QStringLiteral("12"));
        QCOMPARE(g_nNVRBinSize, 6u);
        QCOMPARE(int(g_ucNVRBinBuf[5]), 0x12);
        const uint16_t sum = sum16(g_ucNVRBinBuf, g_currentMcu.nBootSectors * g_currentMcu.nSectorSize);
        QCOMPARE(child<QLabel>("label_bl")->text(), QString::asprintf("%04X", sum));
    }

    void summaryRomBlSerial()
    {
        child<QCheckBox>("checkBox_bin")->click();
        child<QCheckBox>("checkBox_bl")->click();
        g_bEnRollCode = true;
        m_window->updateSettingsSummary();
        QCOMPARE(m_window->summaryText(), QStringLiteral("烧录项: ROM-BL-序列号"));
        child<QCheckBox>("checkBox_bin")->click();
        QCOMPARE(m_window->summaryText(), QStringLiteral("烧录项: BL-序列号"));
    }

    void chipSelection_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<int>("rows");
        QTest::newRow("VR5K2710") << "VR5K2710" << "NVR" << 64;
        QTest::newRow("VR5K2610") << "VR5K2610" << "BootLoader" << 416;
        QTest::newRow("VR5K2630") << "VR5K2630" << "BootLoader" << 416;
    }
    void chipSelection()
    {
        QFETCH(QString, chip);
        QFETCH(QString, tab);
        QFETCH(int, rows);
        selectChip(QStringLiteral("VR5K2620"));
        selectChip(chip);
        QCOMPARE(g_currentMcu.strName, chip);
        QCOMPARE(child<QTabWidget>("tabWidget")->tabText(1), tab);
        auto *table = child<QTableWidget>("tableWidget_NVR1");
        QCOMPARE(table->rowCount(), rows);
        QCOMPARE(table->item(rows - 1, 15)->text(), QStringLiteral("FF"));
        QCOMPARE(child<QLabel>("label_memory_size")->text(),
                 QStringLiteral("%1 KB").arg(g_currentMcu.nFlashSizeKB));
    }

    void reselectingResets()
    {
        child<QCheckBox>("checkBox_bin")->click();
        QMetaObject::invokeMethod(m_window.get(), "slt_textEdit_bin_zero_action_triggered");
        QVERIFY(g_bEnBin);
        const QString name = child<QComboBox>("comboBox_icType")->currentText();
        QMetaObject::invokeMethod(m_window.get(), "on_comboBox_icType_currentTextChanged", Q_ARG(QString, name));
        QVERIFY(!g_bEnBin);
        QCOMPARE(g_nBinSize, 0u);
        QCOMPARE(int(g_ucBinBuf[0]), 0xFF);
        QCOMPARE(child<QLabel>("label_bin")->text(), QStringLiteral("****"));
        QVERIFY(!child<QCheckBox>("checkBox_bin")->isChecked());
    }

    void projectSurvivesItsSelection()
    {
        selectChip(QStringLiteral("VR5K2611"));
        child<QCheckBox>("checkBox_bin")->click();
        QMetaObject::invokeMethod(m_window.get(), "slt_textEdit_bin_zero_ff_action_triggered");
        const uint16_t sum = g_nBinCheckSum;
        const uint32_t size = g_nBinSize;
        const QString path = m_appDir.path() + QStringLiteral("/p.mprj");
        boxes::Answer save;
        save.text = path;
        save.selectedFilter = QStringLiteral("mprj(*.mprj)");
        m_boxes->answers.enqueue(save);
        QMetaObject::invokeMethod(m_window.get(), "on_save_action_triggered");
        QVERIFY(QFile::exists(path));

        selectChip(QStringLiteral("VR5K2610"));
        QVERIFY(!g_bEnBin);
        answerFile(path);
        QMetaObject::invokeMethod(m_window.get(), "on_open_action_triggered");
        QVERIFY2(!m_window->logText().contains(QStringLiteral("项目文件不完整")), qPrintable(m_window->logText()));
        QCOMPARE(child<QComboBox>("comboBox_icType")->currentText(), QStringLiteral("VR5K2611"));
        QVERIFY(g_bEnBin);
        QCOMPARE(g_nBinSize, size);
        QCOMPARE(g_nBinCheckSum, sum);
        QCOMPARE(int(g_ucBinBuf[0x1FF]), 0xFF);
        QCOMPARE(int(g_ucBinBuf[0x17]), 0x17);
        QVERIFY(child<QCheckBox>("checkBox_bin")->isChecked());
        QCOMPARE(child<QLabel>("label_bin")->text(), QString::asprintf("%04X", sum));

        // The user's next selection clears it.
        selectChip(QStringLiteral("VR5K2610"));
        QVERIFY(!g_bEnBin);
    }

    void uploadShowsStoredProject_data()
    {
        QTest::addColumn<QString>("shownBefore");
        QTest::newRow("another chip shown") << "VR5K2610";
        QTest::newRow("same chip shown") << "VR5K2611";
    }
    void uploadShowsStoredProject()
    {
        QFETCH(QString, shownBefore);
        selectChip(QStringLiteral("VR5K2611"));
        child<QCheckBox>("checkBox_bin")->click();
        QMetaObject::invokeMethod(m_window.get(), "slt_textEdit_bin_zero_ff_action_triggered");
        const uint16_t sum = g_nBinCheckSum;
        boxes::Answer yes;
        yes.button = QMessageBox::Yes;
        m_boxes->answers.enqueue(yes);
        QueuedSpy downloaded(&m_window->worker(), &workThread::sg_download_done);
        action("down_action")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!downloaded.isEmpty(), 30000);
        QCOMPARE(downloaded.first().first().toInt(), 0);
        waitIdle();
        // The download restarts the Link; let it come back as the normal interface.
        m_emulator->advanceClock(2 * LinkEmulator::kReenumerateMs + LinkEmulator::kIapIdleMs);

        // Leave the window showing something else than the stored project.
        selectChip(shownBefore);
        if (g_bEnBin)
            child<QCheckBox>("checkBox_bin")->click();
        QVERIFY(!g_bEnBin);
        QCOMPARE(child<QLabel>("label_bin")->text(), QStringLiteral("****"));

        QueuedSpy uploaded(&m_window->worker(), &workThread::sg_upload_done);
        action("upload_action")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!uploaded.isEmpty(), 30000);
        QCOMPARE(uploaded.first().first().toInt(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(action("open_action")->isEnabled(), 20000);

        QCOMPARE(child<QComboBox>("comboBox_icType")->currentText(), QStringLiteral("VR5K2611"));
        QVERIFY(g_bEnBin);
        QCOMPARE(g_nBinCheckSum, sum);
        QCOMPARE(int(g_ucBinBuf[0x117]), 0x17);
        QVERIFY(child<QCheckBox>("checkBox_bin")->isChecked());
        QCOMPARE(child<QLabel>("label_bin")->text(), QString::asprintf("%04X", sum));
        QVERIFY(child<QPlainTextEdit>("textEdit_bin")->toPlainText().startsWith(
            QStringLiteral("00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F\n")));

        // The next selection by the user starts afresh.
        selectChip(QStringLiteral("VR5K2610"));
        QVERIFY(!g_bEnBin);
    }

    void firmwareNameRefused()
    {
        const QString path = writeFile(QStringLiteral("link-firmware.bin"), QByteArray(100, '\x55'));
        boxes::Answer yes;
        yes.button = QMessageBox::Yes;
        m_boxes->answers.enqueue(yes);
        boxes::Answer file;
        file.text = path;
        file.selectedFilter = QStringLiteral("bin(*.bin)");
        m_boxes->answers.enqueue(file);
        QMetaObject::invokeMethod(m_window.get(), "on_update_action_triggered");
        QCOMPARE(m_boxes->calls.size(), 3);
        QCOMPARE(m_boxes->calls[2].title, QStringLiteral("警告"));
        QCOMPARE(m_window->worker().currentTask(), uint8_t(workThread::TaskIdle));
        QVERIFY(action("open_action")->isEnabled());
    }

    // --- faults a production line would meet ------------------------------------------------------------

    void blankCheckKeepsImageChecksum()
    {
        rampRom();
        const uint16_t imageSum = g_nBinCheckSum;
        m_emulator->setChipFlash(0, QByteArray(int(LinkEmulator::kFlashSize), '\xFF'));
        QCOMPARE(runOperation("blank_action", &workThread::sg_check_blank_done), 0);
        QCOMPARE(g_nBinCheckSum, imageSum);
        QCOMPARE(child<QLabel>("label_bin")->text(), QString::asprintf("%04X", imageSum));
        const uint16_t erased = uint16_t(0xFFu * g_currentMcu.nFlashSizeKB * 1024);
        QVERIFY2(m_window->logText().contains(QString::asprintf("Rom:        %04X  空片", erased)),
                 qPrintable(m_window->logText()));

        m_emulator->setChipFlash(0x10, QByteArray(1, '\x00'));
        QCOMPARE(runOperation("blank_action", &workThread::sg_check_blank_done), 0);
        QVERIFY2(m_window->logText().contains(QString::asprintf("Rom:        %04X  非空", uint16_t(erased - 0xFF))),
                 qPrintable(m_window->logText()));
        QCOMPARE(g_nBinCheckSum, imageSum);

        // The project saved now opens again.
        const QString path = m_appDir.path() + QStringLiteral("/afterblank.mprj");
        answerSave(path, QStringLiteral("mprj(*.mprj)"));
        action("save_action")->trigger();
        answerFile(path);
        action("open_action")->trigger();
        QVERIFY2(!m_window->logText().contains(QStringLiteral("项目文件不完整")), qPrintable(m_window->logText()));
        QVERIFY(m_boxes->texts().filter(QStringLiteral("校验错误")).isEmpty());
        QCOMPARE(g_nBinCheckSum, imageSum);
    }

    void autoBurnOffBurnsNoMore()
    {
        rampRom();
        const int erasesBefore = m_emulator->commandCount(LinkCode::EraseFlash);
        QueuedSpy passes(&m_window->worker(), &workThread::sg_pass_done);
        action("auto_burn_action")->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 1, 30000);
        QCOMPARE(passes.first().first().toInt(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->messageText(), QStringLiteral("烧写成功"), 20000);
        // Real pauses while the loop waits for the chip to leave: switching off lands in one of them.
        setLinkTimeScale(0.2);
        const auto fast = qScopeGuard([] { setLinkTimeScale(0); });
        QTest::qWait(60);
        action("auto_burn_action")->setChecked(false);
        waitIdle();
        QCOMPARE(m_emulator->commandCount(LinkCode::EraseFlash), erasesBefore + 1);
        QCOMPARE(passes.size(), 1);
        QCOMPARE(m_window->messageText(), QStringLiteral("提示信息"));
    }

    void romViewIsReadOnly()
    {
        rampRom();
        auto *view = child<QPlainTextEdit>("textEdit_bin");
        const QString before = view->toPlainText();
        view->setFocus();
        view->moveCursor(QTextCursor::Start);
        QTest::keyClicks(view, QStringLiteral("AA"));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(view->toPlainText(), before);
        QCOMPARE(int(g_ucBinBuf[0]), 0x00);
        // Selection and copy stay.
        view->selectAll();
        QVERIFY(view->textCursor().hasSelection());
    }

    void saveNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("project");
        QTest::newRow("no suffix, project filter") << "proj1" << "mprj(*.mprj)" << "proj1.mprj" << true;
        QTest::newRow("no suffix, bin filter") << "raw1" << "bin(*.bin)" << "raw1.bin" << false;
        QTest::newRow(".mprj typed, bin filter") << "trap.mprj" << "bin(*.bin)" << "trap.mprj" << true;
        QTest::newRow(".BIN typed, project filter") << "img.BIN" << "mprj(*.mprj)" << "img.BIN" << false;
    }
    void saveNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(bool, project);
        rampRom();
        const QString dir = m_appDir.path() + QStringLiteral("/names");
        QDir().mkpath(dir);
        answerSave(dir + QLatin1Char('/') + typed, filter);
        action("save_action")->trigger();
        QVERIFY(m_boxes->calls.size() == 1);
        QVERIFY(!QFile::exists(dir + QLatin1Char('/') + typed) || typed == written);
        const QByteArray bytes = fileBytes(dir + QLatin1Char('/') + written);
        QVERIFY(!bytes.isEmpty());
        // A raw image is exactly the ROM data; a project is larger and opens as one.
        QCOMPARE(bytes == QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), int(g_nBinSize)), !project);
        if (project) {
            answerFile(dir + QLatin1Char('/') + written);
            action("open_action")->trigger();
            QVERIFY(!m_window->logText().contains(QStringLiteral("项目文件不完整")));
        }
    }

    void failedSaveSaysWhy()
    {
        rampRom();
        const QString path = m_appDir.path() + QStringLiteral("/no/such/folder/p.mprj");
        answerSave(path, QStringLiteral("mprj(*.mprj)"));
        action("save_action")->trigger();
        QCOMPARE(m_boxes->calls.size(), 2);
        const boxes::Call &box = m_boxes->calls.at(1);
        QCOMPARE(box.kind, boxes::Kind::Critical);
        QVERIFY2(box.text.contains(QDir::toNativeSeparators(path)) && box.text.contains(QStringLiteral("文件夹不存在")),
                 qPrintable(box.text));
        QVERIFY(m_window->isModified());

        // The table files report a failed save the same way.
        answerSave(m_appDir.path() + QStringLiteral("/no/such/folder/t.eep"), QString());
        QMetaObject::invokeMethod(m_window.get(), "slt_tableWidget_EE_save_action_triggered");
        QCOMPARE(m_boxes->calls.last().kind, boxes::Kind::Critical);
    }

    void failedLoadKeepsWhatWasShown()
    {
        // A damaged project whose header enables nothing.
        const QString good = m_appDir.path() + QStringLiteral("/empty.mprj");
        answerSave(good, QStringLiteral("mprj(*.mprj)"));
        action("save_action")->trigger();
        const QString damaged = writeFile(QStringLiteral("damaged.mprj"), fileBytes(good).left(18 + 40));

        rampRom();
        const uint16_t sum = g_nBinCheckSum;
        const uint32_t size = g_nBinSize;
        answerFile(damaged);
        answerYesNo(true);  // the ROM fill is not saved: the window asks first
        action("open_action")->trigger();
        QVERIFY(m_window->logText().contains(QStringLiteral("项目文件不完整")));
        QVERIFY(g_bEnBin);
        QVERIFY(child<QCheckBox>("checkBox_bin")->isChecked());
        QCOMPARE(g_nBinSize, size);
        QCOMPARE(g_nBinCheckSum, sum);
        QCOMPARE(int(g_ucBinBuf[0x42]), 0x42);
        QCOMPARE(child<QLabel>("label_bin")->text(), QString::asprintf("%04X", sum));
        QCOMPARE(m_window->summaryText(), QStringLiteral("烧录项: ROM"));
        // Said where it cannot be missed, not only in the log.
        QCOMPARE(verdict(), QStringLiteral("NG"));
        QCOMPARE(verdictDetail(), QStringLiteral("未加载：项目文件不完整"));
        QCOMPARE(m_boxes->calls.last().kind, boxes::Kind::Warning);
        QVERIFY(m_boxes->calls.last().text.contains(QDir::toNativeSeparators(damaged)));
    }

    void helpWithoutViewerNamesTheGuide()
    {
        const QString guide = writeFile(userGuideFileName(currentLanguage()), "%PDF-1.4\n");
        const auto remove = qScopeGuard([guide] { QFile::remove(guide); });
        action("action_help_toolsbar")->trigger();
        QCOMPARE(m_boxes->calls.size(), 1);
        const QString text = m_boxes->calls.first().text;
        QVERIFY2(text.contains(QDir::toNativeSeparators(guide)) && !text.contains(QStringLiteral("重新安装")),
                 qPrintable(text));
    }

    void tablesReadOnlyWhileOperationRuns()
    {
        child<QCheckBox>("checkBox_bin")->click();
        auto *nvr1 = child<QTableWidget>("tableWidget_NVR1");
        QVERIFY(nvr1->editTriggers() != QAbstractItemView::NoEditTriggers);
        QueuedSpy read(&m_window->worker(), &workThread::sg_up_chip_done);
        action("up_action")->trigger();
        QCOMPARE(nvr1->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(child<QTableWidget>("tableWidget_EE")->editTriggers(), QAbstractItemView::NoEditTriggers);
        // An editor left open commits nothing into the image.
        const uint8_t before = g_ucNVRBinBuf[3];
        nvr1->item(0, 3)->setText(QStringLiteral("5a"));
        QCOMPARE(g_ucNVRBinBuf[3], before);
        QVERIFY(m_window->logText().contains(QStringLiteral("刚才输入的值没有保存")));  // not dropped silently
        QTRY_VERIFY_WITH_TIMEOUT(!read.isEmpty(), 30000);
        waitIdle();
        QVERIFY(nvr1->editTriggers() != QAbstractItemView::NoEditTriggers);
    }

    void unsavedChangesAskFirst()
    {
        QVERIFY(!m_window->isModified());
        rampRom();
        QVERIFY(m_window->isModified());

        // Closing: No keeps the window.
        answerYesNo(false);
        QVERIFY(!m_window->close());
        QCOMPARE(m_boxes->calls.last().kind, boxes::Kind::Question);

        // Opening another file: No keeps the project.
        const QString hex = writeFile(QStringLiteral("other.hex"), ":0100000055AA\n:00000001FF\n");
        answerFile(hex);
        answerYesNo(false);
        action("open_action")->trigger();
        QCOMPARE(int(g_ucBinBuf[1]), 0x01);

        // Saved as a project, nothing is asked any more.
        answerSave(m_appDir.path() + QStringLiteral("/kept.mprj"), QStringLiteral("mprj(*.mprj)"));
        action("save_action")->trigger();
        QVERIFY(!m_window->isModified());
        const int calls = m_boxes->calls.size();
        answerFile(hex);
        action("open_action")->trigger();
        QCOMPARE(m_boxes->calls.size(), calls + 1);  // the file dialog only
        QCOMPARE(int(g_ucBinBuf[0]), 0x55);
    }

    // --- results an operator cannot miss --------------------------------------------------------------------

    // Auto burn over several chips, driven from the Emulator menu: OK, wrong chip, injected failure.
    void emulatorMenuRehearsesALine()
    {
        m_window->setEmulator(*m_emulator);
        rampRom();
        const QString csv = m_appDir.path() + QStringLiteral("/line.csv");
        QFile::remove(csv);
        answerSave(csv, QString());
        action("action_production_log")->setChecked(true);
        QVERIFY(action("action_production_log")->isChecked());

        QueuedSpy passes(&m_window->worker(), &workThread::sg_pass_done);
        const auto nextChip = [&](const char *modelEntry) {
            action("action_emulator_chip")->trigger();  // out
            QVERIFY(!m_emulator->chipPresent());
            // The loop has seen the socket empty before the next chip goes in.
            QTRY_COMPARE_WITH_TIMEOUT(g_bAutoBurnChipHandled.load(), uint8_t(0), 20000);
            if (modelEntry) {
                for (QAction *a : child<QMenu>("menu_emulator_model")->actions())
                    if (a->text().startsWith(QLatin1String(modelEntry)))
                        a->trigger();
            }
            action("action_emulator_chip")->trigger();  // in
            QVERIFY(m_emulator->chipPresent());
        };

        action("auto_burn_action")->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 1, 30000);
        QCoreApplication::processEvents();
        QCOMPARE(verdict(), QStringLiteral("OK"));
        QCOMPARE(verdictDetail(), QStringLiteral("校验和 %1").arg(QString::asprintf("%04X", g_nBinCheckSum)));

        action("action_emulator_fail_next")->trigger();
        QVERIFY(m_emulator->failNextPassArmed());
        nextChip(nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 2, 30000);
        QCoreApplication::processEvents();
        QCOMPARE(verdict(), QStringLiteral("NG"));
        QCOMPARE(verdictDetail(), QStringLiteral("写入或校验FLASH失败 (6)"));
        QVERIFY(action("auto_burn_action")->isChecked());  // the loop goes on

        nextChip("VR5K2611");
        QTRY_COMPARE_WITH_TIMEOUT(passes.size(), 3, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!action("auto_burn_action")->isChecked(), 20000);  // a wrong chip ends it
        waitIdle();
        QCOMPARE(verdict(), QStringLiteral("NG"));
        QCOMPARE(verdictDetail(), QStringLiteral("需要 VR5K2610，检测到 VR5K2611"));
        QCOMPARE(child<QLabel>("label_counters")->text(), QStringLiteral("OK: 1  NG: 2  总计: 3"));

        // The record has the command line's columns, one line per chip.
        const QStringList lines = ProductionLog::recordLines(fileBytes(csv));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), ProductionLog::header());
        QVERIFY2(lines.at(1).contains(QStringLiteral(",VR5K2610,2610,rom,%1,0,烧写成功")
                                          .arg(QString::asprintf("%04X", g_nBinCheckSum))),
                 qPrintable(lines.at(1)));
        QVERIFY2(lines.at(2).contains(QStringLiteral(",6,")), qPrintable(lines.at(2)));
        QVERIFY2(lines.at(3).contains(QStringLiteral(",2611,rom,")) && lines.at(3).contains(QStringLiteral(",4,")),
                 qPrintable(lines.at(3)));

        child<QToolButton>("pushButton_resetCounters")->click();
        QCOMPARE(child<QLabel>("label_counters")->text(), QStringLiteral("OK: 0  NG: 0  总计: 0"));
        m_emulator->setChipId(LinkEmulator::kDefaultChipId);
    }

    void productionLogFailureStopsTheLoop()
    {
        rampRom();
        const QString csv = m_appDir.path() + QStringLiteral("/no/such/folder/line.csv");
        answerSave(csv, QString());
        action("action_production_log")->setChecked(true);
        QVERIFY(!action("action_production_log")->isChecked());
        QCOMPARE(m_boxes->calls.last().kind, boxes::Kind::Critical);
    }

    void tableHeadersInHex()
    {
        auto *table = child<QTableWidget>("tableWidget_NVR1");
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("00"));
        QCOMPARE(table->horizontalHeaderItem(15)->text(), QStringLiteral("0F"));
        QCOMPARE(table->verticalHeaderItem(2)->text(), QStringLiteral("0020"));
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(15), QHeaderView::Stretch);
    }

    // --- each operation's own verdict --------------------------------------------------------------------------

    // After a burn's OK, an erase, a blank check and a wait for the next chip each show their own state.
    void resultBarShowsTheLastOperation()
    {
        rampRom();
        QueuedSpy burnt(&m_window->worker(), &workThread::sg_burn_chip_done);
        action("burn_action")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!burnt.isEmpty(), 30000);
        waitIdle();
        QCOMPARE(verdict(), QStringLiteral("OK"));

        answerYesNo(true);
        QCOMPARE(runOperation("erase_action", &workThread::sg_erase_chip_done), 0);
        QCOMPARE(verdict(), QStringLiteral("OK"));
        QCOMPARE(verdictDetail(), QStringLiteral("擦除芯片完成"));

        QCOMPARE(runOperation("blank_action", &workThread::sg_check_blank_done), 0);
        QCOMPARE(verdictDetail(), QStringLiteral("查空：空片"));

        m_emulator->setChipPresent(false);
        action("auto_burn_action")->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(verdict(), QStringLiteral("wait"), 20000);
        QVERIFY(child<QLabel>("label_result")->text().contains(QStringLiteral("等待芯片")));
        action("auto_burn_action")->setChecked(false);
        waitIdle();
    }

    // A Link pulled out during a run: the run ends, the window says the Link was removed, and everything is
    // usable again without switching the burn off by hand.
    void pulledOutLinkEndsTheRunAndSaysSo()
    {
        rampRom();
        m_emulator->setChipPresent(false);
        const auto replug = qScopeGuard([this] { m_emulator->setConnected(true); });
        QueuedSpy done(&m_window->worker(), &workThread::sg_burn_chip_done);
        action("burn_action")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(m_emulator->commandCount(LinkCode::InitProgrammer) > 0, 20000);
        m_emulator->setConnected(false);
        m_window->slt_device_removed(kNormalName);  // as the hot-plug source reports it
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 30000);
        waitIdle();
        QCOMPARE(done.first().first().toInt(), 36);
        QVERIFY(m_boxes->sawText(QStringLiteral("Link已被拔出。请插上Link，再试一次。")));
        QVERIFY(!action("burn_action")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(action("open_action")->isEnabled(), 20000);
        QVERIFY(action("burn_action")->isEnabled());
        QCOMPARE(child<QLabel>("label_link_state")->text(), QStringLiteral("没有Link：请插上Link"));
    }

    // Ticking an area after opening a file is a change the project file would keep; a BIN of two areas
    // says what to do instead.
    void areaTicksAreChangesAndTwoAreasNeedAProject()
    {
        const QString hex = writeFile(QStringLiteral("tick.hex"), ":0100000055AA\n:00000001FF\n");
        answerFile(hex);
        action("open_action")->trigger();
        QVERIFY(!m_window->isModified());
        child<QCheckBox>("checkBox_bin")->click();
        QVERIFY(m_window->isModified());

        child<QCheckBox>("checkBox_bl")->click();
        const QString bin = m_appDir.path() + QStringLiteral("/two.bin");
        answerSave(bin, QStringLiteral("bin(*.bin)"));
        action("save_action")->trigger();
        QCOMPARE(m_boxes->calls.last().kind, boxes::Kind::Warning);
        QVERIFY2(m_boxes->calls.last().text.contains(QStringLiteral(".mprj")), qPrintable(m_boxes->calls.last().text));
        QVERIFY(!QFile::exists(bin));
    }

    // The emulator rehearses a line's Link: a project downloaded with upload protection is not given back,
    // and the factory parameters carry a clock.
    void emulatorRefusesAProtectedUploadAndKnowsItsClock()
    {
        rampRom();
        g_bEnUploadProtect = true;
        // The downloads restart the Link; it is back before the next test, whatever happens here.
        const auto settle = qScopeGuard([this] {
            g_bEnUploadProtect = false;
            m_emulator->advanceClock(5000);
        });
        answerYesNo(true);
        QCOMPARE(runOperation("down_action", &workThread::sg_download_done), 0);
        m_emulator->advanceClock(5000);  // back from the restart that ends a download
        const int boxes = m_boxes->calls.size();
        QVERIFY(runOperation("upload_action", &workThread::sg_upload_done) != 0);
        QCOMPARE(m_boxes->calls.size(), boxes + 1);
        QVERIFY2(m_boxes->calls.last().text.contains(QStringLiteral("上传数据保护")), qPrintable(m_boxes->calls.last().text));
        QCOMPARE(verdict(), QStringLiteral("NG"));

        // Without protection the same project comes back.
        g_bEnUploadProtect = false;
        answerYesNo(true);
        QCOMPARE(runOperation("down_action", &workThread::sg_download_done), 0);
        m_emulator->advanceClock(5000);
        QCOMPARE(runOperation("upload_action", &workThread::sg_upload_done), 0);

        QueuedSpy factory(&m_window->worker(), &workThread::sg_read_fac_param_done);
        child<QPushButton>("pushButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!factory.isEmpty(), 30000);
        waitIdle();
        QCOMPARE(factory.first().first().toInt(), 0);
        QVERIFY2(m_window->logText().contains(QStringLiteral("主频: 24.00MHz")), qPrintable(m_window->logText()));
    }

    // --- the status bar at the window's size -------------------------------------------------------------

    // The longest settings, the longest Link state and a long message at 1100x650: every part of the status
    // bar stays in sight and readable, the counters and their reset too; only the summary gives way, with
    // the whole of it in its tooltip.
    void statusBarKeepsEverythingInSight_data()
    {
        QTest::addColumn<Language>("language");
        QTest::newRow("zh") << Language::Chinese;
        QTest::newRow("en") << Language::English;
    }
    void statusBarKeepsEverythingInSight()
    {
        QFETCH(Language, language);
#ifdef Q_OS_WIN
        if (language == Language::English)
            QSKIP("text metrics under Wine's offscreen platform are not the window's");
#endif
        const auto back = reopenWindowIn(language);
        g_bEnBin = g_bEnBL = g_bEnEE = g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = true;
        g_bEnRollCode = g_bEnEncryption = g_bEnLimit = g_bEnAutoBurner = true;
        g_bUartMode = g_bEnUploadProtect = g_bEnAutoWrite = true;
        m_window->updateSettingsSummary();
        QMetaObject::invokeMethod(m_window.get(), "slt_link_state", Q_ARG(int, 2));  // the longest state
        auto *message = child<QLabel>("label_msg");
        message->setText(QCoreApplication::translate("engine", "芯片连接中") + QStringLiteral("......"));
        QVERIFY(showAtWindowSize());

        const QRect window = m_window->rect();
        const auto inSight = [&](QWidget *w, bool wholeText) {
            const QRect r(w->mapTo(m_window.get(), QPoint(0, 0)), w->size());
            QVERIFY2(w->isVisible() && window.contains(r), qPrintable(w->objectName()));
            if (auto *label = qobject_cast<QLabel *>(w); label && wholeText && !label->text().isEmpty())
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                         qPrintable(QStringLiteral("%1: %2").arg(w->objectName(), label->text())));
        };
        for (const char *name : {"label_msg", "label_link_state", "label_connect", "label_counters"})
            inSight(child<QWidget>(name), true);
        inSight(child<QWidget>("pushButton_resetCounters"), false);
        inSight(child<QWidget>("progressBar"), false);
        auto *summary = child<QLabel>("label_summary");
        inSight(summary, false);
        QVERIFY(summary->width() >= summary->minimumSizeHint().width());
        QVERIFY(!summary->text().isEmpty());
        const QString full = m_window->summaryText();
        QVERIFY(full.contains(QCoreApplication::translate("summary", "上传保护")));
        QVERIFY(summary->text() == full || summary->toolTip() == full);
        QCOMPARE(child<QLabel>("label_link_state")->text(),
                 language == Language::English ? QStringLiteral("Link busy: used by another program")
                                               : QStringLiteral("Link忙：正被其他程序使用"));
    }

    // Every failure's reason at 1100x650, also the longest ("the Link is busy: ... then try again"): OK/NG and
    // the reason stay inside the banner, a reason cut short keeps its whole text in the tooltip.
    void verdictBannerKeepsItsTextInside_data() { statusBarKeepsEverythingInSight_data(); }
    void verdictBannerKeepsItsTextInside()
    {
        QFETCH(Language, language);
#ifdef Q_OS_WIN
        if (language == Language::English)
            QSKIP("text metrics under Wine's offscreen platform are not the window's");
#endif
        const auto back = reopenWindowIn(language);
        QVERIFY(showAtWindowSize());

        auto *banner = child<QLabel>("label_result");
        int cut = 0;
        for (int code = 1; code <= 38; ++code) {
            QMetaObject::invokeMethod(m_window.get(), "slt_erase_action_done", Q_ARG(int, code));
            QTextDocument shown;
            shown.setDocumentMargin(0);
            shown.setDefaultFont(banner->font());
            shown.setHtml(banner->text());
            const QString detail = verdictDetail();
            QVERIFY2(shown.idealWidth() <= banner->contentsRect().width(),
                     qPrintable(QStringLiteral("%1: %2 wide, room %3: %4").arg(code).arg(shown.idealWidth())
                                    .arg(banner->contentsRect().width()).arg(detail)));
            QVERIFY2(shown.toPlainText().startsWith(QStringLiteral("NG")), qPrintable(shown.toPlainText()));
            if (!shown.toPlainText().contains(detail)) {
                ++cut;
                QVERIFY2(banner->toolTip().contains(detail), qPrintable(detail));
            }
        }
        if (language == Language::English)  // the Chinese reasons all fit
            QVERIFY2(cut > 0, "no reason long enough to be cut: the check above proves nothing");
    }

    // --- a pass burns what it was started with -------------------------------------------------------------

    // Every control that changes an area, an image, a table or a setting is locked while a burn waits for
    // its chip and while it burns; the OK names the image that pass burned.
    void burnLocksEveryEditingControl()
    {
        rampRom();
        child<QCheckBox>("checkBox_bl")->click();
        QVERIFY(g_bEnBin && g_bEnBL);
        m_emulator->setChipPresent(false);
        action("burn_action")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(m_emulator->commandCount(LinkCode::InitProgrammer) > 0, 20000);
        for (const char *name : {"checkBox_bin", "checkBox_bl", "groupBox_bin", "groupBox_NVR1", "groupBox_EE",
                                 "pushButton_userCfg", "pushButton_serialNoSetting", "pushButton_burnSetting",
                                 "comboBox_icType", "pushButton"})
            QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
        for (const char *name : {"action_open", "action_save", "action_read", "action_check_blank",
                                 "action_serial_no", "action_user_cfg", "action_burnSetting", "action_custom",
                                 "actionI2C", "actionSingleLine", "auto_burn_action"})
            QVERIFY2(!action(name)->isEnabled(), name);
        QVERIFY(othersDisabled());
        QVERIFY(action("burn_action")->isEnabled());

        QueuedSpy done(&m_window->worker(), &workThread::sg_burn_chip_done);
        m_emulator->setChipPresent(true);
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 30000);
        waitIdle();
        QCOMPARE(verdict(), QStringLiteral("OK"));
        QCOMPARE(verdictDetail(), QStringLiteral("校验和 %1").arg(QString::asprintf("%04X", g_nBinCheckSum)));
        QVERIFY(child<QWidget>("groupBox_bin")->isEnabled());
        QVERIFY(action("action_open")->isEnabled());
    }

    // A burn switched off while its pass runs stays locked (the toggle says it is stopping) until the pass
    // has ended and the worker is idle.
    void switchedOffMidPassStaysLockedUntilIdle()
    {
        rampRom();
        const int erasesBefore = m_emulator->commandCount(LinkCode::EraseFlash);
        std::atomic<bool> hold{true};
        std::atomic<bool> held{false};
        setLinkSleepHook([&](int ms) {
            m_emulator->advanceClock(ms);
            if (m_emulator->commandCount(LinkCode::EraseFlash) > erasesBefore) {
                held = true;
                while (hold.load())
                    QThread::msleep(2);
            }
        });
        const auto restore = qScopeGuard([&] {
            hold = false;
            waitIdle();
            setLinkSleepHook({});
            m_emulator->attachToLinkClock();
        });
        QueuedSpy done(&m_window->worker(), &workThread::sg_burn_chip_done);
        action("burn_action")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(held.load(), 20000);

        action("burn_action")->setChecked(false);
        QVERIFY(!action("open_action")->isEnabled());
        QVERIFY(!action("action_open")->isEnabled());
        QVERIFY(!child<QWidget>("checkBox_bin")->isEnabled());
        QVERIFY(!child<QWidget>("groupBox_bin")->isEnabled());
        QVERIFY(!action("burn_action")->isEnabled());
        QCOMPARE(action("burn_action")->text(), QStringLiteral("停止中..."));
        QTest::qWait(50);
        QVERIFY(!action("open_action")->isEnabled());

        hold = false;
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 30000);
        waitIdle();
        QTRY_VERIFY_WITH_TIMEOUT(action("open_action")->isEnabled(), 20000);
        QVERIFY(child<QWidget>("checkBox_bin")->isEnabled());
        QVERIFY(action("burn_action")->isEnabled());
        QVERIFY(action("burn_action")->text() != QStringLiteral("停止中..."));
        QCOMPARE(m_emulator->commandCount(LinkCode::EraseFlash), erasesBefore + 1);
    }

    // The loop resets the answered id for the next chip at once; the verdict takes the id from the pass.
    void wrongChipVerdictNamesTheChipThePassFound()
    {
        rampRom();
        m_emulator->setChipId(0x2611);
        const auto restore = qScopeGuard([this] { m_emulator->setChipId(LinkEmulator::kDefaultChipId); });
        // As the worker does when it looks at the next chip, before the window has shown this one.
        connect(&m_window->worker(), &workThread::sg_pass_done, this, [](int, quint16) { g_wChipId = 0xFFFF; },
                Qt::DirectConnection);
        QueuedSpy passes(&m_window->worker(), &workThread::sg_pass_done);
        action("auto_burn_action")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!passes.isEmpty(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!action("auto_burn_action")->isChecked(), 20000);
        waitIdle();
        QCOMPARE(passes.first().at(1).toInt(), 0x2611);
        QCOMPARE(verdictDetail(), QStringLiteral("需要 VR5K2610，检测到 VR5K2611"));
        QVERIFY2(m_window->logText().contains(QStringLiteral("目标MCU是 VR5K2611")), qPrintable(m_window->logText()));
    }

    // Saving custom chip types restarts the program: unsaved work is asked about first, and No keeps it all.
    void customChipRestartAsksFirst()
    {
        int restarts = 0;
        DialogChipType::setRestarter([&restarts] { ++restarts; });
        const auto restore = qScopeGuard([] { DialogChipType::setRestarter({}); });
        QFile cfg(m_appDir.path() + QStringLiteral("/cfg.db"));
        QVERIFY(cfg.open(QIODevice::ReadOnly));
        const QByteArray cfgBefore = cfg.readAll();
        cfg.close();
        const QString logo = m_appDir.path() + QStringLiteral("/mine.png");
        QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(logo));

        rampRom();
        QVERIFY(m_window->isModified());
        action("action_custom")->trigger();
        auto *dialog = m_window->findChild<DialogChipType *>();
        QVERIFY(dialog);
        answerFile(logo);
        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonLogoPath"))->click();
        dialog->findChild<QLineEdit *>(QStringLiteral("lineEditCustom"))->setText(QStringLiteral("MY1"));
        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonAdd"))->click();
        answerYesNo(false);
        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonOK"))->click();
        QCOMPARE(m_boxes->calls.last().kind, boxes::Kind::Question);
        QCOMPARE(restarts, 0);
        QVERIFY(cfg.open(QIODevice::ReadOnly));
        QCOMPARE(cfg.readAll(), cfgBefore);
        cfg.close();

        answerYesNo(true);
        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonOK"))->click();
        QCOMPARE(restarts, 1);
        QVERIFY(cfg.open(QIODevice::WriteOnly));  // the fixture's cfg.db again, for the tests after this one
        cfg.write(cfgBefore);
    }

    // The command line's several-Link form is refused, not taken as one folder named "A,B"; so is a folder
    // whose name is not text in the system's encoding (as main() finds it in argv), not taken as the name Qt
    // decoded; --help opens no window either.
    void startOptionsTheWindowDoesNotTake_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("undecodable");
        QTest::addColumn<int>("code");
        QTest::newRow("--emulate=A,B") << QStringList{"tarnquill", "--emulate=emu-a,emu-b"} << QByteArray() << 2;
        QTest::newRow("--emulate=DIR not text") << QStringList{"tarnquill", QStringLiteral("--emulate=emu-a\uFFFD")}
                                                << QByteArray("--emulate=emu-a\xFF") << 2;
        QTest::newRow("--station with no name") << QStringList{"tarnquill", "--station-view", "--station="}
                                                << QByteArray() << 2;
        QTest::newRow("--help") << QStringList{"tarnquill", "--help"} << QByteArray() << 0;
        QTest::newRow("-h") << QStringList{"tarnquill", "-h"} << QByteArray() << 0;
    }
    void startOptionsTheWindowDoesNotTake()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, undecodable);
        QFETCH(int, code);
        m_window.reset();
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(m_appDir.path());
        const auto back = qScopeGuard([cwd] { QDir::setCurrent(cwd); });
        QCOMPARE(runTarnquill(*static_cast<QApplication *>(QCoreApplication::instance()), arguments, undecodable), code);
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<mcu_writer *>(w));
        QVERIFY(!QFile::exists(m_appDir.path() + QStringLiteral("/emu-a,emu-b")));
        QVERIFY(!QFile::exists(m_appDir.path() + QStringLiteral("/emu-a\uFFFD")));
        QCOMPARE(&hidBackend(), static_cast<HidBackend *>(m_backend.get()));
        QVERIFY(windowUsage().contains(QStringLiteral("--emulate")));
    }

    // While the station burns from the window's project nothing in the window may change it: the editing
    // controls stay off when the window's own worker goes idle, and come back when the station stops.
    void theStationLocksTheProject()
    {
        QVERIFY(action("open_action")->isEnabled());
        m_window->setStationRunning(true);
        QVERIFY(m_window->isLocked());
        for (const char *name : {"open_action", "burn_action", "auto_burn_action", "action_burnSetting", "down_action"})
            QVERIFY2(!action(name)->isEnabled(), name);
        QVERIFY(!child<QComboBox>("comboBox_icType")->isEnabled());
        QVERIFY(!child<QCheckBox>("checkBox_bin")->isEnabled());
        QVERIFY(!child<QWidget>("centralWidget")->toolTip().isEmpty());  // what a click on them is told
        QVERIFY(QMetaObject::invokeMethod(m_window.get(), "slt_worker_idle"));
        QVERIFY(!action("open_action")->isEnabled());
        QVERIFY(!child<QCheckBox>("checkBox_bin")->isEnabled());
        m_window->setStationRunning(false);
        QVERIFY(!m_window->isLocked());
        QVERIFY(action("open_action")->isEnabled());
        QVERIFY(child<QComboBox>("comboBox_icType")->isEnabled());
        QVERIFY(child<QWidget>("centralWidget")->toolTip().isEmpty());
    }

    void endToEndBurnAndReadBack()
    {
        // Ten bytes at 0x0000 and four at 0x0100.
        const QByteArray hex = ":0A0000000102030405060708090ABF\n"
                               ":04010000DEADBEEFC3\n"
                               ":00000001FF\n";
        const QString path = writeFile(QStringLiteral("fw.hex"), hex);
        answerFile(path);
        action("open_action")->trigger();
        QCOMPARE(g_nBinSize, 0x104u);
        child<QCheckBox>("checkBox_bin")->click();
        QVERIFY(g_bEnBin);
        QByteArray expected(reinterpret_cast<const char *>(g_ucBinBuf), int(g_currentMcu.nFlashSizeKB * 1024));

        QueuedSpy burnt(&m_window->worker(), &workThread::sg_burn_chip_done);
        action("burn_action")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!burnt.isEmpty(), 30000);
        QCOMPARE(burnt.first().first().toInt(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!action("burn_action")->isChecked(), 20000);
        for (const boxes::Call &c : m_boxes->calls)  // the file dialog only, no message
            QCOMPARE(int(c.kind), int(boxes::Kind::OpenFile));
        QVERIFY(action("open_action")->isEnabled());
        QCOMPARE(m_emulator->chipFlash().left(expected.size()), expected);

        waitIdle();
        std::memset(g_ucBinBuf, 0x00, BIN_BUF_SIZE);
        QueuedSpy read(&m_window->worker(), &workThread::sg_up_chip_done);
        action("up_action")->trigger();
        QVERIFY(!action("open_action")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!read.isEmpty(), 30000);
        QCOMPARE(read.first().first().toInt(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(action("open_action")->isEnabled(), 20000);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), expected.size()), expected);
        QVERIFY(child<QPlainTextEdit>("textEdit_bin")->toPlainText().startsWith(
            QStringLiteral("01 02 03 04 05 06 07 08  09 0A FF FF FF FF FF FF\n")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
