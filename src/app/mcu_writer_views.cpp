#include "mcu_writer.h"
#include "ui_mcu_writer.h"

#include "boxes/boxes.h"
#include "elidedlabel.h"
#include "hexview.h"
#include "summary.h"
#include "chip/images.h"
#include "settings/writersettingspage.h"

#include <QCursor>
#include <QDebug>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {
const QString kStars = QStringLiteral("****");

QString sumText(uint16_t sum)
{
    return QString::asprintf("%04X", sum);
}

bool wideCells()
{
    return g_currentMcu.ucDataWidth == 16;
}

// Writes every existing cell of `table` from `cellValue(index)`, with signals and repaints held back.
template <typename CellValue>
void fillTable(QTableWidget *table, int maxRows, bool wide, CellValue cellValue)
{
    const QSignalBlocker blocker(table);
    table->setUpdatesEnabled(false);
    const int rows = std::min(table->rowCount(), maxRows);
    const int cols = std::min(table->columnCount(), 16);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QString text = cellText(cellValue(r * 16 + c), wide);
            if (QTableWidgetItem *item = table->item(r, c))
                item->setText(text);
            else
                table->setItem(r, c, new QTableWidgetItem(text));
        }
    }
    table->setUpdatesEnabled(true);
}

// Byte or high-byte-first word `index` of `buf`, within `capacity`.
uint32_t readCell(const uint8_t *buf, uint32_t capacity, uint32_t index, bool wide)
{
    if (!wide)
        return index < capacity ? buf[index] : 0xFF;
    const uint32_t at = index * 2;
    return at + 1 < capacity ? (uint32_t(buf[at]) << 8) | buf[at + 1] : 0xFFFF;
}

// Stores a cell; false when it lies beyond the image.
bool writeCell(uint8_t *buf, uint32_t capacity, uint32_t index, bool wide, uint32_t value)
{
    if (!wide) {
        if (index >= capacity)
            return false;
        buf[index] = static_cast<uint8_t>(value);
        return true;
    }
    const uint32_t at = index * 2;
    if (at + 1 >= capacity)
        return false;
    buf[at] = static_cast<uint8_t>(value >> 8);
    buf[at + 1] = static_cast<uint8_t>(value);
    return true;
}
}

// ROM view -------------------------------------------------------------------------------------------------

void mcu_writer::updateBinView()
{
    fillBinAndSum(g_ucBinBuf, g_nBinSize);
    ui->textEdit_bin->setPlainText(romViewText(g_ucBinBuf, flashSizeBytes()));
    showBinCheckSum();
}

void mcu_writer::showBinCheckSum()
{
    ui->label_bin->setText(g_bEnBin ? sumText(g_nBinCheckSum) : kStars);
}

// BootLoader / NVR1 table ------------------------------------------------------------------------------------

void mcu_writer::updateBLView()
{
    fillBLAndSum(g_ucNVRBinBuf, g_nNVRBinSize);
    fillBLTable();
    showBLCheckSum();
}

void mcu_writer::fillBLTable()
{
    fillTable(ui->tableWidget_NVR1, ui->tableWidget_NVR1->rowCount(), false,
              [](uint32_t i) { return readCell(g_ucNVRBinBuf, NVR_BIN_BUF_SIZE, i, false); });
    m_bNVR1TableReady = true;
}

void mcu_writer::updateNVR1Table()
{
    if (g_currentMcu.nBootSectors != 0) {
        fillBLTable();
        return;
    }
    const bool wide = wideCells();
    fillTable(ui->tableWidget_NVR1, 128, wide,
              [wide](uint32_t i) { return readCell(g_ucNVRBuf1, NVR_BUF_SIZE, i, wide); });
    m_bNVR1TableReady = true;
}

void mcu_writer::showBLCheckSum()
{
    if (g_currentMcu.nBootSectors != 0)
        ui->label_bl->setText(g_bEnBL ? sumText(g_nNVRBinCheckSum) : kStars);
    else
        ui->label_bl->setText(g_bEnNVR1 ? sumText(g_nNVRCheckSum1) : kStars);
}

