#include "workerprocess.h"

#include <QProcess>

// Windows has no fork: CreateProcess costs the parent nothing, so QProcess serves as it is.
struct WorkerProcess::Private
{
    QProcess process;
};

WorkerProcess::WorkerProcess(QObject *parent)
    : QObject(parent)
    , d(new Private)
{
    connect(&d->process, &QProcess::readyReadStandardOutput, this, &WorkerProcess::readyReadStandardOutput);
    connect(&d->process, &QProcess::readyReadStandardError, this, &WorkerProcess::readyReadStandardError);
    connect(&d->process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int exitCode, QProcess::ExitStatus status) { emit finished(exitCode, status != QProcess::NormalExit); });
    connect(&d->process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        // QProcess reports this inside start(); callers learn of it after start() has returned.
        const QString reason = d->process.errorString();
        QMetaObject::invokeMethod(this, [this, reason] { emit failedToStart(reason); }, Qt::QueuedConnection);
    });
}

WorkerProcess::~WorkerProcess()
{
    if (d->process.state() != QProcess::NotRunning) {
        d->process.disconnect(this);
        d->process.kill();
        d->process.waitForFinished(5000);
    }
}

void WorkerProcess::start(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    d->process.setProcessEnvironment(environment);
    d->process.start(program, arguments);
}

bool WorkerProcess::isRunning() const
{
    return d->process.state() != QProcess::NotRunning;
}

qint64 WorkerProcess::processId() const
{
    return d->process.processId();
}

void WorkerProcess::write(const QByteArray &data)
{
    if (d->process.state() != QProcess::NotRunning)
        d->process.write(data);
}

void WorkerProcess::kill()
{
    if (d->process.state() != QProcess::NotRunning)
        d->process.kill();
}

bool WorkerProcess::waitForFinished(int ms)
{
    return d->process.state() == QProcess::NotRunning || d->process.waitForFinished(ms);
}

QByteArray WorkerProcess::readAllStandardOutput()
{
    return d->process.readAllStandardOutput();
}

QByteArray WorkerProcess::readAllStandardError()
{
    return d->process.readAllStandardError();
}
