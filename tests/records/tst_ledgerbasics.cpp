#include "storetestutil.h"
#include "records/productionstore.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

// What the ledger is made of, on every platform: its URLs, how a serial is coded into a chip, the CSV
// back-end, and a clear word where a database driver is missing (the Windows build).
class tst_ledgerbasics : public QObject
{
    Q_OBJECT

private slots:
    void urls_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("display");    // or a piece of the error
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("sqlite") << QStringLiteral("sqlite:/var/lib/line.db") << true << QStringLiteral("sqlite:/var/lib/line.db") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("csv") << QStringLiteral("csv:log.csv") << true << QStringLiteral("csv:log.csv") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("tcp") << QStringLiteral("postgresql://line@db.local:5433/ledger?sslmode=require") << true
                             << QStringLiteral("postgresql://line@db.local:5433/ledger?sslmode=require") << QStringLiteral("db.local") << 5433 << QStringLiteral("ledger")
                             << QStringLiteral("line") << QStringList{QStringLiteral("sslmode=require")};
        QTest::newRow("socket folder") << QStringLiteral("postgresql:///ledger?host=/run/postgresql") << true
                                       << QStringLiteral("postgresql:///ledger?host=/run/postgresql") << QStringLiteral("/run/postgresql") << -1
                                       << QStringLiteral("ledger") << QStringLiteral("") << QStringList();
        QTest::newRow("percent-coded user") << QStringLiteral("postgresql://li%20gong@h/d") << true << QStringLiteral("postgresql://li gong@h/d") << QStringLiteral("h") << -1 << QStringLiteral("d")
                                            << QStringLiteral("li gong") << QStringList();
        QTest::newRow("password in authority") << QStringLiteral("postgresql://line:secret@h/d") << false << QStringLiteral("PGPASSWORD") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("password in query") << QStringLiteral("postgresql://h/d?password=secret") << false << QStringLiteral("PGPASSWORD") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("no database") << QStringLiteral("postgresql://h") << false << QStringLiteral("数据库名") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("unknown key") << QStringLiteral("postgresql://h/d?evil=1") << false << QStringLiteral("evil") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("value that would start another keyword") << QStringLiteral("postgresql://h/d?sslmode=require%20host=x") << false
                                                                << QStringLiteral("sslmode") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("bad port") << QStringLiteral("postgresql://h/d?port=99999") << false << QStringLiteral("65535") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("no path") << QStringLiteral("sqlite:") << false << QStringLiteral("sqlite:") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
        QTest::newRow("unknown scheme") << QStringLiteral("mysql://h/d") << false << QStringLiteral("mysql://h/d") << QStringLiteral("") << -1 << QStringLiteral("") << QStringLiteral("") << QStringList();
    }
    void urls()
    {
        QFETCH(QString, url);
        QFETCH(bool, ok);
        QFETCH(QString, display);
        LedgerLocation loc;
        QString error;
        QCOMPARE(parseLedgerUrl(url, &loc, &error), ok);
        if (!ok) {
            QVERIFY2(error.contains(display), qPrintable(error));
            QVERIFY2(!error.contains(QStringLiteral("secret")), qPrintable(error));
            return;
        }
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, database);
        QFETCH(QString, user);
        QFETCH(QStringList, options);
        QCOMPARE(loc.display(), display);
        QCOMPARE(loc.host, host);
        QCOMPARE(loc.port, port);
        QCOMPARE(loc.database, database);
        QCOMPARE(loc.user, user);
        QCOMPARE(loc.options, options);
    }

    void serialCoding_data()
    {
        QTest::addColumn<int>("radix");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("msbFirst");
        QTest::addColumn<qlonglong>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("hex msb first") << 16 << 2 << true << 0x1234LL << QByteArray::fromHex("1234");
        QTest::newRow("hex lsb first") << 16 << 2 << false << 0x1234LL << QByteArray::fromHex("3412");
        QTest::newRow("hex 4 bytes") << 16 << 4 << true << 0xA1B2C3D4LL << QByteArray::fromHex("A1B2C3D4");
        QTest::newRow("hex zero padded") << 16 << 3 << true << 0x7LL << QByteArray::fromHex("000007");
        QTest::newRow("bcd msb first") << 10 << 2 << true << 1234LL << QByteArray::fromHex("1234");
        QTest::newRow("bcd lsb first") << 10 << 3 << false << 123456LL << QByteArray::fromHex("563412");
        QTest::newRow("bcd one byte") << 10 << 1 << true << 99LL << QByteArray::fromHex("99");
        QTest::newRow("bcd padded") << 10 << 4 << true << 905LL << QByteArray::fromHex("00000905");
    }
    void serialCoding()
    {
        QFETCH(int, radix);
        QFETCH(int, width);
        QFETCH(bool, msbFirst);
        QFETCH(qlonglong, value);
        QFETCH(QByteArray, bytes);
        SerialSpace s = testSpace(QStringLiteral("sn"), 0, 0);
        s.radix = radix;
        s.width = width;
        s.byteOrder = msbFirst ? SerialSpace::ByteOrder::MsbFirst : SerialSpace::ByteOrder::LsbFirst;
        QCOMPARE(s.coded(value).toHex(), bytes.toHex());
    }

    void spaceFromProjectRecord()
    {
        rolling_seting_t r{};
        r.startAdd = 0x1FC;
        r.bitSize = 1;
        r.step = 2;
        r.radix = 0;  // decimal
        r.setArea(RollingAreaEeprom);
        r.setIncDec(true);
        const SerialSpace s = spaceFromRolling(QStringLiteral("line"), r, 10, 9998);
        QCOMPARE(s.address, uint32_t(0x1FC));
        QCOMPARE(s.width, 2);
        QCOMPARE(s.radix, 10);
        QCOMPARE(s.area, uint8_t(RollingAreaEeprom));
        QCOMPARE(s.count(), int64_t(4995));
        QCOMPARE(s.valueAt(4994), int64_t(9998));
        QCOMPARE(s.largest(), int64_t(9999));
        QVERIFY(s.problem().isEmpty());
        SerialSpace tooWide = s;
        tooWide.last = 10000;
        QVERIFY(!tooWide.problem().isEmpty());
    }

    void serialValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qlonglong>("value");
        QTest::newRow("decimal") << QStringLiteral("4096") << true << 4096LL;
        QTest::newRow("hex") << QStringLiteral("0x1000") << true << 4096LL;
        QTest::newRow("hex upper") << QStringLiteral("0XFF") << true << 255LL;
        QTest::newRow("negative") << QStringLiteral("-1") << false << 0LL;
        QTest::newRow("hex negative") << QStringLiteral("0x-1") << false << 0LL;
        QTest::newRow("plus") << QStringLiteral("+5") << false << 0LL;
        QTest::newRow("word") << QStringLiteral("ten") << false << 0LL;
        QTest::newRow("empty") << QStringLiteral("") << false << 0LL;
        QTest::newRow("hex without digits") << QStringLiteral("0x") << false << 0LL;
    }
    void serialValues()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qlonglong, value);
        int64_t parsed = -7;
        QCOMPARE(parseSerialValue(text, &parsed), ok);
        if (ok)
            QCOMPARE(parsed, int64_t(value));
    }

    void csvLedgerKeepsRecordsOnly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("line.csv"));
        QString error;
        auto store = openProductionStore(QStringLiteral("csv:") + path, &error);
        QVERIFY2(store, qPrintable(error));
        QVERIFY(store->record(testRecord(QStringLiteral("S1"), 1, 0)));
        QVERIFY(store->record(testRecord(QStringLiteral("S1"), 2, 3)));
        const QString text = QString::fromUtf8(readFile(path));
        QCOMPARE(text.count(QStringLiteral("VR5K2610")), 2);
        QVERIFY(text.contains(QStringLiteral("\"芯片连接失败, \"\"quoted\"\"\"")));
        // Serial numbers and queries need a database.
        QVector<int64_t> values;
        QVERIFY(!store->reserve(QStringLiteral("sn"), QStringLiteral("S1"), 1, &values));
        QVERIFY2(store->errorString().contains(QStringLiteral("sqlite:")), qPrintable(store->errorString()));
        LedgerStatus status;
        QVERIFY(!store->status(&status));
        // Nor can it lease blocks to Links; it holds none to close.
        QVector<SerialLease> leases;
        QVERIFY(!store->lease(QStringLiteral("sn"), QStringLiteral("S1"), {QStringLiteral("emu1")}, 10, &leases));
        QVERIFY2(store->errorString().contains(QStringLiteral("租出序列号段")), qPrintable(store->errorString()));
        int64_t next = 0;
        QVERIFY(!store->nextIndex(QStringLiteral("sn"), &next));
        QVERIFY(!store->settleLease(1, true, QString()));
        bool closed = true;
        QVERIFY(store->closeLease(SerialHolder(QStringLiteral("S1"), QStringLiteral("emu1")), SerialLease::Reason::Erased, &closed));
        QVERIFY(!closed);
        // A folder is no CSV file.
        QVERIFY(!openProductionStore(QStringLiteral("csv:") + dir.path(), &error));
        QVERIFY2(error.contains(dir.path()), qPrintable(error));
    }

    // Every build has Qt's SQLite driver (the Windows build its own plugin, unless it was made without its
    // source: TQ_SQLITE_DRIVER 0). A driver a build lacks (PostgreSQL on Windows) is named with the ledger at
    // the start, not found missing later.
    void driverPresentOrNamedMissing_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("required");  // the build must have it: a ledger of it is opened
        QTest::newRow("sqlite") << QStringLiteral("QSQLITE") << QStringLiteral("sqlite:") + m_dir.filePath(QStringLiteral("line.db"))
                                << bool(TQ_SQLITE_DRIVER);
        QTest::newRow("postgresql") << QStringLiteral("QPSQL") << QStringLiteral("postgresql://tq@localhost/line") << false;
    }
    void driverPresentOrNamedMissing()
    {
        QFETCH(QString, driver);
        QFETCH(QString, url);
        QFETCH(bool, required);
        QString error;
        if (required) {
            QVERIFY2(QSqlDatabase::isDriverAvailable(driver), qPrintable(driver + QStringLiteral(" missing from a build that must have it")));
            auto store = openProductionStore(url, &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY2(store->createSpace(testSpace(QStringLiteral("sn"), 1, 10)), qPrintable(store->errorString()));
        } else if (QSqlDatabase::isDriverAvailable(driver)) {
            QSKIP(qPrintable(driver + QStringLiteral(" is there: the store tests open its ledgers")));
        } else {
            QVERIFY(!openProductionStore(url, &error));
            QVERIFY2(error.contains(driver) && error.contains(url), qPrintable(error));
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_ledgerbasics)
#include "tst_ledgerbasics.moc"
