#include "tracingbackend.h"

#include <QTextStream>

bool TraceWriter::openFile(const QString &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(path);
    m_error.clear();
    // Plain '\n' line ends on every platform, so traces taken on Windows and Linux compare byte for byte.
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}

QString TraceWriter::hexLine(const uint8_t *data, size_t length)
{
    static const char digits[] = "0123456789ABCDEF";
    if (length == 0)
        return QString();
    QString line(int(length) * 3 - 1, Qt::Uninitialized);
    QChar *out = line.data();
    for (size_t i = 0; i < length; ++i) {
        if (i)
            *out++ = QLatin1Char(' ');
        *out++ = QLatin1Char(digits[data[i] >> 4]);
        *out++ = QLatin1Char(digits[data[i] & 0x0F]);
    }
    return line;
}

bool TraceWriter::wanted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_keepLines || m_file.isOpen();
}

// Every frame passes here: with nobody reading the trace, nothing is formatted.
void TraceWriter::sent(const uint8_t *payload, size_t length)
{
    if (wanted())
        add(QStringLiteral("> ") + hexLine(payload, length));
}

void TraceWriter::received(const uint8_t *payload, size_t length)
{
    if (wanted())
        add(QStringLiteral("< ") + hexLine(payload, length));
}

void TraceWriter::note(const QString &text) { add(QStringLiteral("# ") + text); }

QStringList TraceWriter::lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QStringList out;
    out.reserve(int(m_lines.size()));
    for (const std::string &line : m_lines)
        out << QString::fromStdString(line);
    return out;
}

void TraceWriter::setKeepLines(bool keep)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keepLines = keep;
    if (!keep)
        m_lines.clear();
}

void TraceWriter::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}

void TraceWriter::add(const QString &line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_keepLines)
        m_lines.push_back(line.toStdString());
    if (m_file.isOpen()) {
        const QByteArray bytes = line.toUtf8() + '\n';
        // A short write sets no error of its own.
        if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
            m_error = m_file.error() != QFileDevice::NoError ? m_file.errorString() : QStringLiteral("short write");
            m_error = QStringLiteral("%1: %2").arg(m_file.fileName(), m_error);
            m_file.close();
        }
    }
}

bool TraceWriter::failed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_error.isEmpty();
}

QString TraceWriter::errorString() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

std::vector<std::string> TracingBackend::enumerate(uint16_t vendorId, uint16_t productId)
{
    return m_inner.enumerate(vendorId, productId);
}

HidHandle TracingBackend::openPath(const char *path)
{
    HidHandle h = m_inner.openPath(path);
    if (h)
        m_writer.note(QStringLiteral("open"));
    return h;
}

int TracingBackend::write(HidHandle h, const uint8_t *data, size_t length)
{
    const int rt = m_inner.write(h, data, length);
    // Byte 0 is the report ID (always 0); the trace shows the payload.
    if (length > 1)
        m_writer.sent(data + 1, length - 1);
    return rt;
}

int TracingBackend::readTimeout(HidHandle h, uint8_t *data, size_t length, int milliseconds)
{
    const int rt = m_inner.readTimeout(h, data, length, milliseconds);
    if (rt > 0)
        m_writer.received(data, size_t(rt));
    return rt;
}

void TracingBackend::close(HidHandle h)
{
    m_inner.close(h);
    m_writer.note(QStringLiteral("close"));
}
