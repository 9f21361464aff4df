#pragma once

#include <QString>

#include <cstdio>

class WorkerWriter;

// Progress, label texts and messages on stderr. On a terminal the progress is a bar redrawn in place and a
// label that only changes its trailing dots (the chip-connection animation) is rewritten in place; in a
// pipe or file each tenth of a transfer and every new label is one plain line.
class ProgressDisplay
{
public:
    explicit ProgressDisplay(FILE *stream = stderr);
    ProgressDisplay(FILE *stream, bool terminal);
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay &) = delete;
    ProgressDisplay &operator=(const ProgressDisplay &) = delete;

    void progress(int percent);         // 0..100; 0 ends the current transfer
    void label(const QString &text);    // the operation's state text
    void message(const QString &text); // an error or a note, always a line of its own
    void finish();                      // ends a line left open by the bar or a label
    // A gang worker's display: progress, new labels and messages go to the parent as protocol messages.
    // Set before any engine runs.
    void forwardTo(WorkerWriter *writer) { m_writer = writer; }
    // Whether progress() may be called from any thread: forwarded progress touches only the writer, which
    // takes its own lock.
    bool progressFromAnyThread() const { return m_writer != nullptr; }

private:
    enum class Open { Nothing, Bar, Label };
    void closeLine();
    void write(const QString &text);

    FILE *m_stream;
    bool m_terminal;
    Open m_open = Open::Nothing;
    int m_lastPercent = 0;
    QString m_labelBase;
    WorkerWriter *m_writer = nullptr;
};
