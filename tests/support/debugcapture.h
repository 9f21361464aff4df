#pragma once

#include <QString>
#include <QStringList>

#include <mutex>

// Collects the process's debug stream (from any thread) while alive, for the texts an operation only logs.
// QtTest installs its own handler when it starts, so a capture lives inside a test function or is made anew
// in init().
class DebugCapture
{
public:
    DebugCapture()
    {
        clear();
        m_previous = qInstallMessageHandler(&DebugCapture::handler);
    }
    ~DebugCapture() { qInstallMessageHandler(m_previous); }
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    static void clear()
    {
        std::lock_guard<std::mutex> lock(mutex());
        store().clear();
    }
    static QStringList lines()
    {
        std::lock_guard<std::mutex> lock(mutex());
        return store();
    }
    static QStringList matching(const QString &text) { return lines().filter(text); }
    static bool contains(const QString &text) { return !matching(text).isEmpty(); }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &msg)
    {
        std::lock_guard<std::mutex> lock(mutex());
        store().append(msg);
    }
    static std::mutex &mutex()
    {
        static std::mutex m;
        return m;
    }
    static QStringList &store()
    {
        static QStringList s;
        return s;
    }
    QtMessageHandler m_previous = nullptr;
};
