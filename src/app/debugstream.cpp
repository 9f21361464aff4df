#include "debugstream.h"

#include <QtGlobal>

#include <cstdio>
#include <memory>
#include <mutex>

RepeatFilter::RepeatFilter(std::function<void(const QString &)> sink) : m_sink(std::move(sink)) {}

void RepeatFilter::emitLine(const QString &line)
{
    m_sink(line);
    m_recent << line;
    if (m_recent.size() > 2 * kMaxPeriod)
        m_recent.removeFirst();
}

void RepeatFilter::endRun()
{
    if (m_repeated > 0)
        m_sink(QStringLiteral("... the last %1 line(s) repeated %2 more time(s)").arg(m_period).arg(m_repeated));
    const QStringList partial = m_partial;
    m_period = 0;
    m_position = 0;
    m_repeated = 0;
    m_partial.clear();
    for (const QString &line : partial)
        emitLine(line);
}

void RepeatFilter::add(const QString &line)
{
    if (m_period > 0) {
        if (line == m_recent.at(m_recent.size() - m_period + m_position)) {
            m_partial << line;
            if (++m_position == m_period) {
                m_position = 0;
                ++m_repeated;
                m_partial.clear();
            }
            return;
        }
        endRun();
    }
    // A line that continues the group of lines written just before starts a run.
    for (int period = 1; period <= kMaxPeriod && period <= m_recent.size(); ++period) {
        if (m_recent.at(m_recent.size() - period) == line) {
            m_period = period;
            m_position = 0;
            add(line);
            return;
        }
    }
    emitLine(line);
}

void RepeatFilter::flush()
{
    if (m_period > 0)
        endRun();
}

namespace {
std::mutex s_mutex;
QtMessageHandler s_previous = nullptr;
std::unique_ptr<RepeatFilter> s_filter;
const QMessageLogContext s_noContext;  // a line let through later has lost its own
QtMsgType s_lastType = QtDebugMsg;

void writeOn(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (s_previous)
        s_previous(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

void filteringHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (type != QtDebugMsg && type != QtInfoMsg) {
        s_filter->flush();
        writeOn(type, context, text);
        return;
    }
    s_lastType = type;
    s_filter->add(text);
}
}

void flushRepeatFilter()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (s_filter)
        s_filter->flush();
}

void installRepeatFilteringMessageHandler()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (s_filter)
        return;
    s_filter = std::make_unique<RepeatFilter>([](const QString &line) { writeOn(s_lastType, s_noContext, line); });
    s_previous = qInstallMessageHandler(filteringHandler);
}
