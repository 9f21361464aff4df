#include "gangworker.h"

#include "chip/areas.h"
#include "commands.h"
#include "enginerunner.h"
#include "progressdisplay.h"
#include "worker/workerinput.h"
#include "worker/workerprotocol.h"
#include "worker/workerwriter.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {
// The worker's side of the protocol, for the life of the process: the reading thread holds the input until
// the process ends, so none of it is ever destroyed.
struct WorkerSide
{
    WorkerWriter writer;
    WorkerInput input{noteInterrupt};
    QTimer alive;
};
WorkerSide *s_worker = nullptr;
}

QString workerOptionsRefusal(const CliOptions &options)
{
    if (options.gangWorker && !qEnvironmentVariableIsSet(WorkerProtocol::kEnvironmentVariable))
        return QCoreApplication::translate("cli", "--gang-worker is for the worker processes a gang starts, not for use by hand");
    if (!options.gangSerial.isEmpty() && !options.gangWorker)
        return QCoreApplication::translate("cli", "--gang-serial is for the worker processes a gang starts, not for use by hand");
    if (!options.linkLabel.isEmpty() && !options.gangWorker)
        return QCoreApplication::translate("cli", "--label is for the worker processes a station starts, not for use by hand");
    return QString();
}

void startGangWorker(ProgressDisplay &display)
{
    std::signal(SIGINT, SIG_IGN);
    s_worker = new WorkerSide;
    s_worker->writer.hello();
    display.forwardTo(&s_worker->writer);
    s_worker->input.startReading(stdin);
    // Shows the parent the main loop still turns while the engine works or waits for a chip.
    QObject::connect(&s_worker->alive, &QTimer::timeout, [] { s_worker->writer.alive(); });
    s_worker->alive.start(WorkerProtocol::kAliveIntervalMs);
}

bool confirmGangRecord(QString *error)
{
    if (!s_worker)
        return true;
    s_worker->writer.record();
    return s_worker->input.waitForRecordAnswer(error);
}

void finishGangWorker(const CliContext &ctx, int status)
{
    static const QStringList withImage = {QStringLiteral("burn"), QStringLiteral("download"), QStringLiteral("blank")};
    const QVector<Area> areas = enabledAreas();
    const bool checksum = status == 0 && withImage.contains(ctx.options.command) && !areas.isEmpty();
    s_worker->alive.stop();
    s_worker->writer.end(status, checksum ? hex4(areaChecksum(areas.first())) : QString());
}
