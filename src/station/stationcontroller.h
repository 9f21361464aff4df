#pragma once

#include "ledgerspaces.h"
#include "linklabels.h"
#include "panelmodel.h"
#include "records/mergedlog.h"
#include "session/attachedlinks.h"
#include "worker/workerclient.h"
#include "worker/workerscratch.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <functional>
#include <memory>

// How a station runs its workers.
struct StationSetup
{
    QString program;          // the worker program (tarnquill-cli)
    bool emulate = false;     // Links of the built-in emulator, one per folder of emulateDir
    QString emulateDir;       // "D1,D2,...", as the command line takes it
    QString labelsFolder;     // where the operator's labels of the ports are kept
    QString stationName;      // the station's name in the ledger
    QString ledgerUrl;        // the ledger every chip is also recorded in (--ledger, TQ_LEDGER); empty: none
    QString operatorName;     // who records (--operator); empty: nobody named
    QString serialSpace;      // the ledger's serial space each chip takes its serial from; empty: no serial
    QString language;         // the workers' language ("zh", "en"): the window's, so their steps read as it does
    int silenceTimeoutMs = WorkerClient::kDefaultSilenceTimeoutMs;
    int stopTimeoutMs = WorkerClient::kDefaultStopTimeoutMs;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

// Where the station's chips are recorded, for the operator: the production record file when one is chosen;
// without one, the ledger alone, or nowhere yet (the station cannot start then).
QString recordFileText(const QString &file, bool ledger);

// A production station: one panel per attached Link, each Link burned by a worker process of its own (the
// command line's gang worker), so a crash, a hang or a pulled-out Link touches one panel only. Every chip of
// every panel goes into the station's record and is on disk before that panel's worker goes on to its next
// chip. Runs on the GUI thread; never blocks.
class StationController : public QObject
{
    Q_OBJECT

public:
    // Writes the station's project (.mprj) to the path; false with the reason.
    using ProjectWriter = std::function<bool(const QString &path, QString *error)>;

    explicit StationController(StationSetup setup, QObject *parent = nullptr);
    ~StationController() override;

    void setProjectWriter(ProjectWriter writer) { m_projectWriter = std::move(writer); }
    QString stationName() const { return m_setup.stationName; }
    const StationSetup &setup() const { return m_setup; }

    // Where the station records and who it is: the ledger (empty: the CSV record alone), the station's and
    // the operator's names. Refused (the reason in `error`) while a panel runs, or for a ledger URL that is
    // none; the serial space is kept only when the ledger stays the same.
    bool setLedger(const QString &url, const QString &stationName, const QString &operatorName, QString *error);
    // The serial space every chip takes its serial from; empty: no serial. Refused while a panel runs or
    // without a ledger.
    bool setSerialSpace(const QString &name, QString *error);
    // The ledger's location for people (never a password), empty without a ledger.
    QString ledgerLocation() const;
    // Reads the ledger's serial spaces off the GUI thread; spacesRead() brings them.
    void readSpaces();
    // The spaces the last read found (with how far each is given out).
    const LedgerSpaces &spaces() const { return m_spaces; }
    bool emulated() const { return m_setup.emulate; }
    // The checksum a passing chip holds (the project's first enabled area).
    void setImageChecksum(const QString &checksum);
    // The chip model the project burns, which a wrong chip's panel names.
    void setChipModel(const QString &model);
    // The station's production record (CSV: link, label, then the one-Link log's columns): needed without a
    // ledger, beside it a choice. False with the reason when it cannot be opened; the record before stays in
    // use then.
    bool setRecordFile(const QString &path, QString *error);
    QString recordFile() const { return m_record ? m_record->fileName() : QString(); }

    // Takes the attached Links again (a hot-plug notice): new ports get a panel, a port that left marks its
    // panel pulled out, or drops it when nothing runs there.
    void refreshLinks();
    void setLinks(const QVector<AttachedLink> &links);

    const QVector<PanelModel *> &panels() const { return m_models; }
    PanelModel *panel(const QString &port) const;

    // Starts the worker of a panel; a failed, pulled-out or stopped panel starts again alone. False with the
    // reason (neither a record file nor a ledger, no project, the Link is not attached).
    bool start(const QString &port, QString *error);
    // Starts every panel that does not run: the first at once (false with the reason when it cannot), the
    // others one by one from the event loop, kStartSpacingMs apart, so the window is never held by many
    // process starts at once; a later one that cannot start says why through startFailed().
    bool startAll(QString *error);
    static constexpr int kStartSpacingMs = 20;
    void stop(const QString &port);
    void stopAll();
    // Auto burn: chip after chip until stopped; off: one chip, then the panel is idle again.
    void setAutoBurn(const QString &port, bool on);
    bool autoBurn(const QString &port) const;
    bool setLabel(const QString &port, const QString &label, QString *error);

    // True while any panel's worker runs or waits to start: the project and the settings must not change.
    bool locked() const;
    // The process of a panel's worker, 0 when none runs.
    qint64 workerProcessId(const QString &port) const;

    // The worker's arguments of one panel (for tests).
    QStringList workerArguments(const QString &port, const QString &projectFile, const QString &logFile, bool autoBurn) const;

signals:
    void panelsChanged();
    void lockChanged(bool locked);
    void ledgerChanged();
    void spacesRead();
    void startFailed(const QString &reason);

private:
    struct Panel;
    Panel *find(const QString &port) const;
    void keepRecord(Panel &panel);
    void workerEnded(Panel &panel);
    bool mergeRecords(Panel &panel, QString *error);
    void dropPanel(const QString &port);
    void takeSpaces(const LedgerSpaces &spaces);
    void startNextQueued();
    void updateLock();  // says when locked() changed
    QString serialText(qint64 serial) const;

    StationSetup m_setup;
    ProjectWriter m_projectWriter;
    QString m_imageChecksum;
    QString m_chipModel;
    LedgerSpacesReader m_reader;
    LedgerSpaces m_spaces;
    QStringList m_usedUpChecks;
    QStringList m_startQueue;  // ports startAll() starts next
    QTimer m_startTimer;  // ports whose worker stopped on its ledger: is their space used up?
    LinkLabels m_labels;
    std::unique_ptr<MergedLog> m_record;
    std::unique_ptr<WorkerScratch> m_scratch;
    QString m_projectFile;
    std::vector<std::unique_ptr<Panel>> m_panels;
    QVector<PanelModel *> m_models;
    int m_runs = 0;
    bool m_wasLocked = false;
};
