#include "mcu_writer.h"
#include "ui_mcu_writer.h"

#include "boxes/boxes.h"
#include "emulatormenu.h"
#include "passverdict.h"
#include "serialspacechoice.h"
#include "summary.h"
#include "systemreason.h"
#include "windowledger.h"
#include "chip/images.h"
#include "engine/engineflags.h"
#include "engine/resultcodes.h"
#include "link/linkstate.h"
#include "records/productionlog.h"
#include "settings/ledgerchoice.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QSignalBlocker>
#include <QToolButton>

namespace {
const char kNeutralStyle[] = "QLabel { background: #e6e6e6; color: #606060; border-radius: 6px; }";
const char kOkStyle[] = "QLabel { background: #1f9d3f; color: white; border-radius: 6px; }";
const char kNgStyle[] = "QLabel { background: #d32f2f; color: white; border-radius: 6px; }";
constexpr int kVerdictHeadlinePt = 30;
constexpr int kVerdictDetailPt = 16;
constexpr int kVerdictPadding = 12;  // kept free at either end of the banner

// The checksum an OK names: the image the pass burned first of all.
uint16_t burnedChecksum()
{
    if (g_bEnBin)
        return g_nBinCheckSum;
    if (g_bEnBL)
        return g_nNVRBinCheckSum;
    if (g_bEnNVR1)
        return g_nNVRCheckSum1;
    if (g_bEnNVR2)
        return g_nNVRCheckSum2;
    return g_nNVRCheckSum3;
}
}

void mcu_writer::setupResultArea()
{
    ui->label_result->setTextFormat(Qt::RichText);
    showResultWaiting();

    m_labelCounters = new QLabel(this);
    m_labelCounters->setObjectName(QStringLiteral("label_counters"));
    auto *reset = new QToolButton(this);
    reset->setObjectName(QStringLiteral("pushButton_resetCounters"));
    reset->setText(tr("清零"));
    reset->setToolTip(tr("计数清零"));
    connect(reset, &QToolButton::clicked, this, &mcu_writer::slt_reset_counters);
    // Beside the OK/NG bar, where the operator looks anyway, not in the status bar, which has no room left
    // once the settings summary is long.
    auto *counters = new QVBoxLayout;
    counters->setSpacing(4);
    counters->addStretch();
    counters->addWidget(m_labelCounters);
    m_labelSerial = new QLabel(this);
    m_labelSerial->setObjectName(QStringLiteral("label_lastSerial"));
    m_labelSerial->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_labelSerial->setVisible(false);
    counters->addWidget(m_labelSerial);
    counters->addWidget(reset, 0, Qt::AlignRight);
    counters->addStretch();
    m_labelCounters->setStyleSheet(QStringLiteral("QLabel { font-size: 11pt; font-weight: bold; }"));
    auto *row = new QHBoxLayout;
    const int at = ui->verticalLayout_left->indexOf(ui->label_result);
    ui->verticalLayout_left->removeWidget(ui->label_result);
    row->addWidget(ui->label_result, 1);
    row->addLayout(counters);
    ui->verticalLayout_left->insertLayout(at, row, 0);
    ui->verticalLayout_left->setStretchFactor(ui->tabWidget, 1);
    ui->label_result->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    ui->label_result->setFixedHeight(ui->label_result->minimumHeight() + 8);
    showCounters();

    m_productionLogAction = new QAction(tr("     生产记录(CSV)..."), this);
    m_productionLogAction->setObjectName(QStringLiteral("action_production_log"));
    m_productionLogAction->setCheckable(true);
    ui->menu_file->insertAction(ui->action_exit, m_productionLogAction);
    connect(m_productionLogAction, &QAction::toggled, this, &mcu_writer::slt_production_log_toggled);
    // On the worker, as the pass ends: what it burned is read before anything can change, and the record is
    // written before the loop looks for the next chip.
    connect(&m_work, &workThread::sg_pass_done, this, [this](int nRt, quint16 chipId) {
        const uint16_t checksum = burnedChecksum();
        const QString areas = settingsSummaryText(currentSummaryFlags());
        recordPass(nRt, chipId);
        const QString serial = m_ledger->lastSerialText();
        QMetaObject::invokeMethod(this, [this, nRt, chipId, checksum, areas, serial] {
            showPass(nRt, chipId, checksum, areas, serial);
        }, Qt::QueuedConnection);
    }, Qt::DirectConnection);
}

void mcu_writer::showResultWaiting()
{
    ui->label_result->setStyleSheet(QString::fromLatin1(kNeutralStyle));
    ui->label_result->setText(QStringLiteral("<span style='font-size:16pt'>%1</span>").arg(tr("等待烧写")));
    ui->label_result->setProperty("verdict", QString());
}

