#include "writersettingspage.h"

#include "boxes/boxes.h"
#include "production/burnrules.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QWidget>

namespace {

QString warningText()
{
    return QCoreApplication::translate("settings", "警告");
}

QString enableText(bool on)
{
    return on ? QCoreApplication::translate("settings", "Enable") : QCoreApplication::translate("settings", "Disable");
}

} // namespace

template <typename T> T *WriterSettingsPage::child(const char *name) const
{
    T *w = m_window->findChild<T *>(QLatin1String(name));
    if (!w)
        qWarning() << "writer settings page: no control" << name;
    return w;
}

WriterSettingsPage::WriterSettingsPage(QWidget *window) : QObject(window), m_window(window)
{
    m_rolling.group = child<QGroupBox>("groupBox_rolling");
    m_rolling.radix10 = child<QRadioButton>("radioButton_10");
    m_rolling.radix16 = child<QRadioButton>("radioButton_16");
    m_rolling.countUp = child<QRadioButton>("radioButton_inc");
    m_rolling.countDown = child<QRadioButton>("radioButton_dec");
    m_rolling.bitSize = child<QComboBox>("comboBox_bitsize");
    m_rolling.startAddress = child<QComboBox>("comboBox_start_add");
    m_rolling.startValue = child<QComboBox>("comboBox_start_val");
    m_rolling.step = child<QComboBox>("comboBox_step");
    m_rolling.area = child<QComboBox>("comboBox_start_AreaSel");
    m_rolling.logPane = child<QWidget>("textEdit_ErorLog");
    if (m_rolling.complete()) {
        m_editor = std::make_unique<RollingEditor>(window, m_rolling, &g_rollingSet, rolling::Editor::Window);
        connect(m_rolling.group, &QGroupBox::clicked, this, &WriterSettingsPage::on_groupBox_rolling_clicked);
        connect(m_rolling.radix10, &QRadioButton::clicked, this, &WriterSettingsPage::on_radioButton_10_clicked);
        connect(m_rolling.radix16, &QRadioButton::clicked, this, &WriterSettingsPage::on_radioButton_16_clicked);
        connect(m_rolling.countUp, &QRadioButton::clicked, this, &WriterSettingsPage::on_radioButton_inc_clicked);
        connect(m_rolling.countDown, &QRadioButton::clicked, this, &WriterSettingsPage::on_radioButton_dec_clicked);
        connect(m_rolling.startAddress, &QComboBox::currentTextChanged, this,
                &WriterSettingsPage::on_comboBox_start_add_currentTextChanged);
        connect(m_rolling.bitSize, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &WriterSettingsPage::on_comboBox_bitsize_currentIndexChanged);
        connect(m_rolling.startValue, &QComboBox::currentTextChanged, this,
                &WriterSettingsPage::on_comboBox_start_val_currentTextChanged);
        connect(m_rolling.step, &QComboBox::currentTextChanged, this,
                &WriterSettingsPage::on_comboBox_step_currentTextChanged);
        connect(m_rolling.area, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &WriterSettingsPage::on_comboBox_start_AreaSel_currentIndexChanged);
    }

    m_limitGroup = child<QGroupBox>("groupBox_limit");
    m_limit = child<QComboBox>("comboBox_limit");
    m_autoBurnerGroup = child<QGroupBox>("groupBox_autoBurner");
    m_uploadProtect = child<QCheckBox>("checkBox_baohu_writer_flash");
    m_serialNoState = child<QLabel>("label_serialNoState");
    m_autoBurnState = child<QLabel>("label_autoBurnState");
    if (m_limitGroup)
        connect(m_limitGroup, &QGroupBox::clicked, this, &WriterSettingsPage::on_groupBox_limit_clicked);
    if (m_limit)
        connect(m_limit, &QComboBox::currentTextChanged, this,
                &WriterSettingsPage::on_comboBox_limit_currentTextChanged);
    if (m_autoBurnerGroup)
        connect(m_autoBurnerGroup, &QGroupBox::clicked, this, &WriterSettingsPage::on_groupBox_autoBurner_clicked);
    if (m_uploadProtect)
        connect(m_uploadProtect, &QCheckBox::clicked, this,
                &WriterSettingsPage::on_checkBox_baohu_writer_flash_clicked);

    const char *timeNames[4] = {"lineEdit_startTime", "lineEdit_BusyTime", "lineEdit_EotTime", "lineEdit_OkNgTime"};
    void (WriterSettingsPage::*timeSlots[4])(const QString &) = {
        &WriterSettingsPage::on_lineEdit_startTime_textChanged, &WriterSettingsPage::on_lineEdit_BusyTime_textChanged,
        &WriterSettingsPage::on_lineEdit_EotTime_textChanged, &WriterSettingsPage::on_lineEdit_OkNgTime_textChanged};
    const char *levelNames[4] = {"comboBox_StartLevel", "comboBox_BusyLevel", "comboBox_OKLevel", "comboBox_NgLevel"};
    void (WriterSettingsPage::*levelSlots[4])(int) = {
        &WriterSettingsPage::on_comboBox_StartLevel_currentIndexChanged,
        &WriterSettingsPage::on_comboBox_BusyLevel_currentIndexChanged,
        &WriterSettingsPage::on_comboBox_OKLevel_currentIndexChanged,
        &WriterSettingsPage::on_comboBox_NgLevel_currentIndexChanged};
    for (int i = 0; i < 4; ++i) {
        m_times[i] = child<QLineEdit>(timeNames[i]);
        if (m_times[i])
            connect(m_times[i], &QLineEdit::textChanged, this, timeSlots[i]);
        m_levels[i] = child<QComboBox>(levelNames[i]);
        if (m_levels[i])
            connect(m_levels[i], qOverload<int>(&QComboBox::currentIndexChanged), this, levelSlots[i]);
    }
}

