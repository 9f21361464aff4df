#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class EmulatorBackend;
class HidBackend;
class LinkEmulator;
class TraceWriter;
class TracingBackend;

// The Link a front end talks to for the life of one run, as its --emulate[=DIR] and --trace FILE choose:
// hidapi, or the built-in emulator (state in memory or in a folder), either one optionally traced into a
// file. The window and the CLI both choose through here.
class LinkSession
{
public:
    LinkSession();
    ~LinkSession();  // puts hidapi back (when install() changed it) and saves the emulator's state
    LinkSession(const LinkSession &) = delete;
    LinkSession &operator=(const LinkSession &) = delete;

    // `stateDir` empty: in memory. A folder without state yet gets a blank chip with `freshChipId`.
    // False with `error` when the folder cannot be used (not writable,
    // damaged, locked by a program that does not let go).
    bool useEmulator(const QString &stateDir, uint16_t freshChipId, QString *error);
    // False with `error` when the trace file cannot be opened for appending, or is anything but a regular
    // file (or a new name).
    bool traceInto(const QString &path, QString *error);
    // Makes the choice the process-wide HID backend; without an emulator or a trace it changes nothing.
    void install();

    LinkEmulator *emulator() const { return m_emulator.get(); }  // null unless emulating

    // What an ended session could not keep (the emulator's state, the trace), empty when all went well: a
    // run that lost either fails, whatever its operations said.
    static QString runFailure();

private:
    std::unique_ptr<LinkEmulator> m_emulator;
    std::unique_ptr<EmulatorBackend> m_emulatorBackend;
    std::unique_ptr<TraceWriter> m_trace;
    std::unique_ptr<TracingBackend> m_tracing;
    bool m_installed = false;
};
