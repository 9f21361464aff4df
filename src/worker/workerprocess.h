#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

// One child process with its three standard streams as pipes, event-driven from the owning thread. On POSIX
// it is started with posix_spawn, which does not copy the parent's memory: a window starting a worker per
// Link does not stall the way a fork of the whole GUI process does.
class WorkerProcess : public QObject
{
    Q_OBJECT

public:
    explicit WorkerProcess(QObject *parent = nullptr);
    // A child still running is killed and reaped (waiting a bounded time).
    ~WorkerProcess() override;

    // Returns at once; failedToStart() follows, after start() has returned, when the program cannot be run.
    // Ignored while a child runs.
    void start(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment);
    // From start() until finished() or failedToStart().
    bool isRunning() const;
    qint64 processId() const;  // 0 when none runs

    // Queued for the child's standard input; dropped when the child is gone (never raises SIGPIPE).
    void write(const QByteArray &data);
    // Ends the child at once (SIGKILL on POSIX); finished() follows.
    void kill();
    // Blocks at most `ms` for the child to end; true when it has (finished() then has been emitted).
    bool waitForFinished(int ms);

    QByteArray readAllStandardOutput();
    QByteArray readAllStandardError();

signals:
    void readyReadStandardOutput();
    void readyReadStandardError();
    // `crashed`: ended by a signal (exitCode then is the signal's number on POSIX).
    void finished(int exitCode, bool crashed);
    void failedToStart(const QString &reason);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
