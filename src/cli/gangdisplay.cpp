#include "gangdisplay.h"

#include "terminal.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
constexpr int kBarWidth = 20;

bool progressLine(const QString &line, int *percent)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3})%$"));
    const QRegularExpressionMatch m = form.match(line);
    if (!m.hasMatch())
        return false;
    *percent = std::min(m.captured(1).toInt(), 100);
    return true;
}
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

void GangDisplay::workerLine(int index, const QString &line)
{
    Row &row = m_rows[index];
    int percent = 0;
    const bool isProgress = progressLine(line, &percent);
    if (!m_terminal) {
        write(QStringLiteral("%1: %2\n").arg(row.port, line));
        return;
    }
    if (isProgress)
        row.percent = percent;
    else
        row.label = line;
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
