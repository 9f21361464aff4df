#include "production/burnrules.h"
#include "settings/burnsettingdialog.h"
#include "production/productionsettings.h"
#include "settings/serialnodialog.h"
#include "settings/writersettingspage.h"

#include "boxes/boxes.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

#include <cstring>

namespace {

// A chip with a BootLoader area of four 512-byte sectors.
void selectSmallBootLoaderChip()
{
    g_currentMcu = McuInfo();
    g_currentMcu.nArch = MCU_ARCH_8051;
    g_currentMcu.nID = 0x2610;
    g_currentMcu.nFlashSizeKB = 32;
    g_currentMcu.nBootSectors = 4;
    g_currentMcu.nNvr2Page = 5;
    g_currentMcu.nNvr3Page = 6;
    g_currentMcu.nSectorSize = 512;
    g_currentMcu.ucDataWidth = 8;
    resetImages();
    resetProduction();
    g_bEnEncryption = false;
    g_strPsw.clear();
    g_ucPswLen = 0;
    g_fClockFreq = 100.0f;
}

template <typename T> T *find(QWidget *w, const char *name)
{
    T *child = w->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no %s", name);
    return child;
}

void click(QWidget *w, const char *name, bool checked)
{
    QMetaObject::invokeMethod(w, name, Q_ARG(bool, checked));
}

// The window's writer-settings controls, as mcu_writer.ui names them.
class WriterFixture : public QWidget
{
public:
    WriterFixture()
    {
        auto *rolling = new QGroupBox(this);
        rolling->setObjectName("groupBox_rolling");
        rolling->setCheckable(true);
        rolling->setChecked(false);
        for (const char *n : {"radioButton_10", "radioButton_16"})
            (new QRadioButton(rolling))->setObjectName(n);
        auto *count = new QWidget(rolling);
        for (const char *n : {"radioButton_inc", "radioButton_dec"})
            (new QRadioButton(count))->setObjectName(n);
        addCombo(rolling, "comboBox_bitsize", {"8", "16", "24", "32"}, false);
        addCombo(rolling, "comboBox_start_add", {}, true);
        addCombo(rolling, "comboBox_start_val", {"0"}, true);
        addCombo(rolling, "comboBox_step", {"1", "2", "3", "4", "5", "10"}, true);
        addCombo(rolling, "comboBox_start_AreaSel", {"NVR", "EEP", "FLASH"}, false);

        auto *limit = new QGroupBox(this);
        limit->setObjectName("groupBox_limit");
        limit->setCheckable(true);
        limit->setChecked(false);
        addCombo(limit, "comboBox_limit", {"0", "1", "10", "100", "1000", "10000"}, true);

        auto *autoBurner = new QGroupBox(this);
        autoBurner->setObjectName("groupBox_autoBurner");
        autoBurner->setCheckable(true);
        autoBurner->setChecked(false);
        for (const char *n : {"lineEdit_startTime", "lineEdit_BusyTime", "lineEdit_EotTime", "lineEdit_OkNgTime"})
            (new QLineEdit(autoBurner))->setObjectName(n);
        for (const char *n : {"comboBox_StartLevel", "comboBox_BusyLevel", "comboBox_OKLevel", "comboBox_NgLevel"})
            addCombo(autoBurner, n, {"低", "高"}, false);
        (new QCheckBox(this))->setObjectName("checkBox_baohu_writer_flash");
        (new QLabel(this))->setObjectName("label_serialNoState");
        (new QLabel(this))->setObjectName("label_autoBurnState");
        (new QTextEdit(this))->setObjectName("textEdit_ErorLog");
    }

private:
    static void addCombo(QWidget *parent, const char *name, const QStringList &items, bool editable)
    {
        auto *c = new QComboBox(parent);
        c->setObjectName(name);
        c->setEditable(editable);
        c->addItems(items);
    }
};

} // namespace

class TestSettingsDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void password_data();
    void password();
    void passwordSeventeenthCharacter();
    void passwordSerialConflict_data();
    void passwordSerialConflict();
    void serialDialogCommitsOnlyOnOk();
    void serialDialogFlashChosenFirstTime();
    void passwordMaskedWithShowToggle();
    void serialDialogStartValue_data();
    void serialDialogStartValue();

    void autoBurnerExcludesAutoWrite_data();
    void autoBurnerExcludesAutoWrite();
    void dialogLimitEntry_data();
    void dialogLimitEntry();
    void okWithUntouchedLimitStoresZero();
    void serialFieldsShowWholeValues();
    void handlerMachineTimingsAndLevels_data();
    void handlerMachineTimingsAndLevels();
    void clockFrequency_data();
    void clockFrequency();
    void firstOpeningShows27();
    void openingShowsStoredSettings();
    void calibrateOnly_data();
    void calibrateOnly();

    void pageLimit_data();
    void pageLimit();
    void pageRollingEnable();
    void pageAddressRefusalRestoresText();
    void pageWidthRefusalFallsBackTo8();
    void pageSwitchesAndDoneSlots();
    void pageShowRecordsWritesNothing();
};

