#include "productionlog.h"

#include "chip/areas.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "files/inputfile.h"
#include "files/savefile.h"
#include "link/linkstate.h"

namespace {
// RFC 4180: a field holding a comma, a quote or a line break is quoted, inner quotes doubled.
QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

// The line end an existing record uses: that of its first line; a record without one yet is ours when it
// starts with the byte-order mark, else a plain LF file.
QByteArray lineEndOf(QFile &existing)
{
    const QByteArray start = existing.read(64 * 1024);
    const int lf = start.indexOf('\n');
    if (lf < 0)
        return start.startsWith(kBom) ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    return lf > 0 && start[lf - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}
}

bool ProductionLog::open(const QString &path)
{
    m_error = outputProblem(path);
    if (!m_error.isEmpty())
        return false;
    m_file.setFileName(path);
    // Unbuffered: a short write shows in its own count, not later in a flush.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    // A new record is UTF-8 with a byte-order mark and CRLF line ends, as spreadsheets on every system read
    // it (without the mark, Excel reads it in the system's code page); an existing one keeps its own form.
    QByteArray start;
    const qint64 size = m_file.size();
    QFile existing(path);
    const bool readable = size > 0 && existing.open(QIODevice::ReadOnly);
    m_lineEnd = readable ? lineEndOf(existing) : QByteArrayLiteral("\r\n");
    if (size == 0 || (readable && size == kBom.size() && existing.seek(0) && existing.read(size) == kBom)) {
        start = (size == 0 ? kBom : QByteArray()) + header().toUtf8() + m_lineEnd;
    } else if (readable && existing.seek(size - 1) && existing.read(1) != QByteArray("\n")) {
        // A record whose last line lost its end (edited by hand) must not swallow our first line.
        start = m_lineEnd;
    }
    return start.isEmpty() || write(start);
}

bool ProductionLog::append(const ProductionRecord &record)
{
    return write(line(record).toUtf8() + m_lineEnd);
}

QStringList ProductionLog::recordLines(const QByteArray &content)
{
    QByteArray text = content.startsWith(kBom) ? content.mid(kBom.size()) : content;
    QStringList lines;
    for (QByteArray &line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines << QString::fromUtf8(line);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool ProductionLog::write(const QByteArray &bytes)
{
    const qint64 before = m_file.size();
    if (appendDurably(m_file, bytes, &m_error))
        return true;
    // No torn line stays behind to pass for a record.
    m_file.resize(before);
    return false;
}

QString ProductionLog::header()
{
    return QStringLiteral("time,chip,chip id,areas,checksums,result,text");
}

QString ProductionLog::line(const ProductionRecord &r)
{
    const QStringList fields = {
        r.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        r.chipModel,
        QStringLiteral("%1").arg(r.chipId, 4, 16, QLatin1Char('0')).toUpper(),
        r.areas.join(QLatin1Char(' ')),
        r.checksums.join(QLatin1Char(' ')),
        QString::number(r.result),
        r.text,
    };
    QStringList out;
    for (const QString &f : fields)
        out << csvField(f);
    return out.join(QLatin1Char(','));
}

ProductionRecord currentPassRecord(int code, uint16_t chipId, const QString &text)
{
    ProductionRecord r;
    r.time = QDateTime::currentDateTime();
    r.chipModel = g_currentMcu.strName;
    r.chipId = chipId;
    for (Area area : enabledAreas()) {
        r.areas << areaName(area);
        r.checksums << hex4(areaChecksum(area));
    }
    r.result = code;
    r.text = text;
    return r;
}
