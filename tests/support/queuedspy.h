#pragma once

#include <QList>
#include <QObject>
#include <QVariant>

// QSignalSpy for a signal emitted on another thread (the worker's): QSignalSpy appends on the emitting
// thread while the test reads its list, a data race. This one receives the signal queued, on the test's
// thread, so reading it while the QTRY_ macros spin the event loop is safe.
class QueuedSpy : public QObject, public QList<QList<QVariant>>
{
public:
    template <typename Sender, typename... Args>
    QueuedSpy(Sender *sender, void (Sender::*signal)(Args...))
    {
        connect(
            sender, signal, this, [this](Args... args) { append(QList<QVariant>{QVariant::fromValue(args)...}); },
            Qt::QueuedConnection);
    }
};