void TestSettingsDialogs::init()
{
    selectSmallBootLoaderChip();
}

void TestSettingsDialogs::password_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("box");

    QTest::newRow("8 characters") << "abcd1234" << "";
    QTest::newRow("7 characters") << "abcd123" << "密码最少8个字符！";
    QTest::newRow("16 characters") << "abcdefgh12345678" << "";
    QTest::newRow("non-ASCII") << "abcd1234é" << "请输入a-z,A-Z,0-9,!\"#$%&'()*+,-./:;<=>?@[]^_`{|}~范围内字符！";
    QTest::newRow("empty") << "" << "请输入a-z,A-Z,0-9,!\"#$%&'()*+,-./:;<=>?@[]^_`{|}~范围内字符！";
}

void TestSettingsDialogs::password()
{
    QFETCH(QString, password);
    QFETCH(QString, box);
    boxes::Recorder rec;
    QPointer<serialNoDialog> dlg = new serialNoDialog;
    QSignalSpy done(dlg.data(), &serialNoDialog::sg_password_done);
    find<QGroupBox>(dlg, "groupBox_encode")->setChecked(true);
    find<QLineEdit>(dlg, "lineEditpsw")->setText(password);
    QMetaObject::invokeMethod(dlg, "on_pushButton_dialog_ok_released");
    if (box.isEmpty()) {
        QVERIFY(rec.calls.isEmpty());
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toInt(), 1);
        QVERIFY(g_bEnEncryption);
        QCOMPARE(g_strPsw, password);
        QCOMPARE(int(g_ucPswLen), password.size());
    } else {
        QCOMPARE(rec.calls.size(), 1);
        QCOMPARE(rec.calls.at(0).title, QStringLiteral("提示"));
        QCOMPARE(rec.calls.at(0).text, box);
        QCOMPARE(done.count(), 0);
        QVERIFY(!g_bEnEncryption);
        QVERIFY(dlg);
        delete dlg;
    }
}

void TestSettingsDialogs::passwordSeventeenthCharacter()
{
    boxes::Recorder rec;
    serialNoDialog dlg;
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    find<QGroupBox>(&dlg, "groupBox_encode")->setChecked(true);
    QLineEdit *field = find<QLineEdit>(&dlg, "lineEditpsw");
    QTest::keyClicks(field, QStringLiteral("abcdefghijklmnop"));
    QVERIFY(rec.calls.isEmpty());
    QTest::keyClicks(field, QStringLiteral("q"));
    QCOMPARE(field->text(), QStringLiteral("abcdefghijklmnop"));
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("密码最多16个字符！")});
    QCOMPARE(rec.calls.at(0).title, QStringLiteral("提示"));
}

void TestSettingsDialogs::passwordSerialConflict_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("refused");

    QTest::newRow("0x7BC") << "7BC" << false;
    QTest::newRow("0x7BD") << "7BD" << true;
}

void TestSettingsDialogs::passwordSerialConflict()
{
    QFETCH(QString, address);
    QFETCH(bool, refused);
    g_bEnRollCode = true;
    boxes::Recorder rec;
    QPointer<serialNoDialog> dlg = new serialNoDialog;
    find<QGroupBox>(dlg, "groupBox_rolling")->setChecked(true);
    find<QComboBox>(dlg, "comboBox_bitsize")->setCurrentIndex(0);
    find<QComboBox>(dlg, "comboBox_start_addr")->setEditText(address);
    find<QComboBox>(dlg, "comboBox_bitsize")->setCurrentIndex(3);
    QVERIFY(rec.calls.isEmpty());
    find<QGroupBox>(dlg, "groupBox_encode")->setChecked(true);
    find<QLineEdit>(dlg, "lineEditpsw")->setText(QStringLiteral("password"));
    QMetaObject::invokeMethod(dlg, "on_pushButton_dialog_ok_released");
    if (refused) {
        QCOMPARE(rec.calls.size(), 1);
        QCOMPARE(rec.calls.at(0).title, QStringLiteral("警告"));
        QVERIFY(rec.calls.at(0).text.endsWith(QStringLiteral("7C0")));
        QVERIFY(!g_bEnEncryption);
        QVERIFY(dlg);
        delete dlg;
    } else {
        QVERIFY(rec.calls.isEmpty());
        QCOMPARE(g_rollingSet.startAdd, address.toUInt(nullptr, 16));
        QCOMPARE(g_rollingSet.bitSize & 7, 3);
        QVERIFY(g_bEnEncryption);
    }
}

