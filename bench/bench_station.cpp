// A station of N emulated Links as the window runs it: the controller with a worker process per Link and the
// view with a panel per Link, one chip each. Prints one line of figures for bench_report:
//   wall <ms> stall <ms> rss <kB> ok <panels that passed>
// wall: start all to the last panel idle; stall: the longest lateness of a 10 ms timer on the GUI thread
// meanwhile; rss: the peak resident set of this process (the view, its panels and the station's clients).
//   bench_station --cli PATH --work DIR --links N --project FILE.mprj
// The workers inherit the environment (TQ_EMULATOR_WAITS=real for the Link's real waits).

#include "headlessboxes.h"
#include "station/panelmodel.h"
#include "station/stationcontroller.h"
#include "station/stationview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {
QString option(const QStringList &args, const char *name)
{
    const int i = args.indexOf(QLatin1String(name));
    return i >= 0 ? args.value(i + 1) : QString();
}

long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
} // namespace

// Times every event the GUI thread delivers: the slowest one names the cause of a stall (on stderr).
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        QElapsedTimer t;
        t.start();
        const int type = event->type();
        const bool handled = QApplication::notify(receiver, event);
        const qint64 ns = t.nsecsElapsed();
        if (type == QEvent::LayoutRequest && receiver->isWidgetType() && static_cast<QWidget *>(receiver)->isWindow())
            ++windowLayouts;
        if (ns > slowestNs) {
            slowestNs = ns;
            slowest = QStringLiteral("event %1 to %2 (%3)").arg(type).arg(QLatin1String(receiver->metaObject()->className()),
                                                                   receiver->objectName());
        }
        return handled;
    }
    qint64 slowestNs = 0;
    int windowLayouts = 0;  // the whole window laid out anew
    QString slowest;
};

int main(int argc, char *argv[])
{
    TimedApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("windows"));
    answerBoxesOnStderr();
    const QStringList args = app.arguments();
    const QString cli = option(args, "--cli");
    const QString work = option(args, "--work");
    const QString project = option(args, "--project");
    const int links = option(args, "--links").toInt();
    if (cli.isEmpty() || work.isEmpty() || project.isEmpty() || links < 1) {
        std::fprintf(stderr, "usage: bench_station --cli PATH --work DIR --links N --project FILE.mprj\n");
        return 64;
    }

    QStringList folders;
    for (int i = 1; i <= links; ++i) {
        const QString folder = QDir(work).filePath(QStringLiteral("station%1-%2").arg(links).arg(i));
        QProcess make;
        make.setStandardOutputFile(QProcess::nullDevice());  // stdout carries this program's figures alone
        make.start(cli, {QStringLiteral("emulator"), folder, QStringLiteral("--insert")});
        if (!make.waitForFinished(30000) || make.exitStatus() != QProcess::NormalExit || make.exitCode() != 0) {
            std::fprintf(stderr, "bench_station: cannot make the emulator folder %s\n", qPrintable(folder));
            return 1;
        }
        folders << folder;
    }

    StationSetup setup;
    setup.program = cli;
    setup.emulate = true;
    setup.emulateDir = folders.join(QLatin1Char(','));
    setup.labelsFolder = work;
    setup.stationName = QStringLiteral("bench");
    setup.language = QStringLiteral("en");
    StationController station(setup);
    station.setProjectWriter([&project](const QString &path, QString *error) {
        QFile::remove(path);
        if (QFile::copy(project, path))
            return true;
        *error = QStringLiteral("cannot copy %1").arg(project);
        return false;
    });
    QString error;
    const QString record = QDir(work).filePath(QStringLiteral("station%1.csv").arg(links));
    QFile::remove(record);
    if (!station.setRecordFile(record, &error)) {
        std::fprintf(stderr, "bench_station: %s\n", qPrintable(error));
        return 1;
    }
    station.refreshLinks();
    StationView view(station);
    view.resize(1600, 1000);
    view.show();
    // The view's first layout and paint belong to its opening, not to the run: done before the clock starts.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
    }
    if (station.panels().size() != links) {
        std::fprintf(stderr, "bench_station: %d panels for %d Links\n", int(station.panels().size()), links);
        return 1;
    }
    for (PanelModel *panel : station.panels())
        station.setAutoBurn(panel->port(), false);

    // The GUI thread's stalls: how late a 10 ms timer fires while the panels update.
    QElapsedTimer sinceTick;
    qint64 longestStallMs = 0;
    qint64 stallAtMs = 0;  // when it ended, from the start of the run
    QElapsedTimer wall;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 late = sinceTick.elapsed() - 10;
        if (late > longestStallMs) {
            longestStallMs = late;
            stallAtMs = wall.elapsed();
        }
        sinceTick.restart();
    });

    // The operator's click on start all is part of the run: the ticker is late by whatever it holds.
    wall.start();
    sinceTick.start();
    ticker.start();
    if (!station.startAll(&error)) {
        std::fprintf(stderr, "bench_station: %s\n", qPrintable(error));
        return 1;
    }
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!station.locked())
            app.quit();
    });
    watch.start();
    QTimer::singleShot(180000, &app, &QCoreApplication::quit);  // a station that never ends fails below
    app.exec();
    const qint64 wallMs = wall.elapsed();
    ticker.stop();

    int ok = 0;
    for (PanelModel *panel : station.panels())
        ok += !panel->running() && panel->passed() == 1 && panel->failed() == 0;
    std::fprintf(stderr, "slowest event: %s, %.1f ms; the window laid out %d times; longest stall ended %lld ms "
                         "into the run\n",
                 qPrintable(app.slowest), app.slowestNs / 1e6, app.windowLayouts, static_cast<long long>(stallAtMs));
    std::printf("wall %lld stall %lld rss %ld ok %d\n", static_cast<long long>(wallMs),
                static_cast<long long>(longestStallMs), peakRssKb(), ok);
    return ok == links ? 0 : 1;
}