WriterSettingsPage::~WriterSettingsPage() = default;

void WriterSettingsPage::warn(const QString &text) const
{
    boxes::inform(m_window, warningText(), text);
}

// ---- rolling serial number ----

void WriterSettingsPage::on_groupBox_rolling_clicked(bool checked)
{
    g_bEnRollCode = checked;
    if (checked && m_editor)
        m_editor->enable();
    emit sg_summary_changed();
}

void WriterSettingsPage::on_radioButton_10_clicked(bool checked)
{
    if (m_editor)
        m_editor->radix10Clicked(checked);
}

void WriterSettingsPage::on_radioButton_16_clicked(bool checked)
{
    if (m_editor)
        m_editor->radix16Clicked(checked);
}

void WriterSettingsPage::on_radioButton_inc_clicked(bool checked)
{
    if (m_editor)
        m_editor->countUpClicked(checked);
}

void WriterSettingsPage::on_radioButton_dec_clicked(bool checked)
{
    if (m_editor)
        m_editor->countDownClicked(checked);
}

void WriterSettingsPage::on_comboBox_start_add_currentTextChanged(const QString &text)
{
    if (m_editor && g_bEnRollCode)
        m_editor->startAddressChanged(text);
}

void WriterSettingsPage::on_comboBox_bitsize_currentIndexChanged(int index)
{
    if (m_editor)
        m_editor->bitSizeChanged(index);
}

void WriterSettingsPage::on_comboBox_start_val_currentTextChanged(const QString &text)
{
    if (m_editor)
        m_editor->startValueChanged(text);
}

void WriterSettingsPage::on_comboBox_step_currentTextChanged(const QString &text)
{
    if (m_editor)
        m_editor->stepChanged(text);
}

void WriterSettingsPage::on_comboBox_start_AreaSel_currentIndexChanged(int index)
{
    if (m_editor && g_bEnRollCode)
        m_editor->areaChanged(index);
}

// ---- burn limit, handler machine, upload protection ----

