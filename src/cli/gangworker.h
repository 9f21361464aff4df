#pragma once

#include <QString>

struct CliContext;
struct CliOptions;
class ProgressDisplay;

// The side of a gang run inside one Link's worker process (tarnquill-cli --link PORT --gang-worker --json),
// speaking the worker protocol (docs/worker-protocol.md) to the parent on its standard input and output.

// Why `options` may not run: --gang-worker outside a process a protocol client started (it names the protocol
// in the environment), --gang-serial or --label outside a worker. Empty when they may.
QString workerOptionsRefusal(const CliOptions &options);

// Says hello, sends the display's progress, labels and messages to the parent and follows its commands.
// Ctrl-C reaches the parent, which passes it on as "stop"; the worker ignores SIGINT itself, so the terminal's
// Ctrl-C (sent to the whole process group) is acted on once, through the parent. The end of input (the parent
// is gone) stops the worker the same way.
void startGangWorker(ProgressDisplay &display);

// Between a chip's record on the worker's own disk and the next chip: announces the record and waits until
// the parent has it in the gang's record on disk. True at once outside a worker; false with the reason
// when the parent could not keep it.
bool confirmGangRecord(QString *error);

// The worker's last message: its exit status and, after a success of the commands that carry an image
// (burn, download, blank), the first enabled area's checksum.
void finishGangWorker(const CliContext &ctx, int status);
