#include "options/nvroptionspage.h"
#include "options/usercfgdialog.h"

#include "boxes/boxes.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "production/productionsettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>

#include <cstring>

namespace {

void selectChip(uint32_t id)
{
    g_currentMcu = McuInfo();
    g_currentMcu.nArch = MCU_ARCH_8051;
    g_currentMcu.nID = id;
    g_currentMcu.nFlashSizeKB = 32;
    const bool small = id == 0x2710;
    g_currentMcu.nBootSectors = small ? 2 : 13;
    g_currentMcu.nNvr2Page = small ? 3 : 14;
    g_currentMcu.nNvr3Page = small ? 4 : 15;
    g_currentMcu.nSectorSize = 512;
    g_currentMcu.strNvr2Options = QStringLiteral("1-1-1-0-0-1");
    resetImages();
    resetProduction();
}

template <typename T> T *find(QObject *w, const char *name)
{
    T *child = w->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no %s", name);
    return child;
}

// The window's NVR option controls, as mcu_writer.ui names them.
class NvrFixture : public QWidget
{
public:
    NvrFixture()
    {
        auto *nvr2 = addGroup("groupBox_NVR2");
        for (const char *n : {"checkBox_IDCODE", "checkBox_codeReadProtect", "checkBox_POR_delay", "checkBox_NVR_Start",
                              "checkBox_UserNVRCanNotWrite"})
            (new QCheckBox(nvr2))->setObjectName(n);
        for (const char *n : {"lineEdit_idcode0", "lineEdit_idcode1", "lineEdit_idcode2"})
            (new QLineEdit(nvr2))->setObjectName(n);
        for (const char *n : {"radioButton_rst_rst", "radioButton_Z"})
            (new QRadioButton(nvr2))->setObjectName(n);
        auto *nvr3 = addGroup("groupBox_NVR3");
        for (const char *n : {"checkBox_bandgapTrimming", "checkBox_LDOTrimming", "checkBox_ADCTring", "checkBox_LRC",
                              "checkBox_HRC", "checkBox_MRC", "checkBox_TouchKey", "checkBox_flashMask",
                              "checkBox_ADCMask", "checkBox_OP0Mask", "checkBox_OP1Mask", "checkBox_CmpMask",
                              "checkBox_canNotRW_CFG"})
            (new QCheckBox(nvr3))->setObjectName(n);
        for (const char *n : {"lineEdit_MADR", "lineEdit_CHIP"})
            (new QLineEdit(nvr3))->setObjectName(n);
        for (const char *n : {"label_nvr2", "label_userCfgState"})
            (new QLabel(this))->setObjectName(n);
        auto *table = new QTableWidget(512, 3, this);
        table->setObjectName("tableWidgetNVRFac");
        (new QTextEdit(this))->setObjectName("textEdit_ErorLog");
    }

    QString log() const { return ::find<QTextEdit>(const_cast<NvrFixture *>(this), "textEdit_ErorLog")->toPlainText(); }

private:
    QGroupBox *addGroup(const char *name)
    {
        auto *g = new QGroupBox(this);
        g->setObjectName(name);
        g->setCheckable(true);
        g->setChecked(false);
        return g;
    }
};

void clickBox(QWidget *window, const char *name)
{
    find<QAbstractButton>(window, name)->click();
}

} // namespace

class TestOptionsDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void freshImageView();
    void highZDefaultOnFirstOpening();
    void pinConflictWritesNothing_data();
    void pinConflictWritesNothing();
    void okWithGroupUncheckedKeepsImage();
    void okWritesImage();
    void smallChipForm();
    void lockWarns();

    void checkingNvr2ErasesOptions();
    void idcodeField_data();
    void idcodeField();
    void confirmations_data();
    void confirmations();
    void nvr3Entries();
    void nvr3View();
    void visibilityAndLog();
    void factoryParameters();
    void userCfgDone();
};

void TestOptionsDialogs::init()
{
    selectChip(0x2611);
    userCfgDialog::resetHighZDefault();
}

