#pragma once

#include <QString>

#include <functional>

// What a file routine has to tell the user. The window shows boxes as message boxes and appends log lines
// to its error-log view; the command line prints both. Either callback may be left empty.
struct FileMessages
{
    std::function<void(const QString &title, const QString &text)> box;
    std::function<void(const QString &text)> log;

    void showBox(const QString &title, const QString &text) const
    {
        if (box)
            box(title, text);
    }
    void appendLog(const QString &text) const
    {
        if (log)
            log(text);
    }
};
