#include "mergedlog.h"

#include "files/inputfile.h"
#include "files/savefile.h"
#include "records/productionlog.h"

namespace {
const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// The end of the CSV record that starts at `from`: the line end outside quotes (a quoted field may hold
// one); -1 while the record is not complete.
int recordEnd(const QByteArray &bytes, int from)
{
    bool quoted = false;
    for (int i = from; i < bytes.size(); ++i) {
        if (bytes[i] == '"')
            quoted = !quoted;
        else if (bytes[i] == '\n' && !quoted)
            return i;
    }
    return -1;
}

QByteArray withoutLineEnd(QByteArray record)
{
    if (record.endsWith('\n'))
        record.chop(1);
    if (record.endsWith('\r'))
        record.chop(1);
    return record;
}

// The line end an existing record uses: that of its first line.
QByteArray lineEndOf(const QByteArray &start)
{
    const int end = start.indexOf('\n');
    if (end < 0)
        return start.startsWith(kByteOrderMark) ? QByteArray("\r\n") : QByteArray("\n");
    return end > 0 && start[end - 1] == '\r' ? QByteArray("\r\n") : QByteArray("\n");
}
}

bool MergedLog::open(const QString &path)
{
    m_error = outputProblem(path);
    if (!m_error.isEmpty())
        return false;
    m_file.setFileName(path);
    // Unbuffered: a short write shows in its own count, not later in a flush.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    if (m_file.size() == 0) {
        m_lineEnd = "\r\n";
        return append(kByteOrderMark + header().toUtf8() + m_lineEnd);
    }
    m_file.seek(0);
    m_lineEnd = lineEndOf(m_file.read(4096));
    // A record whose last line lost its end (edited by hand) must not swallow our first line.
    m_file.seek(m_file.size() - 1);
    const bool ended = m_file.read(1) == "\n";
    return ended || append(m_lineEnd);
}

QString MergedLog::header() const
{
    return m_columns.join(QLatin1Char(',')) + QLatin1Char(',') + ProductionLog::header();
}

QByteArray MergedLog::field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r'))
        bytes = '"' + bytes.replace("\"", "\"\"") + '"';
    return bytes;
}

bool MergedLog::copyNewLines(const QStringList &fields, const QString &workerLog, qint64 *offset)
{
    QFile in(workerLog);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(*offset))
        return true;  // nothing logged yet
    const QByteArray tail = in.readAll();
    int start = 0;
    if (*offset == 0 && tail.startsWith(kByteOrderMark))
        start = kByteOrderMark.size();
    const int first = start;
    QByteArray out;
    QByteArray prefix;
    for (const QString &f : fields)
        prefix += field(f) + ',';
    int end;
    while ((end = recordEnd(tail, start)) >= 0) {
        const QByteArray record = withoutLineEnd(tail.mid(start, end + 1 - start));
        const bool workerHeader = *offset == 0 && start == first && record == ProductionLog::header().toUtf8();
        if (!workerHeader && !record.isEmpty())
            out += prefix + record + m_lineEnd;
        start = end + 1;
    }
    if (!out.isEmpty() && !append(out))
        return false;
    if (start != first)
        *offset += start;  // a mark alone is read again with the header it starts
    return true;
}

bool MergedLog::append(const QByteArray &bytes)
{
    const qint64 before = m_file.size();
    if (appendDurably(m_file, bytes, &m_error))
        return true;
    // No cut row stays behind to pass for a record.
    m_file.resize(before);
    return false;
}
