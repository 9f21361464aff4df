#pragma once

#include "rollingeditor.h"

#include <QObject>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

// Controller of the window's writer-settings page ("烧录设定": rolling serial number, burn limit, handler
// machine, upload protection) and of the window's done slots of the serial-number and burn-settings dialogs.
//
// Integration (mcu_writer):
//   - construct once after setupUi: m_writerPage = new WriterSettingsPage(this); it finds its controls by
//     object name and connects them itself, so the window declares no on_<control>_<signal> slots for
//     groupBox_rolling, radioButton_10/16/inc/dec, comboBox_start_add, comboBox_bitsize, comboBox_start_val,
//     comboBox_step, comboBox_start_AreaSel, groupBox_limit, comboBox_limit, groupBox_autoBurner,
//     lineEdit_startTime/BusyTime/EotTime/OkNgTime, comboBox_StartLevel/BusyLevel/OKLevel/NgLevel and
//     checkBox_baohu_writer_flash;
//   - connect sg_summary_changed() to the settings-summary routine;
//   - slt_burnSetting_done(a, b, c, d, e, f)   → burnSettingDone(a, b, c, d, e, f);
//   - slt_serial_no_setting_done(int)          → serialNoSettingDone();
//   - slt_password_setting_done(int)           → passwordSettingDone();
//   - after chip selection, project load and upload → showRecords();
//   - the area switches' rolling-number cross-checks (EEPROM, NVR1, flash) → warnEepromOverlap(),
//     warnNvr1Overlap(), warnFlashOverlap().
// Rolling-number notes go to the window's textEdit_ErorLog.
class WriterSettingsPage : public QObject
{
    Q_OBJECT

public:
    explicit WriterSettingsPage(QWidget *window);
    ~WriterSettingsPage() override;

    // Sets the page's controls and the serial-number and burn-setting state labels from the globals, without
    // running any entry check or changing a record.
    void showRecords();

    void burnSettingDone(int nRtAutoBurn, int nRtBurnLimted, int nRtUploadPretect, int nRtAudoWrite,
                         int nRtUartMode, int nRtAdcClock);
    void serialNoSettingDone();
    void passwordSettingDone();

    // Cross-checks of the window's area switches against the serial number (boxes only).
    void warnEepromOverlap();
    void warnNvr1Overlap();
    void warnFlashOverlap();

signals:
    void sg_summary_changed();

public slots:
    void on_groupBox_rolling_clicked(bool checked);
    void on_radioButton_10_clicked(bool checked);
    void on_radioButton_16_clicked(bool checked);
    void on_radioButton_inc_clicked(bool checked);
    void on_radioButton_dec_clicked(bool checked);
    void on_comboBox_start_add_currentTextChanged(const QString &text);
    void on_comboBox_bitsize_currentIndexChanged(int index);
    void on_comboBox_start_val_currentTextChanged(const QString &text);
    void on_comboBox_step_currentTextChanged(const QString &text);
    void on_comboBox_start_AreaSel_currentIndexChanged(int index);

    void on_groupBox_limit_clicked(bool checked);
    void on_comboBox_limit_currentTextChanged(const QString &arg1);
    void on_groupBox_autoBurner_clicked(bool checked);
    void on_lineEdit_startTime_textChanged(const QString &arg1);
    void on_lineEdit_BusyTime_textChanged(const QString &arg1);
    void on_lineEdit_EotTime_textChanged(const QString &arg1);
    void on_lineEdit_OkNgTime_textChanged(const QString &arg1);
    void on_comboBox_StartLevel_currentIndexChanged(int index);
    void on_comboBox_BusyLevel_currentIndexChanged(int index);
    void on_comboBox_OKLevel_currentIndexChanged(int index);
    void on_comboBox_NgLevel_currentIndexChanged(int index);
    void on_checkBox_baohu_writer_flash_clicked(bool checked);

private:
    template <typename T> T *child(const char *name) const;
    void timeChanged(const QString &text, uint16_t *field);
    void showLimit(uint32_t count);
    void showSerialState();
    void warn(const QString &text) const;

    QWidget *m_window;
    RollingControls m_rolling;
    std::unique_ptr<RollingEditor> m_editor;
    QGroupBox *m_limitGroup = nullptr;
    QComboBox *m_limit = nullptr;
    QGroupBox *m_autoBurnerGroup = nullptr;
    QLineEdit *m_times[4] = {};
    QComboBox *m_levels[4] = {};
    QCheckBox *m_uploadProtect = nullptr;
    QLabel *m_serialNoState = nullptr;
    QLabel *m_autoBurnState = nullptr;
};