void WriterSettingsPage::showLimit(uint32_t count)
{
    if (!m_limit)
        return;
    const QSignalBlocker block(m_limit);
    const QString text = QString::number(count);
    m_limit->setItemText(0, text);
    m_limit->setCurrentIndex(0);
    m_limit->setEditText(text);
}

void WriterSettingsPage::on_groupBox_limit_clicked(bool checked)
{
    g_bEnLimit = checked;
    if (checked) {
        g_nLimitCount = 1;
        showLimit(g_nLimitCount);
    }
    emit sg_summary_changed();
}

void WriterSettingsPage::on_comboBox_limit_currentTextChanged(const QString &arg1)
{
    const burn::PageLimit r = burn::pageLimit(arg1);
    if (!r.warning.isEmpty()) {
        warn(r.warning);
        return;
    }
    if (!r.store)
        return;
    g_nLimitCount = r.value;
    if (r.show)
        showLimit(r.value);
}

void WriterSettingsPage::on_groupBox_autoBurner_clicked(bool checked)
{
    g_bEnAutoBurner = checked;
    emit sg_summary_changed();
}

void WriterSettingsPage::timeChanged(const QString &text, uint16_t *field)
{
    uint16_t value = 0;
    QString warning;
    if (burn::pageTime(text, &value, &warning))
        *field = value;
    else if (!warning.isEmpty())
        warn(warning);
}

void WriterSettingsPage::on_lineEdit_startTime_textChanged(const QString &arg1)
{
    timeChanged(arg1, &g_autoBurnerSet.StartTime);
}

void WriterSettingsPage::on_lineEdit_BusyTime_textChanged(const QString &arg1)
{
    timeChanged(arg1, &g_autoBurnerSet.BusyTime);
}

void WriterSettingsPage::on_lineEdit_EotTime_textChanged(const QString &arg1)
{
    timeChanged(arg1, &g_autoBurnerSet.EotTime);
}

void WriterSettingsPage::on_lineEdit_OkNgTime_textChanged(const QString &arg1)
{
    timeChanged(arg1, &g_autoBurnerSet.OkNgTime);
}

void WriterSettingsPage::on_comboBox_StartLevel_currentIndexChanged(int index)
{
    if (index >= 0)
        g_autoBurnerSet.StartLevel = static_cast<uint8_t>(index);
}

void WriterSettingsPage::on_comboBox_BusyLevel_currentIndexChanged(int index)
{
    if (index >= 0)
        g_autoBurnerSet.BusyLevel = static_cast<uint8_t>(index);
}

void WriterSettingsPage::on_comboBox_OKLevel_currentIndexChanged(int index)
{
    if (index >= 0)
        g_autoBurnerSet.OkLevel = static_cast<uint8_t>(index);
}

void WriterSettingsPage::on_comboBox_NgLevel_currentIndexChanged(int index)
{
    if (index >= 0)
        g_autoBurnerSet.NgLevel = static_cast<uint8_t>(index);
}

void WriterSettingsPage::on_checkBox_baohu_writer_flash_clicked(bool checked)
{
    g_bEnUploadProtect = checked;
    emit sg_summary_changed();
}

// ---- records shown again, dialog results ----

