#pragma once

#include <QString>

// How Link commands tell the outside world what they do: the worker forwards these to its signals,
// the command-line front end prints them. The default drops everything.
class LinkReporter
{
public:
    virtual ~LinkReporter() = default;
    virtual void progress(int percent) { (void)percent; }          // 0..100, 0 resets the bar
    virtual void labelMessage(const QString &text) { (void)text; } // operation state for the message label
    virtual void debugMessage(const QString &text) { (void)text; } // diagnostics meant for the log pane
};
