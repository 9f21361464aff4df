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

WorkerWriter::WorkerWriter(Sink sink, Clock clock)
    : m_sink(sink ? std::move(sink) : Sink(writeStdout)),
      m_clock(clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); }))
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
        // A transfer's start, its first step and its end always go out; the steps between at the pace a
        // panel can show. Every line wakes the parent, and a 32 KiB burn has a hundred steps.
        const auto now = m_clock();
        const bool edge = percent == 0 || percent == 100 || m_lastPercent <= 0;
        if (!edge && now - m_lastProgressAt < std::chrono::milliseconds(kProgressGapMs))
            return;
        m_lastPercent = percent;
        m_lastProgressAt = now;
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
