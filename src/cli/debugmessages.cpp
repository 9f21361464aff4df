#include "debugmessages.h"

#include <QDebug>

#include <cstdio>
#include <mutex>

namespace {
QtMessageHandler s_previous = nullptr;
bool s_showDebug = false;
std::mutex s_listenerMutex;
std::function<void(const QString &)> s_listener;

void cliMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtDebugMsg || type == QtInfoMsg) {
        {
            std::lock_guard<std::mutex> lock(s_listenerMutex);
            if (s_listener)
                s_listener(text);
        }
        if (!s_showDebug)
            return;
    }
    if (s_previous)
        s_previous(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}
}

void installCliMessageHandler()
{
    s_showDebug = !qEnvironmentVariableIsEmpty("TARNQUILL_DEBUG");
    s_previous = qInstallMessageHandler(cliMessageHandler);
}

void setDebugListener(std::function<void(const QString &)> listener)
{
    std::lock_guard<std::mutex> lock(s_listenerMutex);
    s_listener = std::move(listener);
}

void debugLineIfSeen(const QString &text)
{
    {
        std::lock_guard<std::mutex> lock(s_listenerMutex);
        if (!s_showDebug && !s_listener)
            return;
    }
    qDebug().noquote() << text;
}
