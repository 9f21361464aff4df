#include "mcu_writer.h"
#include "ui_mcu_writer.h"

#include "boxes/boxes.h"
#include "elidedlabel.h"
#include "files/cfgdb.h"
#include "files/chipname.h"
#include "engine/enginetext.h"
#include "engine/resultcodes.h"
#include "chip/images.h"
#include "engine/engineflags.h"
#include "link/firmwarefile.h"
#include "link/linkstate.h"
#include "options/nvroptionspage.h"
#include "settings/writersettingspage.h"
#include "serialspacechoice.h"
#include "production/productionsettings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMouseEvent>
#include <QToolTip>

namespace {
QString promptText()
{
    return QCoreApplication::translate("mcu_writer", "提示");
}

// Short family prefix that, with the id's four digits, spells the identified model ("VR5K2610").
const QString kFamilyPrefix = QStringLiteral("VR5K");
}

bool mcu_writer::postTask(uint8_t task)
{
    if (!m_work.setTask(task))
        return false;
    disableAll();
    return true;
}

// Everything that starts an operation or changes what one uses (an enable flag, an image, a table, a
// setting, the chip, the interface mode). The burn toggles are left to their own code.
void mcu_writer::setEditingEnabled(bool enabled)
{
    for (QAction *a : {ui->open_action, ui->save_action, ui->up_action, ui->erase_action, ui->blank_action,
                       ui->down_action, ui->upload_action, ui->update_action, ui->eraseFlash_action,
                       ui->checksum_action, ui->action_open, ui->action_save, ui->action_write, ui->action_read,
                       ui->action_check_blank, ui->action_serial_no, ui->action_user_cfg, ui->action_burnSetting,
                       ui->action_custom, ui->actionI2C, ui->actionSingleLine})
        a->setEnabled(enabled);
    for (QWidget *w : {static_cast<QWidget *>(ui->checkBox_bin), static_cast<QWidget *>(ui->checkBox_bl),
                       static_cast<QWidget *>(ui->groupBox_bin), static_cast<QWidget *>(ui->groupBox_NVR1),
                       static_cast<QWidget *>(ui->groupBox_EE), static_cast<QWidget *>(ui->pushButton_userCfg),
                       static_cast<QWidget *>(ui->pushButton_serialNoSetting),
                       static_cast<QWidget *>(ui->pushButton_burnSetting),
                       static_cast<QWidget *>(ui->comboBox_icType), static_cast<QWidget *>(ui->pushButton)})
        w->setEnabled(enabled);
    m_serialChoice->setLocked(!enabled);
    setDataViewsEditable(enabled);
}

// Locked from the moment a task is posted until the worker is idle again and no burn toggle is on.
void mcu_writer::disableAll()
{
    m_bLocked = true;
    setEditingEnabled(false);
    ui->burn_action->setEnabled(false);
    ui->auto_burn_action->setEnabled(false);
}

// Unlocks unless the worker still runs a task (a pass that was switched off completes first) or the burn
// toggle is on; sg_idle calls it again once the worker has finished.
void mcu_writer::enableAll()
{
    const bool busy = m_work.currentTask() != workThread::TaskIdle || m_ledgerPending;
    if (busy || ui->burn_action->isChecked() || m_bStationRunning) {
        // The toggles stay usable while their run goes on, so it can be switched off.
        ui->burn_action->setEnabled(ui->burn_action->isChecked() && g_bBurnRunning.load());
        ui->auto_burn_action->setEnabled(ui->auto_burn_action->isChecked() && g_bAutoBurnRunning.load());
        return;
    }
    m_bLocked = false;
    setEditingEnabled(true);
    for (QAction *toggle : {ui->burn_action, ui->auto_burn_action}) {
        toggle->setEnabled(true);
        toggle->setText(toggle->property("idleText").toString());
    }
}

namespace {
QString stationLockText()
{
    return QCoreApplication::translate("mcu_writer", "工位视图正在烧写：工程和设置已锁定。请先在工位视图中全部停止。");
}
}

