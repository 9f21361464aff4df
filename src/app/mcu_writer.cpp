#include "mcu_writer.h"
#include "ui_mcu_writer.h"

#include "serialspacechoice.h"
#include "windowledger.h"
#include "appdir/appdir.h"
#include "boxes/boxes.h"
#include "hotplugsource.h"
#include "elidedlabel.h"
#include "languagemenu.h"
#include "linknames.h"
#include "lang/language.h"
#include "openpath.h"
#include "chip/images.h"
#include "engine/engineflags.h"
#include "engine/enginetext.h"
#include "files/cfgdb.h"
#include "link/hidbackend.h"
#include "link/linkstate.h"
#include "options/nvroptionspage.h"
#include "settings/writersettingspage.h"
#include "production/productionsettings.h"

#include <QDebug>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>

namespace {
constexpr int kLinkStatePollMs = 3000;
const char kVersion[] = "V1.6.0 ";
const char kBuildDate[] = "2026/06/18";
const char kMenuStyle[] = "QMenu::item{background-color: rgb(255, 255, 255);color: rgb(0, 0, 0);}"
                          "QMenu::item:selected{background-color: rgb(230, 230, 230);color: rgb(0, 0, 0);}";
const char kToolBarStyle[] = "QToolButton:checked  {    background-color: #55aaff;    border-style: outset;    "
                             "border: 2px solid blue;}";
const char kCfgError[] = QT_TRANSLATE_NOOP("mcu_writer", "配置文件读取错误,请重新安装软件！");
}

// The images live in a static library, whose resources are not registered on their own.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

mcu_writer::mcu_writer(QWidget *parent) : QMainWindow(parent), ui(new Ui::mcu_writer)
{
    initResources();
    FileMessages msgs;
    msgs.box = [this](const QString &title, const QString &text) { boxes::inform(this, title, text); };
    if (readCfgFile(appDir(), msgs) == -1) {
        boxes::inform(this, tr("警告"), tr(kCfgError));
        close();
        return;
    }

    ui->setupUi(this);
    ui->menuBar->insertMenu(ui->menu_help->menuAction(), createLanguageMenu(this));
    setContextMenuPolicy(Qt::NoContextMenu);
    setWindowTitle(QStringLiteral("BLTarnquill ") + QLatin1String(kVersion));

    for (int i = 0; i < g_nCfgCount; ++i) {
        if (g_strCfgName[i] != g_strCfgChip[i]) {
            ui->action_custom->setVisible(false);
            break;
        }
    }
    setWindowIcon(QIcon(appDir() + QStringLiteral("/logo.png")));
    ui->textEdit_ErorLog->setReadOnly(true);
    m_writerPage = new WriterSettingsPage(this);
    // Beside the serial-number settings: the ledger's serials, which the window writes into each chip itself.
    m_serialChoice = new SerialSpaceChoice(this);
    ui->verticalLayout_right->insertWidget(ui->verticalLayout_right->indexOf(ui->groupBox_8) + 1, m_serialChoice->box());
    m_ledger = std::make_unique<WindowLedger>();
    m_nvrPage = new NvrOptionsPage(this);
    for (QObject *page : {static_cast<QObject *>(m_writerPage), static_cast<QObject *>(m_nvrPage)}) {
        connect(page, SIGNAL(sg_summary_changed()), this, SLOT(updateSettingsSummary()));
        connect(page, SIGNAL(sg_summary_changed()), this, SLOT(slt_project_edited()));
    }
    createContextMenus();

    m_strLastDir = readOpenPath(appDir(), appDir());

    setupFactoryTable();
    setupStatusBar();
    setupResultArea();
    m_bResetOnSelect = true;

    // Menu twins of the tool-bar actions.
    connect(ui->action_open, &QAction::triggered, this, &mcu_writer::on_open_action_triggered);
    connect(ui->action_save, &QAction::triggered, this, &mcu_writer::on_save_action_triggered);
    connect(ui->action_exit, &QAction::triggered, this, &QWidget::close);
    connect(ui->action_write, &QAction::triggered, this, &mcu_writer::on_burn_action_triggered);
    connect(ui->action_read, &QAction::triggered, this, &mcu_writer::on_up_action_triggered);
    connect(ui->action_check_blank, &QAction::triggered, this, &mcu_writer::on_blank_action_triggered);
    connect(ui->action_about, &QAction::triggered, this, &mcu_writer::slt_action_about_triggered);
    connect(ui->action_help, &QAction::triggered, this, &mcu_writer::slt_action_help_triggered);
    connect(ui->action_serial_no, &QAction::triggered, this, &mcu_writer::slt_action_serial_no_triggered);
    connect(ui->action_user_cfg, &QAction::triggered, this, &mcu_writer::slt_action_user_cfg_triggered);
    connect(ui->action_burnSetting, &QAction::triggered, this, &mcu_writer::slt_action_burnSetting_triggered);
    ui->menu_action->addSeparator();
    connect(ui->menu_action->addAction(tr("     工位视图(多个Link)...")), &QAction::triggered, this,
            &mcu_writer::stationViewRequested);
    connect(ui->menu_action->addAction(tr("     产线视图...")), &QAction::triggered, this, &mcu_writer::lineViewRequested);
    connect(ui->menu_setting->addAction(tr("     账本设置...")), &QAction::triggered, this, &mcu_writer::ledgerSettingsRequested);

    ui->actionI2C->setChecked(true);

    m_mcuList.load();
    g_mcuList = m_mcuList.list();
    fillChipSelector();

    m_nvr1Timer = new QTimer(this);
    m_nvr1Timer->setInterval(1000);
    connect(m_nvr1Timer, &QTimer::timeout, this, &mcu_writer::slt_nvr1_timer_timeout);

    ui->tabWidget->setTabEnabled(5, false);
    ui->tabWidget->setTabText(5, QStringLiteral("****"));
    ui->mainToolBar->setStyleSheet(QString::fromUtf8(kToolBarStyle));
    showBinCheckSum();

    connectWorker();
    m_work.clearStop();
    m_work.start(QThread::InheritPriority);
    m_work.setTask(workThread::TaskFwVersion);

    for (int index : {5, 4, 2, 1})
        ui->tabWidget->removeTab(index);
    m_nBLTabIndex = 1;

    ui->label_serialNoState->setText(g_bEnRollCode || g_bEnEncryption ? tr("Enable")
                                                                        : tr("Disable"));
    ui->burn_action->setCheckable(true);
    for (QAction *toggle : {ui->burn_action, ui->auto_burn_action})
        toggle->setProperty("idleText", toggle->text());
    ui->menu_2->menuAction()->setVisible(false);
    m_bConstructed = true;
}

