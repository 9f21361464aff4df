#include "workerinput.h"

#include "workerprotocol.h"

#include <QCoreApplication>

#include <thread>

WorkerInput::WorkerInput(std::function<void()> onStop)
    : m_onStop(std::move(onStop))
{
}

void WorkerInput::startReading(std::FILE *in)
{
    std::thread([this, in] {
        QByteArray line;
        char piece[4096];
        while (std::fgets(piece, sizeof piece, in)) {
            line += piece;
            if (!line.endsWith('\n'))
                continue;  // a longer line goes on in the next piece
            line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
            take(line);
            line.clear();
        }
        // The last line may come without its end.
        if (!line.isEmpty())
            take(line.endsWith('\r') ? line.chopped(1) : line);
        inputEnded();
    }).detach();
}

void WorkerInput::take(const QByteArray &line)
{
    const WorkerCommand command = parseWorkerCommand(line);
    if (command.kind == WorkerCommand::Stop) {
        m_onStop();
        return;
    }
    if (command.kind != WorkerCommand::Logged && command.kind != WorkerCommand::Unlogged)
        return;  // a later protocol's command this worker does not know
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_answers;
    m_lastLogged = command.kind == WorkerCommand::Logged;
    m_reason = command.reason;
    m_answered.notify_all();
}

void WorkerInput::inputEnded()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
        m_answered.notify_all();
    }
    m_onStop();
}

bool WorkerInput::waitForRecordAnswer(QString *reason)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_answered.wait(lock, [this] { return m_answers > 0 || m_ended; });
    if (m_answers == 0) {
        *reason = QCoreApplication::translate("worker", "the parent process is gone");
        return false;
    }
    --m_answers;
    if (!m_lastLogged)
        *reason = m_reason;
    return m_lastLogged;
}
