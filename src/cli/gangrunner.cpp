#include "gangrunner.h"

#include "gangdisplay.h"
#include "ganglog.h"
#include "gangsignals.h"
#include "enginerunner.h"
#include "engine/enginetext.h"
#include "worker/workerclient.h"
#include "worker/workerscratch.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <memory>
#include <optional>

namespace {
constexpr int kInterruptPollMs = 100;
constexpr int kWorkerLost = 70;  // a worker that crashed, hung or was refused has no result of its own
constexpr int kInterrupted = 130;

// One Link's worker and how far its log is merged.
struct Worker
{
    std::unique_ptr<WorkerClient> client;
    QString logFile;
    qint64 logOffset = 0;
};

bool isValueOption(const QString &name)
{
    return name == QLatin1String("--link") || name == QLatin1String("--log") || name == QLatin1String("--trace");
}

GangOutcome outcomeOf(const QString &port, const WorkerReport &report)
{
    GangOutcome o;
    o.port = port;
    o.exitStatus = report.exitStatus;
    o.hasResult = report.hasResult;
    o.result = report.result;
    o.checksum = report.checksum;
    o.lastMessage = report.lastMessage;
    o.failure = report.failure;
    return o;
}
}

int GangOutcome::code() const
{
    if (hasResult)
        return result.value(QStringLiteral("result")).toInt();
    return exitStatus < 0 ? kWorkerLost : exitStatus;
}

QString GangOutcome::text() const
{
    if (hasResult && result.contains(QStringLiteral("text")))
        return result.value(QStringLiteral("text")).toString();
    if (hasResult && code() == 0 && result.contains(QStringLiteral("version")))
        return result.value(QStringLiteral("version")).toString();
    if (!failure.isEmpty())
        return failure;
    if (exitStatus < 0)
        return QCoreApplication::translate("worker", "the worker ended abnormally");
    return lastMessage;
}

GangRunner::GangRunner(QStringList ports, QStringList arguments)
    : m_ports(std::move(ports))
    , m_arguments(std::move(arguments))
    , m_extra(m_ports.size())
{
}

void GangRunner::setExtraArguments(int index, const QStringList &arguments)
{
    m_extra[index] = arguments;
}

QStringList GangRunner::workerArguments(const QStringList &arguments, const QString &port, const QString &logFile,
                                        const QString &traceFile, const QStringList &extra)
{
    QStringList kept;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (optionsEnded || arg == QLatin1String("--")) {
            optionsEnded = true;
            kept << arg;
            continue;
        }
        const QString name = arg.section(QLatin1Char('='), 0, 0);
        if (isValueOption(name)) {
            if (!arg.contains(QLatin1Char('=')))
                ++i;  // its value
            continue;
        }
        if (arg == QLatin1String("--json"))
            continue;
        kept << arg;
    }
    // In front: after a "--" they would be operands.
    QStringList worker = {QStringLiteral("--link"), port, QStringLiteral("--gang-worker"), QStringLiteral("--json")};
    if (!logFile.isEmpty())
        worker << QStringLiteral("--log") << logFile;
    if (!traceFile.isEmpty())
        worker << QStringLiteral("--trace") << traceFile;
    return worker + extra + kept;
}

