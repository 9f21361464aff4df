#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

class GangDisplay;
class GangLog;

// What one Link's worker ended with.
struct GangOutcome
{
    QString port;
    int exitStatus = -1;       // the worker's exit status; -1 when it did not end normally
    bool hasResult = false;    // the worker printed its result object
    QJsonObject result;        // {"result": code, "text": ..., ...} as the one-Link command prints it
    QString checksum;          // from the worker's last line; empty for none
    QString lastMessage;       // the last text line it showed (the reason when there is no result)
    QString failure;           // why it did not end by the protocol (crashed, hung, refused, not started)

    int code() const;          // the result code, or the exit status when there is none
    QString text() const;
};

// Runs one worker process per Link (this program with --link PORT --gang-worker --json and the rest of
// the command line as given, through WorkerClient) and waits for all of them. Each worker has its own
// engine, images and chip id, as in a one-Link run; a worker that fails, loses its Link or hangs never
// touches the others. Ctrl-C, SIGTERM and SIGHUP are passed to every worker as "stop", so each ends its
// Link cleanly; so is a record the gang's log could not keep, which ends the run with 74.
class GangRunner
{
public:
    enum class Ending { Finished, Interrupted, Terminated, RecordLost };

    // `arguments`: the command line without the program name; --link, --json, --log and --trace are
    // replaced per worker.
    GangRunner(QStringList ports, QStringList arguments);

    void setDisplay(GangDisplay *display) { m_display = display; }  // none: the workers run quietly
    // Every worker logs into its own file of a scratch folder; its lines are merged into `log` as they come.
    void setLog(GangLog *log) { m_log = log; }
    void setTraceFile(const QString &path) { m_traceFile = path; }
    // Further arguments for the worker of Link `index` (its serial numbers).
    void setExtraArguments(int index, const QStringList &arguments);

    QVector<GangOutcome> run();
    Ending ending() const { return m_ending; }
    bool interrupted() const { return m_ending == Ending::Interrupted || m_ending == Ending::Terminated; }
    // Why the gang's record lost a record (Ending::RecordLost), in the running language.
    QString recordError() const { return m_recordError; }
    // Workers' logs that hold records the gang's log does not: their folder is kept.
    QStringList keptLogs() const { return m_keptLogs; }

    // The arguments of one worker (for tests).
    static QStringList workerArguments(const QStringList &arguments, const QString &port, const QString &logFile,
                                       const QString &traceFile, const QStringList &extra);

private:
    QStringList m_ports;
    QStringList m_arguments;
    QVector<QStringList> m_extra;
    GangDisplay *m_display = nullptr;
    GangLog *m_log = nullptr;
    QString m_traceFile;
    Ending m_ending = Ending::Finished;
    QString m_recordError;
    QStringList m_keptLogs;
};

// The exit status of a gang run: 130 after Ctrl-C, else the first failing Link's (port order), else 0. A
// worker that crashed, hung or spoke another protocol counts as 70.
int gangExitStatus(const QVector<GangOutcome> &outcomes, bool interrupted);

// "1-1.2: OK 49F2" or "1-1.3: NG 3 芯片连接失败"; a loop ended by Ctrl-C is "stopped"; a loop adds its counts.
QString gangResultLine(const GangOutcome &outcome);
QJsonObject gangResultJson(const GangOutcome &outcome);
