#pragma once

#include <QDebug>
#include <QString>

#include <functional>

// What a file routine has to tell the user. The window shows boxes as message boxes and appends log lines
// to its error-log view; the command line prints both. Either callback may be left empty. Debug lines go to
// Qt's debug output unless the caller routes them elsewhere (or nowhere: the first debug message of a process
// reads Qt's logging configuration, a good part of a short command's start-up).
struct FileMessages
{
    std::function<void(const QString &title, const QString &text)> box;
    std::function<void(const QString &text)> log;
    std::function<void(const QString &text)> debug = [](const QString &text) { qDebug().noquote() << text; };

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
    void debugLine(const QString &text) const
    {
        if (debug)
            debug(text);
    }
};