void mcu_writer::updateEETable()
{
    const bool wide = wideCells();
    fillTable(ui->tableWidget_EE, 128, wide,
              [wide](uint32_t i) { return readCell(g_ucEEBuf, NVR_BUF_SIZE, i, wide); });
    m_bEETableReady = true;
}

void mcu_writer::startNVR1Reenable()
{
    m_bBLTableLoading = true;
    ui->tableWidget_NVR1->setEnabled(false);
    m_nvr1Timer->start();
}

void mcu_writer::slt_nvr1_timer_timeout()
{
    m_nvr1Timer->stop();
    ui->tableWidget_NVR1->setEnabled(true);
    m_bBLTableLoading = false;
}

// An operation may write the images from the worker (a read back fills them): while it runs the tables take
// no edits and no fill commands, so the window never writes an image the worker writes too.
void mcu_writer::setDataViewsEditable(bool editable)
{
    m_bViewsLocked = !editable;
    const QAbstractItemView::EditTriggers triggers = editable
        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
        : QAbstractItemView::NoEditTriggers;
    ui->tableWidget_EE->setEditTriggers(triggers);
    ui->tableWidget_NVR1->setEditTriggers(triggers);
    if (editable && m_bEditDropped) {
        m_bEditDropped = false;
        updateEETable();
        updateNVR1Table();
    }
}

void mcu_writer::noteEditDropped()
{
    if (!m_bEditDropped)
        appendLog(tr("操作进行中，表格不能修改：刚才输入的值没有保存"));
    m_bEditDropped = true;
    m_labelMsg->setText(tr("操作进行中，表格的修改没有保存"));
}

// Cell edits -----------------------------------------------------------------------------------------------

void mcu_writer::on_tableWidget_EE_itemChanged(QTableWidgetItem *item)
{
    if (!m_bEETableReady)
        return;
    if (m_bViewsLocked) {
        // An editor opened before the operation started: its text is dropped, the image stays; the table
        // is shown afresh once the operation is over.
        noteEditDropped();
        return;
    }
    const bool wide = wideCells();
    uint32_t value = 0;
    if (!parseCell(item->text(), wide, &value)) {
        boxes::inform(this, tr("提示"), tr("输入错误"));
        item->setText(wide ? QStringLiteral("ffff") : QStringLiteral("ff"));
        return;
    }
    const uint32_t index = uint32_t(std::min(item->row(), 127)) * 16 + uint32_t(std::min(item->column(), 15));
    writeCell(g_ucEEBuf, NVR_BUF_SIZE, index, wide, value);
    calcEECheckSum();
    setModified(true);
}

void mcu_writer::on_tableWidget_NVR1_itemChanged(QTableWidgetItem *item)
{
    if (!m_bNVR1TableReady || m_bBLTableLoading)
        return;
    if (m_bViewsLocked) {
        noteEditDropped();
        return;
    }
    const bool bootLoader = g_currentMcu.nBootSectors != 0;
    const bool wide = !bootLoader && wideCells();
    uint32_t value = 0;
    if (!parseCell(item->text(), wide, &value)) {
        boxes::inform(this, tr("提示"), tr("输入错误"));
        item->setText(wide ? QStringLiteral("ffff") : QStringLiteral("ff"));
        return;
    }
    if (bootLoader) {
        const uint32_t index = uint32_t(item->row()) * 16 + uint32_t(item->column());
        if (!writeCell(g_ucNVRBinBuf, NVR_BIN_BUF_SIZE, index, false, value))
            return;
        g_nNVRBinSize = std::max(g_nNVRBinSize, index + 1);
        qDebug() << "BL size=" << g_currentMcu.nBootSectors << "sector size=" << g_currentMcu.nSectorSize;
        g_nNVRBinCheckSum = sum16(g_ucNVRBinBuf, bootLoaderSizeBytes());
        ui->label_bl->setText(sumText(g_nNVRBinCheckSum));
        setModified(true);
        return;
    }
    const uint32_t index = uint32_t(std::min(item->row(), 127)) * 16 + uint32_t(item->column());
    writeCell(g_ucNVRBuf1, NVR_BUF_SIZE, index, wide, value);
    calcNVR1CheckSum();
    ui->label_bl->setText(sumText(g_nNVRCheckSum1));
    setModified(true);
}

