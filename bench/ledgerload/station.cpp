#include "ledgerload.h"

#include "records/productionstore.h"

#include <QElapsedTimer>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace {
std::mutex g_outputMutex;

// One line to the parent, whole and at once.
void tell(const QByteArray &line)
{
    std::lock_guard<std::mutex> lock(g_outputMutex);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void complain(const QString &text)
{
    std::lock_guard<std::mutex> lock(g_outputMutex);
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// One Link of the station: its own connection (a store belongs to its thread), its own block of serials.
bool runLink(const QString &url, const QString &station, const QString &port, int quota)
{
    std::unique_ptr<ProductionStore> store;
    QString error;
    if (!retry([&] { return bool(store = openProductionStore(url, &error)); })) {
        complain(QStringLiteral("%1/%2: %3").arg(station, port, error));
        return false;
    }
    const SerialHolder holder(station, port);
    const auto attempt = [&](const std::function<bool()> &operation) {
        if (retry(operation))
            return true;
        complain(QStringLiteral("%1/%2: %3").arg(station, port, store->errorString()));
        return false;
    };
    int64_t voided = 0;
    if (!attempt([&] { return store->startStation(holder, &voided); }))
        return false;
    tell(QStringLiteral("V %1 %2").arg(port).arg(voided).toUtf8());
    const QString run = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QVector<int64_t> block;
    for (int64_t sequence = 1; sequence <= quota; ++sequence) {
        if (block.isEmpty()) {
            double micros = 0;
            qint64 began = 0;
            if (!attempt([&] {
                    began = QDateTime::currentMSecsSinceEpoch();
                    QElapsedTimer t;
                    t.start();
                    const bool ok = store->reserve(kLoadSpace, holder, kLoadBlock, &block);
                    micros = t.nsecsElapsed() / 1e3;
                    return ok;
                }))
                return false;
            tell(QByteArray("L ") + QByteArray::number(micros, 'f', 0) + ' ' + QByteArray::number(began));
        }
        const int64_t value = block.takeFirst();
        const LedgerRecord record = loadRecord(station, port, run, sequence, value);
        if (!attempt([&] { return store->record(record); }))
            return false;
        tell(QStringLiteral("R %1 %2 %3 %4").arg(port, run).arg(sequence).arg(value).toUtf8());
    }
    // A clean end, as a burn's: what the Link took and did not burn is voided, with any block it never heard
    // of (reserved as the server went down, taken again after), and what waited for the server is sent.
    int64_t lost = 0;
    return (block.isEmpty() || attempt([&] { return store->release(kLoadSpace, holder, block); }))
           && attempt([&] { return store->startStation(holder, &lost); }) && attempt([&] { return store->sendWaiting(); });
}
}

LedgerRecord loadRecord(const QString &station, const QString &port, const QString &run, int64_t sequence, int64_t serial)
{
    LedgerRecord r;
    r.station = station;
    r.run = run;
    r.sequence = sequence;
    r.time = QDateTime::currentDateTimeUtc();
    r.operatorName = QStringLiteral("load");
    r.port = port;
    r.label = port;
    r.firmware = QStringLiteral("2.1.0");
    r.programVersion = QStringLiteral(TQ_VERSION);
    r.chip = QStringLiteral("VR5K2610");
    r.chipId = 0x2610;
    r.space = kLoadSpace;
    r.serial = serial;
    r.areas = QStringList{QStringLiteral("rom"), QStringLiteral("nvr1")};
    r.checksums = QStringList{QStringLiteral("49F2"), QStringLiteral("00FF")};
    r.imageChecksum = QStringLiteral("49F2");
    r.result = sequence % 25 == 0 ? 5 : 0;
    r.text = r.result == 0 ? QStringLiteral("OK") : QStringLiteral("verify failed");
    r.durationMs = 1800;
    return r;
}

bool retry(const std::function<bool()> &operation, int patienceMs)
{
    QElapsedTimer waited;
    waited.start();
    constexpr int kPauseMs = 100;
    while (!operation()) {
        if (waited.elapsed() > patienceMs)
            return false;
        QThread::msleep(kPauseMs);
    }
    return true;
}

double percentile99(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int index = std::min(int(values.size()) - 1, int(std::ceil(values.size() * 0.99)) - 1);
    return values[std::max(index, 0)];
}

int runStation(const QStringList &arguments)
{
    if (arguments.size() != 3) {
        complain(QStringLiteral("station: URL STATION QUOTA,QUOTA,... expected"));
        return 2;
    }
    const QString url = arguments[0];
    const QString station = arguments[1];
    const QStringList quotas = arguments[2].split(QLatin1Char(','));
#ifdef F_SETPIPE_SZ
    // A small pipe keeps what the parent has read close to what the station did, so it kills the station
    // at the point of its run it meant to.
    fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 4096);
#endif
    std::atomic<int> failed{0};
    std::vector<std::thread> links;
    for (int i = 0; i < quotas.size(); ++i) {
        const QString port = QStringLiteral("usb%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        const int quota = quotas[i].toInt();
        links.emplace_back([&, port, quota] {
            if (!runLink(url, station, port, quota))
                ++failed;
        });
    }
    for (std::thread &t : links)
        t.join();
    return failed == 0 ? 0 : 1;
}
