#include "workerclient.h"

#include "workerprotocol.h"

#include <QCoreApplication>

namespace {
// Complete lines of `pending` plus `more`; a part line stays in `pending`. A line that grows past the
// protocol's limit is dropped up to its end (`dropping` carries that across reads) and reported as cut.
QList<QByteArray> takeLines(QByteArray &pending, const QByteArray &more, bool &dropping, QList<QByteArray> *cut)
{
    pending += more;
    QList<QByteArray> lines;
    int start = 0;
    for (;;) {
        const int end = pending.indexOf('\n', start);
        if (end < 0)
            break;
        QByteArray line = pending.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        if (dropping)
            dropping = false;
        else
            lines << line;
        start = end + 1;
    }
    pending.remove(0, start);
    if (pending.size() > WorkerProtocol::kMaxLineBytes) {
        if (!dropping)
            *cut << pending.left(80);
        dropping = true;
        pending.clear();
    }
    return lines;
}

QString seconds(int ms)
{
    return QString::number((ms + 999) / 1000);
}
}

WorkerClient::WorkerClient(QObject *parent)
    : QObject(parent)
{
    m_silence.setSingleShot(true);
    m_stopDeadline.setSingleShot(true);
    connect(&m_process, &WorkerProcess::readyReadStandardOutput, this, &WorkerClient::readStdout);
    connect(&m_process, &WorkerProcess::readyReadStandardError, this, &WorkerClient::readStderr);
    connect(&m_process, &WorkerProcess::finished, this, &WorkerClient::onFinished);
    connect(&m_process, &WorkerProcess::failedToStart, this, &WorkerClient::onFailedToStart);
    connect(&m_silence, &QTimer::timeout, this, [this] {
        endWorker(WorkerReport::Ending::Hung,
                  QCoreApplication::translate("worker", "the worker gave no sign of life for %1 s and was ended").arg(seconds(m_silenceMs)));
    });
    connect(&m_stopDeadline, &QTimer::timeout, this, [this] {
        endWorker(WorkerReport::Ending::Hung,
                  QCoreApplication::translate("worker", "the worker did not stop within %1 s and was ended").arg(seconds(m_stopMs)));
    });
}

WorkerClient::~WorkerClient()
{
    // A worker outliving its client would drive its Link with nobody reading it.
    if (m_process.isRunning()) {
        m_process.disconnect(this);
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void WorkerClient::setSilenceTimeout(int ms)
{
    m_silenceMs = ms;
    rearmSilence();
}

void WorkerClient::start(const QString &program, const QStringList &arguments, QProcessEnvironment environment)
{
    m_report = WorkerReport();
    m_report.ending = WorkerReport::Ending::Running;
    m_outPending.clear();
    m_errPending.clear();
    m_dropping = m_recordPending = m_stopSent = false;
    environment.insert(QString::fromLatin1(WorkerProtocol::kEnvironmentVariable), QString::number(WorkerProtocol::kVersion));
    m_process.start(program, arguments, environment);
    rearmSilence();
}

void WorkerClient::stop()
{
    if (!m_report.running() || m_stopSent)
        return;
    m_stopSent = true;
    send(workerCommandLine({WorkerCommand::Stop, QString()}));
    if (m_stopMs > 0)
        m_stopDeadline.start(m_stopMs);
}

void WorkerClient::answerRecord(bool kept, const QString &reason)
{
    if (!m_recordPending)
        return;
    m_recordPending = false;
    send(workerCommandLine({kept ? WorkerCommand::Logged : WorkerCommand::Unlogged, reason}));
    rearmSilence();
}

void WorkerClient::kill()
{
    m_process.kill();
}

void WorkerClient::send(const QByteArray &line)
{
    // A worker still starting gets the line once it runs: a stop given right after the start is not lost.
    m_process.write(line);
}

void WorkerClient::rearmSilence()
{
    // While the worker waits for our answer to a record, its silence is ours.
    if (m_silenceMs > 0 && m_report.running() && !m_recordPending)
        m_silence.start(m_silenceMs);
    else
        m_silence.stop();
}

void WorkerClient::endWorker(WorkerReport::Ending ending, const QString &failure)
{
    if (!m_report.running())
        return;
    m_report.ending = ending;
    m_report.failure = failure;
    m_report.lastMessage = failure;
    emit messageReceived(failure);
    m_silence.stop();
    m_stopDeadline.stop();
    kill();
}

void WorkerClient::readStdout()
{
    QList<QByteArray> cut;
    const QList<QByteArray> lines = takeLines(m_outPending, m_process.readAllStandardOutput(), m_dropping, &cut);
    for (const QByteArray &line : cut)
        emit lineRejected(line);
    for (const QByteArray &line : lines)
        takeLine(line);
    rearmSilence();
}

void WorkerClient::readStderr()
{
    bool dropping = false;
    QList<QByteArray> cut;
    for (const QByteArray &raw : takeLines(m_errPending, m_process.readAllStandardError(), dropping, &cut)) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty())
            continue;
        m_report.lastMessage = line;
        emit messageReceived(line);
    }
    rearmSilence();
}