// Context menus ----------------------------------------------------------------------------------------------

void mcu_writer::slt_tableWidget_EE_customContextMenuRequested(const QPoint &)
{
    if (!m_bViewsLocked)
        m_menuEE->popup(QCursor::pos());
}

void mcu_writer::slt_tableWidget_NVR1_customContextMenuRequested(const QPoint &)
{
    if (!m_bViewsLocked)
        (g_currentMcu.nBootSectors != 0 ? m_menuBL : m_menuNVR1)->popup(QCursor::pos());
}

void mcu_writer::slt_textEdit_bin_customContextMenuRequested(const QPoint &)
{
    if (!m_bViewsLocked)
        m_menuBin->popup(QCursor::pos());
}

// Fill commands ----------------------------------------------------------------------------------------------

void mcu_writer::fillRom(uint8_t value, bool ramp, const QString &logPrefix)
{
    const uint32_t size = flashSizeBytes();
    if (ramp) {
        std::memset(g_ucBinBuf, 0xFF, BIN_BUF_SIZE);
        for (uint32_t i = 0; i < size; ++i)
            g_ucBinBuf[i] = static_cast<uint8_t>(i % 256);
    } else {
        std::memset(g_ucBinBuf, value, BIN_BUF_SIZE);
    }
    g_nBinSize = size;
    updateBinView();
    appendLog(logPrefix + QString::number(g_nBinSize) + tr("字节"));
    setModified(true);
}

void mcu_writer::fillBootLoader(uint8_t value, bool ramp, const QString &logPrefix)
{
    const uint32_t size = bootLoaderSizeBytes();
    if (ramp) {
        std::memset(g_ucNVRBinBuf, 0xFF, NVR_BIN_BUF_SIZE);
        for (uint32_t i = 0; i < size; ++i)
            g_ucNVRBinBuf[i] = static_cast<uint8_t>(i % 256);
    } else {
        std::memset(g_ucNVRBinBuf, value, NVR_BIN_BUF_SIZE);
    }
    g_nNVRBinSize = size;
    updateBLView();
    appendLog(logPrefix + QString::number(g_nNVRBinSize) + tr("字节"));
    setModified(true);
}

void mcu_writer::slt_textEdit_bin_zero_action_triggered() { fillRom(0x00, false, QStringLiteral("Rom: ")); }
void mcu_writer::slt_textEdit_bin_fill_action_triggered() { fillRom(0xFF, false, QStringLiteral("Rom: ")); }
void mcu_writer::slt_textEdit_bin_zero_ff_action_triggered() { fillRom(0, true, QStringLiteral("Rom: ")); }

void mcu_writer::slt_textEdit_bin_xx_action_triggered()
{
    bool ok = false;
    const QString text = boxes::askText(this, tr("输入"), tr("输入2位16进制数"),
                                        QStringLiteral("00"), &ok);
    if (ok)
        fillRom(fillValueFromText(text), false, QStringLiteral("Rom: "));
}

void mcu_writer::slt_tableWidget_BL_zero_action_triggered()
{
    fillBootLoader(0x00, false, QStringLiteral("BootLoader: "));
}

void mcu_writer::slt_tableWidget_BL_fill_action_triggered()
{
    fillBootLoader(0xFF, false, tr("BootLoader："));
}

void mcu_writer::slt_tableWidget_BL_zero_ff_action_triggered()
{
    fillBootLoader(0, true, tr("BootLoader："));
}