void TestOptionsDialogs::freshImageView()
{
    userCfgDialog dlg;
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    QVERIFY(!find<QCheckBox>(&dlg, "checkBox_flashReadProtect")->isChecked());
    QVERIFY(!find<QCheckBox>(&dlg, "checkBox_flashWriteProtect")->isChecked());
    QCOMPARE(find<QComboBox>(&dlg, "comboBox_resetPin1Mode")->currentText(), QStringLiteral("复位"));
    QCOMPARE(find<QComboBox>(&dlg, "comboBox_resetPin2Mode")->currentText(), QStringLiteral("高阻"));
    QCOMPARE(find<QComboBox>(&dlg, "comboBox_powerOnDelay")->currentText(), QStringLiteral("打开"));
    QCOMPARE(find<QComboBox>(&dlg, "comboBox_bootSelect")->currentText(), QStringLiteral("FLASH"));
    QVERIFY(!find<QGroupBox>(&dlg, "groupBox_i2cPinCfg")->isChecked());
    QVERIFY(!find<QGroupBox>(&dlg, "groupBox_uartPinCfg")->isChecked());
    QVERIFY(!find<QCheckBox>(&dlg, "checkBox_userCfgLock")->isChecked());
    QCOMPARE(find<QComboBox>(&dlg, "comboBox_i2cSdaPinSelect")->count(), 26);
    QCOMPARE(find<QLabel>(&dlg, "label_lock")->styleSheet(), QStringLiteral("color:rgb(255,0,0);"));
}

void TestOptionsDialogs::highZDefaultOnFirstOpening()
{
    selectChip(0x2610);
    {
        userCfgDialog first;
        first.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(find<QComboBox>(&first, "comboBox_resetPin1Mode")->currentText(), QStringLiteral("高阻"));
    }
    g_ucNVRBuf2[0x30] = 0xFF;
    userCfgDialog second;
    second.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(find<QComboBox>(&second, "comboBox_resetPin1Mode")->currentText(), QStringLiteral("复位"));
}

void TestOptionsDialogs::pinConflictWritesNothing_data()
{
    QTest::addColumn<bool>("uart");
    QTest::addColumn<int>("sda");
    QTest::addColumn<int>("scl");
    QTest::addColumn<int>("rx");
    QTest::addColumn<QString>("error");

    QTest::newRow("SDA = SCL, both P00") << false << 0 << 0 << 1 << "SDA与SCL设置不能相同";
    QTest::newRow("SDA = RX, both P10") << true << 8 << 1 << 8 << "SDA与RX设置不能相同";
}

void TestOptionsDialogs::pinConflictWritesNothing()
{
    QFETCH(bool, uart);
    QFETCH(int, sda);
    QFETCH(int, scl);
    QFETCH(int, rx);
    QFETCH(QString, error);
    boxes::Recorder rec;
    QPointer<userCfgDialog> dlg = new userCfgDialog;
    QSignalSpy done(dlg.data(), &userCfgDialog::sg_user_cfg_done);
    find<QGroupBox>(dlg, "groupBox_userCfg")->setChecked(true);
    find<QGroupBox>(dlg, "groupBox_i2cPinCfg")->setChecked(true);
    find<QGroupBox>(dlg, "groupBox_uartPinCfg")->setChecked(uart);
    find<QComboBox>(dlg, "comboBox_i2cSdaPinSelect")->setCurrentIndex(sda);
    find<QComboBox>(dlg, "comboBox_i2cSclPinSelect")->setCurrentIndex(scl);
    find<QComboBox>(dlg, "comboBox_uart1TxPinSelect")->setCurrentIndex(20);
    find<QComboBox>(dlg, "comboBox_uart1RxPinSelect")->setCurrentIndex(rx);
    QMetaObject::invokeMethod(dlg, "on_pushButton_ok_released");
    QCOMPARE(rec.calls.size(), 1);
    QCOMPARE(rec.calls.at(0).title, QStringLiteral("错误"));
    QCOMPARE(rec.calls.at(0).text, error);
    QCOMPARE(done.count(), 0);
    QVERIFY(!g_bEnNVR2);
    QVERIFY(nvropt::allBytes(g_ucNVRBuf2, 0, NVR_BUF_SIZE, 0xFF));
    QVERIFY(dlg);
    delete dlg;
}

void TestOptionsDialogs::okWithGroupUncheckedKeepsImage()
{
    g_bEnNVR2 = true;
    g_ucNVRBuf2[0x38] = 0xAA;
    auto *dlg = new userCfgDialog;
    QSignalSpy done(dlg, &userCfgDialog::sg_user_cfg_done);
    find<QGroupBox>(dlg, "groupBox_userCfg")->setChecked(false);
    find<QComboBox>(dlg, "comboBox_powerOnDelay")->setCurrentIndex(0);
    QMetaObject::invokeMethod(dlg, "on_pushButton_ok_released");
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toInt(), 0);
    QVERIFY(!g_bEnNVR2);
    QCOMPARE(g_ucNVRBuf2[0x38], uint8_t(0xAA));
}