QVector<GangOutcome> GangRunner::run()
{
    // A scratch folder (it removes what earlier gangs killed before their end left) when logs are merged.
    std::optional<WorkerScratch> scratch;
    if (m_log)
        scratch.emplace();
    else
        WorkerScratch::removeStale(QDir::tempPath());
    std::vector<Worker> workers(size_t(m_ports.size()));
    QEventLoop loop;
    int running = 0;

    auto stopAll = [&workers] {
        for (Worker &w : workers)
            w.client->stop();
    };
    // True when every record the worker completed so far is in the gang's log on disk.
    auto mergeLog = [&](Worker &w, const QString &port) {
        if (!m_log)
            return true;
        if (m_ending == Ending::RecordLost)
            return false;  // nothing more after a hole: the run is ending
        if (m_log->copyNewLines(port, w.logFile, &w.logOffset))
            return true;
        m_ending = Ending::RecordLost;
        m_recordError = m_log->errorString();
        stopAll();
        return false;
    };

    for (int i = 0; i < m_ports.size(); ++i) {
        Worker &w = workers[size_t(i)];
        const QString port = m_ports[i];
        if (scratch)
            w.logFile = scratch->filePath(QStringLiteral("link%1.csv").arg(i + 1));
        const QString trace = m_traceFile.isEmpty() ? QString() : QStringLiteral("%1.%2").arg(m_traceFile, port);
        w.client = std::make_unique<WorkerClient>();
        WorkerClient *client = w.client.get();
        if (m_display) {
            QObject::connect(client, &WorkerClient::progressChanged, [this, i](int percent) { m_display->progress(i, percent); });
            QObject::connect(client, &WorkerClient::labelChanged, [this, i](const QString &text) { m_display->label(i, text); });
            QObject::connect(client, &WorkerClient::messageReceived, [this, i](const QString &text) { m_display->label(i, text); });
            QObject::connect(client, &WorkerClient::chipDone, [this, i](int chip, const QString &chipId, int result, const QString &text) {
                m_display->note(i, QCoreApplication::translate("cli", "chip %1: id %2, %3 %4")
                                       .arg(chip)
                                       .arg(chipId)
                                       .arg(result)
                                       .arg(workerResultText(result, text)));
            });
            QObject::connect(client, &WorkerClient::lineRejected, [this, i](const QByteArray &line) {
                m_display->label(i, QCoreApplication::translate("cli", "a line outside the worker protocol: %1").arg(QString::fromUtf8(line)));
            });
        }
        QObject::connect(client, &WorkerClient::recordKept, [&, i, port] {
            Worker &own = workers[size_t(i)];
            const bool kept = mergeLog(own, port);
            own.client->answerRecord(kept, kept ? QString() : QCoreApplication::translate("cli", "%1: %2").arg(m_log->fileName(), m_recordError));
        });
        QObject::connect(client, &WorkerClient::finished, [&, i, port] {
            mergeLog(workers[size_t(i)], port);  // what it logged without announcing (ended by a kill)
            if (--running == 0)
                loop.quit();
        });
        ++running;
        client->start(QCoreApplication::applicationFilePath(),
                      workerArguments(m_arguments, port, w.logFile, trace, m_extra[i]));
    }

    QTimer interruptPoll;
    interruptPoll.setInterval(kInterruptPollMs);
    QObject::connect(&interruptPoll, &QTimer::timeout, [&] {
        if (m_ending != Ending::Finished)
            return;
        if (gangTerminationSignal() != 0)
            m_ending = Ending::Terminated;
        else if (::interrupted())
            m_ending = Ending::Interrupted;
        else
            return;
        stopAll();
    });
    interruptPoll.start();
    if (running > 0)
        loop.exec();
    if (m_display)
        m_display->finish();

    QVector<GangOutcome> outcomes;
    for (int i = 0; i < m_ports.size(); ++i) {
        const Worker &w = workers[size_t(i)];
        outcomes.push_back(outcomeOf(m_ports[i], w.client->report()));
        if (!w.logFile.isEmpty() && QFileInfo(w.logFile).size() > w.logOffset)
            m_keptLogs << w.logFile;
    }
    if (!m_keptLogs.isEmpty())
        scratch->keep();
    return outcomes;
}

int gangExitStatus(const QVector<GangOutcome> &outcomes, bool interrupted)
{
    if (interrupted)
        return kInterrupted;
    for (const GangOutcome &o : outcomes) {
        if (o.exitStatus != 0)
            return o.exitStatus < 0 ? kWorkerLost : o.exitStatus;
    }
    return 0;
}

// The worker's text is the language-neutral source of its JSON; the result line reads in the user's language.
static QString displayedText(const GangOutcome &outcome)
{
    return workerResultText(outcome.code(), outcome.text());
}

QString gangResultLine(const GangOutcome &outcome)
{
    QString line;
    if (outcome.exitStatus == 0 && outcome.code() == 0)
        line = QStringLiteral("%1: OK %2").arg(outcome.port, outcome.checksum.isEmpty() ? displayedText(outcome) : outcome.checksum);
    else if (outcome.code() == kInterrupted)
        line = QCoreApplication::translate("cli", "%1: stopped").arg(outcome.port);  // Ctrl-C is how a loop ends: no failure of the Link
    else
        line = QStringLiteral("%1: NG %2 %3").arg(outcome.port).arg(outcome.code()).arg(displayedText(outcome));
    // A burn loop closes with its counts.
    if (outcome.result.contains(QStringLiteral("chips")))
        line += QCoreApplication::translate("cli", ", %1 chip(s): %2 passed, %3 failed")
                    .arg(outcome.result.value(QStringLiteral("chips")).toInt())
                    .arg(outcome.result.value(QStringLiteral("passed")).toInt())
                    .arg(outcome.result.value(QStringLiteral("failed")).toInt());
    return line;
}

QJsonObject gangResultJson(const GangOutcome &outcome)
{
    QJsonObject object{{QStringLiteral("port"), outcome.port},
                       {QStringLiteral("code"), outcome.code()},
                       {QStringLiteral("text"), outcome.text()},
                       {QStringLiteral("checksum"), outcome.checksum.isEmpty() ? QJsonValue() : QJsonValue(outcome.checksum)}};
    for (const QString &key : {QStringLiteral("version"), QStringLiteral("chips"), QStringLiteral("passed"), QStringLiteral("failed")}) {
        if (outcome.result.contains(key))
            object.insert(key, outcome.result.value(key));
    }
    return object;
}