mcu_writer::~mcu_writer()
{
    g_bBurnRunning.store(0);
    g_bBurnChipHandled.store(0);
    g_bAutoBurnRunning.store(0);
    g_bAutoBurnChipHandled.store(0);
    m_work.requestStop();
    if (!m_work.join(1000)) {
        // A chip pass is still running; each of its steps ends on its own time-out, and a running QThread
        // must not be destroyed.
        qDebug() << "waiting for the running operation to end";
        m_work.join();
    }
    m_ledger.reset();  // what the last run left is voided; the worker no longer hands it passes
    // A window that never got past reading cfg.db keeps the remembered directory as it was.
    if (m_bConstructed)
        writeOpenPath(appDir(), m_strLastDir);
    delete ui;
}

void mcu_writer::setupStatusBar()
{
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setMaximumHeight(20);
    m_progressBar->setFixedWidth(200);
    // The message keeps its whole text (the longest one fits), the summary gives way and shows the rest in
    // its tooltip: at the window's fixed size every part of the bar stays in sight in both languages.
    m_labelMsg = new QLabel(tr("消息提示"), this);
    m_labelMsg->setObjectName(QStringLiteral("label_msg"));
    m_labelMsg->setMinimumWidth(fontMetrics().horizontalAdvance(tr("芯片连接中......")) + 12);
    m_labelSummary = new ElidedLabel(this);
    m_labelSummary->setObjectName(QStringLiteral("label_summary"));
    m_labelConnect = new QLabel(this);
    m_labelConnect->setObjectName(QStringLiteral("label_connect"));
    m_labelLinkState = new QLabel(this);
    m_labelLinkState->setObjectName(QStringLiteral("label_link_state"));
    ui->statusBar->addWidget(m_progressBar);
    ui->statusBar->addWidget(m_labelMsg);
    ui->statusBar->addPermanentWidget(m_labelSummary, 1);
    ui->statusBar->addPermanentWidget(m_labelConnect);
    ui->statusBar->addPermanentWidget(m_labelLinkState);
    m_linkStatePoll = new QTimer(this);
    m_linkStatePoll->setInterval(kLinkStatePollMs);
    connect(m_linkStatePoll, &QTimer::timeout, this, &mcu_writer::slt_poll_busy_link);
    setLinkState(LinkState::Searching);
}