void TestOptionsDialogs::okWritesImage()
{
    std::memset(g_ucNVRBuf2 + 0x600, 0x12, 0x10);
    auto *dlg = new userCfgDialog;
    QSignalSpy done(dlg, &userCfgDialog::sg_user_cfg_done);
    find<QGroupBox>(dlg, "groupBox_userCfg")->setChecked(true);
    find<QCheckBox>(dlg, "checkBox_flashReadProtect")->setChecked(true);
    find<QComboBox>(dlg, "comboBox_bootSelect")->setCurrentIndex(1);
    find<QGroupBox>(dlg, "groupBox_uartPinCfg")->setChecked(true);
    find<QComboBox>(dlg, "comboBox_uart1TxPinSelect")->setCurrentIndex(25);
    find<QComboBox>(dlg, "comboBox_uart1RxPinSelect")->setCurrentIndex(24);
    QMetaObject::invokeMethod(dlg, "on_pushButton_ok_released");
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toInt(), 1);
    QVERIFY(g_bEnNVR2);
    QVERIFY(nvropt::allBytes(g_ucNVRBuf2, 0x10, 16, 0xAA));
    QCOMPARE(g_ucNVRBuf2[0x39], uint8_t(0xAA));
    QCOMPARE(g_ucNVRBuf2[0x43], uint8_t(0xAA));
    QCOMPARE(g_ucNVRBuf2[0x44], uint8_t(25));
    QCOMPARE(g_ucNVRBuf2[0x45], uint8_t(24));
    QCOMPARE(g_ucNVRBuf2[0x40], uint8_t(0xFF));
    QCOMPARE(g_ucNVRBuf2[0x41], uint8_t(0xFF));
    QVERIFY(nvropt::allBytes(g_ucNVRBuf2, 0x600, 0x10, 0xFF));
}

void TestOptionsDialogs::smallChipForm()
{
    selectChip(0x2710);
    userCfgDialog dlg;
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(find<QLabel>(&dlg, "label_resetPin1Mode")->text(), QStringLiteral("P02上电模式"));
    QVERIFY(find<QComboBox>(&dlg, "comboBox_bootSelect")->isHidden());
    QVERIFY(find<QCheckBox>(&dlg, "checkBox_flashWriteProtect")->isHidden());
    QVERIFY(find<QLabel>(&dlg, "label_hint")->isHidden());
    QCOMPARE(find<QComboBox>(&dlg, "comboBox_uart1RxPinSelect")->count(), 18);
}

void TestOptionsDialogs::lockWarns()
{
    boxes::Recorder rec;
    userCfgDialog dlg;
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    find<QGroupBox>(&dlg, "groupBox_userCfg")->setChecked(true);
    auto *lock = find<QCheckBox>(&dlg, "checkBox_userCfgLock");
    lock->click();
    QVERIFY(lock->isChecked());
    QCOMPARE(rec.calls.size(), 1);
    QCOMPARE(rec.calls.at(0).title, QStringLiteral("警告"));
    QVERIFY(rec.calls.at(0).text.startsWith(QStringLiteral("锁定后所有用户配置将无法再更改")));
}

void TestOptionsDialogs::checkingNvr2ErasesOptions()
{
    boxes::Recorder rec;
    NvrFixture window;
    NvrOptionsPage page(&window);
    QSignalSpy summary(&page, &NvrOptionsPage::sg_summary_changed);
    std::memset(g_ucNVRBuf2, 0xAA, NVR_BUF_SIZE);
    g_ucNVRBuf2[0x50] = 0x5A;
    page.showNvr2();
    QVERIFY(find<QCheckBox>(&window, "checkBox_IDCODE")->isChecked());
    QVERIFY(find<QRadioButton>(&window, "radioButton_Z")->isChecked());
    find<QGroupBox>(&window, "groupBox_NVR2")->setChecked(true);
    emit find<QGroupBox>(&window, "groupBox_NVR2")->clicked(true);
    QVERIFY(g_bEnNVR2);
    QVERIFY(nvropt::allBytes(g_ucNVRBuf2, 0, NVR_BUF_SIZE, 0xFF));
    for (const char *n : {"checkBox_IDCODE", "checkBox_codeReadProtect", "checkBox_POR_delay", "checkBox_NVR_Start",
                          "checkBox_UserNVRCanNotWrite"})
        QVERIFY2(!find<QCheckBox>(&window, n)->isChecked(), n);
    QVERIFY(find<QRadioButton>(&window, "radioButton_rst_rst")->isChecked());
    QCOMPARE(find<QLineEdit>(&window, "lineEdit_idcode0")->text(), QStringLiteral("FF"));
    QCOMPARE(find<QLabel>(&window, "label_nvr2")->text(), QString::asprintf("%04X", (512 * 0xFF) & 0xFFFF));
    emit find<QGroupBox>(&window, "groupBox_NVR2")->clicked(false);
    QCOMPARE(find<QLabel>(&window, "label_nvr2")->text(), QStringLiteral("****"));
    QCOMPARE(summary.count(), 2);
    QVERIFY(rec.calls.isEmpty());
}

