#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <mutex>

// The worker's side of the protocol: every message of its own (docs/worker-protocol.md) as one line on the
// standard output. The command's result and the chips of a loop are the command's own --json lines, which
// share the stream; each line is written whole, so the two never interleave inside a line.
class WorkerWriter
{
public:
    using Sink = std::function<void(const QByteArray &line)>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // The default sink writes to stdout and flushes, a line at a time; the default clock is the steady one.
    explicit WorkerWriter(Sink sink = Sink(), Clock clock = Clock());

    void hello();
    // 0..100; a repeat of the last value is not sent, nor a step within kProgressGapMs of the last one sent
    // (0, 100 and a transfer's first step always are).
    void progress(int percent);
    static constexpr int kProgressGapMs = 200;
    void label(const QString &text);
    void message(const QString &text);
    // Announces that the next production record is on the worker's own disk; returns its number.
    int record();
    void alive();
    void end(int exitStatus, const QString &checksum);  // empty checksum: none

private:
    void write(const QByteArray &line);

    Sink m_sink;
    Clock m_clock;
    std::mutex m_mutex;  // the engine's thread writes records, the main thread the rest
    int m_lastPercent = -1;
    std::chrono::steady_clock::time_point m_lastProgressAt;
    int m_records = 0;
};
