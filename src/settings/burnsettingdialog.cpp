#include "burnsettingdialog.h"
#include "ui_burnsettingdialog.h"

#include "appdir/appdir.h"
#include "boxes/boxes.h"
#include "production/burnrules.h"
#include "production/productionsettings.h"

#include <QDebug>
#include <QIcon>
#include <QIntValidator>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

QString warningText()
{
    return QCoreApplication::translate("settings", "警告");
}
QString exclusiveText()
{
    return QCoreApplication::translate("settings", "机台烧录与自动烧录不能同时打开！");
}

} // namespace

// The four timing fields, their value in g_autoBurnerSet and their largest value.
QList<burnSettingDialog::HandlerTime> burnSettingDialog::handlerTimes() const
{
    return {{m_ui->lineEdit_startTime, &autoBurner_seting_t::StartTime, 65535, m_ui->label_StartTime},
            {m_ui->lineEdit_BusyTime, &autoBurner_seting_t::BusyTime, 65535, m_ui->label_Busy_time},
            {m_ui->lineEdit_EotTime, &autoBurner_seting_t::EotTime, 1000, m_ui->label_Eot_time},
            {m_ui->lineEdit_OkNgTime, &autoBurner_seting_t::OkNgTime, 65535, m_ui->label_okNgTime}};
}

burnSettingDialog::burnSettingDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::burnSettingDialog>())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(appDir() + QStringLiteral("/logo.png")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    // The handler machine's timings and levels are set here, in milliseconds: the end-of-test time up to
    // 1000, the others up to 65535. The fields open on the values held now.
    for (const HandlerTime &t : handlerTimes()) {
        QLineEdit *field = t.field;
        field->setEnabled(true);
        field->setValidator(new QIntValidator(0, t.maximum, this));
        field->setToolTip(QCoreApplication::translate("settings", "毫秒，0 到 %1").arg(t.maximum));
    }
    for (QComboBox *level : {m_ui->comboBox_StartLevel, m_ui->comboBox_BusyLevel, m_ui->comboBox_OKLevel,
                             m_ui->comboBox_NgLevel})
        level->setEnabled(true);

    const QString freq = burn::openingClockText(g_fClockFreq);
    if (freq.isEmpty()) {
        m_ui->comboBox_Freq->setCurrentIndex(1);
    } else {
        m_ui->comboBox_Freq->setEditable(true);
        m_ui->comboBox_Freq->setEditText(freq);
    }

    showCurrentSettings();

    QLabel *labels[] = {m_ui->label_13,        m_ui->label_14,       m_ui->label_15,
                        m_ui->label_16,        m_ui->label_StartTime, m_ui->label_Busy_time,
                        m_ui->label_Eot_time,  m_ui->label_okNgTime};
    for (QLabel *label : labels) {
        label->show();
        label->setEnabled(true);
        label->setStyleSheet(QStringLiteral("color: black;"));
    }
}

burnSettingDialog::~burnSettingDialog() = default;

// The dialog opens on what is stored, so looking at it and pressing 确定 changes nothing.
void burnSettingDialog::showCurrentSettings()
{
    const autoBurner_seting_t &a = g_autoBurnerSet;
    m_ui->groupBox_autoBurner->setChecked(g_bEnAutoBurner);
    m_ui->lineEdit_startTime->setText(QString::number(a.StartTime));
    m_ui->lineEdit_BusyTime->setText(QString::number(a.BusyTime));
    m_ui->lineEdit_EotTime->setText(QString::number(a.EotTime));
    m_ui->lineEdit_OkNgTime->setText(QString::number(a.OkNgTime));
    m_ui->comboBox_StartLevel->setCurrentIndex(a.StartLevel ? 1 : 0);
    m_ui->comboBox_BusyLevel->setCurrentIndex(a.BusyLevel ? 1 : 0);
    m_ui->comboBox_OKLevel->setCurrentIndex(a.OkLevel ? 1 : 0);
    m_ui->comboBox_NgLevel->setCurrentIndex(a.NgLevel ? 1 : 0);
    m_ui->groupBox_limit->setChecked(g_bEnLimit);
    {
        const QSignalBlocker block(m_ui->comboBox_limit);
        m_ui->comboBox_limit->setEditText(QString::number(g_nLimitCount));
    }
    m_ui->checkBox_baohu_writer_flash->setChecked(g_bEnUploadProtect);
    m_ui->checkBox_autoWrite->setChecked(g_bEnAutoWrite);
    m_ui->checkBox_UartMode->setChecked(g_bUartMode);
    m_ui->checkBox_Adc->setChecked(g_bCaliAdc);
    m_ui->checkBox_Clock->setChecked(g_bCaliClock);
    m_ui->checkBox_CaliOnly->setChecked(g_bCaliOnly);
    m_ui->checkBox_adcParamCheck->setChecked(g_bNoAdcParamCheck);
}