void WriterSettingsPage::showRecords()
{
    if (m_editor) {
        {
            const QSignalBlocker block(m_rolling.group);
            m_rolling.group->setChecked(g_bEnRollCode);
        }
        m_editor->showRecord();
    }
    if (m_limitGroup) {
        const QSignalBlocker block(m_limitGroup);
        m_limitGroup->setChecked(g_bEnLimit);
    }
    showLimit(g_nLimitCount);
    if (m_autoBurnerGroup) {
        const QSignalBlocker block(m_autoBurnerGroup);
        m_autoBurnerGroup->setChecked(g_bEnAutoBurner);
    }
    const uint16_t times[4] = {g_autoBurnerSet.StartTime, g_autoBurnerSet.BusyTime, g_autoBurnerSet.EotTime,
                               g_autoBurnerSet.OkNgTime};
    const uint8_t levels[4] = {g_autoBurnerSet.StartLevel, g_autoBurnerSet.BusyLevel, g_autoBurnerSet.OkLevel,
                               g_autoBurnerSet.NgLevel};
    for (int i = 0; i < 4; ++i) {
        if (m_times[i]) {
            const QSignalBlocker block(m_times[i]);
            m_times[i]->setText(QString::number(times[i]));
        }
        if (m_levels[i]) {
            const QSignalBlocker block(m_levels[i]);
            m_levels[i]->setCurrentIndex(levels[i] < m_levels[i]->count() ? levels[i] : 0);
        }
    }
    if (m_uploadProtect) {
        const QSignalBlocker block(m_uploadProtect);
        m_uploadProtect->setChecked(g_bEnUploadProtect);
    }
    showSerialState();
    if (m_autoBurnState)
        m_autoBurnState->setText(
            enableText(g_bUartMode || g_bEnAutoBurner || g_bEnLimit || g_bEnUploadProtect || g_bEnAutoWrite));
}

void WriterSettingsPage::showSerialState()
{
    if (m_serialNoState)
        m_serialNoState->setText(enableText(g_bEnRollCode || g_bEnEncryption));
}

void WriterSettingsPage::burnSettingDone(int nRtAutoBurn, int nRtBurnLimted, int nRtUploadPretect,
                                         int nRtAudoWrite, int nRtUartMode, int nRtAdcClock)
{
    const bool on = burn::applyBurnSettingResult(nRtAutoBurn, nRtBurnLimted, nRtUploadPretect, nRtAudoWrite,
                                                 nRtUartMode, nRtAdcClock);
    if (m_autoBurnState)
        m_autoBurnState->setText(enableText(on));
    emit sg_summary_changed();
}

void WriterSettingsPage::serialNoSettingDone()
{
    qDebug() << "slt_serial_no_setting_done";
    showSerialState();
    emit sg_summary_changed();
}

void WriterSettingsPage::passwordSettingDone()
{
    qDebug() << "slt_password_setting_done";
    showSerialState();
    emit sg_summary_changed();
}

// ---- cross-checks of the window's area switches ----

void WriterSettingsPage::warnEepromOverlap()
{
    if (g_bEnRollCode && g_rollingSet.area() == RollingAreaEeprom)
        warn(QCoreApplication::translate("settings", "序列号使用eeprom,有可能覆盖数据"));
}

void WriterSettingsPage::warnNvr1Overlap()
{
    if (!g_bEnRollCode || g_rollingSet.area() != RollingAreaNvr || g_currentMcu.nBootSectors != 0
        || g_currentMcu.nNvr2Page < 2)
        return;
    const uint64_t from = uint64_t(g_currentMcu.nNvr2Page - 2) * g_currentMcu.nSectorSize;
    const uint64_t to = uint64_t(g_currentMcu.nNvr2Page - 1) * g_currentMcu.nSectorSize;
    if (g_rollingSet.startAdd >= from && g_rollingSet.startAdd < to)
        warn(QCoreApplication::translate("settings", "序列号使用NVR1,有可能覆盖数据"));
}

void WriterSettingsPage::warnFlashOverlap()
{
    if (!g_bEnRollCode || g_rollingSet.area() != RollingAreaFlash)
        return;
    const uint64_t end = uint64_t(g_rollingSet.startAdd) + (g_rollingSet.bitSize & 0x07);
    if (end > uint64_t(g_currentMcu.nFlashSizeKB) * 1024)
        warn(QCoreApplication::translate("settings", "序列号超过FLASH空间,请重新输入"));
    if (g_nBinSize > 0 && g_rollingSet.startAdd <= g_nBinSize) {
        warn(QCoreApplication::translate("settings", "您输入的地址可能会覆盖程序地址,请重新输入"));
        qDebug() << "addr error";
    }
}