void mcu_writer::setupFactoryTable()
{
    QTableWidget *t = ui->tableWidgetNVRFac;
    t->setRowCount(512);
    t->setColumnCount(3);
    t->setHorizontalHeaderLabels({tr("地址"), tr("值"), tr("说明")});
    t->setColumnWidth(0, 100);
    t->setColumnWidth(1, 100);
    t->setColumnWidth(2, 300);
}

void mcu_writer::createContextMenus()
{
    const auto makeMenu = [this](std::initializer_list<std::pair<const char *, void (mcu_writer::*)()>> entries) {
        auto *menu = new QMenu(this);
        menu->setStyleSheet(QString::fromUtf8(kMenuStyle));
        for (const auto &e : entries)
            connect(menu->addAction(tr(e.first)), &QAction::triggered, this, e.second);
        return menu;
    };
    m_menuEE = makeMenu({{QT_TR_NOOP("填充0x00"), &mcu_writer::slt_tableWidget_EE_zero_action_triggered},
                         {QT_TR_NOOP("填充0xFF"), &mcu_writer::slt_tableWidget_EE_fill_action_triggered},
                         {QT_TR_NOOP("另存为..."), &mcu_writer::slt_tableWidget_EE_save_action_triggered},
                         {QT_TR_NOOP("读取..."), &mcu_writer::slt_tableWidget_EE_open_action_triggered}});
    m_menuNVR1 = makeMenu({{QT_TR_NOOP("填充0x00"), &mcu_writer::slt_tableWidget_NVR1_zero_action_triggered},
                           {QT_TR_NOOP("填充0xFF"), &mcu_writer::slt_tableWidget_NVR1_fill_action_triggered},
                           {QT_TR_NOOP("另存为..."), &mcu_writer::slt_tableWidget_NVR1_save_action_triggered},
                           {QT_TR_NOOP("读取..."), &mcu_writer::slt_tableWidget_NVR1_open_action_triggered}});
    m_menuBL = makeMenu({{QT_TR_NOOP("填充0x00"), &mcu_writer::slt_tableWidget_BL_zero_action_triggered},
                         {QT_TR_NOOP("填充0xFF"), &mcu_writer::slt_tableWidget_BL_fill_action_triggered},
                         {QT_TR_NOOP("填充0x00-0xFF"), &mcu_writer::slt_tableWidget_BL_zero_ff_action_triggered},
                         {QT_TR_NOOP("填充输入值"), &mcu_writer::slt_tableWidget_BL_xx_action_triggered}});
    m_menuBin = makeMenu({{QT_TR_NOOP("填充0x00"), &mcu_writer::slt_textEdit_bin_zero_action_triggered},
                          {QT_TR_NOOP("填充0xFF"), &mcu_writer::slt_textEdit_bin_fill_action_triggered},
                          {QT_TR_NOOP("填充0x00-0xFF"), &mcu_writer::slt_textEdit_bin_zero_ff_action_triggered},
                          {QT_TR_NOOP("填充输入值"), &mcu_writer::slt_textEdit_bin_xx_action_triggered}});
    connect(ui->tableWidget_EE, &QWidget::customContextMenuRequested, this,
            &mcu_writer::slt_tableWidget_EE_customContextMenuRequested);
    connect(ui->tableWidget_NVR1, &QWidget::customContextMenuRequested, this,
            &mcu_writer::slt_tableWidget_NVR1_customContextMenuRequested);
    connect(ui->textEdit_bin, &QWidget::customContextMenuRequested, this,
            &mcu_writer::slt_textEdit_bin_customContextMenuRequested);
}

void mcu_writer::fillChipSelector()
{
    applyCfgNames(m_mcuList.list());
    const QIcon icon = windowIcon();
    for (const QString &name : chipSelectorNames(m_mcuList.list()))
        ui->comboBox_icType->addItem(icon, name);
}