void TestSettingsDialogs::serialDialogCommitsOnlyOnOk()
{
    const rolling_seting_t before = g_rollingSet;
    boxes::Recorder rec;
    QPointer<serialNoDialog> dlg = new serialNoDialog;
    QSignalSpy serial(dlg.data(), &serialNoDialog::sg_serial_no_done);
    find<QGroupBox>(dlg, "groupBox_rolling")->setChecked(true);
    click(dlg, "on_groupBox_rolling_clicked", true);
    find<QComboBox>(dlg, "comboBox_start_addr")->setEditText(QStringLiteral("100"));
    find<QComboBox>(dlg, "comboBox_step")->setEditText(QStringLiteral("7"));
    QCOMPARE(g_rollingSet.startAdd, before.startAdd);
    QCOMPARE(g_rollingSet.step, before.step);
    QMetaObject::invokeMethod(dlg, "on_pushButton_dialog_canccel_released");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dlg);
    QCOMPARE(g_rollingSet.startAdd, before.startAdd);
    QVERIFY(!g_bEnRollCode);
    QCOMPARE(serial.count(), 0);

    dlg = new serialNoDialog;
    QSignalSpy serial2(dlg.data(), &serialNoDialog::sg_serial_no_done);
    find<QGroupBox>(dlg, "groupBox_rolling")->setChecked(true);
    click(dlg, "on_groupBox_rolling_clicked", true);
    find<QComboBox>(dlg, "comboBox_start_addr")->setEditText(QStringLiteral("100"));
    find<QComboBox>(dlg, "comboBox_step")->setEditText(QStringLiteral("7"));
    QMetaObject::invokeMethod(dlg, "on_pushButton_dialog_ok_released");
    QVERIFY(rec.calls.isEmpty());
    QVERIFY(g_bEnRollCode);
    QCOMPARE(g_rollingSet.startAdd, 0x100u);
    QCOMPARE(g_rollingSet.step, uint8_t(7));
    QCOMPARE(serial2.count(), 1);
    QCOMPARE(serial2.at(0).at(0).toInt(), 1);
}

void TestSettingsDialogs::serialDialogFlashChosenFirstTime()
{
    const auto restore = qScopeGuard([] {
        g_bEnRollCode = false;
        g_rollingSet = rolling_seting_t{};
    });
    g_bEnRollCode = false;
    boxes::Recorder rec;
    QPointer<serialNoDialog> dlg = new serialNoDialog;
    find<QGroupBox>(dlg, "groupBox_rolling")->setChecked(true);
    click(dlg, "on_groupBox_rolling_clicked", true);
    auto *area = find<QComboBox>(dlg, "comboBox_start_AreaSel");
    const QString nvrAddress = find<QComboBox>(dlg, "comboBox_start_addr")->currentText();
    area->setCurrentIndex(area->findText(QStringLiteral("FLASH")));
    const QString shown = find<QComboBox>(dlg, "comboBox_start_addr")->currentText();
    QVERIFY2(shown != nvrAddress, qPrintable(shown));
    QMetaObject::invokeMethod(dlg, "on_pushButton_dialog_ok_released");
    QVERIFY(g_bEnRollCode);
    QCOMPARE(int(g_rollingSet.area()), int(RollingAreaFlash));
    QCOMPARE(QString::asprintf("0x%x", g_rollingSet.startAdd), shown);
}

void TestSettingsDialogs::passwordMaskedWithShowToggle()
{
    serialNoDialog dlg;
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    auto *psw = find<QLineEdit>(&dlg, "lineEditpsw");
    QCOMPARE(psw->echoMode(), QLineEdit::Password);
    find<QCheckBox>(&dlg, "checkBox_showPsw")->setChecked(true);
    QCOMPARE(psw->echoMode(), QLineEdit::Normal);
    find<QCheckBox>(&dlg, "checkBox_showPsw")->setChecked(false);
    QCOMPARE(psw->echoMode(), QLineEdit::Password);
}

void TestSettingsDialogs::serialDialogStartValue_data()
{
    QTest::addColumn<bool>("decimal");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refused");

    QTest::newRow("bcd 8 bits 99") << true << 0 << "99" << false;
    QTest::newRow("bcd 8 bits 100") << true << 0 << "100" << true;
    QTest::newRow("hex 16 bits FFFF") << false << 1 << "FFFF" << false;
    QTest::newRow("hex 16 bits 10000") << false << 1 << "10000" << true;
}

