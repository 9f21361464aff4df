#include "mcu_writer.h"
#include "systemreason.h"
#include "ui_mcu_writer.h"

#include "savetarget.h"
#include "boxes/boxes.h"
#include "chip/images.h"
#include "files/binfile.h"
#include "files/filekind.h"
#include "files/hexfile.h"
#include "files/imagetarget.h"
#include "files/projectfile.h"
#include "files/tablefiles.h"
#include "link/firmwarefile.h"
#include "options/nvroptionspage.h"
#include "settings/writersettingspage.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {
QString openTitleText()
{
    return QCoreApplication::translate("mcu_writer", "打开文件");
}
QString saveTitleText()
{
    return QCoreApplication::translate("mcu_writer", "保存文件");
}
const QString kEepFilter = QStringLiteral("eep(*.eep);;*(*.*)");
const QString kNvrFilter = QStringLiteral("nvr(*.nvr);;*(*.*)");
const QString kFirmwareFilter = QStringLiteral("bin(*.bin)");

QString timeText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
}

bool mcu_writer::bootLoaderTabCurrent() const
{
    return ui->tabWidget->currentIndex() == m_nBLTabIndex;
}

void mcu_writer::rememberDir(const QString &path)
{
    m_strLastDir = path.left(path.lastIndexOf(QLatin1Char('/')));
}

void mcu_writer::showLoadedBL()
{
    m_bBLTableLoading = true;
    updateBLView();
    appendLog(tr("BootLoader：") + QString::number(g_nNVRBinSize) + tr("字节"));
    startNVR1Reenable();
    m_nvrPage->showNvr2();
}

void mcu_writer::showLoadedBin()
{
    qDebug() << "g_nBinSize =" << g_nBinSize;
    updateBinView();
    appendLog(QStringLiteral("Rom: ") + QString::number(g_nBinSize) + tr("字节"));
    m_nvrPage->showNvr2();
}

void mcu_writer::on_open_action_triggered()
{
    const QString path = boxes::openFileName(this, tr("打开文件"), m_strLastDir,
                                             QStringLiteral("HEX/BIN/MPRJ(*.hex *.ihx *.bin *.mprj)"));
    if (path.isEmpty()) {
        qDebug() << "fileName.isEmpty";
        appendLog(tr("未打开文件"));
        return;
    }
    rememberDir(path);
    if (fileKindOf(path) != FileKind::Other && !confirmDiscardChanges())
        return;

    FileMessages msgs;
    msgs.box = [this](const QString &title, const QString &text) { boxes::warn(this, title, text); };
    msgs.log = [this](const QString &text) { appendLog(text); };
    const bool toBootLoader = bootLoaderTabCurrent() && g_bEnBL;

    switch (fileKindOf(path)) {
    case FileKind::Hex:
        qDebug() << "read hex";
        if (readHexFile(path, imageTargetFor(bootLoaderTabCurrent()), msgs) != 0) {
            appendLog(tr("hex 文件为空"));
            showLoadFailure(path, tr("hex 文件为空"));
            return;
        }
        qDebug() << "index:" << ui->tabWidget->currentIndex();
        if (toBootLoader) {
            m_strBLHexPath = path;
            m_tBLHexTime = QFileInfo(path).lastModified();
            qDebug() << timeText(m_tBLHexTime);
            showLoadedBL();
        } else {
            m_strBinHexPath = path;
            m_tBinHexTime = QFileInfo(path).lastModified();
            qDebug() << timeText(m_tBinHexTime);
            showLoadedBin();
        }
        break;
    case FileKind::Bin:
        qDebug() << "read bin";
        if (readBinFile(path, imageTargetFor(bootLoaderTabCurrent()), msgs) != 0) {
            appendLog(tr("bin 文件为空"));
            showLoadFailure(path, tr("bin 文件为空"));
            return;
        }
        toBootLoader ? showLoadedBL() : showLoadedBin();
        break;
    case FileKind::Project:
        openProject(path, msgs);
        break;
    case FileKind::Other:
        break;
    }
}

