#pragma once

#include <QString>

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>

// The worker's side of what the parent sends on its standard input (docs/worker-protocol.md): "stop", and
// the answer to each production record. A thread of its own reads the lines, so neither the main loop nor
// the engine ever blocks in a read.
class WorkerInput
{
public:
    // `onStop` runs on the reading thread for "stop" and once more when the input ends (the parent is
    // gone); it must be safe there (an atomic flag).
    explicit WorkerInput(std::function<void()> onStop);
    WorkerInput(const WorkerInput &) = delete;
    WorkerInput &operator=(const WorkerInput &) = delete;

    // Reads `in` until it ends. The reading thread never returns while the parent keeps the pipe open,
    // so nothing joins it and the object lives as long as the process. A C stream, not std::cin: the
    // iostreams would be set up at every start of the program for this one reader.
    void startReading(std::FILE *in);
    // Handles one line (what the reading thread does with each; tests call it directly).
    void take(const QByteArray &line);
    void inputEnded();

    // Blocks until the parent answers the record the worker announced: true for "logged"; false with the
    // reason for "unlogged" or when the input ends first.
    bool waitForRecordAnswer(QString *reason);

private:
    std::function<void()> m_onStop;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    int m_answers = 0;          // answers not yet taken by a waiter
    bool m_lastLogged = false;  // the last answer
    QString m_reason;
    bool m_ended = false;
};
