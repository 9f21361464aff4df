#pragma once

#include "blankcheck.h"
#include "passverdict.h"
#include "linknames.h"
#include "chip/mcuinfo.h"
#include "engine/workthread.h"
#include "files/filemessages.h"
#include "records/productionlog.h"
#include "settings/ledgerchoice.h"

#include <QDateTime>
#include <QMainWindow>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

class ElidedLabel;
class SerialSpaceChoice;
class WindowLedger;
class HotplugSource;
class LinkEmulator;
class NvrOptionsPage;
class WriterSettingsPage;
class QLabel;
class QMouseEvent;
class QMenu;
class QProgressBar;
class QTableWidget;
class QTableWidgetItem;
class QTimer;

namespace Ui {
class mcu_writer;
}

// The main window: chip selection, data views, and every device operation, each run on the worker.
class mcu_writer : public QMainWindow
{
    Q_OBJECT

public:
    explicit mcu_writer(QWidget *parent = nullptr);
    ~mcu_writer() override;

    // False when cfg.db could not be read; the window was closed at once and built nothing else.
    bool isConstructed() const { return m_bConstructed; }

    // Takes over the hot-plug source (udev or the emulator's) and follows its notices.
    void setHotplugSource(HotplugSource *source);
    // Tells the user that every Link command goes to the built-in emulator.
    void setEmulated(bool emulated);
    // Emulated Link: the status-bar notice and the Emulator menu that drives it.
    void setEmulator(LinkEmulator &emulator);

    // The station view runs Links from this window's project: while it does, the project and every setting
    // stay as they are (the window's burn lock) and an attempt to change them is explained.
    void setStationRunning(bool running);
    // The ledger every chip pass of the window's burns is recorded in (an empty URL: none), and who records.
    void setLedgerChoice(const LedgerChoice &choice);
    // A task runs, a burn toggle is on, or the station runs: the project cannot be handed on now.
    bool isLocked() const { return m_bLocked; }
    // Some area of the project is chosen for burning.
    bool anyAreaEnabled() const;

    workThread &worker() { return m_work; }
    const QString &lastDir() const { return m_strLastDir; }
    QString logText() const;
    QString summaryText() const;
    QString messageText() const;

public slots:
    // The one arrival/removal routine behind every hot-plug source (interface names as the source gives
    // them, e.g. "USB#VID_1122&PID_3344#KVO_LINK0000").
    void slt_device_arrived(const QString &interfaceName);
    void slt_device_removed(const QString &interfaceName);

    // Views of the images and the summary.
    void updateBinView();
    void updateBLView();
    void updateEETable();
    void updateNVR1Table();
    void updateSettingsSummary();

    void slt_read_fw(ushort H, ushort M, ushort L);

    // Done slots, queued from the worker.
    void slt_burn_action_done(int nRt);
    void slt_auto_burn_action_done(int nRt);
    void slt_up_action_done(int nRt);
    void slt_erase_action_done(int nRt);
    void slt_blank_action_done(int nRt);
    void slt_down_action_done(int nRt);
    void slt_Upload_action_done(int nRt);
    void slt_Updata_action_done(int nRt);
    void slt_ErrorLog_action_done(int nRt);
    void slt_read_fac_done(int nRt);

    // Dialog results.
    void slt_serial_no_setting_done(int nRt);
    void slt_password_setting_done(int nRt);
    void slt_user_cfg_done(int nRt);
    void slt_burnSetting_done(int nRtAutoBurn, int nRtBurnLimted, int nRtUploadPretect, int nRtAudoWrite,
                              int nRtUartMode, int nRtAdcClock);