void mcu_writer::slt_tableWidget_BL_xx_action_triggered()
{
    bool ok = false;
    const QString text = boxes::askText(this, tr("输入"), tr("输入2位16进制数"),
                                        QStringLiteral("00"), &ok);
    if (ok)
        fillBootLoader(fillValueFromText(text), false, tr("BootLoader："));
}

void mcu_writer::slt_tableWidget_EE_zero_action_triggered()
{
    std::memset(g_ucEEBuf, 0x00, nvrSectorBytes());
    updateEETable();
    setModified(true);
}

void mcu_writer::slt_tableWidget_EE_fill_action_triggered()
{
    std::memset(g_ucEEBuf, 0xFF, nvrSectorBytes());
    updateEETable();
    setModified(true);
}

void mcu_writer::slt_tableWidget_NVR1_zero_action_triggered()
{
    std::memset(g_ucNVRBuf1, 0x00, nvrSectorBytes());
    updateNVR1Table();
    setModified(true);
}

void mcu_writer::slt_tableWidget_NVR1_fill_action_triggered()
{
    std::memset(g_ucNVRBuf1, 0xFF, nvrSectorBytes());
    updateNVR1Table();
    setModified(true);
}

// Area switches ----------------------------------------------------------------------------------------------

void mcu_writer::on_checkBox_bin_clicked(bool checked)
{
    g_bEnBin = checked;
    {
        const QSignalBlocker b1(ui->groupBox_bin);
        const QSignalBlocker b2(ui->checkBox_bin);
        ui->groupBox_bin->setChecked(checked);
        ui->checkBox_bin->setChecked(checked);
    }
    if (checked) {
        updateBinView();
        qDebug() << "g_nBinSize=" << g_nBinSize;
        m_writerPage->warnFlashOverlap();
        ui->textEdit_bin->setEnabled(true);
        showBinCheckSum();
    } else {
        ui->label_bin->setText(kStars);
        ui->textEdit_bin->setEnabled(false);
    }
    updateSettingsSummary();
    setModified(true);  // the project keeps which areas are ticked
}

void mcu_writer::on_groupBox_bin_clicked(bool checked)
{
    on_checkBox_bin_clicked(checked);
}

void mcu_writer::on_checkBox_bl_clicked(bool checked)
{
    on_groupBox_NVR1_clicked(checked);
}

void mcu_writer::on_groupBox_NVR1_clicked(bool checked)
{
    {
        const QSignalBlocker b1(ui->groupBox_NVR1);
        const QSignalBlocker b2(ui->checkBox_bl);
        ui->groupBox_NVR1->setChecked(checked);
        ui->checkBox_bl->setChecked(checked);
    }
    if (g_currentMcu.nBootSectors != 0) {
        g_bEnBL = checked;
        if (checked) {
            g_nNVRBinSize = bootLoaderSizeBytes();
            updateBLView();
            qDebug() << "nvr bin max size" << g_nNVRBinSize;
        } else {
            ui->label_bl->setText(kStars);
        }
    } else {
        g_bEnNVR1 = checked;
        if (checked) {
            m_writerPage->warnNvr1Overlap();
            updateNVR1Table();
            calcNVR1CheckSum();
        }
        showBLCheckSum();
    }
    updateSettingsSummary();
    setModified(true);
}

void mcu_writer::on_groupBox_EE_clicked(bool checked)
{
    g_bEnEE = checked;
    if (checked) {
        m_writerPage->warnEepromOverlap();
        updateEETable();
        calcEECheckSum();
    }
    updateSettingsSummary();
    setModified(true);
}

void mcu_writer::on_pushButton_clean_clicked()
{
    ui->textEdit_ErorLog->clear();
}

void mcu_writer::updateSettingsSummary()
{
    m_labelSummary->setFullText(settingsSummaryText(currentSummaryFlags()));
}
