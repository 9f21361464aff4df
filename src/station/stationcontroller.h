#pragma once

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
    QString language;         // the workers' language ("zh", "en"): the window's, so their steps read as it does
    int silenceTimeoutMs = WorkerClient::kDefaultSilenceTimeoutMs;
    int stopTimeoutMs = WorkerClient::kDefaultStopTimeoutMs;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

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
    bool emulated() const { return m_setup.emulate; }
    // The checksum a passing chip holds (the project's first enabled area).
    void setImageChecksum(const QString &checksum);
    // The station's production record (CSV: link, label, then the one-Link log's columns). False with the
    // reason when it cannot be opened; the record before stays in use then.
    bool setRecordFile(const QString &path, QString *error);
    QString recordFile() const { return m_record ? m_record->fileName() : QString(); }

    // Takes the attached Links again (a hot-plug notice): new ports get a panel, a port that left marks its
    // panel pulled out, or drops it when nothing runs there.
    void refreshLinks();
    void setLinks(const QVector<AttachedLink> &links);

    const QVector<PanelModel *> &panels() const { return m_models; }
    PanelModel *panel(const QString &port) const;

    // Starts the worker of a panel; a failed, pulled-out or stopped panel starts again alone. False with the
    // reason (no record file, no project, the Link is not attached, it runs already).
    bool start(const QString &port, QString *error);
    // Starts every panel that does not run; false with the first reason.
    bool startAll(QString *error);
    void stop(const QString &port);
    void stopAll();
    // Auto burn: chip after chip until stopped; off: one chip, then the panel is idle again.
    void setAutoBurn(const QString &port, bool on);
    bool autoBurn(const QString &port) const;
    bool setLabel(const QString &port, const QString &label, QString *error);

    // True while any panel's worker runs: the project and the settings must not change.
    bool locked() const;
    // The process of a panel's worker, 0 when none runs.
    qint64 workerProcessId(const QString &port) const;

    // The worker's arguments of one panel (for tests).
    QStringList workerArguments(const QString &port, const QString &projectFile, const QString &logFile, bool autoBurn) const;

signals:
    void panelsChanged();
    void lockChanged(bool locked);

private:
    struct Panel;
    Panel *find(const QString &port) const;
    void keepRecord(Panel &panel);
    void workerEnded(Panel &panel);
    bool mergeRecords(Panel &panel, QString *error);
    void dropPanel(const QString &port);

    StationSetup m_setup;
    ProjectWriter m_projectWriter;
    QString m_imageChecksum;
    LinkLabels m_labels;
    std::unique_ptr<MergedLog> m_record;
    std::unique_ptr<WorkerScratch> m_scratch;
    QString m_projectFile;
    std::vector<std::unique_ptr<Panel>> m_panels;
    QVector<PanelModel *> m_models;
    int m_runs = 0;
    bool m_wasLocked = false;
};
