#pragma once

#include "production/productionsettings.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;

#include <memory>

namespace Ui {
class burnSettingDialog;
}

// Burn settings for stand-alone burning ("烧录设置"). Every opening shows the stored settings. OK reports the switches through sg_burn_setting_done; the dialog itself stores only the
// handler-machine record (its four times and four levels are edited here), the burn limit and the clock
// frequency.
//
// The window opens a new one each time (centred, application-modal, shown without exec) and connects
// "sg_burn_setting_done(int, int, int, int, int,int)" to slt_burnSetting_done; the dialog deletes itself when
// closed.
class burnSettingDialog : public QDialog
{
    Q_OBJECT

public:
    explicit burnSettingDialog(QWidget *parent = nullptr);
    ~burnSettingDialog() override;

signals:
    // handler machine, burn limit, upload protection, automatic burning, single wire, calibration word
    void sg_burn_setting_done(int nRt1, int nRt2, int nRt3, int nRt4, int nRt5, int nRt6);

private slots:
    void on_pushButton_burnSettingOk_released();
    void on_pushButton_burnSettingCanncel_released();
    void on_groupBox_autoBurner_clicked(bool checked);
    void on_groupBox_limit_clicked(bool checked);
    void on_comboBox_limit_currentTextChanged(const QString &arg1);
    void on_checkBox_autoWrite_clicked(bool checked);
    void on_pushButton_burnSettingOk_clicked(bool checked);

private:
    struct HandlerTime
    {
        QLineEdit *field;
        uint16_t autoBurner_seting_t::*value;
        int maximum;
        QLabel *label;
    };
    QList<HandlerTime> handlerTimes() const;
    bool handlerTimesAccepted();
    void showCurrentSettings();
    bool calibrationAccepted();

    std::unique_ptr<Ui::burnSettingDialog> m_ui;
};