void mcu_writer::connectWorker()
{
    connect(&m_work, &QThread::finished, this, &mcu_writer::slt_work_finished, Qt::DirectConnection);
    connect(&m_work, &workThread::sg_progress_bar, m_progressBar, &QProgressBar::setValue, Qt::QueuedConnection);
    connect(&m_work, &workThread::sg_lab_status, m_labelConnect, &QLabel::setText, Qt::QueuedConnection);
    connect(&m_work, &workThread::sg_lab_msg, m_labelMsg, [this](const QString &text) {
        m_labelMsg->setText(engineText(text));
        if (text.startsWith(QStringLiteral("芯片连接中"))
            && (ui->burn_action->isChecked() || ui->auto_burn_action->isChecked()))
            showWaitingForChip();
    }, Qt::QueuedConnection);
    connect(&m_work, &workThread::sg_fw_version, this, &mcu_writer::slt_read_fw, Qt::QueuedConnection);
    connect(&m_work, &workThread::sg_link_state, this, &mcu_writer::slt_link_state, Qt::QueuedConnection);
    connect(&m_work, &workThread::sg_th_ui_debug, this, &mcu_writer::slt_th_ui_debug);
    const auto q = Qt::QueuedConnection;
    connect(&m_work, &workThread::sg_burn_chip_done, this, &mcu_writer::slt_burn_action_done, q);
    connect(&m_work, &workThread::sg_auto_burn_chip_done, this, &mcu_writer::slt_auto_burn_action_done, q);
    connect(&m_work, &workThread::sg_up_chip_done, this, &mcu_writer::slt_up_action_done, q);
    connect(&m_work, &workThread::sg_erase_chip_done, this, &mcu_writer::slt_erase_action_done, q);
    connect(&m_work, &workThread::sg_check_blank_done, this, &mcu_writer::slt_blank_action_done, q);
    connect(&m_work, &workThread::sg_download_done, this, &mcu_writer::slt_down_action_done, q);
    connect(&m_work, &workThread::sg_upload_done, this, &mcu_writer::slt_Upload_action_done, q);
    connect(&m_work, &workThread::sg_updata_done, this, &mcu_writer::slt_Updata_action_done, q);
    connect(&m_work, &workThread::sg_ErrorLog_done, this, &mcu_writer::slt_ErrorLog_action_done, q);
    connect(&m_work, &workThread::sg_read_fac_param_done, this, &mcu_writer::slt_read_fac_done, q);
    connect(&m_work, &workThread::sg_idle, this, &mcu_writer::slt_worker_idle, q);
}

void mcu_writer::setHotplugSource(HotplugSource *source)
{
    delete m_hotplug;
    m_hotplug = source;
    if (!source)
        return;
    source->setParent(this);
    connect(source, &HotplugSource::deviceArrived, this, &mcu_writer::slt_device_arrived);
    connect(source, &HotplugSource::deviceRemoved, this, &mcu_writer::slt_device_removed);
    source->attach(*this);
}

void mcu_writer::setEmulated(bool emulated)
{
    m_bEmulated = emulated;
    // The state beside the Link icon says "emulated" in every state, so the status bar never lets an
    // emulated Link pass for a real one.
    m_labelLinkState->setStyleSheet(emulated ? QStringLiteral("color: #b35900; font-weight: bold;") : QString());
    setLinkState(m_linkState);
}

QString mcu_writer::logText() const { return ui->textEdit_ErorLog->toPlainText(); }
QString mcu_writer::summaryText() const { return m_labelSummary->fullText(); }
QString mcu_writer::messageText() const { return m_labelMsg->text(); }

void mcu_writer::closeEvent(QCloseEvent *event)
{
    if (confirmDiscardChanges())
        event->accept();
    else
        event->ignore();
}

void mcu_writer::slt_project_edited()
{
    setModified(true);
}

void mcu_writer::focusInEvent(QFocusEvent *event)
{
    qDebug() << "focus event";
    QMainWindow::focusInEvent(event);
}

// Device-change messages reach the hot-plug source here; the platform's own handling still runs after it.
bool mcu_writer::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    if (m_hotplug)
        m_hotplug->nativeEvent(eventType, message);
    return QMainWindow::nativeEvent(eventType, message, result);
}

void mcu_writer::slt_work_finished()
{
    qDebug() << "work thread exit ok\n";
}

void mcu_writer::slt_th_ui_debug(const QString &strMsg)
{
    appendLog(strMsg);
}

void mcu_writer::appendLog(const QString &text)
{
    ui->textEdit_ErorLog->append(text);
}

void mcu_writer::setConnected(bool connected)
{
    setLinkState(connected ? LinkState::Connected : LinkState::None);
}