// A burn loop asks for the next chip: the bar says so, and keeps the last chip's verdict in small type.
void mcu_writer::showWaitingForChip()
{
    if (ui->label_result->property("verdict").toString() == QLatin1String("wait"))
        return;
    const QString last = ui->label_result->property("verdict").toString();
    const QString lastText = last.isEmpty() ? QString()
        : tr("上一片：%1 %2").arg(last, ui->label_result->property("detail").toString());
    ui->label_result->setStyleSheet(QString::fromLatin1(kNeutralStyle));
    ui->label_result->setText(QStringLiteral("<span style='font-size:16pt'>%1</span>"
                                             "&nbsp;&nbsp;&nbsp;<span style='font-size:10pt'>%2</span>")
                                  .arg(tr("等待芯片..."), lastText.toHtmlEscaped()));
    ui->label_result->setProperty("verdict", QStringLiteral("wait"));
}

void mcu_writer::showVerdict(bool ok, const QString &headline, const QString &detail)
{
    QLabel *banner = ui->label_result;
    banner->setStyleSheet(QString::fromLatin1(ok ? kOkStyle : kNgStyle));
    // The banner is centred and as wide as the window allows: a long reason ("the Link is busy: ...") would
    // push OK/NG itself out of sight. The reason gives way, cut with an ellipsis; the whole of it is in the
    // tooltip and in the log.
    QFont headFont = banner->font();
    headFont.setPointSize(kVerdictHeadlinePt);
    headFont.setBold(true);
    QFont detailFont = banner->font();
    detailFont.setPointSize(kVerdictDetailPt);
    const QFontMetrics detailMetrics(detailFont);
    const int room = banner->contentsRect().width() - 2 * kVerdictPadding
                     - QFontMetrics(headFont).horizontalAdvance(headline)
                     - detailMetrics.horizontalAdvance(QStringLiteral("   "));
    const QString shown = detailMetrics.elidedText(detail, Qt::ElideRight, qMax(room, 0));
    banner->setText(QStringLiteral("<span style='font-size:%3pt; font-weight:bold'>%1</span>"
                                   "&nbsp;&nbsp;&nbsp;<span style='font-size:%4pt'>%2</span>")
                        .arg(headline.toHtmlEscaped(), shown.toHtmlEscaped())
                        .arg(kVerdictHeadlinePt)
                        .arg(kVerdictDetailPt));
    banner->setToolTip(shown == detail ? QString() : detail);
    banner->setProperty("verdict", ok ? QStringLiteral("OK") : QStringLiteral("NG"));
    banner->setProperty("detail", detail);
    if (!ok)
        QApplication::beep();
}

void mcu_writer::showPass(int nRt, uint16_t chipId, uint16_t checksum, const QString &areas, const QString &serial)
{
    m_labelSerial->setVisible(!serial.isEmpty());
    // A failed chip's serial is void: the ledger never gives it again.
    m_labelSerial->setText(nRt == 0 ? tr("序列号: %1").arg(serial) : tr("序列号: %1（作废）").arg(serial));
    const PassVerdict v = passVerdict(nRt, chipId, ui->comboBox_icType->currentText(), checksum);
    showVerdict(v.ok, v.headline, v.detail);
    const QString whole = ui->label_result->toolTip();  // the reason, when the banner had to cut it
    ui->label_result->setToolTip(whole.isEmpty() ? areas : whole + QLatin1Char('\n') + areas);
    if (nRt == ResultCode::WrongChip)
        logWrongChip(chipId);
    ++(v.ok ? m_nPassOk : m_nPassNg);
    showCounters();
}

void mcu_writer::showCounters()
{
    m_labelCounters->setText(tr("OK: %1  NG: %2  总计: %3").arg(m_nPassOk).arg(m_nPassNg).arg(m_nPassOk + m_nPassNg));
}

void mcu_writer::slt_reset_counters()
{
    m_nPassOk = 0;
    m_nPassNg = 0;
    showCounters();
}

// Production record ------------------------------------------------------------------------------------------

void mcu_writer::slt_production_log_toggled(bool on)
{
    if (!on) {
        closeProductionLog();
        return;
    }
    const QString path = boxes::appendFileName(this, tr("生产记录"), m_strLastDir, QStringLiteral("csv(*.csv)"));
    auto log = std::make_unique<ProductionLog>();
    if (path.isEmpty() || !log->open(path)) {
        if (!path.isEmpty())
            boxes::critical(this, tr("错误"),
                            tr("无法打开生产记录 %1：%2").arg(QDir::toNativeSeparators(path), systemReasonText(log->errorString())));
        const QSignalBlocker blocker(m_productionLogAction);
        m_productionLogAction->setChecked(false);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_productionLogMutex);
        m_productionLog = std::move(log);
    }
    m_productionLogPath = path;
    appendLog(tr("生产记录：%1").arg(QDir::toNativeSeparators(path)));
}

void mcu_writer::closeProductionLog()
{
    std::lock_guard<std::mutex> lock(m_productionLogMutex);
    m_productionLog.reset();
}

