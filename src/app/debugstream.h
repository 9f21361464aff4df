#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Keeps the window's debug stream readable: a wait loop writes the same few lines many times a second
// ("MI1 open ok", "InitProgrammer failed!"), which would fill a log file by the megabyte. A run of a
// repeating group of up to kMaxPeriod lines is written once, then counted; the count is written when the
// run ends (or at flush()).
class RepeatFilter
{
public:
    static constexpr int kMaxPeriod = 4;

    explicit RepeatFilter(std::function<void(const QString &line)> sink);
    void add(const QString &line);
    void flush();

private:
    void emitLine(const QString &line);
    void endRun();

    std::function<void(const QString &)> m_sink;
    QStringList m_recent;   // the last lines written, newest last
    int m_period = 0;       // >0 while a run repeats the last m_period lines written
    int m_position = 0;     // the next line of the run is m_recent[size - m_period + m_position]
    long m_repeated = 0;    // whole groups left out
    QStringList m_partial;  // lines of a group not yet complete
};

// Routes the process's debug and info messages through a RepeatFilter before the handler that was
// installed; warnings and worse pass unchanged.
void installRepeatFilteringMessageHandler();
// Writes the count of a run still open (at the end of the program).
void flushRepeatFilter();