void TestSettingsDialogs::serialDialogStartValue()
{
    QFETCH(bool, decimal);
    QFETCH(int, width);
    QFETCH(QString, text);
    QFETCH(bool, refused);
    boxes::Recorder rec;
    serialNoDialog dlg;
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    find<QGroupBox>(&dlg, "groupBox_rolling")->setChecked(true);
    click(&dlg, "on_groupBox_rolling_clicked", true);
    auto *radix = find<QRadioButton>(&dlg, decimal ? "radioButton_10" : "radioButton_16");
    radix->setChecked(true);
    click(&dlg, decimal ? "on_radioButton_10_clicked" : "on_radioButton_16_clicked", true);
    find<QComboBox>(&dlg, "comboBox_start_addr")->setEditText(QStringLiteral("10"));
    find<QComboBox>(&dlg, "comboBox_bitsize")->setCurrentIndex(width);
    QVERIFY(rec.calls.isEmpty());
    find<QComboBox>(&dlg, "comboBox_start_val")->setEditText(text);
    QCOMPARE(rec.sawText(QStringLiteral("初始值大于位宽")), refused);
    QMetaObject::invokeMethod(&dlg, "on_pushButton_dialog_ok_released");
    QCOMPARE(g_rollingSet.startVal, refused ? 0u : text.toUInt(nullptr, decimal ? 10 : 16));
}

void TestSettingsDialogs::autoBurnerExcludesAutoWrite_data()
{
    QTest::addColumn<bool>("autoWriteFirst");
    QTest::newRow("automatic burning, then handler machine") << true;
    QTest::newRow("handler machine, then automatic burning") << false;
}

void TestSettingsDialogs::autoBurnerExcludesAutoWrite()
{
    QFETCH(bool, autoWriteFirst);
    boxes::Recorder rec;
    burnSettingDialog dlg;
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    auto *group = find<QGroupBox>(&dlg, "groupBox_autoBurner");
    auto *autoWrite = find<QCheckBox>(&dlg, "checkBox_autoWrite");
    if (autoWriteFirst) {
        autoWrite->setChecked(true);
        group->setChecked(true);
        click(&dlg, "on_groupBox_autoBurner_clicked", true);
        QVERIFY(!group->isChecked());
        QVERIFY(autoWrite->isChecked());
    } else {
        group->setChecked(true);
        QTest::mouseClick(autoWrite, Qt::LeftButton);
        QVERIFY(!autoWrite->isChecked());
        QVERIFY(group->isChecked());
    }
    QCOMPARE(rec.calls.size(), 1);
    QCOMPARE(rec.calls.at(0).title, QStringLiteral("警告"));
    QCOMPARE(rec.calls.at(0).text, QStringLiteral("机台烧录与自动烧录不能同时打开！"));
}

void TestSettingsDialogs::dialogLimitEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("shown");

    QTest::newRow("1000001") << "1000001" << "输入范围1-1000000,请重新输入" << "1";
    QTest::newRow("letters") << "abc" << "输入必须为数字,请重新输入" << "1";
    QTest::newRow("cleared") << "" << "" << "";
    QTest::newRow("500") << "500" << "" << "500";
}

void TestSettingsDialogs::dialogLimitEntry()
{
    QFETCH(QString, text);
    QFETCH(QString, box);
    boxes::Recorder rec;
    burnSettingDialog dlg;
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    auto *limit = find<QComboBox>(&dlg, "comboBox_limit");
    limit->setEditText(text);
    QCOMPARE(rec.texts(), box.isEmpty() ? QStringList() : QStringList{box});
    QTEST(limit->currentText(), "shown");
    if (!box.isEmpty()) {
        QCOMPARE(rec.calls.at(0).title, QStringLiteral("警告"));
        QCOMPARE(limit->currentIndex(), 0);
        QCOMPARE(limit->itemText(0), QStringLiteral("1"));
    }
}

void TestSettingsDialogs::okWithUntouchedLimitStoresZero()
{
    g_nLimitCount = 0;  // the dialog opens on the stored limit
    boxes::Recorder rec;
    auto *dlg = new burnSettingDialog;
    QSignalSpy done(dlg, &burnSettingDialog::sg_burn_setting_done);
    find<QGroupBox>(dlg, "groupBox_limit")->setChecked(true);
    QMetaObject::invokeMethod(dlg, "on_pushButton_burnSettingOk_released");
    QCOMPARE(g_nLimitCount, 0u);
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(1).toInt(), 1);
    QCOMPARE(done.at(0).at(0).toInt(), 0);
}

// The value fields are wide enough for the largest value: a narrow one scrolled and showed "234" for 1234.
void TestSettingsDialogs::serialFieldsShowWholeValues()
{
    boxes::Recorder rec;
    QPointer<serialNoDialog> dlg = new serialNoDialog;
    dlg->adjustSize();
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg));
    for (const char *name : {"comboBox_start_val", "comboBox_step", "comboBox_start_addr"}) {
        QLineEdit *edit = find<QComboBox>(dlg, name)->lineEdit();
        QVERIFY2(edit->fontMetrics().horizontalAdvance(QStringLiteral("4294967295")) <= edit->width(), name);
    }
    delete dlg;
}

