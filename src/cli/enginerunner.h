#pragma once

#include "engine/workthread.h"

#include <QObject>
#include <QString>

#include <climits>
#include <cstdint>

class ProgressDisplay;

// Drives the window's workThread from the command line: posts one task, shows its progress and labels,
// and returns the result code of its done signal. The thread runs only while a task does, so an idle
// worker never spins when the Link's waits are scaled to 0.
class EngineRunner : public QObject
{
    Q_OBJECT

public:
    static constexpr int kNoResult = INT_MIN;  // the task ended without a done signal

    explicit EngineRunner(ProgressDisplay &display, QObject *parent = nullptr);
    ~EngineRunner() override;

    // Runs `task` to its end. The burn tasks expect their running flag set by the caller; a done signal
    // that ends the run clears the flags: a single burn's as the window's toggle (endsBurn), a loop's only
    // when the Link is gone (a wrong chip in a loop is one failed chip, and the loop goes on).
    int run(workThread::Task task);

    // The firmware version of the last fw-version task; 0.0.0 when the query failed.
    uint16_t versionH() const { return m_H; }
    uint16_t versionM() const { return m_M; }
    uint16_t versionL() const { return m_L; }
    QString lastLabel() const { return m_lastLabel; }

    workThread &worker() { return m_worker; }

private:
    void onDone(int code);

    ProgressDisplay &m_display;
    workThread m_worker;
    workThread::Task m_task = workThread::TaskIdle;
    int m_result = kNoResult;
    uint16_t m_H = 0, m_M = 0, m_L = 0;
    QString m_lastLabel;
};

// Ctrl-C: the first one switches the burn toggles off, so a waiting burn ends cleanly (a chip pass in
// progress still completes); a second one ends the program at once. The handler is per platform (a SIGINT
// handler, a console control handler on Windows).
void installInterruptHandler();
bool interrupted();
// What the handler does on the first Ctrl-C. Touches lock-free atomics only, so it is safe in a signal handler.
void noteInterrupt();
