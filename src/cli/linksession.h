#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class EmulatorBackend;
class HidBackend;
class LinkEmulator;
class TraceWriter;
class TracingBackend;

// The Link the commands talk to for the life of one run: hidapi, or the emulator (state in memory or in
// a folder), either one optionally traced into a file. Installed as the process-wide HID backend.
class LinkSession
{
public:
    LinkSession();
    ~LinkSession();  // puts hidapi back and saves the emulator's state
    LinkSession(const LinkSession &) = delete;
    LinkSession &operator=(const LinkSession &) = delete;

    // `stateDir` empty: in memory. A folder without state yet gets a blank chip with `freshChipId`.
    // The Link's waits are skipped. False with `error` when the folder cannot be used (not writable,
    // damaged, locked by a program that does not let go).
    bool useEmulator(const QString &stateDir, uint16_t freshChipId, QString *error);
    // False with `error` when the trace file cannot be opened for appending.
    bool traceInto(const QString &path, QString *error);
    void install();

    LinkEmulator *emulator() const { return m_emulator.get(); }

    // What an ended session could not keep (the emulator's state, the trace), empty when all went well: a
    // run that lost either fails, whatever its operations said.
    static QString runFailure();

private:
    std::unique_ptr<LinkEmulator> m_emulator;
    std::unique_ptr<EmulatorBackend> m_emulatorBackend;
    std::unique_ptr<TraceWriter> m_trace;
    std::unique_ptr<TracingBackend> m_tracing;
};