// A project that fails to load part way has already replaced some of the images; the window then puts back
// the project it held before, so what it shows is what it holds and no work is lost.
void mcu_writer::openProject(const QString &path, const FileMessages &msgs)
{
    const QByteArray before = projectBytes();
    const QString chipBefore = ui->comboBox_icType->currentText();
    const auto select = [this](const QString &name) {
        m_bResetOnSelect = false;
        selectChip(name);
    };
    if (loadProject(path, m_mcuList.list(), select, msgs) == 0) {
        showLoadedProject();
        setModified(false);
        return;
    }
    appendLog(tr("项目文件不完整"));
    QBuffer saved;
    saved.setData(before);
    saved.open(QIODevice::ReadOnly);
    if (loadProjectFrom(saved, m_mcuList.list(), select, FileMessages()) != 0) {
        // Cannot happen for bytes this program wrote; a clean chip is still better than a mixed state.
        selectChip(chipBefore);
    }
    showLoadedProject();
    showLoadFailure(path, tr("项目文件不完整"));
}

// The log alone is easy to miss, and the sizes logged for the project put back read like a success.
void mcu_writer::showLoadFailure(const QString &path, const QString &reason)
{
    showVerdict(false, QStringLiteral("NG"), tr("未加载：%1").arg(reason));
    boxes::warn(this, tr("打开失败"),
                tr("没有加载 %1：%2").arg(QDir::toNativeSeparators(path), reason));
}

void mcu_writer::showLoadedProject()
{
    updateBinView();
    if (g_currentMcu.nBootSectors != 0)
        updateBLView();
    updateEETable();
    updateNVR1Table();
    showBLCheckSum();
    showNvr2State();
    m_writerPage->showRecords();
    updateSettingsSummary();
    bootLoaderTabCurrent() && g_bEnBL ? showLoadedBL() : showLoadedBin();
}

void mcu_writer::on_save_action_triggered()
{
    QString filter;
    const QString chosen = boxes::saveFileName(this, tr("保存文件"), m_strLastDir,
                                               QStringLiteral("bin(*.bin);;mprj(*.mprj)"), &filter);
    if (chosen.isEmpty())
        return;
    const SaveTarget target = saveTargetFor(chosen, filter);
    // The file dialog asked about the name as typed; a name it did not see is asked about here.
    if (target.path != chosen && QFileInfo::exists(target.path)
        && !boxes::ask(this, tr("提示"),
                       tr("%1 已存在，要替换它吗？").arg(QDir::toNativeSeparators(target.path)))) {
        return;
    }
    int rc;
    QString error;
    if (target.format == SaveFormat::Bin && g_bEnBin && g_bEnBL) {
        boxes::warn(this, tr("警告"),
                    tr("一个bin文件只能保存一个区域。\n请只勾选ROM或BootLoader中的一个再保存为bin，"
                       "或者保存为项目文件(.mprj)，它同时保存两个区域。"));
        return;
    }
    if (target.format == SaveFormat::Bin) {
        qDebug() << "fileName =" << target.path;
        FileMessages msgs;
        msgs.box = [this](const QString &title, const QString &text) { boxes::warn(this, title, text); };
        rc = saveBin(target.path, msgs, &error);
        if (rc == -1)
            return;  // both areas enabled: already said
    } else {
        qDebug() << "save file .";
        rc = saveProject(target.path, &error);
    }
    if (rc != 0) {
        showSaveFailure(target.path, error);
        return;
    }
    appendLog(tr("已保存 %1").arg(QDir::toNativeSeparators(target.path)));
    if (target.format == SaveFormat::Project)
        setModified(false);
}

// `error` is the system's own words for what went wrong, shown after ours.
void mcu_writer::showSaveFailure(const QString &path, const QString &error)
{
    const QString reason = error.isEmpty() ? saveFailureReason(path)
                                           : QStringLiteral("%1 (%2)").arg(saveFailureReason(path), systemReasonText(error));
    boxes::critical(this, tr("错误"),
                    tr("保存失败：%1\n原因：%2\n原有的文件没有改动。").arg(QDir::toNativeSeparators(path), reason));
}

bool mcu_writer::confirmDiscardChanges()
{
    return !m_bModified
           || boxes::ask(this, tr("提示"), tr("当前项目有未保存的修改，确定放弃这些修改吗？"),
                         QMessageBox::Warning);
}

