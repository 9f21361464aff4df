#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "workerprocess.h"

// Everything a worker has told its client so far; what a panel or a result line is drawn from.
struct WorkerReport
{
    enum class Ending {
        NotStarted,  // start() not called yet, or the program could not be started (failure says why)
        Running,
        Exited,      // ended by itself; exitStatus holds its status
        Crashed,     // killed by a signal or crashed
        Hung,        // silent past the time-out, or did not stop in time: ended by the client
        Refused,     // spoke another protocol version or no protocol at all: ended by the client
    };
    Ending ending = Ending::NotStarted;
    QString failure;        // why the client ended it or could not start it, in the running language
    int protocol = 0;       // from the worker's hello; 0 before it
    int percent = 0;
    QString label;          // the current step, in the worker's language
    QString lastMessage;    // the last message or diagnostic line
    int chips = 0, passed = 0, failed = 0;  // chips of a burn loop
    QString lastChipId;
    qint64 lastSerial = -1;  // the serial the ledger gave the last chip; -1 when it gave none
    bool hasResult = false;
    QJsonObject result;     // the command's result as its --json prints it
    bool hasEnd = false;
    QString checksum;       // from the end message; empty for none
    int exitStatus = -1;    // the process's own status when it ended normally, else -1

    bool running() const { return ending == Ending::Running; }
};

// Starts one worker process and follows it through the protocol (docs/worker-protocol.md): parses every
// line it writes, passes "stop" on, answers its production records and ends it when it hangs. Event-driven
// throughout, so a window can drive one client per Link from its GUI thread; every event is a signal and
// report() holds the state for a caller that polls instead.
class WorkerClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDefaultSilenceTimeoutMs = 30000;
    static constexpr int kDefaultStopTimeoutMs = 60000;

    explicit WorkerClient(QObject *parent = nullptr);
    ~WorkerClient() override;

    // A worker that says nothing (not even that it is alive) for this long is ended; 0: never. Counts
    // from now when the worker runs.
    void setSilenceTimeout(int ms);
    // A worker still running this long after stop() is ended.
    void setStopTimeout(int ms) { m_stopMs = ms; }

    // Starts `program` with `arguments`; returns at once. The protocol's version is put into `environment`.
    void start(const QString &program, const QStringList &arguments,
               QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());
    // Asks the worker to end its run cleanly (a chip pass in progress still completes).
    void stop();
    // The answer to the record of recordKept(): kept (on disk in the parent's record) or not, with the reason.
    void answerRecord(bool kept, const QString &reason = QString());
    // Ends the worker at once.
    void kill();

    const WorkerReport &report() const { return m_report; }
    qint64 processId() const { return m_process.processId(); }

    // Handles one line of the worker's standard output (what the client does with each; tests feed it).
    void takeLine(const QByteArray &line);

signals:
    void helloReceived(int protocol);
    void progressChanged(int percent);
    void labelChanged(const QString &text);
    void messageReceived(const QString &text);   // the worker's messages, its stderr lines, why the client ended it
    // `serial`: the value the ledger gave the chip, -1 for none.
    // `serial` -1 when the chip got none; `checksum` empty when the worker did not say (an older one).
    void chipDone(int chip, const QString &chipId, int result, const QString &text, qint64 serial, const QString &checksum);
    void recordKept(int number);                  // answer with answerRecord() before the worker goes on
    void resultReceived(const QJsonObject &result);
    void lineRejected(const QByteArray &line);    // a line that is no message of the protocol
    void finished();                              // the worker has ended, however; report() says how

private:
    void readStdout();
    void readStderr();
    void onFinished(int exitCode, bool crashed);
    void onFailedToStart(const QString &reason);
    void endWorker(WorkerReport::Ending ending, const QString &failure);
    void rearmSilence();
    void send(const QByteArray &line);

    WorkerProcess m_process;
    QTimer m_silence;
    QTimer m_stopDeadline;
    int m_silenceMs = kDefaultSilenceTimeoutMs;
    int m_stopMs = kDefaultStopTimeoutMs;
    WorkerReport m_report;
    QByteArray m_outPending, m_errPending;
    bool m_dropping = false;       // inside a line too long to hold
    bool m_recordPending = false;  // the worker waits for answerRecord()
    bool m_stopSent = false;
};
