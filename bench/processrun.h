#pragma once

#include <QByteArray>
#include <QStringList>

#include <cstdint>

// One run of another program, timed from just before it is spawned until it has been reaped.
struct ProcessRun
{
    bool ok = false;         // started, exited by itself with status 0 within the time-out
    int64_t startNs = 0;     // CLOCK_MONOTONIC just before the spawn
    int64_t wallNs = 0;      // spawn to reaped
    long maxRssKb = 0;       // peak resident set size of the process
    double cpuMs = 0;        // user + system time of the process (and of its reaped children)
    QByteArray out;          // what it wrote to stdout (stderr is dropped)
};

// Runs argv[0] (looked up in PATH when it holds no slash) with `environment` ("NAME=value" entries). Its
// stdin is /dev/null, or with `holdStdin` a pipe kept open (and silent) until it has ended, as a parent
// that may still speak to it holds it.
ProcessRun runProcess(const QStringList &argv, const QStringList &environment, int timeoutMs = 20000,
                      bool holdStdin = false);

int64_t monotonicNs();
