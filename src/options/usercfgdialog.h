#pragma once

#include "nvroptionmaps.h"

#include <QDialog>

#include <memory>

namespace Ui {
class userCfgDialog;
}

// User configuration of the NVR2 area ("用户配置"): protection, power-on modes, boot source, boot interface
// pins and the configuration lock, loaded from and written to g_ucNVRBuf2. OK reports through
// sg_user_cfg_done(1) when the configuration is in use, else sg_user_cfg_done(0).
//
// The window opens a new one each time (application-modal, shown without exec) and connects
// "sg_user_cfg_done(int)" to slt_user_cfg_done, which delegates to NvrOptionsPage::userCfgDone; the dialog
// deletes itself when closed.
class userCfgDialog : public QDialog
{
    Q_OBJECT

public:
    explicit userCfgDialog(QWidget *parent = nullptr);
    ~userCfgDialog() override;

    // The once-per-run "P26 high impedance" default of VR5K2610 (re-armed by tests only).
    static void resetHighZDefault();

signals:
    void sg_user_cfg_done(int nRt);

private slots:
    void on_pushButton_ok_released();
    void on_pushButton_canncel_released();
    void on_groupBox_userCfg_clicked(bool checked);
    void on_checkBox_userCfgLock_clicked(bool checked);
    void on_pushButton_ok_clicked();

private:
    bool smallChip() const;
    void loadControls();
    nvropt::UserCfg controls() const;

    std::unique_ptr<Ui::userCfgDialog> m_ui;
};
