#include "workerinput.h"

#include "workerprotocol.h"

#include <QCoreApplication>

#include <string>
#include <thread>

WorkerInput::WorkerInput(std::function<void()> onStop)
    : m_onStop(std::move(onStop))
{
}

void WorkerInput::startReading(std::istream &in)
{
    std::thread([this, &in] {
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            take(QByteArray::fromStdString(line));
        }
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
