#pragma once

struct CliContext;

// The side of a gang run inside one Link's worker process (tarnquill-cli --link PORT --gang-worker --json).
// The parent reads the worker's stdout (JSON lines) and stderr (progress and labels as plain lines).

// Ctrl-C reaches the parent, which passes it on as a "stop" line on the worker's input; the worker ignores
// SIGINT itself, so the terminal's Ctrl-C (sent to the whole process group) is acted on once, through the
// parent. The end of input (the parent is gone) stops the worker the same way.
void startGangWorker();

// The worker's last line: {"worker": {"exit": status, "checksum": "49F2" or null}}. The checksum is the
// first enabled area's, after a success of the commands that carry an image (burn, download, blank).
void finishGangWorker(const CliContext &ctx, int status);
