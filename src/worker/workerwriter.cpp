#include "workerwriter.h"

#include "workerprotocol.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace {
QByteArray messageLine(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

void writeStdout(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}
}

WorkerWriter::WorkerWriter(Sink sink)
    : m_sink(sink ? std::move(sink) : Sink(writeStdout))
{
}

void WorkerWriter::hello()
{
    write(messageLine({{QStringLiteral("hello"), QJsonObject{{QStringLiteral("protocol"), WorkerProtocol::kVersion}}}}));
}

void WorkerWriter::progress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (percent == m_lastPercent)
            return;
        m_lastPercent = percent;
    }
    // The most frequent message, a hundred a burn: formed without building a JSON document (the same bytes).
    write("{\"progress\":" + QByteArray::number(percent) + "}\n");
}

void WorkerWriter::label(const QString &text)
{
    write(messageLine({{QStringLiteral("label"), text}}));
}

void WorkerWriter::message(const QString &text)
{
    write(messageLine({{QStringLiteral("message"), text}}));
}

int WorkerWriter::record()
{
    int number = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        number = ++m_records;
    }
    write(messageLine({{QStringLiteral("record"), number}}));
    return number;
}

void WorkerWriter::alive()
{
    write(messageLine({{QStringLiteral("alive"), 1}}));
}

void WorkerWriter::end(int exitStatus, const QString &checksum)
{
    const QJsonObject body{{QStringLiteral("exit"), exitStatus},
                           {QStringLiteral("checksum"), checksum.isEmpty() ? QJsonValue() : QJsonValue(checksum)}};
    write(messageLine({{QStringLiteral("end"), body}}));
}

void WorkerWriter::write(const QByteArray &line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sink(line);
}