void WorkerClient::takeLine(const QByteArray &line)
{
    const WorkerMessage m = parseWorkerMessage(line);
    if (m_report.protocol == 0) {
        // The first line is the handshake: nothing a worker says is understood before it.
        if (m.kind != WorkerMessage::Hello)
            endWorker(WorkerReport::Ending::Refused,
                      QCoreApplication::translate("worker", "the program started as a worker does not speak the worker protocol (it wrote: %1)")
                          .arg(QString::fromUtf8(line.left(80))));
        else if (m.protocol != WorkerProtocol::kVersion)
            endWorker(WorkerReport::Ending::Refused,
                      QCoreApplication::translate("worker", "the worker speaks protocol version %1, this program version %2: install the same version of both")
                          .arg(m.protocol)
                          .arg(WorkerProtocol::kVersion));
        else {
            m_report.protocol = m.protocol;
            emit helloReceived(m.protocol);
        }
        return;
    }
    switch (m.kind) {
    case WorkerMessage::Malformed:
    case WorkerMessage::Hello:  // a second one is out of place
        emit lineRejected(line);
        break;
    case WorkerMessage::Progress:
        m_report.percent = m.percent;
        emit progressChanged(m.percent);
        break;
    case WorkerMessage::Label:
        m_report.label = m.text;
        emit labelChanged(m.text);
        break;
    case WorkerMessage::Message:
        m_report.lastMessage = m.text;
        emit messageReceived(m.text);
        break;
    case WorkerMessage::Chip:
        ++m_report.chips;
        m.result == 0 ? ++m_report.passed : ++m_report.failed;
        m_report.lastChipId = m.chipId;
        m_report.lastSerial = m.serial.value_or(-1);
        emit chipDone(m.chip, m.chipId, m.result, m.text, m.serial.value_or(-1), m.checksum);
        break;
    case WorkerMessage::Record:
        m_recordPending = true;
        emit recordKept(m.record);
        break;
    case WorkerMessage::Result:
        m_report.hasResult = true;
        m_report.result = m.object;
        if (m.serial)
            m_report.lastSerial = *m.serial;
        emit resultReceived(m.object);
        break;
    case WorkerMessage::Alive:
        break;
    case WorkerMessage::End:
        m_report.hasEnd = true;
        m_report.checksum = m.checksum;
        break;
    }
}

void WorkerClient::onFinished(int exitCode, bool crashed)
{
    readStdout();
    readStderr();
    if (!m_outPending.isEmpty() && !m_dropping)
        takeLine(m_outPending);  // a last line without its end
    m_outPending.clear();
    m_silence.stop();
    m_stopDeadline.stop();
    m_recordPending = false;
    m_report.exitStatus = crashed ? -1 : exitCode;
    if (m_report.running()) {
        m_report.ending = crashed ? WorkerReport::Ending::Crashed : WorkerReport::Ending::Exited;
        if (crashed) {
            m_report.failure = QCoreApplication::translate("worker", "the worker ended abnormally");
            emit messageReceived(m_report.failure);  // its own last message stays the last one it wrote
        }
    }
    emit finished();
}

void WorkerClient::onFailedToStart(const QString &reason)
{
    if (!m_report.running())
        return;
    m_silence.stop();
    m_report.ending = WorkerReport::Ending::NotStarted;
    m_report.failure = QCoreApplication::translate("worker", "cannot start a worker: %1").arg(reason);
    m_report.lastMessage = m_report.failure;
    // Queued, as a caller may still be inside the signal's emitter.
    QMetaObject::invokeMethod(this, &WorkerClient::finished, Qt::QueuedConnection);
}
