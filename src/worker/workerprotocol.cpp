#include "workerprotocol.h"

#include <QJsonDocument>
#include <QJsonValue>

namespace {
bool isInteger(const QJsonValue &value)
{
    return value.isDouble() && value.toDouble() == double(value.toInt());
}

// A serial: a whole number of 53 bits at most, which a JSON number carries exactly.
bool isSerial(const QJsonValue &value)
{
    constexpr double kExact = 9007199254740992.0;  // 2^53
    const double d = value.toDouble();
    return value.isDouble() && d >= 0 && d <= kExact && d == double(qint64(d));
}

// A message whose shape is wrong stays Malformed: a reader never guesses at a half-understood line.
WorkerMessage malformed(const QJsonObject &object)
{
    WorkerMessage m;
    m.object = object;
    return m;
}

WorkerMessage hello(const QJsonObject &object)
{
    const QJsonObject body = object.value(QLatin1String("hello")).toObject();
    if (object.size() != 1 || !isInteger(body.value(QLatin1String("protocol"))))
        return malformed(object);
    WorkerMessage m;
    m.kind = WorkerMessage::Hello;
    m.protocol = body.value(QLatin1String("protocol")).toInt();
    m.object = object;
    return m;
}

WorkerMessage end(const QJsonObject &object)
{
    const QJsonObject body = object.value(QLatin1String("end")).toObject();
    const QJsonValue checksum = body.value(QLatin1String("checksum"));
    if (object.size() != 1 || !isInteger(body.value(QLatin1String("exit"))) || !(checksum.isString() || checksum.isNull()))
        return malformed(object);
    WorkerMessage m;
    m.kind = WorkerMessage::End;
    m.exitStatus = body.value(QLatin1String("exit")).toInt();
    m.checksum = checksum.toString();
    m.object = object;
    return m;
}

// {"key": value} alone, value an integer (Progress, Record, Alive) or a string (Label, Message).
WorkerMessage single(const QJsonObject &object, const QString &key, WorkerMessage::Kind kind)
{
    const QJsonValue value = object.value(key);
    const bool number = kind == WorkerMessage::Progress || kind == WorkerMessage::Record || kind == WorkerMessage::Alive;
    if (object.size() != 1 || (number ? !isInteger(value) : !value.isString()))
        return malformed(object);
    WorkerMessage m;
    m.kind = kind;
    m.object = object;
    if (kind == WorkerMessage::Progress) {
        m.percent = value.toInt();
        if (m.percent < 0 || m.percent > 100)
            return malformed(object);
    } else if (kind == WorkerMessage::Record) {
        m.record = value.toInt();
        if (m.record < 1)
            return malformed(object);
    } else {
        m.text = value.toString();
    }
    return m;
}

// The command's own JSON: {"result": code, "text": ..., ...}; a chip of a loop adds "chip" and "chipId".
WorkerMessage result(const QJsonObject &object)
{
    const QJsonValue text = object.value(QLatin1String("text"));
    if (!isInteger(object.value(QLatin1String("result"))) || !(text.isString() || text.isUndefined()))
        return malformed(object);
    WorkerMessage m;
    m.kind = WorkerMessage::Result;
    m.result = object.value(QLatin1String("result")).toInt();
    m.text = text.toString();
    m.object = object;
    // A chip that took a serial from the ledger names it; null or absent: none.
    const QJsonValue serial = object.value(QLatin1String("serial"));
    if (isSerial(serial))
        m.serial = qint64(serial.toDouble());
    else if (!serial.isNull() && !serial.isUndefined())
        return malformed(object);
    if (!object.contains(QLatin1String("chip")))
        return m;
    if (!isInteger(object.value(QLatin1String("chip"))) || !object.value(QLatin1String("chipId")).isString())
        return malformed(object);
    m.kind = WorkerMessage::Chip;
    m.chip = object.value(QLatin1String("chip")).toInt();
    m.chipId = object.value(QLatin1String("chipId")).toString();
    const QJsonValue checksum = object.value(QLatin1String("checksum"));
    if (checksum.isString())
        m.checksum = checksum.toString();
    else if (!checksum.isUndefined())
        return malformed(object);
    return m;
}
}

WorkerMessage parseWorkerMessage(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return WorkerMessage();
    const QJsonObject object = document.object();
    if (object.contains(QLatin1String("hello")))
        return hello(object);
    if (object.contains(QLatin1String("progress")))
        return single(object, QStringLiteral("progress"), WorkerMessage::Progress);
    if (object.contains(QLatin1String("label")))
        return single(object, QStringLiteral("label"), WorkerMessage::Label);
    if (object.contains(QLatin1String("message")))
        return single(object, QStringLiteral("message"), WorkerMessage::Message);
    if (object.contains(QLatin1String("record")))
        return single(object, QStringLiteral("record"), WorkerMessage::Record);
    if (object.contains(QLatin1String("alive")))
        return single(object, QStringLiteral("alive"), WorkerMessage::Alive);
    if (object.contains(QLatin1String("end")))
        return end(object);
    if (object.contains(QLatin1String("result")))
        return result(object);
    return malformed(object);
}

WorkerCommand parseWorkerCommand(const QByteArray &line)
{
    WorkerCommand command;
    if (line == "stop")
        command.kind = WorkerCommand::Stop;
    else if (line == "logged")
        command.kind = WorkerCommand::Logged;
    else if (line == "unlogged" || line.startsWith("unlogged ")) {
        command.kind = WorkerCommand::Unlogged;
        command.reason = QString::fromUtf8(line.mid(9));
    }
    return command;
}

QByteArray workerCommandLine(const WorkerCommand &command)
{
    switch (command.kind) {
    case WorkerCommand::Stop:
        return "stop\n";
    case WorkerCommand::Logged:
        return "logged\n";
    case WorkerCommand::Unlogged: {
        // The reason is one line: a line break in it would start a command of its own.
        QString reason = command.reason;
        reason.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return "unlogged " + reason.toUtf8() + '\n';
    }
    case WorkerCommand::Unknown:
        break;
    }
    return QByteArray();
}
