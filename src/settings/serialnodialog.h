#pragma once

#include "rollingeditor.h"

#include <QDialog>

#include <memory>

namespace Ui {
class serialNoDialog;
}

// Rolling serial number and offline password ("序列号（仅用于离线烧录）"). Edits copies of g_rollingSet,
// g_ucPswLen and g_strPsw and commits them on OK.
//
// The window opens a new one each time (application-modal, shown without exec) and connects
// "sg_serial_no_done(int)" to slt_serial_no_setting_done and "sg_password_done(int)" to
// slt_password_setting_done; the dialog deletes itself when closed.
class serialNoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit serialNoDialog(QWidget *parent = nullptr);
    ~serialNoDialog() override;

signals:
    void sg_serial_no_done(int enabled);
    void sg_password_done(int enabled);

private slots:
    void on_groupBox_rolling_clicked(bool checked);
    void on_radioButton_10_clicked(bool checked);
    void on_radioButton_16_clicked(bool checked);
    void on_radioButton_inc_clicked(bool checked);
    void on_radioButton_dec_clicked(bool checked);
    void on_comboBox_start_addr_currentTextChanged(const QString &text);
    void on_comboBox_bitsize_currentIndexChanged(int index);
    void on_comboBox_start_val_currentTextChanged(const QString &text);
    void on_comboBox_step_currentTextChanged(const QString &text);
    void on_comboBox_start_AreaSel_currentIndexChanged(int index);
    void on_lineEditpsw_inputRejected();
    void on_pushButton_dialog_ok_released();
    void on_pushButton_dialog_canccel_released();

private:
    bool passwordAccepted();

    std::unique_ptr<Ui::serialNoDialog> m_ui;
    rolling_seting_t m_rolling;
    std::unique_ptr<RollingEditor> m_editor;
};
