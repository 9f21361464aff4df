#include "progressdisplay.h"

#include "worker/workerwriter.h"

#include <unistd.h>

#include <algorithm>

namespace {
constexpr int kBarWidth = 40;

// "芯片连接中...." and "芯片连接中." are one state: only the animation dots differ.
QString labelBase(const QString &text)
{
    int end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char('.'))
        --end;
    return text.left(end);
}
}

ProgressDisplay::ProgressDisplay(FILE *stream)
    : ProgressDisplay(stream, isatty(fileno(stream)) == 1)
{
}

ProgressDisplay::ProgressDisplay(FILE *stream, bool terminal)
    : m_stream(stream)
    , m_terminal(terminal)
{
}

ProgressDisplay::~ProgressDisplay()
{
    finish();
}

void ProgressDisplay::progress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (m_writer) {
        m_writer->progress(percent);
        return;
    }
    if (percent == 0) {
        m_lastPercent = 0;
        if (m_open == Open::Bar)
            closeLine();
        return;
    }
    if (percent == m_lastPercent)
        return;
    if (!m_terminal) {
        // A log gets a line per tenth, not one per report.
        if (percent / 10 > m_lastPercent / 10)
            write(QStringLiteral("%1%\n").arg(percent));
        m_lastPercent = percent;
        return;
    }
    m_lastPercent = percent;
    if (m_open != Open::Bar)
        closeLine();
    const int filled = percent * kBarWidth / 100;
    write(QStringLiteral("\r\033[K[%1%2] %3%")
              .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
              .arg(percent, 3));
    m_open = Open::Bar;
}

void ProgressDisplay::label(const QString &text)
{
    const QString base = labelBase(text);
    const bool sameState = base == m_labelBase;
    m_labelBase = base;
    if (m_writer) {
        if (!sameState)
            m_writer->label(text);
        return;
    }
    if (!m_terminal) {
        if (!sameState)
            write(text + QLatin1Char('\n'));
        return;
    }
    if (m_open == Open::Label && sameState) {
        write(QStringLiteral("\r\033[K") + text);
        return;
    }
    closeLine();
    write(text);
    m_open = Open::Label;
}

void ProgressDisplay::message(const QString &text)
{
    if (m_writer) {
        m_writer->message(text);
        return;
    }
    closeLine();
    write(text + QLatin1Char('\n'));
}

void ProgressDisplay::finish()
{
    closeLine();
}

void ProgressDisplay::closeLine()
{
    if (m_open != Open::Nothing)
        write(QStringLiteral("\n"));
    m_open = Open::Nothing;
}

void ProgressDisplay::write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_stream);
    std::fflush(m_stream);
}