void TestOptionsDialogs::idcodeField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("byte");
    QTest::addColumn<bool>("box");

    QTest::newRow("1g") << "1g" << 0x33 << true;
    QTest::newRow("0x") << "0x" << 0x33 << false;
    QTest::newRow("5a") << "5a" << 0x5A << false;
}

void TestOptionsDialogs::idcodeField()
{
    QFETCH(QString, text);
    QFETCH(bool, box);
    boxes::Recorder rec;
    NvrFixture window;
    NvrOptionsPage page(&window);
    g_ucNVRBuf2[0x11] = 0x33;
    auto *field = find<QLineEdit>(&window, "lineEdit_idcode0");
    field->setText(text);
    emit field->editingFinished();
    QTEST(int(g_ucNVRBuf2[0x11]), "byte");
    QCOMPARE(rec.texts(), box ? QStringList{QStringLiteral("您输入的数据不是16进制,请重新输入")} : QStringList());
    if (box)
        QCOMPARE(rec.calls.at(0).title, QStringLiteral("警告"));
}

void TestOptionsDialogs::confirmations_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("nvr3");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("onByte");
    QTest::addColumn<QString>("title");

    QTest::newRow("POR delay") << "checkBox_POR_delay" << false << 0x51 << 0x5A << "提示";
    QTest::newRow("user NVR lock") << "checkBox_UserNVRCanNotWrite" << false << 0x60 << 0xAA << "警告";
    QTest::newRow("NVR3 lock") << "checkBox_canNotRW_CFG" << true << 0x7F << 0xAA << "提示";
}

void TestOptionsDialogs::confirmations()
{
    QFETCH(QString, box);
    QFETCH(bool, nvr3);
    QFETCH(int, offset);
    QFETCH(int, onByte);
    QFETCH(QString, title);
    const QByteArray name = box.toLatin1();
    const uint8_t *image = nvr3 ? g_ucNVRBuf3 : g_ucNVRBuf2;
    NvrFixture window;
    NvrOptionsPage page(&window);
    find<QGroupBox>(&window, nvr3 ? "groupBox_NVR3" : "groupBox_NVR2")->setChecked(true);
    {
        boxes::Recorder rec;
        rec.fallback.button = QMessageBox::No;
        clickBox(&window, name.constData());
        QVERIFY(!find<QCheckBox>(&window, name.constData())->isChecked());
        QCOMPARE(image[offset], uint8_t(0xFF));
        QCOMPARE(rec.calls.size(), 1);
        QCOMPARE(rec.calls.at(0).kind, boxes::Kind::Question);
        QCOMPARE(rec.calls.at(0).title, title);
    }
    boxes::Recorder rec;
    rec.fallback.button = QMessageBox::Yes;
    clickBox(&window, name.constData());
    QVERIFY(find<QCheckBox>(&window, name.constData())->isChecked());
    QCOMPARE(image[offset], uint8_t(onByte));
    clickBox(&window, name.constData());
    QCOMPARE(image[offset], uint8_t(0xFF));
    QCOMPARE(rec.calls.size(), 1);
}

void TestOptionsDialogs::nvr3Entries()
{
    boxes::Recorder rec;
    NvrFixture window;
    NvrOptionsPage page(&window);
    find<QGroupBox>(&window, "groupBox_NVR3")->setChecked(true);
    g_bEnNVR3 = true;
    auto *chip = find<QLineEdit>(&window, "lineEdit_CHIP");
    chip->setText(QStringLiteral("ABCD"));
    QCOMPARE(g_ucNVRBuf3[0x50], uint8_t(0xCD));
    QCOMPARE(g_ucNVRBuf3[0x51], uint8_t(0xAB));
    QCOMPARE(g_nNVRCheckSum3, sum16(g_ucNVRBuf3, 512));
    auto *madr = find<QLineEdit>(&window, "lineEdit_MADR");
    madr->setText(QStringLiteral("80"));
    QCOMPARE(g_ucNVRBuf3[0x23], uint8_t(0x80));
    QVERIFY(rec.calls.isEmpty());
    madr->setText(QStringLiteral("81"));
    QCOMPARE(g_ucNVRBuf3[0x23], uint8_t(0x80));
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("您输入的数据不是10进制或大于0x80,请重新输入")});
    clickBox(&window, "checkBox_TouchKey");
    QCOMPARE(g_ucNVRBuf3[0x20], uint8_t(0xAA));
    QCOMPARE(g_ucNVRBuf3[0x21], uint8_t(0x68));
    clickBox(&window, "checkBox_HRC");
    QCOMPARE(g_ucNVRBuf3[nvropt::HrcMarkerOffset], uint8_t(0xAA));
}