void mcu_writer::setStationRunning(bool running)
{
    if (running == m_bStationRunning)
        return;
    m_bStationRunning = running;
    if (running) {
        disableAll();
        m_labelMsg->setText(tr("工位运行中"));
        appendLog(stationLockText());
    } else {
        enableAll();
        m_labelMsg->setText(tr("工位已停止"));
    }
    ui->centralWidget->setToolTip(running ? stationLockText() : QString());
}

void mcu_writer::mousePressEvent(QMouseEvent *event)
{
    if (m_bStationRunning)
        QToolTip::showText(event->globalPos(), stationLockText(), this);
    QMainWindow::mousePressEvent(event);
}

void mcu_writer::slt_worker_idle()
{
    if (m_work.currentTask() == workThread::TaskIdle)
        finishLedgerRun();
    if (m_bLocked)
        enableAll();
}

bool mcu_writer::anyAreaEnabled() const
{
    return g_bEnBin || g_bEnBL || g_bEnEE || g_bEnNVR1 || g_bEnNVR2 || g_bEnNVR3;
}

// The two lines a wrong chip leaves in the log.
void mcu_writer::logWrongChip(uint16_t chipId)
{
    if (g_currentMcu.nArch != MCU_ARCH_8051)
        return;
    appendLog(tr("目标MCU是 %1").arg(chipNameForId(chipId)));
    appendLog(tr("目标MCU是 %1").arg(
        QStringLiteral("%1%2").arg(kFamilyPrefix).arg(chipId, 4, 16, QLatin1Char('0')).toUpper()));
}

void mcu_writer::showResult(int nRt)
{
    noteLinkStateOf(nRt);
    // A burn pass's wrong chip is logged with the pass (its id travels with it); a single operation's
    // here, where the worker has ended and g_wChipId holds what the chip answered.
    if (nRt == ResultCode::WrongChip) {
        if (!m_bBurnDone)
            logWrongChip(g_wChipId);
        return;
    }
    const QString text = resultMessage(nRt);
    if (!text.isEmpty())
        boxes::inform(this, promptText(), text);
}

// The box for a result: the Link's two ways of not being there are said in words an operator can act on.
QString mcu_writer::resultMessage(int nRt) const
{
    if (nRt == ResultCode::LinkLocked)
        return tr("Link正被其他程序使用(例如命令行烧录)。请先结束那个程序，再试一次。");
    if (nRt == ResultCode::LinkOpenFailed && m_bLinkRemoved)
        return tr("Link已被拔出。请插上Link，再试一次。");
    return engineText(resultCodeText(nRt));
}

// What a result says about the Link, for the words beside its icon.
void mcu_writer::noteLinkStateOf(int nRt)
{
    if (nRt == ResultCode::LinkLocked)
        setLinkState(LinkState::Busy);
    else if (nRt == ResultCode::LinkOpenFailed)
        setLinkState(LinkState::None);
    else if (m_linkState != LinkState::Connected)
        setLinkState(LinkState::Connected);
}

void mcu_writer::showOperationVerdict(const QString &operation, int nRt)
{
    const PassVerdict v = operationVerdict(operation, nRt);
    showVerdict(v.ok, v.headline, v.detail);
}

// A burn that could not start (no Link, or another program holds it) burned no chip: it is not counted,
// but the indicator must not keep showing the last chip's OK.
void mcu_writer::showStartFailure(int nRt)
{
    if (nRt == ResultCode::LinkOpenFailed || nRt == ResultCode::LinkLocked)
        showVerdict(false, QStringLiteral("NG"), resultMessage(nRt));
}

bool mcu_writer::refuseSingleWire()
{
    if (g_bI2CMode.load() != 0)
        return false;
    boxes::inform(this, promptText(), tr("单线模式暂不支持此功能"));
    return true;
}

// Burn and auto burn -------------------------------------------------------------------------------------

void mcu_writer::on_burn_action_triggered()
{
    m_labelMsg->setText(tr("提示信息"));
}

