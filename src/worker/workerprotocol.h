#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// The messages between a parent and the worker process that drives one Link for it. docs/worker-protocol.md
// describes every one; this header is the only place that reads or forms them.
namespace WorkerProtocol {
// Raised whenever a message changes its meaning; a parent refuses a worker that names another one.
constexpr int kVersion = 1;
// The client names its version in the worker's environment; a worker started without it refuses to run.
constexpr char kEnvironmentVariable[] = "TQ_WORKER_PROTOCOL";
// A line longer than this is not a message; the bytes are dropped rather than held.
constexpr int kMaxLineBytes = 1 << 20;
// The worker's main loop shows it is alive this often; a client ends a worker silent for far longer.
constexpr int kAliveIntervalMs = 1000;
}

// One line the worker wrote on its standard output.
struct WorkerMessage
{
    enum Kind { Malformed, Hello, Progress, Label, Message, Chip, Record, Result, Alive, End };
    Kind kind = Malformed;
    int protocol = 0;       // Hello
    int percent = 0;        // Progress
    QString text;           // Label, Message; Chip and Result: the result's source text
    int chip = 0;           // Chip: its number in the loop, from 1
    QString chipId;         // Chip: the id the chip answered, "2610"
    int result = 0;         // Chip, Result: the result code
    int record = 0;         // Record: its number, from 1
    int exitStatus = 0;     // End
    QString checksum;       // End, Chip: "49F2", empty for none
    std::optional<qint64> serial;  // Chip, Result: the serial the ledger gave the chip, when it gave one
    QJsonObject object;     // the whole message (Result: every key the command printed)
};

// `line` without its line end. Anything that is not one of the messages is Malformed.
WorkerMessage parseWorkerMessage(const QByteArray &line);

// One line the parent wrote on the worker's standard input.
struct WorkerCommand
{
    enum Kind { Unknown, Stop, Logged, Unlogged };
    Kind kind = Unknown;
    QString reason;  // Unlogged: why the record could not be kept
};

WorkerCommand parseWorkerCommand(const QByteArray &line);
// The line, with its end, that carries `command`.
QByteArray workerCommandLine(const WorkerCommand &command);