// The handler machine is set up here: the dialog opens on the timings and levels held now, OK keeps them
// untouched, and every time and level can be edited within its range.
void TestSettingsDialogs::handlerMachineTimingsAndLevels_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("untouched") << "" << "" << true;
    QTest::newRow("start 65535") << "lineEdit_startTime" << "65535" << true;
    QTest::newRow("busy 0") << "lineEdit_BusyTime" << "0" << true;
    QTest::newRow("EOT 1000") << "lineEdit_EotTime" << "1000" << true;
    QTest::newRow("EOT 1001") << "lineEdit_EotTime" << "1001" << false;
    QTest::newRow("OK/NG 70000") << "lineEdit_OkNgTime" << "70000" << false;
    QTest::newRow("emptied field keeps its value") << "lineEdit_OkNgTime" << "" << true;
}

void TestSettingsDialogs::handlerMachineTimingsAndLevels()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    const autoBurner_seting_t held{100, 200, 10, 30, 1, 0, 1, 0};
    g_autoBurnerSet = held;
    boxes::Recorder rec;
    QPointer<burnSettingDialog> dlg = new burnSettingDialog;
    QSignalSpy done(dlg.data(), &burnSettingDialog::sg_burn_setting_done);
    find<QGroupBox>(dlg, "groupBox_autoBurner")->setChecked(true);
    for (const char *name : {"lineEdit_startTime", "lineEdit_BusyTime", "lineEdit_EotTime", "lineEdit_OkNgTime",
                             "comboBox_StartLevel", "comboBox_BusyLevel", "comboBox_OKLevel", "comboBox_NgLevel"})
        QVERIFY2(find<QWidget>(dlg, name)->isEnabled(), name);
    QCOMPARE(find<QLineEdit>(dlg, "lineEdit_BusyTime")->text(), QStringLiteral("200"));
    QCOMPARE(find<QComboBox>(dlg, "comboBox_OKLevel")->currentIndex(), 1);
    if (!field.isEmpty())
        find<QLineEdit>(dlg, field.toLatin1().constData())->setText(typed);
    QMetaObject::invokeMethod(dlg, "on_pushButton_burnSettingOk_released");
    QCOMPARE(done.count(), accepted ? 1 : 0);
    autoBurner_seting_t expected = held;
    if (accepted && !typed.isEmpty()) {
        const uint16_t value = uint16_t(typed.toUInt());
        if (field == QLatin1String("lineEdit_startTime"))
            expected.StartTime = value;
        else if (field == QLatin1String("lineEdit_BusyTime"))
            expected.BusyTime = value;
        else if (field == QLatin1String("lineEdit_EotTime"))
            expected.EotTime = value;
    }
    QCOMPARE(std::memcmp(&g_autoBurnerSet, &expected, sizeof expected), 0);
    QCOMPARE(rec.calls.size(), accepted ? 0 : 1);
    if (!accepted) {
        QVERIFY(dlg);
        delete dlg;
        return;
    }
    // The levels too.
    g_autoBurnerSet = held;
    QPointer<burnSettingDialog> again = new burnSettingDialog;
    find<QGroupBox>(again, "groupBox_autoBurner")->setChecked(true);
    find<QComboBox>(again, "comboBox_NgLevel")->setCurrentIndex(1);
    find<QComboBox>(again, "comboBox_StartLevel")->setCurrentIndex(0);
    QMetaObject::invokeMethod(again, "on_pushButton_burnSettingOk_released");
    QCOMPARE(int(g_autoBurnerSet.NgLevel), 1);
    QCOMPARE(int(g_autoBurnerSet.StartLevel), 0);
    QCOMPARE(g_autoBurnerSet.BusyTime, held.BusyTime);
}

void TestSettingsDialogs::clockFrequency_data()
{
    QTest::addColumn<QString>("freq");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("shown");

    QTest::newRow("35") << "35" << false << "32.0";
    QTest::newRow("19.9") << "19.9" << false << "20.0";
    QTest::newRow("24.5") << "24.5" << true << "24.5";
}

