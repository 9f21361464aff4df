#pragma once

#include <QtGlobal>

// True while a process with this id exists (on POSIX also one of another user).
bool processIsRunning(qint64 pid);