// Worker thread, as the pass ends: the record is on the disk, and in the ledger, before the loop looks for the
// next chip. One that cannot be written stops the loops there; the window says so once the pass's signal
// arrives.
void mcu_writer::recordPass(int nRt, uint16_t chipId)
{
    const QString text = resultText(nRt, nRt == 0 ? QStringLiteral("烧写成功") : QString());
    {
        std::lock_guard<std::mutex> lock(m_productionLogMutex);
        if (m_productionLog && !m_productionLog->append(currentPassRecord(nRt, chipId, text))) {
            g_bBurnRunning.store(0);
            g_bAutoBurnRunning.store(0);
            const QString error = systemReasonText(m_productionLog->errorString());
            m_productionLog.reset();
            QMetaObject::invokeMethod(this, [this, error] { showProductionLogFailure(error); }, Qt::QueuedConnection);
            return;  // no chip is recorded past a lost line of the file
        }
    }
    // A single burn ends with its good chip: only a loop, or a failed chip, is followed by another.
    QString error;
    if (m_ledger->chipDone(nRt, chipId, text, m_ledgerLoop.load() || nRt != 0, &error))
        return;
    g_bBurnRunning.store(0);
    g_bAutoBurnRunning.store(0);
    QMetaObject::invokeMethod(this, [this, error] { showLedgerFailure(error); }, Qt::QueuedConnection);
}

void mcu_writer::showProductionLogFailure(const QString &error)
{
    {
        const QSignalBlocker blocker(m_productionLogAction);
        m_productionLogAction->setChecked(false);
    }
    ui->auto_burn_action->setChecked(false);
    ui->burn_action->setChecked(false);
    boxes::critical(this, tr("错误"),
                    tr("生产记录写入失败，烧写已停止：%1\n原因：%2")
                        .arg(QDir::toNativeSeparators(m_productionLogPath), error));
}

// The ledger ------------------------------------------------------------------------------------------------

void mcu_writer::setLedgerChoice(const LedgerChoice &choice)
{
    m_ledgerChoice = choice;
    m_serialChoice->setLedger(choice.url);
}

// GUI thread, the worker idle: opens the run's ledger (and puts the first serial into the image) off the window's
// thread, then posts the burn task; a ledger that cannot be used starts no burn and says why.
void mcu_writer::beginLedgerRun(uint8_t task, QAction *toggle)
{
    m_ledgerLoop.store(task == workThread::TaskAutoBurn);
    LedgerBurnSetup setup;
    setup.url = m_ledgerChoice.url;
    setup.serialSpace = m_serialChoice->chosen();
    setup.station = m_ledgerChoice.station.isEmpty() ? hostStationName() : m_ledgerChoice.station;
    setup.operatorName = m_ledgerChoice.operatorName.trimmed();
    setup.port = windowLinkPort(m_bEmulated);
    setup.blockSize = task == workThread::TaskAutoBurn ? kLedgerLoopBlock : 1;
    m_ledgerPending = true;
    m_labelMsg->setText(tr("正在打开账本..."));
    m_ledger->begin(setup, m_firmware, this, [this, task, toggle, setup](const WindowLedger::Start &start) {
        m_ledgerPending = false;
        m_labelMsg->clear();
        if (!start.notice.isEmpty())
            appendLog(start.notice);
        if (start.failure != LedgerBurn::Failure::None) {
            appendLog(start.error);
            toggle->setChecked(false);
            enableAll();
            boxes::critical(this, tr("错误"), tr("账本 %1 无法使用，烧写未开始：\n%2")
                                                  .arg(start.location.isEmpty() ? setup.url : start.location, start.error));
            return;
        }
        m_labelSerial->setVisible(false);
        if (!toggle->isChecked()) {  // switched off while the ledger opened
            finishLedgerRun();
            return;
        }
        postBurn(task, toggle);
    });
}

// GUI thread, the worker idle: what the run took and did not burn is voided and the image is the project's
// again, off the window's thread; the window stays locked until then.
void mcu_writer::finishLedgerRun()
{
    if (!m_ledger->active() || m_ledgerPending)
        return;
    m_ledgerPending = true;
    disableAll();
    m_ledger->finish(this, [this](const QString &waiting) {
        m_ledgerPending = false;
        if (!m_serialChoice->chosen().isEmpty())
            m_serialChoice->readSpaces();  // how many values are left now
        enableAll();
        if (!waiting.isEmpty()) {
            appendLog(waiting);
            boxes::warn(this, tr("警告"), waiting);
        }
    });
}

void mcu_writer::showLedgerFailure(const QString &error)
{
    ui->auto_burn_action->setChecked(false);
    ui->burn_action->setChecked(false);
    appendLog(tr("账本记录失败，烧写已停止：%1").arg(error));
    boxes::critical(this, tr("错误"), tr("账本记录失败，烧写已停止：\n%1").arg(error));
}

void mcu_writer::setEmulator(LinkEmulator &emulator)
{
    setEmulated(true);
    auto *menu = new EmulatorMenu(emulator, m_mcuList.list(), this);
    ui->menuBar->insertMenu(ui->menu_help->menuAction(), menu);
}