void TestSettingsDialogs::clockFrequency()
{
    QFETCH(QString, freq);
    QFETCH(bool, accepted);
    boxes::Recorder rec;
    QPointer<burnSettingDialog> dlg = new burnSettingDialog;
    QSignalSpy done(dlg.data(), &burnSettingDialog::sg_burn_setting_done);
    auto *combo = find<QComboBox>(dlg, "comboBox_Freq");
    combo->setEditText(freq);
    QMetaObject::invokeMethod(dlg, "on_pushButton_burnSettingOk_released");
    QCOMPARE(done.count(), accepted ? 1 : 0);
    if (accepted) {
        QCOMPARE(g_fClockFreq, 24.5f);
        QCOMPARE(qRound(g_fClockFreq * 10), 245);
        QVERIFY(rec.calls.isEmpty());
    } else {
        QTEST(combo->currentText(), "shown");
        QCOMPARE(rec.texts(), QStringList{QStringLiteral("时钟范围20.0-32.0MHz")});
        QCOMPARE(g_fClockFreq, 100.0f);
        QVERIFY(dlg);
        delete dlg;
    }
}

void TestSettingsDialogs::firstOpeningShows27()
{
    burnSettingDialog first;
    QCOMPARE(find<QComboBox>(&first, "comboBox_Freq")->currentText(), QStringLiteral("27.0"));
    g_fClockFreq = 24.5f;
    burnSettingDialog later;
    QCOMPARE(find<QComboBox>(&later, "comboBox_Freq")->currentText(), QStringLiteral("24.5"));
}

void TestSettingsDialogs::openingShowsStoredSettings()
{
    const auto restore = qScopeGuard([] {
        g_autoBurnerSet = autoBurner_seting_t{};
        g_bEnAutoBurner = g_bEnLimit = g_bEnUploadProtect = g_bEnAutoWrite = g_bUartMode = false;
        g_bCaliAdc = g_bCaliClock = g_bCaliOnly = g_bNoAdcParamCheck = false;
        g_nLimitCount = 0;
    });
    g_autoBurnerSet = autoBurner_seting_t{5, 6, 7, 8, 1, 0, 1, 0};
    g_bEnAutoBurner = true;
    g_bEnLimit = true;
    g_nLimitCount = 500;
    g_bEnUploadProtect = true;
    g_bUartMode = true;
    g_bCaliAdc = true;
    g_bCaliClock = true;
    g_fClockFreq = 24.5f;

    boxes::Recorder rec;
    QPointer<burnSettingDialog> dlg = new burnSettingDialog;
    QSignalSpy done(dlg.data(), &burnSettingDialog::sg_burn_setting_done);
    QVERIFY(find<QGroupBox>(dlg, "groupBox_autoBurner")->isChecked());
    QVERIFY(find<QGroupBox>(dlg, "groupBox_limit")->isChecked());
    QCOMPARE(find<QComboBox>(dlg, "comboBox_limit")->currentText(), QStringLiteral("500"));
    QCOMPARE(find<QLineEdit>(dlg, "lineEdit_EotTime")->text(), QStringLiteral("7"));
    QVERIFY(!find<QCheckBox>(dlg, "checkBox_autoWrite")->isChecked());

    // 确定 without a change reports and stores exactly what was there.
    QMetaObject::invokeMethod(dlg, "on_pushButton_burnSettingOk_released");
    QVERIFY(rec.calls.isEmpty());
    QCOMPARE(done.count(), 1);
    const QList<QVariant> expected = {1, 1, 1, 0, 1, int(burn::CaliAdc | burn::CaliClock)};
    QCOMPARE(done.at(0), expected);
    QCOMPARE(g_nLimitCount, 500u);
    const autoBurner_seting_t a = g_autoBurnerSet;
    QCOMPARE(QVector<int>({a.StartTime, a.BusyTime, a.EotTime, a.OkNgTime, a.StartLevel, a.BusyLevel, a.OkLevel,
                           a.NgLevel}),
             QVector<int>({5, 6, 7, 8, 1, 0, 1, 0}));
    QCOMPARE(g_fClockFreq, 24.5f);
}

void TestSettingsDialogs::calibrateOnly_data()
{
    QTest::addColumn<bool>("adc");
    QTest::addColumn<int>("word");
    QTest::newRow("alone") << false << -1;
    QTest::newRow("with ADC") << true << 5;
}

void TestSettingsDialogs::calibrateOnly()
{
    QFETCH(bool, adc);
    QFETCH(int, word);
    boxes::Recorder rec;
    QPointer<burnSettingDialog> dlg = new burnSettingDialog;
    QSignalSpy done(dlg.data(), &burnSettingDialog::sg_burn_setting_done);
    find<QCheckBox>(dlg, "checkBox_CaliOnly")->setChecked(true);
    find<QCheckBox>(dlg, "checkBox_Adc")->setChecked(adc);
    QMetaObject::invokeMethod(dlg, "on_pushButton_burnSettingOk_released");
    if (word < 0) {
        QCOMPARE(rec.texts(), QStringList{QStringLiteral("没有选择校准项!")});
        QCOMPARE(done.count(), 0);
        delete dlg;
    } else {
        QVERIFY(rec.calls.isEmpty());
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(5).toInt(), word);
    }
}

