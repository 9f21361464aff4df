#include "gangrunner.h"

#include "enginerunner.h"
#include "gangdisplay.h"
#include "ganglog.h"
#include "engine/enginetext.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {
constexpr int kInterruptPollMs = 100;
constexpr int kWorkerLost = 70;  // a worker that crashed or was killed has no result of its own
constexpr int kInterrupted = 130;

// One Link's worker and what has come from it so far.
struct Worker
{
    std::unique_ptr<QProcess> process;
    QByteArray outPending, errPending;
    QString logFile;
    qint64 logOffset = 0;
    bool running = false;
    GangOutcome outcome;
};

// Complete lines of `pending` plus `more`; a part line stays in `pending`.
QList<QByteArray> takeLines(QByteArray &pending, const QByteArray &more)
{
    pending += more;
    const int end = pending.lastIndexOf('\n') + 1;
    QList<QByteArray> lines = pending.left(end).split('\n');
    lines.removeLast();
    pending.remove(0, end);
    return lines;
}

bool isValueOption(const QString &name)
{
    return name == QLatin1String("--link") || name == QLatin1String("--log") || name == QLatin1String("--trace");
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
    if (exitStatus < 0)
        return QCoreApplication::translate("cli", "the worker ended abnormally");
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
    QTemporaryDir scratch;
    std::vector<Worker> workers(size_t(m_ports.size()));
    QEventLoop loop;
    int running = 0;

    auto copyLog = [this](Worker &w) {
        if (m_log && !w.logFile.isEmpty())
            m_log->copyNewLines(w.outcome.port, w.logFile, &w.logOffset);
    };
    auto onStdout = [&](int index) {
        Worker &w = workers[size_t(index)];
        for (const QByteArray &line : takeLines(w.outPending, w.process->readAllStandardOutput())) {
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            if (object.contains(QStringLiteral("worker"))) {
                w.outcome.checksum = object.value(QStringLiteral("worker")).toObject().value(QStringLiteral("checksum")).toString();
            } else if (object.contains(QStringLiteral("chip"))) {
                // A chip of a burn loop: logged by the worker, shown here.
                copyLog(w);
                if (m_display)
                    m_display->note(index, QCoreApplication::translate("cli", "chip %1: id %2, %3 %4")
                                               .arg(object.value(QStringLiteral("chip")).toInt())
                                               .arg(object.value(QStringLiteral("chipId")).toString())
                                               .arg(object.value(QStringLiteral("result")).toInt())
                                               .arg(object.value(QStringLiteral("text")).toString()));
            } else if (object.contains(QStringLiteral("result"))) {
                w.outcome.result = object;
                w.outcome.hasResult = true;
            }
        }
    };
    auto onStderr = [&](int index) {
        Worker &w = workers[size_t(index)];
        for (const QByteArray &raw : takeLines(w.errPending, w.process->readAllStandardError())) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty())
                continue;
            if (!line.endsWith(QLatin1Char('%')))
                w.outcome.lastMessage = line;
            copyLog(w);  // a failed chip of a one-chip burn is logged and reported here
            if (m_display)
                m_display->workerLine(index, line);
        }
    };

    for (int i = 0; i < m_ports.size(); ++i) {
        Worker &w = workers[size_t(i)];
        w.outcome.port = m_ports[i];
        if (m_log)
            w.logFile = scratch.filePath(QStringLiteral("link%1.csv").arg(i + 1));
        const QString trace = m_traceFile.isEmpty() ? QString() : QStringLiteral("%1.%2").arg(m_traceFile, m_ports[i]);
        w.process = std::make_unique<QProcess>();
        QProcess *p = w.process.get();
        QObject::connect(p, &QProcess::readyReadStandardOutput, [&onStdout, i] { onStdout(i); });
        QObject::connect(p, &QProcess::readyReadStandardError, [&onStderr, i] { onStderr(i); });
        QObject::connect(p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                         [&, i](int exitCode, QProcess::ExitStatus status) {
                             Worker &done = workers[size_t(i)];
                             onStdout(i);
                             onStderr(i);
                             copyLog(done);
                             done.outcome.exitStatus = status == QProcess::NormalExit ? exitCode : -1;
                             done.running = false;
                             if (--running == 0)
                                 loop.quit();
                         });
        p->start(QCoreApplication::applicationFilePath(),
                 workerArguments(m_arguments, m_ports[i], w.logFile, trace, m_extra[i]));
        if (!p->waitForStarted()) {
            w.outcome.lastMessage = QCoreApplication::translate("cli", "cannot start a worker: %1").arg(p->errorString());
            continue;
        }
        w.running = true;
        ++running;
    }

    QTimer interruptPoll;
    interruptPoll.setInterval(kInterruptPollMs);
    QObject::connect(&interruptPoll, &QTimer::timeout, [&] {
        if (m_interrupted || !::interrupted())
            return;
        m_interrupted = true;
        for (Worker &w : workers) {
            if (w.running) {
                w.process->write("stop\n");
                w.process->closeWriteChannel();
            }
        }
    });
    interruptPoll.start();
    if (running > 0)
        loop.exec();
    if (m_display)
        m_display->finish();

    QVector<GangOutcome> outcomes;
    for (const Worker &w : workers)
        outcomes.push_back(w.outcome);
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
    const QString text = outcome.text();
    static const QString wrongChip = QString::fromUtf8("目标MCU是 ");
    if (outcome.code() == 4 && text.startsWith(wrongChip))
        return QCoreApplication::translate("cli", "目标MCU是 %1").arg(text.mid(wrongChip.size()));
    return engineText(text);
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
