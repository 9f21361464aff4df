#pragma once

#include <QString>

#include <memory>

class EmulatorBackend;
class HidBackend;
class LinkEmulator;
class TraceWriter;
class TracingBackend;

// What a front end's --emulate[=DIR] and --trace FILE choose: installs the process-wide HID backend
// (hidapi or the emulator, optionally behind the trace decorator) and puts hidapi back on destruction.
class BackendSelection
{
public:
    BackendSelection();
    ~BackendSelection();
    BackendSelection(const BackendSelection &) = delete;
    BackendSelection &operator=(const BackendSelection &) = delete;

    // emulate: answer from an in-process emulator (state kept in stateDir when not empty, on a real-time
    // clock that every Link pause polls). traceFile: append every report to that file. False when the
    // trace file cannot be opened (nothing is installed then).
    bool install(bool emulate, const QString &stateDir = QString(), const QString &traceFile = QString());

    LinkEmulator *emulator() const { return m_emulator.get(); }  // null unless emulating

private:
    std::unique_ptr<LinkEmulator> m_emulator;
    std::unique_ptr<EmulatorBackend> m_emulatorBackend;
    std::unique_ptr<TraceWriter> m_trace;
    std::unique_ptr<TracingBackend> m_tracing;
};