void TestSettingsDialogs::pageLimit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("0 stores 1") << "0" << 1u << "1";
    QTest::newRow("2000000 stores 1,000,000") << "2000000" << 1000000u << "1000000";
    QTest::newRow("250 as typed") << "250" << 250u << "250";
}

void TestSettingsDialogs::pageLimit()
{
    QFETCH(QString, text);
    boxes::Recorder rec;
    WriterFixture window;
    WriterSettingsPage page(&window);
    QSignalSpy summary(&page, &WriterSettingsPage::sg_summary_changed);
    auto *group = find<QGroupBox>(&window, "groupBox_limit");
    group->setChecked(true);
    emit group->clicked(true);
    QVERIFY(g_bEnLimit);
    QCOMPARE(g_nLimitCount, 1u);
    QCOMPARE(summary.count(), 1);
    auto *limit = find<QComboBox>(&window, "comboBox_limit");
    limit->setEditText(text);
    QTEST(uint(g_nLimitCount), "stored");
    QTEST(limit->currentText(), "shown");
    QVERIFY(rec.calls.isEmpty());
}

void TestSettingsDialogs::pageRollingEnable()
{
    boxes::Recorder rec;
    WriterFixture window;
    WriterSettingsPage page(&window);
    QSignalSpy summary(&page, &WriterSettingsPage::sg_summary_changed);
    g_rollingSet.setArea(RollingAreaFlash);
    g_rollingSet.startAdd = 0x100;
    g_rollingSet.bitSize = 2;
    emit find<QGroupBox>(&window, "groupBox_rolling")->clicked(true);
    QVERIFY(g_bEnRollCode);
    QCOMPARE(g_rollingSet.area(), uint8_t(RollingAreaNvr));
    QCOMPARE(g_rollingSet.bitSize & 7, 0);
    QCOMPARE(g_rollingSet.startAdd, 0x7FFu);
    QCOMPARE(find<QComboBox>(&window, "comboBox_start_add")->currentText(), QStringLiteral("0x7ff"));
    QCOMPARE(summary.count(), 1);

    // "EEP" on a chip without EEPROM goes back to "NVR".
    find<QComboBox>(&window, "comboBox_start_AreaSel")->setCurrentIndex(2);
    QCOMPARE(g_rollingSet.area(), uint8_t(RollingAreaFlash));
    QCOMPARE(g_rollingSet.startAdd, 0x7FFFu);
    find<QComboBox>(&window, "comboBox_start_AreaSel")->setCurrentIndex(1);
    QCOMPARE(find<QComboBox>(&window, "comboBox_start_AreaSel")->currentIndex(), 0);
    QCOMPARE(g_rollingSet.area(), uint8_t(RollingAreaNvr));
    QVERIFY(rec.calls.isEmpty());
}

void TestSettingsDialogs::pageAddressRefusalRestoresText()
{
    boxes::Recorder rec;
    WriterFixture window;
    WriterSettingsPage page(&window);
    emit find<QGroupBox>(&window, "groupBox_rolling")->clicked(true);
    auto *address = find<QComboBox>(&window, "comboBox_start_add");
    address->setEditText(QStringLiteral("0x"));
    QVERIFY(rec.calls.isEmpty());
    address->setEditText(QStringLiteral("0x1FE"));
    QCOMPARE(g_rollingSet.startAdd, 0x1FEu);
    address->setEditText(QStringLiteral("0x800"));
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("序列号超过NVR空间,请重新输入")});
    QCOMPARE(rec.calls.at(0).title, QStringLiteral("警告"));
    QCOMPARE(g_rollingSet.startAdd, 0x1FEu);
    QCOMPARE(address->currentText(), QStringLiteral("0x1fe"));

    // A BootLoader image that reaches the number is noted in the log pane, not refused.
    g_bEnBL = true;
    g_nNVRBinSize = 0x300;
    address->setEditText(QStringLiteral("0x2F0"));
    QCOMPARE(g_rollingSet.startAdd, 0x2F0u);
    QCOMPARE(find<QTextEdit>(&window, "textEdit_ErorLog")->toPlainText(),
             QStringLiteral("您输入的地址可能会覆盖BootLoader地址,请重新输入"));
    address->setEditText(QStringLiteral("0x400"));
    QVERIFY(find<QTextEdit>(&window, "textEdit_ErorLog")->toPlainText().isEmpty());
}

