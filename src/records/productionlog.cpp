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
    QByteArray start;
    if (m_file.size() == 0) {
        start = (header() + QLatin1Char('\n')).toUtf8();
    } else {
        // A record whose last line lost its end (edited by hand) must not swallow our first line.
        QFile existing(path);
        if (existing.open(QIODevice::ReadOnly) && existing.seek(existing.size() - 1)
            && existing.read(1) != QByteArray("\n"))
            start = QByteArray("\n");
    }
    return start.isEmpty() || write(start);
}

bool ProductionLog::append(const ProductionRecord &record)
{
    return write((line(record) + QLatin1Char('\n')).toUtf8());
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
