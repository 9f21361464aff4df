#include "ganglog.h"

#include "records/productionlog.h"

bool GangLog::open(const QString &path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    if (m_file.size() != 0)
        return true;
    return append((header() + QLatin1Char('\n')).toUtf8());
}

QString GangLog::header()
{
    return QStringLiteral("link,") + ProductionLog::header();
}

bool GangLog::copyNewLines(const QString &port, const QString &workerLog, qint64 *offset)
{
    QFile in(workerLog);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(*offset))
        return true;  // nothing logged yet
    const QByteArray tail = in.readAll();
    const int end = tail.lastIndexOf('\n') + 1;  // a line still being written waits for its end
    QByteArray out;
    int start = 0;
    while (start < end) {
        const int lineEnd = tail.indexOf('\n', start) + 1;
        const QByteArray line = tail.mid(start, lineEnd - start);
        // The worker's file starts with its own header; a port holds no comma or quote, so it needs no quoting.
        if (*offset + start != 0 || ProductionLog::recordLines(line).value(0) != ProductionLog::header())
            out += port.toUtf8() + ',' + line;
        start = lineEnd;
    }
    *offset += end;
    return out.isEmpty() || append(out);
}

bool GangLog::append(const QByteArray &bytes)
{
    return m_file.write(bytes) == bytes.size() && m_file.flush();
}