void TestSettingsDialogs::pageWidthRefusalFallsBackTo8()
{
    boxes::Recorder rec;
    WriterFixture window;
    WriterSettingsPage page(&window);
    emit find<QGroupBox>(&window, "groupBox_rolling")->clicked(true);
    find<QComboBox>(&window, "comboBox_start_add")->setEditText(QStringLiteral("0x1FC"));
    auto *width = find<QComboBox>(&window, "comboBox_bitsize");
    width->setCurrentIndex(1);
    QCOMPARE(g_rollingSet.bitSize & 7, 1);
    width->setCurrentIndex(3);
    QCOMPARE(g_rollingSet.bitSize & 7, 3);
    find<QComboBox>(&window, "comboBox_start_add")->setEditText(QStringLiteral("0x1FD"));
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("序列号跨越两个扇区,请重新输入")});
    width->setCurrentIndex(0);
    find<QComboBox>(&window, "comboBox_start_add")->setEditText(QStringLiteral("0x1FE"));
    width->setCurrentIndex(2);
    QCOMPARE(rec.texts().last(), QStringLiteral("序列号跨越两个扇区,请重新选择"));
    QCOMPARE(width->currentIndex(), 0);
    QCOMPARE(g_rollingSet.bitSize & 7, 0);
}

void TestSettingsDialogs::pageSwitchesAndDoneSlots()
{
    boxes::Recorder rec;
    WriterFixture window;
    WriterSettingsPage page(&window);
    QSignalSpy summary(&page, &WriterSettingsPage::sg_summary_changed);
    emit find<QGroupBox>(&window, "groupBox_autoBurner")->clicked(true);
    QVERIFY(g_bEnAutoBurner);
    emit find<QCheckBox>(&window, "checkBox_baohu_writer_flash")->clicked(true);
    QVERIFY(g_bEnUploadProtect);
    find<QLineEdit>(&window, "lineEdit_BusyTime")->setText(QStringLiteral("321"));
    QCOMPARE(g_autoBurnerSet.BusyTime, uint16_t(321));
    find<QLineEdit>(&window, "lineEdit_BusyTime")->setText(QStringLiteral("0"));
    QCOMPARE(g_autoBurnerSet.BusyTime, uint16_t(321));
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("您输入的数据不是10进制,请重新输入")});
    find<QComboBox>(&window, "comboBox_OKLevel")->setCurrentIndex(1);
    QCOMPARE(g_autoBurnerSet.OkLevel, uint8_t(1));

    page.burnSettingDone(0, 0, 0, 0, 0, 3);
    QCOMPARE(find<QLabel>(&window, "label_autoBurnState")->text(), QStringLiteral("Disable"));
    QVERIFY(g_bCaliAdc && g_bCaliClock && !g_bEnAutoBurner);
    page.burnSettingDone(0, 0, 0, 0, 1, 0);
    QCOMPARE(find<QLabel>(&window, "label_autoBurnState")->text(), QStringLiteral("Enable"));
    g_bEnEncryption = true;
    page.passwordSettingDone();
    QCOMPARE(find<QLabel>(&window, "label_serialNoState")->text(), QStringLiteral("Enable"));
    g_bEnEncryption = false;
    page.serialNoSettingDone();
    QCOMPARE(find<QLabel>(&window, "label_serialNoState")->text(), QStringLiteral("Disable"));
    QCOMPARE(summary.count(), 6);
}

void TestSettingsDialogs::pageShowRecordsWritesNothing()
{
    boxes::Recorder rec;
    WriterFixture window;
    WriterSettingsPage page(&window);
    g_bEnRollCode = true;
    g_rollingSet = {0x7F00, 0x1234, 1, 2, 1, 0x80};
    g_rollingSet.setArea(RollingAreaFlash);
    g_bEnLimit = true;
    g_nLimitCount = 77;
    const rolling_seting_t before = g_rollingSet;
    page.showRecords();
    QVERIFY(rec.calls.isEmpty());
    QCOMPARE(std::memcmp(&before, &g_rollingSet, sizeof before), 0);
    QCOMPARE(find<QComboBox>(&window, "comboBox_start_AreaSel")->currentText(), QStringLiteral("FLASH"));
    QCOMPARE(find<QComboBox>(&window, "comboBox_start_val")->currentText(), QStringLiteral("1234"));
    QCOMPARE(find<QComboBox>(&window, "comboBox_bitsize")->currentIndex(), 1);
    QCOMPARE(find<QComboBox>(&window, "comboBox_limit")->currentText(), QStringLiteral("77"));
    QVERIFY(find<QGroupBox>(&window, "groupBox_limit")->isChecked());
    QCOMPARE(find<QLabel>(&window, "label_serialNoState")->text(), QStringLiteral("Enable"));

    // The next area choice takes effect at once.
    find<QComboBox>(&window, "comboBox_start_AreaSel")->setCurrentIndex(0);
    QCOMPARE(g_rollingSet.area(), uint8_t(RollingAreaNvr));
}

QTEST_MAIN(TestSettingsDialogs)
#include "tst_settingsdialogs.moc"