void mcu_writer::setModified(bool modified)
{
    m_bModified = modified;
}

// A HEX file changed on disk since it was loaded is read again before a burn.
void mcu_writer::reloadChangedHexFiles()
{
    FileMessages msgs;
    msgs.box = [this](const QString &title, const QString &text) { boxes::warn(this, title, text); };
    msgs.log = [this](const QString &text) { appendLog(text); };

    const QDateTime blTime = QFileInfo(m_strBLHexPath).lastModified();
    qDebug() << timeText(blTime);
    if (!m_strBLHexPath.isEmpty() && blTime != m_tBLHexTime && reloadBLHex(m_strBLHexPath, msgs) == 0) {
        m_tBLHexTime = blTime;
        if (g_bEnBL)
            showLoadedBL();
    }
    const QDateTime binTime = QFileInfo(m_strBinHexPath).lastModified();
    qDebug() << timeText(binTime);
    if (!m_strBinHexPath.isEmpty() && binTime != m_tBinHexTime && reloadBinHex(m_strBinHexPath, msgs) == 0) {
        m_tBinHexTime = binTime;
        if (g_bEnBin)
            showLoadedBin();
    }
}

// Table files ----------------------------------------------------------------------------------------------

void mcu_writer::slt_tableWidget_EE_open_action_triggered()
{
    const QString path = boxes::openFileName(this, openTitleText(), m_strLastDir, kEepFilter);
    if (path.isEmpty()) {
        appendLog(tr("未打开文件"));
        return;
    }
    rememberDir(path);
    if (readEepFile(path) == 0)
        setModified(true);
    updateEETable();
}

void mcu_writer::slt_tableWidget_EE_save_action_triggered()
{
    const QString path = boxes::saveFileName(this, saveTitleText(), m_strLastDir, kEepFilter);
    QString error;
    if (!path.isEmpty() && saveEepFile(path, &error) != 0)
        showSaveFailure(path, error);
}

void mcu_writer::slt_tableWidget_NVR1_open_action_triggered()
{
    const QString path = boxes::openFileName(this, openTitleText(), m_strLastDir, kNvrFilter);
    if (path.isEmpty()) {
        appendLog(tr("未打开文件"));
        return;
    }
    rememberDir(path);
    if (readNvrFile(path) == 0)
        setModified(true);
    updateNVR1Table();
}

void mcu_writer::slt_tableWidget_NVR1_save_action_triggered()
{
    const QString path = boxes::saveFileName(this, saveTitleText(), m_strLastDir, kNvrFilter);
    QString error;
    if (!path.isEmpty() && saveNvrFile(path, &error) != 0)
        showSaveFailure(path, error);
}

// Link firmware ----------------------------------------------------------------------------------------------

bool mcu_writer::chooseFirmwareFile()
{
    QString filter;
    const QString path = boxes::openFileName(this, openTitleText(), m_strLastDir, kFirmwareFilter, &filter);
    if (!path.isEmpty()) {
        rememberDir(path);
        qDebug() << "fileName is = " << path;
    }
    if (path.isEmpty() || filter != kFirmwareFilter) {
        g_bAppBinLoaded.store(0);
        return false;
    }
    bool truncated = false;
    const int rt = loadFirmwareFile(path, &truncated);
    if (rt == FirmwareBadName) {
        boxes::warn(this, tr("警告"),
                    tr("固件文件名需包含2位硬件版本号和6位软件版本号，例如 Link-02-010203.bin"));
        return false;
    }
    if (rt != FirmwareRead) {
        boxes::warn(this, tr("警告"), tr("固件文件读取失败"));
        return false;
    }
    qDebug() << "up_datHardware =" << up_datHardware;
    qDebug() << "up_datSoftware =" << up_datSoftware;
    if (truncated) {
        const QString text = tr("烧录器最大程序空间为%1").arg(FIRMWARE_MAX_SIZE);
        boxes::warn(this, tr("警告"), text);
        appendLog(text);
    }
    appendLog(tr("固件长度 = ") + QString::number(g_nAppBinSize));
    return true;
}
