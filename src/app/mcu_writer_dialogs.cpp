#include "mcu_writer.h"
#include "ui_mcu_writer.h"

#include "options/usercfgdialog.h"
#include "settings/burnsettingdialog.h"
#include "appdir/appdir.h"
#include "chipdialog/dialogchiptype.h"
#include "options/nvroptionspage.h"
#include "settings/serialnodialog.h"
#include "settings/writersettingspage.h"


namespace {
// New dialog each time: application-modal, shown without blocking the window, centred over it.
void showDialog(QDialog *dialog, QWidget *window, const QString &title)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setWindowTitle(title);
    dialog->adjustSize();
    dialog->move(window->geometry().center() - dialog->rect().center());
    dialog->show();
}
}

void mcu_writer::slt_action_serial_no_triggered()
{
    auto *dialog = new serialNoDialog(this);
    connect(dialog, SIGNAL(sg_serial_no_done(int)), this, SLOT(slt_serial_no_setting_done(int)));
    connect(dialog, SIGNAL(sg_password_done(int)), this, SLOT(slt_password_setting_done(int)));
    showDialog(dialog, this, tr("序列号"));
}

void mcu_writer::slt_action_user_cfg_triggered()
{
    auto *dialog = new userCfgDialog(this);
    connect(dialog, SIGNAL(sg_user_cfg_done(int)), this, SLOT(slt_user_cfg_done(int)));
    showDialog(dialog, this, tr("用户配置"));
}

void mcu_writer::slt_action_burnSetting_triggered()
{
    auto *dialog = new burnSettingDialog(this);
    dialog->setWindowFlags(dialog->windowFlags() | Qt::CustomizeWindowHint);
    connect(dialog, SIGNAL(sg_burn_setting_done(int,int,int,int,int,int)), this,
            SLOT(slt_burnSetting_done(int,int,int,int,int,int)));
    showDialog(dialog, this, tr("烧录设置"));
}

void mcu_writer::on_pushButton_serialNoSetting_clicked() { slt_action_serial_no_triggered(); }
void mcu_writer::on_pushButton_userCfg_clicked() { slt_action_user_cfg_triggered(); }
void mcu_writer::on_pushButton_burnSetting_clicked() { slt_action_burnSetting_triggered(); }

void mcu_writer::on_action_custom_triggered()
{
    auto *dialog = new DialogChipType(this, appDir());
    dialog->setRestartGuard([this] { return confirmDiscardChanges(); });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(tr("自定义设置"));
    dialog->setWindowIcon(QIcon(QStringLiteral(":/./update.png")));
    dialog->move(pos());
    dialog->show();
}

void mcu_writer::slt_serial_no_setting_done(int)
{
    m_writerPage->serialNoSettingDone();
    updateSettingsSummary();
    setModified(true);
}

void mcu_writer::slt_password_setting_done(int)
{
    m_writerPage->passwordSettingDone();
    updateSettingsSummary();
    setModified(true);
}

void mcu_writer::slt_user_cfg_done(int nRt)
{
    m_nvrPage->userCfgDone(nRt);
    updateSettingsSummary();
    setModified(true);
}

void mcu_writer::slt_burnSetting_done(int nRtAutoBurn, int nRtBurnLimted, int nRtUploadPretect, int nRtAudoWrite,
                                      int nRtUartMode, int nRtAdcClock)
{
    m_writerPage->burnSettingDone(nRtAutoBurn, nRtBurnLimted, nRtUploadPretect, nRtAudoWrite, nRtUartMode,
                                  nRtAdcClock);
    updateSettingsSummary();
    setModified(true);
}