void mcu_writer::on_burn_action_toggled(bool arg1)
{
    ui->burn_action->setCheckable(true);
    ui->burn_action->setChecked(arg1);
    if (!arg1) {
        g_bBurnRunning.store(0);
        g_bBurnChipHandled.store(0);
        showStopping(ui->burn_action);
        enableAll();
        return;
    }
    disableAll();
    ui->burn_action->setEnabled(true);
    g_bBurnRunning.store(1);
    burnStart(workThread::TaskBurn, ui->burn_action);
}

void mcu_writer::on_auto_burn_action_toggled(bool arg1)
{
    ui->auto_burn_action->setCheckable(true);
    ui->auto_burn_action->setChecked(arg1);
    if (!arg1) {
        g_bAutoBurnRunning.store(0);
        g_bAutoBurnChipHandled.store(0);
        m_labelMsg->setText(tr("提示信息"));
        showStopping(ui->auto_burn_action);
        enableAll();
        return;
    }
    disableAll();
    ui->auto_burn_action->setEnabled(true);
    g_bAutoBurnRunning.store(1);
    burnStart(workThread::TaskAutoBurn, ui->auto_burn_action);
}

// A run switched off while its pass still goes on: the toggle says so until the worker is idle.
void mcu_writer::showStopping(QAction *toggle)
{
    // No chip is awaited any more.
    if (ui->label_result->property("verdict").toString() == QLatin1String("wait"))
        showResultWaiting();
    if (m_bTaskEnding || m_work.currentTask() == workThread::TaskIdle)
        return;
    toggle->setText(tr("停止中..."));
    toggle->setEnabled(false);
}

void mcu_writer::burnStart(uint8_t task, QAction *toggle)
{
    showResultWaiting();
    if (!anyAreaEnabled()) {
        boxes::inform(this, promptText(), tr("请选择烧录区域"));
        toggle->setChecked(false);
        return;
    }
    reloadChangedHexFiles();
    if (!ensureImagesLoaded())
        return;
    // With a ledger the task is posted once the run's ledger is open (the first serial in the image).
    if (!m_ledgerChoice.url.isEmpty() && m_work.currentTask() == workThread::TaskIdle && !m_ledgerPending) {
        beginLedgerRun(task, toggle);
        return;
    }
    postBurn(task, toggle);
}

void mcu_writer::postBurn(uint8_t task, QAction *toggle)
{
    if (m_work.setTask(task)) {
        disableAll();
        toggle->setEnabled(true);
        toggle->setChecked(true);
        return;
    }
    // The worker is still busy (a version query after a Link arrived): nothing started, so nothing stays on.
    finishLedgerRun();
    m_labelMsg->setText(tr("Link正忙，请稍后再试"));
    toggle->setChecked(false);
}

// With an area switched on but nothing loaded into it, lets the user open a file first.
bool mcu_writer::ensureImagesLoaded()
{
    if (g_bEnBin && g_nBinSize == 0) {
        ui->tabWidget->setCurrentWidget(ui->bin_tab);
        on_open_action_triggered();
        if (g_nBinSize == 0)
            return false;
    }
    if (g_bEnBL && g_nNVRBinSize == 0) {
        ui->tabWidget->setCurrentWidget(ui->nvr0_tab);
        on_open_action_triggered();
        if (g_nNVRBinSize == 0)
            return false;
    }
    return true;
}

void mcu_writer::slt_burn_action_done(int nRt)
{
    showBurnDone(nRt, ui->burn_action, endsBurn(nRt) || linkRemovedDuring(nRt));
}

// A run that lost its Link is over: nothing is left to switch off.
bool mcu_writer::linkRemovedDuring(int nRt) const
{
    return nRt == ResultCode::LinkOpenFailed && m_bLinkRemoved;
}

void mcu_writer::slt_auto_burn_action_done(int nRt)
{
    showBurnDone(nRt, ui->auto_burn_action, endsAutoBurn(nRt));
}

