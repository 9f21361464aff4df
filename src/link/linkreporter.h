#pragma once

#include <QString>

#include <cstdint>

// How Link commands tell the outside world what they do: the worker forwards these to its signals,
// the command-line front end prints them. The default drops everything.
class LinkReporter
{
public:
    virtual ~LinkReporter() = default;
    virtual void progress(int percent) { (void)percent; }          // 0..100, 0 resets the bar
    virtual void labelMessage(const QString &text) { (void)text; } // operation state for the message label
    virtual void debugMessage(const QString &text) { (void)text; } // diagnostics meant for the log pane
    // The Link's firmware version from GetFwVersion; (0, 0, 0) when the query failed.
    virtual void firmwareVersion(uint16_t H, uint16_t M, uint16_t L) { (void)H; (void)M; (void)L; }
};