void TestOptionsDialogs::nvr3View()
{
    boxes::Recorder rec;
    NvrFixture window;
    NvrOptionsPage page(&window);
    g_ucNVRBuf3[0x20] = 0xAA;
    g_ucNVRBuf3[0x21] = 0x67;
    g_ucNVRBuf3[0x24] = 0xAA;
    g_ucNVRBuf3[0x25] = 0x68;
    g_ucNVRBuf3[nvropt::HrcMarkerOffset] = 0xAA;
    g_ucNVRBuf3[0x50] = 0x34;
    g_ucNVRBuf3[0x51] = 0x12;
    emit find<QGroupBox>(&window, "groupBox_NVR3")->clicked(true);
    QVERIFY(g_bEnNVR3);
    QVERIFY(!find<QCheckBox>(&window, "checkBox_TouchKey")->isChecked());
    QVERIFY(find<QCheckBox>(&window, "checkBox_ADCMask")->isChecked());
    QVERIFY(find<QCheckBox>(&window, "checkBox_HRC")->isChecked());
    QCOMPARE(find<QLineEdit>(&window, "lineEdit_CHIP")->text(), QStringLiteral("1234"));
    QCOMPARE(find<QLineEdit>(&window, "lineEdit_MADR")->text(), QStringLiteral("FF"));
    QCOMPARE(g_ucNVRBuf3[0x23], uint8_t(0xFF));
    QVERIFY(rec.calls.isEmpty());
}

void TestOptionsDialogs::visibilityAndLog()
{
    NvrFixture window;
    NvrOptionsPage page(&window);
    QVERIFY(page.applyNvr2Visibility(QStringLiteral("1-1-1-0-0-1")));
    QVERIFY(window.log().isEmpty());
    QVERIFY(!find<QCheckBox>(&window, "checkBox_IDCODE")->isHidden());
    QVERIFY(find<QCheckBox>(&window, "checkBox_POR_delay")->isHidden());
    QVERIFY(!page.applyNvr2Visibility(QStringLiteral("0-1")));
    QCOMPARE(window.log(), QStringLiteral("initNVR2 string error"));
    QVERIFY(find<QLineEdit>(&window, "lineEdit_idcode2")->isHidden());
    QVERIFY(find<QRadioButton>(&window, "radioButton_Z")->isHidden());
    QVERIFY(!find<QCheckBox>(&window, "checkBox_codeReadProtect")->isHidden());
}

void TestOptionsDialogs::factoryParameters()
{
    NvrFixture window;
    NvrOptionsPage page(&window);
    g_ucNVRBuf3[0x11] = 0x98;  // 24,984 kHz
    g_ucNVRBuf3[0x12] = 0x61;
    g_ucNVRBuf3[0x0E] = 0x5A;
    page.showFactoryParameters();
    QCOMPARE(window.log(), QStringLiteral("主频: 24.98MHz"));
    auto *table = find<QTableWidget>(&window, "tableWidgetNVRFac");
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("1c00"));
    QCOMPARE(table->item(0x0E, 1)->text(), QStringLiteral("5a"));
    QVERIFY(table->item(0x0E, 2)->text().contains(QStringLiteral("HRC")));
    QCOMPARE(table->item(511, 0)->text(), QStringLiteral("1dff"));
    QVERIFY(table->item(511, 2)->text().isEmpty());
}

void TestOptionsDialogs::userCfgDone()
{
    NvrFixture window;
    NvrOptionsPage page(&window);
    QSignalSpy summary(&page, &NvrOptionsPage::sg_summary_changed);
    g_ucNVRBuf2[0] = 0x00;
    page.userCfgDone(1);
    QCOMPARE(find<QLabel>(&window, "label_userCfgState")->text(), QStringLiteral("Enable"));
    QCOMPARE(find<QLabel>(&window, "label_nvr2")->text(), QString::asprintf("%04X", (511 * 0xFF) & 0xFFFF));
    page.userCfgDone(0);
    QCOMPARE(find<QLabel>(&window, "label_userCfgState")->text(), QStringLiteral("Disable"));
    QCOMPARE(find<QLabel>(&window, "label_nvr2")->text(), QStringLiteral("****"));
    QCOMPARE(summary.count(), 2);
}

QTEST_MAIN(TestOptionsDialogs)
#include "tst_optionsdialogs.moc"
