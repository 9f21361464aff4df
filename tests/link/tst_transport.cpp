#include "link/hidbackend.h"
#include "link/hidconnection.h"

#include <QtTest>

#include <deque>

namespace {

// Records every report written and answers reads from a queue.
class ScriptedBackend : public HidBackend
{
public:
    std::vector<std::string> paths = {"/dev/hidraw0"};
    std::vector<std::string> opened;
    int closes = 0;
    std::vector<QByteArray> written;
    std::deque<QByteArray> toRead;  // an empty entry means "time-out"
    int failWriteAt = -1;           // index of the report whose write fails
    int openHandles = 0;

    int init() override { return 0; }
    int exit() override { return 0; }
    std::vector<std::string> enumerate(uint16_t, uint16_t) override { return paths; }
    HidHandle openPath(const char *path) override
    {
        opened.emplace_back(path);
        ++openHandles;
        return reinterpret_cast<HidHandle>(opened.size());
    }
    int write(HidHandle, const uint8_t *data, size_t length) override
    {
        if (int(written.size()) == failWriteAt) {
            written.emplace_back();
            return -1;
        }
        written.emplace_back(reinterpret_cast<const char *>(data), int(length));
        return int(length);
    }
    int readTimeout(HidHandle, uint8_t *data, size_t length, int) override
    {
        if (toRead.empty())
            return 0;
        QByteArray r = toRead.front();
        toRead.pop_front();
        const int n = std::min<int>(r.size(), int(length));
        memcpy(data, r.constData(), n);
        return n;
    }
    void close(HidHandle) override
    {
        ++closes;
        --openHandles;
    }
};

class RecordingReporter : public LinkReporter
{
public:
    QStringList debug;
    void debugMessage(const QString &t) override { debug << t; }
};

QByteArray report(char fill) { return QByteArray(64, fill); }

QByteArray counting(int n)
{
    QByteArray b(n, 0);
    for (int i = 0; i < n; ++i)
        b[i] = char(i + 1);
    return b;
}

} // namespace

class TestTransport : public QObject
{
    Q_OBJECT

    ScriptedBackend *backend = nullptr;

private slots:
    void init()
    {
        backend = new ScriptedBackend;
        setHidBackend(backend);
    }
    void cleanup()
    {
        setHidBackend(nullptr);
        delete backend;
    }

    void writeFraming_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("reports");
        QTest::newRow("one command") << 64 << 1;
        QTest::newRow("header and 256 bytes") << 320 << 5;
        QTest::newRow("header and 20 bytes") << 84 << 2;
        QTest::newRow("a single byte") << 1 << 1;
    }
    void writeFraming()
    {
        QFETCH(int, length);
        QFETCH(int, reports);
        HidConnection c;
        QVERIFY(c.hidOpen());
        const QByteArray data = counting(length);
        QCOMPARE(c.hidWriteData(reinterpret_cast<const uint8_t *>(data.constData()), length), length);
        QCOMPARE(int(backend->written.size()), reports);
        QByteArray payload;
        for (const QByteArray &r : backend->written) {
            QCOMPARE(r.size(), 65);
            QCOMPARE(r[0], char(0x00));
            payload += r.mid(1);
        }
        QCOMPARE(payload.left(length), data);
        QCOMPARE(payload.mid(length), QByteArray(reports * 64 - length, char(0xFF)));
    }

    void writeNothing()
    {
        HidConnection c;
        QVERIFY(c.hidOpen());
        const uint8_t b[1] = {0};
        QCOMPARE(c.hidWriteData(b, 0), 0);
        QCOMPARE(c.hidWriteData(b, -3), 0);
        QVERIFY(backend->written.empty());
    }

    void failedWriteStopsTheTrain()
    {
        HidConnection c;
        QVERIFY(c.hidOpen());
        backend->failWriteAt = 1;
        const QByteArray data = counting(320);
        QCOMPARE(c.hidWriteData(reinterpret_cast<const uint8_t *>(data.constData()), 320), -1);
        QCOMPARE(int(backend->written.size()), 2);
    }

    void readFraming_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("reports");
        QTest::newRow("256 bytes") << 256 << 4;
        QTest::newRow("20 bytes") << 20 << 1;
        QTest::newRow("65 bytes") << 65 << 2;
    }
    void readFraming()
    {
        QFETCH(int, length);
        QFETCH(int, reports);
        HidConnection c;
        QVERIFY(c.hidOpen());
        const QByteArray data = counting(reports * 64);
        for (int i = 0; i < reports + 1; ++i)
            backend->toRead.push_back(data.mid(i * 64, 64).leftJustified(64, char(0xAB)));
        QByteArray buf(length, 0);
        QCOMPARE(c.hidReadData(reinterpret_cast<uint8_t *>(buf.data()), length, 1), length);
        QCOMPARE(buf, data.left(length));
        QCOMPARE(int(backend->toRead.size()), 1);  // no report beyond the block was consumed
    }

    void noResponseReport()
    {
        RecordingReporter rep;
        HidConnection c(&rep);
        QVERIFY(c.hidOpen());
        backend->toRead.push_back(report(0x15));
        uint8_t buf[64];
        QCOMPARE(c.hidReadData(buf, 64, 1), -5);
        QCOMPARE(rep.debug, QStringList{"IIC ack no response!"});

        QByteArray almost = report(0x15);
        almost[63] = 0x06;
        backend->toRead.push_back(almost);
        QCOMPARE(c.hidReadData(buf, 64, 1), 64);
        QCOMPARE(buf[0], uint8_t(0x15));
        QCOMPARE(rep.debug.size(), 1);
    }

    void shortOrMissingReportKeepsCopiedBytes_data()
    {
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("short") << QByteArray(10, 0x33);
    }
    void shortOrMissingReportKeepsCopiedBytes()
    {
        QFETCH(QByteArray, second);
        HidConnection c;
        QVERIFY(c.hidOpen());
        backend->toRead.push_back(report(0x11));
        backend->toRead.push_back(second);
        QByteArray buf(128, 0);
        QCOMPARE(c.hidReadData(reinterpret_cast<uint8_t *>(buf.data()), 128, 1), -1);
        QCOMPARE(buf.left(64), report(0x11));
        QCOMPARE(buf.mid(64), QByteArray(64, 0));
    }

    void openTakesTheLastInterfaceOnly()
    {
        backend->paths = {"/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw3"};
        HidConnection c;
        QVERIFY(c.hidOpen());
        QCOMPARE(backend->opened, std::vector<std::string>{"/dev/hidraw3"});
        QCOMPARE(backend->openHandles, 1);
        c.hidClose();
        QCOMPARE(backend->openHandles, 0);
    }

    void openFailsWithoutLink()
    {
        backend->paths.clear();
        HidConnection c;
        QVERIFY(!c.hidOpen());
        QVERIFY(!c.isOpen());
    }

    void closeTwiceIsHarmless()
    {
        HidConnection c;
        QVERIFY(c.hidOpen());
        c.hidClose();
        c.hidClose();
        QCOMPARE(backend->closes, 1);
        QVERIFY(!c.isOpen());
    }
};

QTEST_APPLESS_MAIN(TestTransport)
#include "tst_transport.moc"
