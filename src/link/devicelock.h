#pragma once

// Cross-process device lock: only one program instance talks to the Link at a time. Never waits.
// An exclusive flock on a file named after the lock in $XDG_RUNTIME_DIR (else /tmp); the kernel drops it
// when the descriptor closes, so a crashed process leaves no stale lock.

// True when this process now holds the lock. A lock this process already held is dropped first.
bool getmutex();
// Releases the lock if held; always true.
bool releaseMutex();

// The lock file, for diagnostics and tests.
const char *deviceLockPath();