    // True while the project in the window holds changes that no file has.
    bool isModified() const { return m_bModified; }

signals:
    // The menu's station view entry.
    void stationViewRequested();
    // The menu's line view and ledger settings entries.
    void lineViewRequested();
    void ledgerSettingsRequested();

protected:
    void focusInEvent(QFocusEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;
    void closeEvent(QCloseEvent *event) override;
    // A click on a control the station has locked (disabled controls pass it to the window).
    void mousePressEvent(QMouseEvent *event) override;

private slots:
    // Actions.
    void on_open_action_triggered();
    void on_save_action_triggered();
    void on_burn_action_toggled(bool arg1);
    void on_burn_action_triggered();
    void on_auto_burn_action_toggled(bool arg1);
    void on_auto_burn_action_triggered();
    void on_up_action_triggered();
    void on_erase_action_triggered();
    void on_blank_action_triggered();
    void on_checksum_action_triggered();
    void on_down_action_triggered();
    void on_upload_action_triggered();
    void on_eraseFlash_action_triggered();
    void on_update_action_triggered();
    void on_pushButton_clicked();
    void on_action_custom_triggered();
    void on_action_help_toolsbar_triggered();
    void on_action_user_cfg_triggered();
    void on_tabWidget_tabBarClicked(int index);
    void on_actionI2C_toggled(bool checked);
    void on_actionSingleLine_toggled(bool checked);
    void slt_action_serial_no_triggered();
    void slt_action_user_cfg_triggered();
    void slt_action_burnSetting_triggered();
    void slt_action_help_triggered();
    void slt_action_about_triggered();
    void on_pushButton_serialNoSetting_clicked();
    void on_pushButton_userCfg_clicked();
    void on_pushButton_burnSetting_clicked();

    // Chip selection.
    void on_comboBox_icType_currentTextChanged(const QString &arg1);
    void on_comboBox_icType_currentIndexChanged(int index);
    void on_comboBox_icType_activated(int index);
    void on_comboBox_icType_highlighted(int index);

    // Area switches and log.
    void on_checkBox_bin_clicked(bool checked);
    void on_groupBox_bin_clicked(bool checked);
    void on_checkBox_bl_clicked(bool checked);
    void on_groupBox_NVR1_clicked(bool checked);
    void on_groupBox_EE_clicked(bool checked);
    void on_pushButton_clean_clicked();

    // Table edits.
    void on_tableWidget_EE_itemChanged(QTableWidgetItem *item);
    void on_tableWidget_NVR1_itemChanged(QTableWidgetItem *item);

    // Context menus and their commands.
    void slt_tableWidget_EE_customContextMenuRequested(const QPoint &pos);
    void slt_tableWidget_NVR1_customContextMenuRequested(const QPoint &pos);
    void slt_textEdit_bin_customContextMenuRequested(const QPoint &pos);
    void slt_tableWidget_EE_zero_action_triggered();
    void slt_tableWidget_EE_fill_action_triggered();
    void slt_tableWidget_EE_save_action_triggered();
    void slt_tableWidget_EE_open_action_triggered();
    void slt_tableWidget_NVR1_zero_action_triggered();
    void slt_tableWidget_NVR1_fill_action_triggered();
    void slt_tableWidget_NVR1_save_action_triggered();
    void slt_tableWidget_NVR1_open_action_triggered();
    void slt_tableWidget_BL_zero_action_triggered();
    void slt_tableWidget_BL_fill_action_triggered();
    void slt_tableWidget_BL_zero_ff_action_triggered();
    void slt_tableWidget_BL_xx_action_triggered();
    void slt_textEdit_bin_zero_action_triggered();
    void slt_textEdit_bin_fill_action_triggered();
    void slt_textEdit_bin_zero_ff_action_triggered();
    void slt_textEdit_bin_xx_action_triggered();

    void slt_project_edited();
    void slt_reset_counters();
    void slt_production_log_toggled(bool on);
    void slt_th_ui_debug(const QString &strMsg);
    void slt_work_finished();
    void slt_worker_idle();
    void slt_link_state(int state);
    void slt_poll_busy_link();
    void slt_nvr1_timer_timeout();

private:
    void setupStatusBar();
    void setupFactoryTable();
    void createContextMenus();
    void fillChipSelector();
    void connectWorker();

    // Result indicator, counters, production log.
    void setupResultArea();
    void showResultWaiting();
    void showVerdict(bool ok, const QString &headline, const QString &detail);
    void showCounters();
    void recordPass(int nRt, uint16_t chipId);
    void showPass(int nRt, uint16_t chipId, uint16_t checksum, const QString &areas, const QString &serial);
    void logWrongChip(uint16_t chipId);
    void closeProductionLog();
    void showProductionLogFailure(const QString &error);
    void postBurn(uint8_t task, QAction *toggle);
    void beginLedgerRun(uint8_t task, QAction *toggle);
    void finishLedgerRun();
    void showLedgerFailure(const QString &error);

    // Dispatch.
    bool postTask(uint8_t task);
    void postBlankCheck();
    void disableAll();
    void enableAll();
    void setEditingEnabled(bool enabled);
    void showStopping(QAction *toggle);
    void setDataViewsEditable(bool editable);
    void showResult(int nRt);
    void showStartFailure(int nRt);
    void showBurnDone(int nRt, QAction *toggle, bool ends);
    QString resultMessage(int nRt) const;
    void noteLinkStateOf(int nRt);
    void showOperationVerdict(const QString &operation, int nRt);
    bool linkRemovedDuring(int nRt) const;
    void showWaitingForChip();
    void burnStart(uint8_t task, QAction *toggle);
    bool refuseSingleWire();
    bool ensureImagesLoaded();
    void reloadChangedHexFiles();

    // Files.
    void openProject(const QString &path, const FileMessages &msgs);
    void showLoadedProject();
    void showLoadFailure(const QString &path, const QString &reason);
    void showSaveFailure(const QString &path, const QString &error);
    bool confirmDiscardChanges();
    void setModified(bool modified);
    void showLoadedBL();
    void showLoadedBin();
    bool chooseFirmwareFile();
    bool bootLoaderTabCurrent() const;
    void rememberDir(const QString &path);

    // Chip selection.
    void selectChip(const QString &name);
    void sizeNVR1Table();
    void showHexHeaders(QTableWidget *table, int bytesPerCell);
    void syncAreasWithFlags();
    void showNvr2State();
    void showMemorySize();

    // Views.
    void fillBLTable();
    void showBinCheckSum();
    void showBLCheckSum();
    void fillRom(uint8_t value, bool ramp, const QString &logPrefix);
    void fillBootLoader(uint8_t value, bool ramp, const QString &logPrefix);
    void startNVR1Reenable();
    void noteEditDropped();
    void appendLog(const QString &text);
    void setConnected(bool connected);
    void setLinkState(LinkState state);

    Ui::mcu_writer *ui = nullptr;
    McuList m_mcuList;
    workThread m_work;
    HotplugSource *m_hotplug = nullptr;
    WriterSettingsPage *m_writerPage = nullptr;  // rolling number, limit, handler machine
    NvrOptionsPage *m_nvrPage = nullptr;          // NVR2/NVR3 options, factory table

    QString m_strLastDir;
    QString m_strBinHexPath;
    QString m_strBLHexPath;
    QDateTime m_tBinHexTime;
    QDateTime m_tBLHexTime;

    QTimer *m_nvr1Timer = nullptr;
    bool m_bBLTableLoading = false;  // the program refills the NVR1/BootLoader table
    bool m_bResetOnSelect = true;    // a chip selection resets the images first
    bool m_bEETableReady = false;
    bool m_bNVR1TableReady = false;
    bool m_bConstructed = false;
    bool m_bEmulated = false;
    bool m_bModified = false;
    AreaSums m_imageSums;  // the image's checksums while a blank check reports the chip's
    bool m_bBurnDone = false;     // a burn loop's done signal is being shown
    bool m_bTaskEnding = false;   // the worker ends the run: its toggle goes off without "stopping"
    bool m_bLinkRemoved = false;  // the Link left (hot-plug) and has not come back
    bool m_bLocked = false;       // a task runs or a burn toggle is on: nothing that a pass uses changes
    bool m_bStationRunning = false;  // a panel of the station view runs from this project
    bool m_bViewsLocked = false;  // an operation may write the images: no edits, no fills
    bool m_bEditDropped = false;  // a cell edit came in while locked; the tables need showing again
    int m_nBLTabIndex = 1;

    QProgressBar *m_progressBar = nullptr;
    QLabel *m_labelMsg = nullptr;
    ElidedLabel *m_labelSummary = nullptr;
    QLabel *m_labelConnect = nullptr;
    QLabel *m_labelLinkState = nullptr;
    QTimer *m_linkStatePoll = nullptr;
    LinkState m_linkState = LinkState::None;
    QLabel *m_labelCounters = nullptr;
    int m_nPassOk = 0;  // chip passes since the window opened (or the last reset)
    int m_nPassNg = 0;
    QAction *m_productionLogAction = nullptr;
    std::mutex m_productionLogMutex;  // the worker appends, the window opens and closes
    std::unique_ptr<ProductionLog> m_productionLog;
    QString m_productionLogPath;
    LedgerChoice m_ledgerChoice;
    std::unique_ptr<WindowLedger> m_ledger;  // the ledger's side of a burn run
    std::atomic<bool> m_ledgerLoop{false};   // the run is the Auto loop: a next chip follows every pass
    bool m_ledgerPending = false;            // a run's ledger is being opened or closed: the window stays locked
    SerialSpaceChoice *m_serialChoice = nullptr;
    QLabel *m_labelSerial = nullptr;         // the serial of the last chip
    QString m_firmware;                      // the Link's, "H.M.L", for the ledger's records

    QMenu *m_menuEE = nullptr;
    QMenu *m_menuNVR1 = nullptr;
    QMenu *m_menuBL = nullptr;
    QMenu *m_menuBin = nullptr;
};