// The icon and, beside it, the state in words; a Link another program holds is asked again now and then,
// so the words follow when that program lets go.
void mcu_writer::setLinkState(LinkState state)
{
    m_linkState = state;
    const bool connected = state == LinkState::Connected;
    const QString icon = connected ? QStringLiteral(":/img/connect.png") : QStringLiteral(":/img/disconnect.png");
    m_labelConnect->setPixmap(QPixmap(icon).scaled(30, 30, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_labelLinkState->setText(linkStateText(state, m_bEmulated));
    const QString hint = linkStateHint(state, m_bEmulated);
    m_labelLinkState->setToolTip(hint);
    m_labelConnect->setToolTip(hint);
    if (state == LinkState::Busy)
        m_linkStatePoll->start();
    else
        m_linkStatePoll->stop();
}

void mcu_writer::slt_link_state(int state)
{
    setLinkState(static_cast<LinkState>(state));
}

// Without touching the Link: only when its lock is free again is the version asked, which sets the state.
void mcu_writer::slt_poll_busy_link()
{
    if (m_work.currentTask() != workThread::TaskIdle || !lockLink())
        return;
    unlockLink();
    m_work.setTask(workThread::TaskFwVersion);
}

void mcu_writer::slt_device_arrived(const QString &interfaceName)
{
    switch (classifyArrival(interfaceName)) {
    case LinkArrival::Iap:
        qDebug() << "device arrival" << interfaceName.toUpper();
        g_bIapArrived.store(1);
        break;
    case LinkArrival::Normal:
        qDebug() << "device arrival" << interfaceName.toUpper();
        m_bLinkRemoved = false;
        setConnected(true);
        appendLog(tr("Link已连接"));
        // A burn toggle that is on (its start may be asking for a file) keeps everything locked.
        if (!ui->burn_action->isChecked() && !ui->auto_burn_action->isChecked())
            enableAll();
        m_work.setTask(workThread::TaskFwVersion);
        break;
    case LinkArrival::None:
        break;
    }
}

void mcu_writer::slt_device_removed(const QString &interfaceName)
{
    const LinkRemoval r = classifyRemoval(interfaceName);
    if (r.normal) {
        qDebug() << "device remove complete " << interfaceName.toUpper();
        appendLog(tr("Link已断开"));
        m_bLinkRemoved = true;
        if (ui->burn_action->isChecked() || ui->auto_burn_action->isChecked())
            showVerdict(false, QStringLiteral("NG"), tr("Link已被拔出"));
        ui->auto_burn_action->setChecked(false);
        // A burn that already ended on the missing Link has nothing left to switch off.
        if (ui->burn_action->isChecked() && m_work.currentTask() == workThread::TaskIdle)
            ui->burn_action->setChecked(false);
        setConnected(false);
        ui->label_fw_version->setText(QStringLiteral("****"));
        g_bIapArrived.store(0);
    }
    if (r.iap)
        qDebug() << "iap device remove complete " << interfaceName.toUpper();
}

void mcu_writer::on_actionI2C_toggled(bool checked)
{
    if (!checked)
        return;
    g_bI2CMode.store(1);
    ui->actionSingleLine->setChecked(false);
}

void mcu_writer::on_actionSingleLine_toggled(bool checked)
{
    if (!checked)
        return;
    g_bI2CMode.store(0);
    ui->actionI2C->setChecked(false);
}

void mcu_writer::slt_action_help_triggered()
{
    const QString guide = appDir() + QLatin1Char('/') + userGuideFileName(currentLanguage());
    if (!QFile::exists(guide)) {
        boxes::inform(this, tr("错误"), tr("打开文件失败，请重新安装程序！"));
        return;
    }
    // The guide is there; only a viewer is missing, which reinstalling this program would not bring.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        boxes::inform(this, tr("错误"),
                      tr("无法启动PDF阅读器，请安装PDF阅读器后再试。\n使用手册位于：%1")
                          .arg(QDir::toNativeSeparators(guide)));
}

void mcu_writer::on_action_help_toolsbar_triggered()
{
    slt_action_help_triggered();
}

void mcu_writer::slt_action_about_triggered()
{
    boxes::inform(this, tr("关于Tarnquill"),
                  tr("Tarnquill 8051 Flash MCU 烧录工具\n Version：") + QLatin1String(kVersion) +
                      QStringLiteral("\nBuild Time:") + QLatin1String(kBuildDate));
}

void mcu_writer::on_action_user_cfg_triggered() {}
void mcu_writer::on_tabWidget_tabBarClicked(int) {}
void mcu_writer::on_auto_burn_action_triggered() {}
void mcu_writer::on_comboBox_icType_currentIndexChanged(int) {}
void mcu_writer::on_comboBox_icType_activated(int) {}
void mcu_writer::on_comboBox_icType_highlighted(int) {}
