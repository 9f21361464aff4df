#include "mcu_writer.h"
#include "ui_mcu_writer.h"

#include "chip/images.h"
#include "options/nvroptionspage.h"
#include "production/productionsettings.h"
#include "settings/writersettingspage.h"

#include <QDebug>
#include <QHeaderView>
#include <QSignalBlocker>

#include <cstring>

namespace {
const QString kStars = QStringLiteral("****");
}

void mcu_writer::selectChip(const QString &name)
{
    if (ui->comboBox_icType->currentText() == name) {
        on_comboBox_icType_currentTextChanged(name);
    } else {
        const QSignalBlocker blocker(ui->comboBox_icType);
        ui->comboBox_icType->setCurrentText(name);
        on_comboBox_icType_currentTextChanged(name);
    }
}

void mcu_writer::on_comboBox_icType_currentTextChanged(const QString &arg1)
{
    const McuInfo *mcu = findMcuByName(m_mcuList.list(), arg1);
    if (!mcu)
        return;
    g_currentMcu = *mcu;
    qDebug() << "init g_currentMcu";
    qDebug() << "mcu name is" << g_currentMcu.strName;
    qDebug() << "mcu arch is" << g_currentMcu.nArch;
    qDebug() << "mcu flash size is" << g_currentMcu.nFlashSizeKB;
    qDebug() << QString::asprintf("mcu icid is 0x%04x", g_currentMcu.nID);

    sizeNVR1Table();

    m_nvrPage->applyNvr2Visibility(g_currentMcu.strNvr2Options);

    if (m_bResetOnSelect) {
        resetImages();
        resetProduction();
    }
    m_bResetOnSelect = true;

    syncAreasWithFlags();
    showMemorySize();
    updateSettingsSummary();
}

void mcu_writer::sizeNVR1Table()
{
    QTableWidget *t = ui->tableWidget_NVR1;
    uint32_t cells;
    if (g_currentMcu.nBootSectors == 0) {
        cells = g_currentMcu.nSectorSize * g_currentMcu.nNvr1Sectors;
        if (g_currentMcu.ucDataWidth == 16)
            cells /= 2;
    } else {
        cells = bootLoaderSizeBytes();
        qDebug() << QString::asprintf("1111 mcu icid is 0x%04x", g_currentMcu.nID);
        // Tab 1 by position: the selection made while the window is built still sees every page, so it
        // titles the settings page (removed right after) and the NVR1 page starts out as "NVR1".
        ui->tabWidget->setTabText(1, g_currentMcu.nID == 0x2710 ? QStringLiteral("NVR")
                                                                 : QStringLiteral("BootLoader"));
        ui->tabWidget->update();
    }
    const QSignalBlocker blocker(t);
    t->setColumnCount(16);
    t->setRowCount(static_cast<int>((cells + 15) / 16));
    showHexHeaders(t, g_currentMcu.nBootSectors == 0 && g_currentMcu.ucDataWidth == 16 ? 2 : 1);

    // The EEPROM table follows the EEPROM size, at most 128 rows.
    uint32_t eeCells = g_currentMcu.nEepromSize;
    if (g_currentMcu.ucDataWidth == 16)
        eeCells /= 2;
    const QSignalBlocker eeBlocker(ui->tableWidget_EE);
    ui->tableWidget_EE->setColumnCount(16);
    ui->tableWidget_EE->setRowCount(static_cast<int>(std::min<uint32_t>((eeCells + 15) / 16, 128)));
    showHexHeaders(ui->tableWidget_EE, g_currentMcu.ucDataWidth == 16 ? 2 : 1);
}

// Columns 00..0F and rows by the address of their first cell, in hex like every address of the window; the
// 16 columns share the table's width so none hides behind a scroll bar.
void mcu_writer::showHexHeaders(QTableWidget *table, int bytesPerCell)
{
    QStringList columns;
    for (int c = 0; c < 16; ++c)
        columns << QString::asprintf("%02X", c);
    table->setHorizontalHeaderLabels(columns);
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << QString::asprintf("%04X", unsigned(r * 16 * bytesPerCell));
    table->setVerticalHeaderLabels(rows);
    table->horizontalHeader()->setMinimumSectionSize(24);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void mcu_writer::syncAreasWithFlags()
{
    {
        const QSignalBlocker b1(ui->groupBox_bin);
        const QSignalBlocker b2(ui->checkBox_bin);
        if (g_bEnBin) {
            ui->groupBox_bin->setChecked(true);
            updateBinView();
            ui->checkBox_bin->setChecked(true);
        } else {
            ui->label_bin->setText(kStars);
            g_nBinSize = 0;
            ui->groupBox_bin->setChecked(false);
            ui->checkBox_bin->setChecked(false);
            updateBinView();
            ui->label_bin->setText(kStars);
        }
        ui->textEdit_bin->setEnabled(g_bEnBin);
    }

    {
        const QSignalBlocker b(ui->groupBox_EE);
        if (!g_bEnEE) {
            std::memset(g_ucEEBuf, 0xFF, eepromSizeBytes());
            ui->groupBox_EE->setChecked(false);
        } else {
            ui->groupBox_EE->setChecked(true);
        }
        updateEETable();
    }

    if (g_currentMcu.nBootSectors == 0) {
        if (!g_bEnNVR1) {
            std::memset(g_ucNVRBuf1, 0xFF, nvrSectorBytes());
            ui->label_bl->setText(kStars);
            updateNVR1Table();
        } else {
            updateNVR1Table();
            calcNVR1CheckSum();
            showBLCheckSum();
        }
    } else {
        const QSignalBlocker b(ui->checkBox_bl);
        if (!g_bEnBL) {
            std::memset(g_ucNVRBinBuf, 0xFF, NVR_BIN_BUF_SIZE);
            ui->label_bl->setText(kStars);
            ui->checkBox_bl->setChecked(false);
            fillBLTable();
        } else {
            updateBLView();
            ui->checkBox_bl->setChecked(true);
        }
    }
    {
        const QSignalBlocker b(ui->groupBox_NVR1);
        ui->groupBox_NVR1->setChecked(g_bEnNVR1 || g_bEnBL);
    }

    if (!g_bEnNVR2)
        std::memset(g_ucNVRBuf2, 0xFF, nvrSectorBytes());
    showNvr2State();
    m_writerPage->showRecords();
}

void mcu_writer::showNvr2State()
{
    const QSignalBlocker b(ui->groupBox_NVR2);
    ui->groupBox_NVR2->setChecked(g_bEnNVR2);
    if (g_bEnNVR2) {
        calcNVR2CheckSum();
        ui->label_nvr2->setText(QString::asprintf("%04X", g_nNVRCheckSum2));
        ui->label_userCfgState->setText(tr("Enable"));
    } else {
        ui->label_nvr2->setText(kStars);
        ui->label_userCfgState->setText(tr("Disable"));
    }
    m_nvrPage->showNvr2();
}

void mcu_writer::showMemorySize()
{
    ui->label_memory_size->setText(QStringLiteral("%1 KB").arg(g_currentMcu.nFlashSizeKB));
}
