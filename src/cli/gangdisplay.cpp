#include "gangdisplay.h"

#include "terminal.h"

#include <algorithm>

namespace {
constexpr int kBarWidth = 20;
}

GangDisplay::GangDisplay(const QStringList &ports, FILE *stream)
    : GangDisplay(ports, stream, streamIsTerminal(stream))
{
}

GangDisplay::GangDisplay(const QStringList &ports, FILE *stream, bool terminal)
    : m_stream(stream)
    , m_terminal(terminal)
{
    for (const QString &port : ports) {
        m_rows.push_back({port, 0, QString()});
        m_portWidth = std::max(m_portWidth, port.size());
    }
}

GangDisplay::~GangDisplay()
{
    finish();
}

void GangDisplay::progress(int index, int percent)
{
    Row &row = m_rows[index];
    percent = std::clamp(percent, 0, 100);
    if (!m_terminal) {
        // A log gets a line per tenth, not one per report.
        if (percent / 10 > row.shownPercent / 10)
            write(QStringLiteral("%1: %2%\n").arg(row.port).arg(percent));
        row.shownPercent = percent;
        return;
    }
    if (percent == 0)
        return;  // a new transfer shows once it moves
    // Drawn again when the bar grows, not for every percent of every Link.
    const bool grown = percent * kBarWidth / 100 != row.percent * kBarWidth / 100;
    row.percent = percent;
    if (grown)
        redraw();
}

void GangDisplay::label(int index, const QString &text)
{
    Row &row = m_rows[index];
    if (!m_terminal) {
        write(QStringLiteral("%1: %2\n").arg(row.port, text));
        return;
    }
    row.label = text;
    redraw();
}

void GangDisplay::note(int index, const QString &text)
{
    const QString line = QStringLiteral("%1: %2\n").arg(m_rows[index].port, text);
    if (!m_terminal) {
        write(line);
        return;
    }
    // The note goes above the block, which is drawn again below it.
    if (m_drawn)
        write(QStringLiteral("\033[%1A\r\033[J").arg(m_rows.size()));
    m_drawn = false;
    write(line);
    redraw();
}

void GangDisplay::finish()
{
    m_drawn = false;
}

QString GangDisplay::rowText(const Row &row) const
{
    const int filled = row.percent * kBarWidth / 100;
    return QStringLiteral("%1 [%2%3] %4% %5")
        .arg(row.port, -m_portWidth)
        .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
        .arg(row.percent, 3)
        .arg(row.label);
}

void GangDisplay::redraw()
{
    QString text;
    if (m_drawn)
        text += QStringLiteral("\033[%1A").arg(m_rows.size());
    for (const Row &row : qAsConst(m_rows))
        text += QStringLiteral("\r\033[K") + rowText(row) + QLatin1Char('\n');
    m_drawn = true;
    write(text);
}

void GangDisplay::write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_stream);
    std::fflush(m_stream);
}
