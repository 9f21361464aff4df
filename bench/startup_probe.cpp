// The program's start-up as main() runs it, ending at the main window's first paint: prints the monotonic
// clock then ("shown <ns>") and quits. The bench runner notes the clock before it starts this process, so
// the difference is process start to window shown; the process's peak RSS comes from its exit status.

#include "headlessboxes.h"
#include "app/mcu_writer.h"
#include "app/startup.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && qobject_cast<mcu_writer *>(watched)) {
            m_seen = true;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("shown %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_seen = false;
};
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("windows"));
    answerBoxesOnStderr();
    FirstPaint probe;
    app.installEventFilter(&probe);
    return runTarnquill(app, app.arguments());
}