void burnSettingDialog::on_groupBox_autoBurner_clicked(bool checked)
{
    if (checked && m_ui->checkBox_autoWrite->isChecked()) {
        boxes::inform(this, warningText(), exclusiveText());
        m_ui->groupBox_autoBurner->setChecked(false);
    }
}

void burnSettingDialog::on_checkBox_autoWrite_clicked(bool checked)
{
    if (checked && m_ui->groupBox_autoBurner->isChecked()) {
        boxes::inform(this, warningText(), exclusiveText());
        m_ui->checkBox_autoWrite->setChecked(false);
    }
}

void burnSettingDialog::on_groupBox_limit_clicked(bool)
{
}

void burnSettingDialog::on_pushButton_burnSettingOk_clicked(bool)
{
}

void burnSettingDialog::on_comboBox_limit_currentTextChanged(const QString &arg1)
{
    const QString warning = burn::dialogLimitWarning(arg1);
    if (warning.isEmpty())
        return;
    {
        const QSignalBlocker block(m_ui->comboBox_limit);
        m_ui->comboBox_limit->setItemText(0, QStringLiteral("1"));
        m_ui->comboBox_limit->setCurrentIndex(0);
        m_ui->comboBox_limit->setEditText(QStringLiteral("1"));
    }
    boxes::inform(this, warningText(), warning);
}

bool burnSettingDialog::calibrationAccepted()
{
    const burn::CalibrationCheck check =
        burn::checkCalibration(m_ui->checkBox_CaliOnly->isChecked(), m_ui->checkBox_Clock->isChecked(),
                               m_ui->checkBox_Adc->isChecked(), m_ui->comboBox_Freq->currentText());
    if (check.ok) {
        g_fClockFreq = check.freq;
        qDebug() << "clock freq = " << g_fClockFreq;
        return true;
    }
    if (!check.freqText.isEmpty())
        m_ui->comboBox_Freq->setEditText(check.freqText);
    boxes::inform(this, warningText(), check.warning);
    return false;
}

// A time out of its range is refused with the field named; an empty field keeps the value held now.
bool burnSettingDialog::handlerTimesAccepted()
{
    for (const HandlerTime &t : handlerTimes()) {
        QLineEdit *field = t.field;
        const QString text = field->text().trimmed();
        bool ok = false;
        const uint value = text.toUInt(&ok, 10);
        if (text.isEmpty() || (ok && value <= uint(t.maximum)))
            continue;
        field->setFocus();
        boxes::inform(this, warningText(),
                      QCoreApplication::translate("settings", "%1必须是0到%2之间的毫秒数")
                          .arg(t.label->text())
                          .arg(t.maximum));
        return false;
    }
    return true;
}

void burnSettingDialog::on_pushButton_burnSettingOk_released()
{
    if (!calibrationAccepted())
        return;
    if (m_ui->groupBox_autoBurner->isChecked() && !handlerTimesAccepted())
        return;

    int autoBurn = 0;
    if (m_ui->groupBox_autoBurner->isChecked()) {
        for (const HandlerTime &t : handlerTimes()) {
            const QString text = t.field->text().trimmed();
            if (!text.isEmpty())
                g_autoBurnerSet.*t.value = burn::dialogTime(text);
        }
        g_autoBurnerSet.StartLevel = static_cast<uint8_t>(qMax(0, m_ui->comboBox_StartLevel->currentIndex()));
        g_autoBurnerSet.BusyLevel = static_cast<uint8_t>(qMax(0, m_ui->comboBox_BusyLevel->currentIndex()));
        g_autoBurnerSet.OkLevel = static_cast<uint8_t>(qMax(0, m_ui->comboBox_OKLevel->currentIndex()));
        g_autoBurnerSet.NgLevel = static_cast<uint8_t>(qMax(0, m_ui->comboBox_NgLevel->currentIndex()));
        autoBurn = 1;
    }
    int limit = 0;
    if (m_ui->groupBox_limit->isChecked()) {
        g_nLimitCount = burn::dialogLimitCount(m_ui->comboBox_limit->currentText());
        limit = 1;
    }
    const int uploadProtect = m_ui->checkBox_baohu_writer_flash->isChecked() ? 1 : 0;
    const int autoWrite = m_ui->checkBox_autoWrite->isChecked() ? 1 : 0;
    const int uartMode = m_ui->checkBox_UartMode->isChecked() ? 1 : 0;
    const int calibration =
        burn::calibrationWord(m_ui->checkBox_Adc->isChecked(), m_ui->checkBox_Clock->isChecked(),
                              m_ui->checkBox_CaliOnly->isChecked(), m_ui->checkBox_adcParamCheck->isChecked());
    emit sg_burn_setting_done(autoBurn, limit, uploadProtect, autoWrite, uartMode, calibration);
    close();
}

void burnSettingDialog::on_pushButton_burnSettingCanncel_released()
{
    close();
}