void mcu_writer::showBurnDone(int nRt, QAction *toggle, bool ends)
{
    noteLinkStateOf(nRt);
    showStartFailure(nRt);
    m_bBurnDone = true;
    showResult(nRt);
    m_bBurnDone = false;
    if (ends) {
        // The worker ends the run itself: no "stopping" between this signal and its idle one.
        m_bTaskEnding = true;
        toggle->setChecked(false);
        m_bTaskEnding = false;
    }
    enableAll();
}

// Read back, blank check, erase ---------------------------------------------------------------------------

void mcu_writer::on_up_action_triggered()
{
    if (refuseSingleWire())
        return;
    if (!anyAreaEnabled()) {
        boxes::inform(this, promptText(), tr("请勾选读取内容"));
        return;
    }
    postTask(workThread::TaskUpChip);
}

void mcu_writer::slt_up_action_done(int nRt)
{
    showOperationVerdict(tr("读取芯片"), nRt);
    showResult(nRt);
    if (ui->comboBox_icType->findText(g_currentMcu.strName) >= 0) {
        // The images just read must survive the selection.
        if (ui->comboBox_icType->currentText() != g_currentMcu.strName) {
            m_bResetOnSelect = false;
            selectChip(g_currentMcu.strName);
        }
    } else {
        qDebug() << "do not find MCU";
    }
    if (nRt != 0) {
        enableAll();
        return;
    }
    if (g_bEnBin)
        updateBinView();
    if (g_bEnBL) {
        qDebug() << "l3063 bl size=" << g_nNVRBinSize;
        updateBLView();
    }
    if (g_bEnEE) {
        updateEETable();
        calcEECheckSum();
    }
    if (g_bEnNVR1) {
        calcNVR1CheckSum();
        updateNVR1Table();
        showBLCheckSum();
    }
    if (g_bEnNVR2)
        showNvr2State();
    setModified(true);  // what the chip held is in the window only
    enableAll();
}

void mcu_writer::on_blank_action_triggered()
{
    if (refuseSingleWire())
        return;
    if (!anyAreaEnabled()) {
        boxes::inform(this, promptText(), tr("请选择要查空的分区"));
        return;
    }
    postBlankCheck();
}

void mcu_writer::on_checksum_action_triggered()
{
    g_bEnBin = true;
    g_bEnEE = true;
    ui->groupBox_bin->setChecked(true);
    ui->groupBox_EE->setChecked(true);
    postBlankCheck();
}

// The chip's sums arrive in the variables of the image's own sums, which a saved project must keep.
void mcu_writer::postBlankCheck()
{
    const AreaSums image = currentAreaSums();
    if (postTask(workThread::TaskCheckBlank))
        m_imageSums = image;
}

void mcu_writer::slt_blank_action_done(int nRt)
{
    const AreaSums chip = currentAreaSums();
    restoreAreaSums(m_imageSums);
    if (nRt == 0) {
        appendLog(tr("目标MCU是 %1").arg(chipNameForId(g_wChipId)));
        appendLog(blankCheckEntry(chip));
        const bool blank = blankCheckAllBlank(chip);
        showVerdict(blank, blank ? QStringLiteral("OK") : QStringLiteral("NG"),
                    blank ? tr("查空：空片") : tr("查空：非空"));
    } else {
        appendLog(tr("读取失败"));
        showOperationVerdict(tr("查空检查"), nRt);
    }
    showResult(nRt);
    enableAll();
}

void mcu_writer::on_erase_action_triggered()
{
    if (refuseSingleWire())
        return;
    if (!anyAreaEnabled() && !g_bEnRollCode) {
        boxes::inform(this, promptText(), tr("请勾选擦除内容"));
        return;
    }
    if (boxes::ask(this, tr("警告"), tr("确定擦除吗？"), QMessageBox::Warning))
        postTask(workThread::TaskEraseChip);
}

void mcu_writer::slt_erase_action_done(int nRt)
{
    showOperationVerdict(tr("擦除芯片"), nRt);
    showResult(nRt);
    enableAll();
}

// The Link's own jobs -------------------------------------------------------------------------------------

