#include "usercfgdialog.h"
#include "ui_usercfgdialog.h"

#include "appdir/appdir.h"
#include "boxes/boxes.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"

#include <QIcon>

namespace {

bool g_bHighZDefaultPending = true;

const QString kRed = QStringLiteral("color:rgb(255,0,0);");

} // namespace

userCfgDialog::userCfgDialog(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::userCfgDialog>())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(appDir() + QStringLiteral("/logo.png")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    if (g_currentMcu.nID == nvropt::HighZDefaultChipId && g_bHighZDefaultPending) {
        g_ucNVRBuf2[0x30] = nvropt::On;
        g_bHighZDefaultPending = false;
    }
    loadControls();
}

userCfgDialog::~userCfgDialog() = default;

void userCfgDialog::resetHighZDefault()
{
    g_bHighZDefaultPending = true;
}

bool userCfgDialog::smallChip() const
{
    return g_currentMcu.nID == nvropt::SmallChipId;
}

void userCfgDialog::loadControls()
{
    const bool small = smallChip();
    if (small) {
        m_ui->label_hint->hide();
        m_ui->label_resetPin2Mode->hide();
        m_ui->comboBox_resetPin2Mode->hide();
        m_ui->label_bootSelect->hide();
        m_ui->comboBox_bootSelect->hide();
        m_ui->label_flashWriteProtect->hide();
        m_ui->checkBox_flashWriteProtect->hide();
        m_ui->label_resetPin1Mode->setText(QCoreApplication::translate("options", "P02上电模式"));
    }
    m_ui->groupBox_userCfg->setChecked(g_bEnNVR2);
    m_ui->groupBox_i2cPinCfg->setEnabled(g_bEnNVR2);
    m_ui->groupBox_uartPinCfg->setEnabled(g_bEnNVR2);

    const QStringList pins = nvropt::pinList(small);
    for (QComboBox *combo : {m_ui->comboBox_i2cSdaPinSelect, m_ui->comboBox_i2cSclPinSelect,
                             m_ui->comboBox_uart1TxPinSelect, m_ui->comboBox_uart1RxPinSelect}) {
        combo->clear();
        combo->addItems(pins);
    }

    const nvropt::UserCfg c = nvropt::readUserCfg(g_ucNVRBuf2);
    m_ui->checkBox_flashReadProtect->setChecked(c.readProtect);
    m_ui->comboBox_resetPin1Mode->setCurrentIndex(c.resetPin1Mode);
    m_ui->comboBox_powerOnDelay->setCurrentIndex(c.powerOnDelay);
    if (!small) {
        m_ui->checkBox_flashWriteProtect->setChecked(c.writeProtect);
        m_ui->comboBox_resetPin2Mode->setCurrentIndex(c.resetPin2Mode);
        m_ui->comboBox_bootSelect->setCurrentIndex(c.bootSelect);
    }
    // A pin byte beyond the list (0xFF when the group is off) leaves the combo without a selection.
    m_ui->groupBox_i2cPinCfg->setChecked(c.i2c);
    m_ui->comboBox_i2cSdaPinSelect->setCurrentIndex(c.sda < pins.size() ? c.sda : -1);
    m_ui->comboBox_i2cSclPinSelect->setCurrentIndex(c.scl < pins.size() ? c.scl : -1);
    m_ui->groupBox_uartPinCfg->setChecked(c.uart);
    m_ui->comboBox_uart1TxPinSelect->setCurrentIndex(c.tx < pins.size() ? c.tx : -1);
    m_ui->comboBox_uart1RxPinSelect->setCurrentIndex(c.rx < pins.size() ? c.rx : -1);
    m_ui->checkBox_userCfgLock->setChecked(c.lock);

    m_ui->label_lock->setStyleSheet(kRed);
    m_ui->label_hint->setStyleSheet(kRed);
}

nvropt::UserCfg userCfgDialog::controls() const
{
    nvropt::UserCfg c;
    c.readProtect = m_ui->checkBox_flashReadProtect->checkState() == Qt::Checked;
    c.writeProtect = m_ui->checkBox_flashWriteProtect->checkState() == Qt::Checked;
    c.resetPin1Mode = m_ui->comboBox_resetPin1Mode->currentIndex();
    c.resetPin2Mode = m_ui->comboBox_resetPin2Mode->currentIndex();
    c.powerOnDelay = m_ui->comboBox_powerOnDelay->currentIndex();
    c.bootSelect = m_ui->comboBox_bootSelect->currentIndex();
    c.i2c = m_ui->groupBox_i2cPinCfg->isChecked();
    c.sda = m_ui->comboBox_i2cSdaPinSelect->currentIndex();
    c.scl = m_ui->comboBox_i2cSclPinSelect->currentIndex();
    c.uart = m_ui->groupBox_uartPinCfg->isChecked();
    c.tx = m_ui->comboBox_uart1TxPinSelect->currentIndex();
    c.rx = m_ui->comboBox_uart1RxPinSelect->currentIndex();
    c.lock = m_ui->checkBox_userCfgLock->checkState() == Qt::Checked;
    return c;
}

void userCfgDialog::on_groupBox_userCfg_clicked(bool checked)
{
    m_ui->groupBox_i2cPinCfg->setEnabled(checked);
    m_ui->groupBox_uartPinCfg->setEnabled(checked);
}

void userCfgDialog::on_checkBox_userCfgLock_clicked(bool checked)
{
    if (checked)
        boxes::inform(this, QCoreApplication::translate("options", "警告"),
                      QCoreApplication::translate("options", "锁定后所有用户配置将无法再更改(如果FLASH写保护有勾选，锁定后将无法再烧录)，"
                                     "请确定是否锁定！"));
}

void userCfgDialog::on_pushButton_ok_clicked()
{
}

void userCfgDialog::on_pushButton_ok_released()
{
    const nvropt::UserCfg c = controls();
    const QString pinError = nvropt::checkPins(c);
    if (!pinError.isEmpty()) {
        boxes::inform(this, QCoreApplication::translate("options", "错误"), pinError);
        return;
    }
    if (m_ui->groupBox_userCfg->isChecked()) {
        g_bEnNVR2 = true;
        nvropt::writeUserCfg(g_ucNVRBuf2, c, smallChip());
        emit sg_user_cfg_done(1);
    } else {
        g_bEnNVR2 = false;
        emit sg_user_cfg_done(0);
    }
    close();
}

void userCfgDialog::on_pushButton_canncel_released()
{
    close();
}
