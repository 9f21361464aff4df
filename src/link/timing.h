#pragma once

#include <functional>

// Every pause the Link needs (between send and read, after a chunk, while polling, before the version
// query) goes through linkSleepMs, so tests can run the command sequences without real waiting.

// Sleeps ms × the time scale; the scale is 1 in production.
void linkSleepMs(int ms);

// One poll of a wait loop: linkSleepMs(ms), but while the waits are scaled down it still sleeps at least
// kMinPollSleepMs real milliseconds, so a loop that waits for a chip or a task never spins.
constexpr int kMinPollSleepMs = 3;
void linkPollMs(int ms);

// Process-wide scale of every Link pause (1.0 = real time, 0 = no waiting). Tests set 0.
void setLinkTimeScale(double scale);
double linkTimeScale();

// The grace a person gets (a Link pulled out and plugged back) lasts in wall time at this scale, whatever the
// pause scale: the command line scales an emulated Link's pauses to nothing, the operator's two seconds stay.
// 1.0 in production; tests that need no grace set 0.
void setLinkGraceScale(double scale);
double linkGraceScale();
// One poll while such a grace runs: linkPollMs(ms), topped up to ms × the grace scale of wall time, so the
// grace is waited out at a calm pace instead of many quick looks.
void linkGracePollMs(int ms);

// Called with the unscaled duration before every pause (for tests that count pauses or advance an
// emulated clock); an empty function removes the hook. One hook at a time: the last one set wins.
// `owner` marks who set it, so that clearLinkSleepHook(owner) removes it only while it is still theirs.
void setLinkSleepHook(std::function<void(int ms)> hook, const void *owner = nullptr);
void clearLinkSleepHook(const void *owner);