void mcu_writer::on_down_action_triggered()
{
    if (!anyAreaEnabled() && !g_bEnRollCode && !g_bEnEncryption) {
        boxes::inform(this, promptText(), tr("请勾选下载内容"));
        return;
    }
    if (!boxes::ask(this, promptText(), m_labelSummary->fullText())) {
        qDebug() << "no";
        return;
    }
    qDebug() << "yes";
    if (!ensureImagesLoaded())
        return;
    postTask(workThread::TaskDownload);
}

void mcu_writer::slt_down_action_done(int nRt)
{
    showOperationVerdict(tr("下载到Link"), nRt);
    showResult(nRt);
    enableAll();
}

void mcu_writer::on_upload_action_triggered()
{
    postTask(workThread::TaskUpload);
}

void mcu_writer::slt_Upload_action_done(int nRt)
{
    showOperationVerdict(tr("从Link上传"), nRt);
    if (nRt != 0 && nRt != ResultCode::LinkOpenFailed && nRt != ResultCode::LinkLocked) {
        // The code alone would read "下载失败"; a protected project is the usual reason for a refusal.
        noteLinkStateOf(nRt);
        boxes::inform(this, promptText(),
                      tr("上传失败：Link没有交出存储的项目。\n如果项目下载时勾选了“烧录器上传数据保护”，"
                         "Link会拒绝上传，这是正常的。"));
    } else {
        showResult(nRt);
    }
    qDebug() << (nRt == 0 ? "upload ok" : "upload fail");
    // The upload rewrote the chip, the flags and the images: the selection must keep those images, and it
    // runs even for the chip already shown so that the views show them. The Link stores the catalogue name,
    // the selector may list it under its cfg.db name. A chip the list does not know falls back to the chip shown.
    const QString uploaded = cfgDisplayName(g_currentMcu.strName);
    m_bResetOnSelect = false;
    selectChip(ui->comboBox_icType->findText(uploaded) >= 0 ? uploaded : ui->comboBox_icType->currentText());
    if (nRt == 0)
        setModified(true);
    enableAll();
}

void mcu_writer::on_eraseFlash_action_triggered()
{
    if (boxes::ask(this, tr("警告"), tr("确定要清空外部存储flash数据吗?"),
                   QMessageBox::Warning)) {
        qDebug() << "eraseFlash_yes";
        postTask(workThread::TaskEraseExterFlash);
    } else {
        qDebug() << "eraseFlash_no";
    }
}

void mcu_writer::on_update_action_triggered()
{
    if (!boxes::ask(this, promptText(), tr("确定要升级烧录器程序吗?"))) {
        g_bAppBinLoaded.store(0);
        return;
    }
    g_bAppBinLoaded.store(1);
    chooseFirmwareFile();
    if (g_bAppBinLoaded.load() == 1)
        postTask(workThread::TaskUpdataWriter);
}

void mcu_writer::slt_Updata_action_done(int nRt)
{
    showOperationVerdict(tr("Link操作"), nRt);
    showResult(nRt);
    enableAll();
}

void mcu_writer::slt_ErrorLog_action_done(int nRt)
{
    qDebug() << "on_ErrorLog_action_done";
    appendLog(engineText(linkErrorLogText(nRt)));
}

void mcu_writer::on_pushButton_clicked()
{
    if (refuseSingleWire())
        return;
    postTask(workThread::TaskReadFacParam);
}

void mcu_writer::slt_read_fac_done(int nRt)
{
    showOperationVerdict(tr("读取出厂参数"), nRt);
    showResult(nRt);
    if (nRt == 0)
        m_nvrPage->showFactoryParameters();
    enableAll();
}

void mcu_writer::slt_read_fw(ushort H, ushort M, ushort L)
{
    if (H == 0 && M == 0 && L == 0)
        return;
    ui->label_fw_version->setText(QString::asprintf("V%d.%d.%d", H, M, L));
    m_firmware = QStringLiteral("%1.%2.%3").arg(H).arg(M).arg(L);
    setConnected(true);
}
