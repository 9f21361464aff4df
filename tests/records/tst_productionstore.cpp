#include "storetestutil.h"
#include "records/productionstore.h"
#include "records/sqlstore.h"
#include "support/filesizelimit.h"
#include "support/pgserver.h"
#include "support/testfiles.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <thread>

// One table of store tests, run on SQLite and on a PostgreSQL server the test starts itself. Children of this
// executable (chosen by TQ_STORE_CHILD) play a station that is killed mid-block and one that fills the disk.

namespace {
const char *kChildMode = "TQ_STORE_CHILD";
const char *kChildUrl = "TQ_STORE_URL";

std::unique_ptr<ProductionStore> openStore(const QString &url, QString *error)
{
    return openProductionStore(url, error);
}

// This executable again, as the station `mode` names, on the ledger at `url`.
void startChild(QProcess &child, const QString &mode, const QString &url)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildMode), mode);
    env.insert(QString::fromLatin1(kChildUrl), url);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
}

// A station that reserves a block of 10, records three chips and waits to be killed.
int killedStation(const QString &url)
{
    QString error;
    auto store = openStore(url, &error);
    QVector<int64_t> block;
    int64_t voided = 0;
    if (!store || !store->startStation(QStringLiteral("doomed"), &voided)
        || !store->reserve(QStringLiteral("sn"), QStringLiteral("doomed"), 10, &block)) {
        fprintf(stderr, "child: %s\n", qPrintable(store ? store->errorString() : error));
        return 1;
    }
    for (int i = 0; i < 3; ++i) {
        if (!store->record(testRecord(QStringLiteral("doomed"), i + 1, 0, QStringLiteral("sn"), block[i])))
            return 2;
    }
    printf("ready\n");
    fflush(stdout);
    QThread::sleep(120);
    return 3;
}

// A station on a disk that fills up: records until the store says no, then prints how many it kept.
int fullDiskStation(const QString &url, const QString &path)
{
    QString error;
    auto store = openStore(url, &error);
    QVector<int64_t> block;
    if (!store || !store->reserve(QStringLiteral("sn"), QStringLiteral("full"), 400, &block))
        return 1;
    const qint64 size = qMax(QFileInfo(path).size(), QFileInfo(path + QStringLiteral("-wal")).size());
    if (!limitFileSize(size + 96 * 1024))
        return 5;
    int kept = 0;
    for (int64_t value : block) {
        LedgerRecord r = testRecord(QStringLiteral("full"), kept + 1, 0, QStringLiteral("sn"), value);
        r.text = QString(3000, QLatin1Char('x'));
        if (!store->record(r)) {
            printf("kept %d\n%s\n", kept, qPrintable(store->errorString()));
            return 0;
        }
        ++kept;
    }
    printf("never full\n");
    return 4;
}
}

class tst_productionstore : public QObject
{
    Q_OBJECT

    PgServer m_pg;
    QString m_pgMissing;
    QTemporaryDir m_tmp;
    int m_files = 0;

    // A fresh, empty ledger of the row's back-end.
    QString newLedger(const QString &backend)
    {
        if (backend == QLatin1String("sqlite"))
            return QStringLiteral("sqlite:") + m_tmp.filePath(QStringLiteral("ledger%1.db").arg(++m_files));
        return m_pg.newDatabase();
    }

    void backends()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }

#define NEW_LEDGER(url)                                                                                          \
    QFETCH(QString, backend);                                                                                    \
    if (backend == QLatin1String("postgresql") && !m_pgMissing.isEmpty())                                       \
        QSKIP(qPrintable(m_pgMissing));                                                                          \
    const QString url = newLedger(backend);                                                                      \
    QVERIFY2(!url.isEmpty(), qPrintable(m_pg.error()))

#define OPEN(store, url)                                                                                         \
    QString store##Error;                                                                                        \
    auto store = openStore(url, &store##Error);                                                                  \
    QVERIFY2(store, qPrintable(store##Error))

    // Every value of `space` given out (reserved, written or void), by state.
    static QMap<QString, int64_t> counts(ProductionStore &store, const QString &space)
    {
        LedgerStatus st;
        QMap<QString, int64_t> out;
        if (!store.status(&st))
            return out;
        for (const SpaceStatus &s : st.spaces) {
            if (s.space.name == space) {
                out[QStringLiteral("written")] = s.written;
                out[QStringLiteral("void")] = s.voided;
                out[QStringLiteral("reserved")] = s.reserved;
            }
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        // A PostgreSQL ledger's records wait here while its server is away (never in the user's folders).
        qputenv("TQ_LEDGER_SPOOL", QFile::encodeName(m_tmp.filePath(QStringLiteral("spool.db"))));
        QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")),
                 "Qt's SQLite driver is missing (Linux: libqt5sql5-sqlite; the Windows build: its sqldrivers/qsqlite.dll)");
        m_pgMissing = PgServer::unavailable();
        if (!m_pgMissing.isEmpty()) {
            qWarning("PostgreSQL rows skipped: %s", qPrintable(m_pgMissing));
            return;
        }
        QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")), "Qt's PostgreSQL driver (libqt5sql5-psql) is missing");
        QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
    }

    void cleanupTestCase() { m_pg.stop(); }

    void schemaMadeOnceAndKept_data() { backends(); }
    void schemaMadeOnceAndKept()
    {
        NEW_LEDGER(url);
        {
            OPEN(store, url);
            QVERIFY2(store->createSpace(testSpace(QStringLiteral("sn"), 1, 100)), qPrintable(store->errorString()));
        }
        // Opened again: the schema and what it holds are taken as they are.
        OPEN(again, url);
        SerialSpace s;
        QVERIFY2(again->space(QStringLiteral("sn"), &s), qPrintable(again->errorString()));
        QCOMPARE(s.last, int64_t(100));
        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT version FROM tq_schema")), QString::number(SqlStore::schemaVersion()));
        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT COUNT(*) FROM tq_schema")), QStringLiteral("1"));
    }

    // The first version of the schema as that program made it, holding a space, one chip's record and two
    // values still reserved by station A.
    static QStringList firstVersionLedger(bool postgres)
    {
        const QString id = postgres ? QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY");
        return {
            QStringLiteral("CREATE TABLE tq_schema (version INTEGER NOT NULL)"),
            QStringLiteral("CREATE TABLE tq_space (name TEXT PRIMARY KEY, area INTEGER NOT NULL, address BIGINT NOT NULL,"
                           " width INTEGER NOT NULL, radix INTEGER NOT NULL, step BIGINT NOT NULL, byte_order TEXT NOT NULL,"
                           " first_value BIGINT NOT NULL, last_value BIGINT NOT NULL, total BIGINT NOT NULL,"
                           " next_index BIGINT NOT NULL DEFAULT 0, block_start BIGINT NOT NULL DEFAULT 0, created TEXT NOT NULL,"
                           " CHECK (step > 0), CHECK (next_index >= 0 AND next_index <= total))"),
            QStringLiteral("CREATE TABLE tq_serial (space TEXT NOT NULL REFERENCES tq_space(name), value BIGINT NOT NULL,"
                           " state TEXT NOT NULL CHECK (state IN ('reserved', 'written', 'void')), station TEXT NOT NULL,"
                           " port TEXT NOT NULL, reserved_at TEXT NOT NULL, settled_at TEXT, PRIMARY KEY (space, value))"),
            QStringLiteral("CREATE INDEX tq_serial_station ON tq_serial (station, port, state)"),
            QStringLiteral("CREATE TABLE tq_record (id %1, station TEXT NOT NULL, run TEXT NOT NULL, seq BIGINT NOT NULL,"
                           " time TEXT NOT NULL, operator TEXT NOT NULL, port TEXT NOT NULL, label TEXT NOT NULL,"
                           " firmware TEXT NOT NULL, program_version TEXT NOT NULL, chip TEXT NOT NULL, chip_id INTEGER NOT NULL,"
                           " space TEXT, serial BIGINT, areas TEXT NOT NULL, checksums TEXT NOT NULL,"
                           " image_checksum TEXT NOT NULL, result INTEGER NOT NULL, text TEXT NOT NULL,"
                           " duration_ms BIGINT NOT NULL, UNIQUE (station, run, seq))").arg(id),
            QStringLiteral("CREATE INDEX tq_record_serial ON tq_record (space, serial)"),
            QStringLiteral("CREATE INDEX tq_record_time ON tq_record (time)"),
            QStringLiteral("CREATE UNIQUE INDEX tq_record_written ON tq_record (space, serial) WHERE result = 0 AND serial IS NOT NULL"),
            QStringLiteral("INSERT INTO tq_schema (version) VALUES (1)"),
            QStringLiteral("INSERT INTO tq_space (name, area, address, width, radix, step, byte_order, first_value, last_value,"
                           " total, next_index, block_start, created) VALUES ('sn', 0, 496, 2, 16, 1, 'msb-first', 1, 100, 100, 3, 0,"
                           " '2026-05-01T08:00:00.000Z')"),
            QStringLiteral("INSERT INTO tq_serial (space, value, state, station, port, reserved_at, settled_at) VALUES"
                           " ('sn', 1, 'written', 'A', '', '2026-05-01T08:00:00.000Z', '2026-05-01T08:00:02.000Z'),"
                           " ('sn', 2, 'reserved', 'A', '', '2026-05-01T08:00:00.000Z', NULL),"
                           " ('sn', 3, 'reserved', 'A', '', '2026-05-01T08:00:00.000Z', NULL)"),
            QStringLiteral("INSERT INTO tq_record (station, run, seq, time, operator, port, label, firmware, program_version, chip,"
                           " chip_id, space, serial, areas, checksums, image_checksum, result, text, duration_ms) VALUES ('A',"
                           " 'old-run', 1, '2026-05-01T08:00:02.000Z', 'li', '', 'A1', '1.2.3', '1.5.0', 'VR5K2610', 9744, 'sn', 1,"
                           " 'rom', '49F2', '49F2', 0, 'OK', 1800)"),
        };
    }

    // A ledger of the first version, holding records and reservations, is brought forward when a station opens
    // it and goes on: what it held is kept, a held serial is settled by its record (and only by its holder's),
    // the next block follows the last.
    void olderLedgerBroughtForward_data() { backends(); }
    void olderLedgerBroughtForward()
    {
        NEW_LEDGER(url);
        for (const QString &sql : firstVersionLedger(backend == QLatin1String("postgresql")))
            QCOMPARE(rawLedgerSql(url, sql), QStringLiteral("done"));

        OPEN(store, url);
        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT version FROM tq_schema")), QString::number(SqlStore::schemaVersion()));
        QVERIFY2(store->record(testRecord(QStringLiteral("A"), 1, 0, QStringLiteral("sn"), 2)), qPrintable(store->errorString()));
        QVERIFY(!store->record(testRecord(QStringLiteral("B"), 1, 0, QStringLiteral("sn"), 3)));
        QVERIFY(!store->record(testRecord(QStringLiteral("A"), 2, 0, QStringLiteral("sn"), 1)));  // written before
        QVector<int64_t> next;
        QVERIFY(store->reserve(QStringLiteral("sn"), QStringLiteral("A"), 2, &next));
        QCOMPARE(next, (QVector<int64_t>{4, 5}));
        QVector<LedgerRecord> all;
        std::optional<SerialState> state;
        QVERIFY(store->find(QStringLiteral("sn"), 1, &all, &state));
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].run, QStringLiteral("old-run"));
        QCOMPARE(state, std::optional<SerialState>(SerialState::Written));
        QVERIFY(store->records(QDateTime(), &all));
        QCOMPARE(all.size(), 2);
        const auto c = counts(*store, QStringLiteral("sn"));
        QCOMPARE(c[QStringLiteral("written")], int64_t(2));
        QCOMPARE(c[QStringLiteral("reserved")], int64_t(3));
        // Opened again: nothing is made twice.
        OPEN(again, url);
        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT COUNT(*) FROM tq_schema")), QStringLiteral("1"));
    }

    void firstUseByTwoStationsAtOnce_data() { backends(); }
    void firstUseByTwoStationsAtOnce()
    {
        NEW_LEDGER(url);
        QString errors[2];
        auto open = [&](int i) {
            QString error;
            if (!openStore(url, &error))
                errors[i] = error;
        };
        std::thread one(open, 0), two(open, 1);
        one.join();
        two.join();
        QVERIFY2(errors[0].isEmpty(), qPrintable(errors[0]));
        QVERIFY2(errors[1].isEmpty(), qPrintable(errors[1]));
        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT COUNT(*) FROM tq_schema")), QStringLiteral("1"));
    }

    void unknownSchemaRefused_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("expected");
        for (const QString &backend : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            QTest::newRow(qPrintable(backend + QStringLiteral(" newer")))
                << backend << QStringLiteral("UPDATE tq_schema SET version = 99") << QStringLiteral("99");
            QTest::newRow(qPrintable(backend + QStringLiteral(" no version")))
                << backend << QStringLiteral("DELETE FROM tq_schema") << QStringLiteral("版本表是空的");
        }
    }
    void unknownSchemaRefused()
    {
        QFETCH(QString, change);
        QFETCH(QString, expected);
        NEW_LEDGER(url);
        {
            OPEN(store, url);
            QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 1, 100)));
        }
        QCOMPARE(rawLedgerSql(url, change), QStringLiteral("done"));
        QString error;
        QVERIFY(!openStore(url, &error));
        QVERIFY2(error.contains(expected), qPrintable(error));
        // Refused, not rewritten: the space is still there for the program that knows the schema.
        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT COUNT(*) FROM tq_space")), QStringLiteral("1"));
    }

    void recordsKeptOnceWithEveryField_data() { backends(); }
    void recordsKeptOnceWithEveryField()
    {
        NEW_LEDGER(url);
        OPEN(store, url);
        LedgerRecord first = testRecord(QStringLiteral("S1"), 1, 3);
        first.port = QStringLiteral("1-1.2");
        first.time = QDateTime(QDate(2026, 5, 1), QTime(8, 30, 0, 125), Qt::UTC);
        LedgerRecord second = testRecord(QStringLiteral("S1"), 2, 0);
        second.time = first.time.addSecs(60);
        // What a station does not know is kept empty.
        second.label = QString();
        second.firmware = QString();
        second.operatorName = QString();
        QVERIFY2(store->record(first), qPrintable(store->errorString()));
        QVERIFY(store->record(second));
        // Sent again (an answer lost on the way, a spool sent twice): kept once.
        QVERIFY(store->record(second));
        QVERIFY(store->record(first));

        QVector<LedgerRecord> all;
        QVERIFY(store->records(QDateTime(), &all));
        QCOMPARE(all.size(), 2);
        const LedgerRecord &r = all[0];
        QCOMPARE(r.time, first.time);
        QCOMPARE(r.station, first.station);
        QCOMPARE(r.run, first.run);
        QCOMPARE(r.sequence, first.sequence);
        QCOMPARE(r.operatorName, first.operatorName);
        QCOMPARE(r.port, first.port);
        QCOMPARE(r.label, first.label);
        QCOMPARE(r.firmware, first.firmware);
        QCOMPARE(r.programVersion, first.programVersion);
        QCOMPARE(r.chip, first.chip);
        QCOMPARE(r.chipId, first.chipId);
        QVERIFY(!r.serial);
        QVERIFY(r.space.isEmpty());
        QCOMPARE(r.areas, first.areas);
        QCOMPARE(r.checksums, first.checksums);
        QCOMPARE(r.imageChecksum, first.imageChecksum);
        QCOMPARE(r.result, 3);
        QCOMPARE(r.text, first.text);
        QCOMPARE(r.durationMs, first.durationMs);

        QVERIFY(store->records(second.time, &all));
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].sequence, int64_t(2));
        QVERIFY(all[0].label.isEmpty() && all[0].firmware.isEmpty() && all[0].operatorName.isEmpty());
    }

    void stationFiguresOfADay_data() { backends(); }
    void stationFiguresOfADay()
    {
        NEW_LEDGER(url);
        OPEN(store, url);
        const QDateTime dayStart(QDate(2026, 5, 2), QTime(0, 0), Qt::UTC);
        const auto at = [&](const QString &station, int64_t seq, int result, qint64 secsFromDayStart) {
            LedgerRecord r = testRecord(station, seq, result);
            r.time = dayStart.addSecs(secsFromDayStart).addMSecs(seq);
            return r;
        };
        const QVector<LedgerRecord> kept = {
            at(QStringLiteral("S1"), 1, 0, -60),  // yesterday: counts for nothing of today
            at(QStringLiteral("S1"), 2, 0, 0),    // the day's first moment counts
            at(QStringLiteral("S1"), 3, 3, 3600),
            at(QStringLiteral("S1"), 4, 0, 7200),
            at(QStringLiteral("S2"), 1, 3, -7200),
            at(QStringLiteral("S3"), 1, 0, 60),
        };
        for (const LedgerRecord &r : kept)
            QVERIFY2(store->record(r), qPrintable(store->errorString()));
        QVERIFY(store->record(kept[3]));  // sent again: counted once

        QVector<StationStatus> figures;
        QVERIFY2(store->stationFigures(dayStart, &figures), qPrintable(store->errorString()));
        QCOMPARE(figures.size(), 3);
        struct Want { const char *station; int64_t chips, passes, failures; int lastIndex; };
        const Want want[] = {{"S1", 3, 2, 1, 3}, {"S2", 0, 0, 0, 4}, {"S3", 1, 1, 0, 5}};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(figures[i].station, QString::fromLatin1(want[i].station));
            QCOMPARE(figures[i].chips, want[i].chips);
            QCOMPARE(figures[i].passes, want[i].passes);
            QCOMPARE(figures[i].failures, want[i].failures);
            QCOMPARE(figures[i].last, kept[want[i].lastIndex].time);
        }
        // Without a start, the whole ledger.
        QVERIFY(store->stationFigures(QDateTime(), &figures));
        QCOMPARE(figures[0].chips, int64_t(4));
        QCOMPARE(figures[1].failures, int64_t(1));
    }

    // A view of the line learns of records from other connections without asking (PostgreSQL), also after
    // the connection was made anew; SQLite cannot tell, and says so.
    void recordsWakeAWatcher_data() { backends(); }
    void recordsWakeAWatcher()
    {
        NEW_LEDGER(url);
        OPEN(watched, url);
        OPEN(station, url);
        int wakes = 0;
        const bool told = watched->watchRecords([&wakes] { ++wakes; });
        if (backend == QLatin1String("sqlite")) {
            QVERIFY(!told);
            return;
        }
        QVERIFY2(told, qPrintable(watched->errorString()));
        QVERIFY(station->record(testRecord(QStringLiteral("S1"), 1)));
        QTRY_COMPARE(wakes, 1);
        // Only a kept record tells: a failed one (no such serial) does not, even as a connection's first.
        {
            OPEN(failing, url);
            QVERIFY(!failing->record(testRecord(QStringLiteral("S2"), 1, 0, QStringLiteral("nosuch"), 7)));
        }
        // A connection tells at most once a second: the record right after is not announced.
        QVERIFY(station->record(testRecord(QStringLiteral("S1"), 2)));
        QTest::qWait(300);
        QCOMPARE(wakes, 1);

        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity"
                                                  " WHERE datname = current_database() AND pid <> pg_backend_pid()")),
                 QStringLiteral("2"));
        QVector<StationStatus> figures;
        QVERIFY2(watched->stationFigures(QDateTime(), &figures), qPrintable(watched->errorString()));
        OPEN(later, url);
        QVERIFY2(later->record(testRecord(QStringLiteral("S3"), 1)), qPrintable(later->errorString()));
        QTRY_COMPARE(wakes, 2);
    }

    void serialsInBlocksEachOnce_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<qlonglong>("first");
        QTest::addColumn<qlonglong>("last");
        QTest::addColumn<qlonglong>("step");
        QTest::addColumn<QList<qlonglong>>("expected");  // every value in the order given out
        for (const QString &backend : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            QTest::newRow(qPrintable(backend + QStringLiteral(" up by 3")))
                << backend << 0x100LL << 0x10FLL << 3LL << QList<qlonglong>{0x100, 0x103, 0x106, 0x109, 0x10C, 0x10F};
            QTest::newRow(qPrintable(backend + QStringLiteral(" down by 5")))
                << backend << 40LL << 18LL << 5LL << QList<qlonglong>{40, 35, 30, 25, 20};
        }
    }
    void serialsInBlocksEachOnce()
    {
        QFETCH(qlonglong, first);
        QFETCH(qlonglong, last);
        QFETCH(qlonglong, step);
        QFETCH(QList<qlonglong>, expected);
        NEW_LEDGER(url);
        OPEN(store, url);
        QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), first, last, step)));
        QList<qlonglong> given;
        QVector<int64_t> block;
        while (store->reserve(QStringLiteral("sn"), QStringLiteral("S1"), 4, &block)) {
            QVERIFY(block.size() <= 4);
            for (int64_t v : block)
                given << v;
        }
        QCOMPARE(given, expected);
        QVERIFY2(store->errorString().contains(QStringLiteral("已用完")), qPrintable(store->errorString()));
        QCOMPARE(counts(*store, QStringLiteral("sn"))[QStringLiteral("reserved")], int64_t(expected.size()));
        LedgerStatus st;
        QVERIFY(store->status(&st));
        QVERIFY(!st.spaces.value(0).nextFree);
    }

    void settledWithTheRecord_data() { backends(); }
    void settledWithTheRecord()
    {
        NEW_LEDGER(url);
        OPEN(store, url);
        const QString sn = QStringLiteral("sn");
        QVERIFY(store->createSpace(testSpace(sn, 1, 100)));
        QVector<int64_t> a;
        QVERIFY(store->reserve(sn, QStringLiteral("A"), 3, &a));
        QCOMPARE(a, (QVector<int64_t>{1, 2, 3}));

        QVERIFY2(store->record(testRecord(QStringLiteral("A"), 1, 0, sn, 1)), qPrintable(store->errorString()));
        QVERIFY(store->record(testRecord(QStringLiteral("A"), 2, 5, sn, 2)));
        // Refused, and nothing of it kept: another station's reservation, a value never given out, a value
        // already written.
        QVERIFY(!store->record(testRecord(QStringLiteral("B"), 1, 0, sn, 3)));
        QVERIFY2(store->errorString().contains(QStringLiteral("B")), qPrintable(store->errorString()));
        QVERIFY(!store->record(testRecord(QStringLiteral("A"), 3, 0, sn, 50)));
        QVERIFY(!store->record(testRecord(QStringLiteral("A"), 4, 0, sn, 1)));
        QVector<LedgerRecord> all;
        QVERIFY(store->records(QDateTime(), &all));
        QCOMPARE(all.size(), 2);

        std::optional<SerialState> state;
        QVERIFY(store->find(sn, 1, &all, &state));
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].serial, std::optional<int64_t>(1));
        QCOMPARE(state, std::optional<SerialState>(SerialState::Written));
        QVERIFY(store->find(sn, 2, &all, &state));
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].result, 5);
        QCOMPARE(state, std::optional<SerialState>(SerialState::Void));
        QVERIFY(store->find(sn, 3, &all, &state));
        QVERIFY(all.isEmpty());
        QCOMPARE(state, std::optional<SerialState>(SerialState::Reserved));
        QVERIFY(store->find(sn, 99, &all, &state));
        QVERIFY(!state);

        // The unused rest of a block is given up, never given again.
        QVERIFY(store->release(sn, QStringLiteral("A"), {3}));
        QVERIFY(store->reserve(sn, QStringLiteral("A"), 1, &a));
        QCOMPARE(a, (QVector<int64_t>{4}));

        LedgerStatus st;
        QVERIFY(store->status(&st));
        QCOMPARE(st.spaces.size(), 1);
        QCOMPARE(st.spaces[0].total, int64_t(100));
        QCOMPARE(st.spaces[0].nextFree, std::optional<int64_t>(5));
        QCOMPARE(st.spaces[0].written, int64_t(1));
        QCOMPARE(st.spaces[0].voided, int64_t(2));
        QCOMPARE(st.spaces[0].reserved, int64_t(1));
        QCOMPARE(st.stations.size(), 1);
        QCOMPARE(st.stations[0].station, QStringLiteral("A"));
        QCOMPARE(st.stations[0].chips, int64_t(2));
        QCOMPARE(st.stations[0].passes, int64_t(1));
        QCOMPARE(st.stations[0].failures, int64_t(1));
    }

    void spaceRules_data() { backends(); }
    void spaceRules()
    {
        NEW_LEDGER(url);
        OPEN(store, url);
        QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 1, 100)));
        QVERIFY(!store->createSpace(testSpace(QStringLiteral("sn"), 200, 300)));
        QVERIFY2(store->errorString().contains(QStringLiteral("已存在")), qPrintable(store->errorString()));
        QVERIFY(!store->createSpace(testSpace(QStringLiteral("zero"), 1, 100, 0)));
        QVERIFY(!store->createSpace(testSpace(QStringLiteral("wide"), 1, 0x10000)));  // two bytes hold 0xFFFF
        QVector<int64_t> values;
        QVERIFY(!store->reserve(QStringLiteral("nowhere"), QStringLiteral("A"), 1, &values));
        QVERIFY2(store->errorString().contains(QStringLiteral("nowhere")), qPrintable(store->errorString()));
        LedgerStatus st;
        QVERIFY(store->status(&st));
        QCOMPARE(st.spaces.size(), 1);
        QCOMPARE(st.spaces[0].space.first, int64_t(1));
    }

    // Blocks leased to Links come from the same counter as per-chip reservations, one after the other; a
    // block's download settles it, the next download or an erase of the Link closes it, and none of its
    // values is ever given again.
    void leasesTakeBlocksFromTheCounter_data() { backends(); }
    void leasesTakeBlocksFromTheCounter()
    {
        NEW_LEDGER(url);
        OPEN(store, url);
        const QString sn = QStringLiteral("sn");
        QVERIFY(store->createSpace(testSpace(sn, 0x1000, 0x10FF)));
        QVector<int64_t> chips;
        QVERIFY(store->reserve(sn, QStringLiteral("S1"), 3, &chips));
        QVector<SerialLease> leases;
        const QStringList ports = {QStringLiteral("emu1"), QStringLiteral("emu2"), QStringLiteral("emu3")};
        QVERIFY2(store->lease(sn, QStringLiteral("L"), ports, 10, &leases), qPrintable(store->errorString()));
        QCOMPARE(leases.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(leases[i].port, ports[i]);
            QCOMPARE(leases[i].first, int64_t(0x1003 + 10 * i));
            QCOMPARE(leases[i].last, int64_t(0x100C + 10 * i));
            QCOMPARE(leases[i].count, int64_t(10));
            QCOMPARE(leases[i].state, SerialLease::State::Pending);
        }
        int64_t next = 0;
        QVERIFY(store->nextIndex(sn, &next));
        QCOMPARE(next, int64_t(33));
        // Never given again, neither to a chip nor to another Link.
        QVERIFY(store->reserve(sn, QStringLiteral("S1"), 1, &chips));
        QCOMPARE(chips, (QVector<int64_t>{0x1021}));

        QVERIFY(store->settleLease(leases[0].id, true, QString()));
        QVERIFY(store->settleLease(leases[1].id, false, QStringLiteral("37 busy")));
        // Settled the same way twice (an answer lost) is done; the other way is refused.
        QVERIFY(store->settleLease(leases[0].id, true, QString()));
        QVERIFY(!store->settleLease(leases[1].id, true, QString()));
        LedgerStatus st;
        QVERIFY(store->status(&st));
        QCOMPARE(st.spaces[0].leased, int64_t(20));
        QCOMPARE(st.spaces[0].voided, int64_t(10));
        QCOMPARE(st.spaces[0].reserved, int64_t(4));
        QCOMPARE(st.spaces[0].nextFree, std::optional<int64_t>(0x1022));
        QCOMPARE(st.spaces[0].leases.size(), 2);
        QCOMPARE(st.spaces[0].leases[0].port, QStringLiteral("emu1"));
        QCOMPARE(st.spaces[0].leases[0].state, SerialLease::State::Open);
        QCOMPARE(st.spaces[0].leases[1].port, QStringLiteral("emu3"));
        QCOMPARE(st.spaces[0].leases[1].state, SerialLease::State::Pending);
        QVERIFY(st.spaces[0].leases[1].leased.isValid());
        QVector<SerialLease> held;
        QVERIFY(store->heldLeases(QStringLiteral("L"), &held));
        QCOMPARE(held.size(), 2);
        QCOMPARE(held[0].id, leases[0].id);
        QCOMPARE(held[1].id, leases[2].id);
        QVERIFY(store->heldLeases(QStringLiteral("nobody"), &held));
        QVERIFY(held.isEmpty());

        // A new download to emu1 closes what it held; an erase of emu3 closes its lease once.
        const int64_t emu3 = leases[2].id;
        QVERIFY(store->lease(sn, QStringLiteral("L"), {QStringLiteral("emu1")}, 5, &leases));
        QCOMPARE(leases[0].first, int64_t(0x1022));
        bool closed = false;
        QVERIFY(store->closeLease(SerialHolder(QStringLiteral("L"), QStringLiteral("emu3")), SerialLease::Reason::Erased, &closed));
        QVERIFY(closed);
        QVERIFY(store->closeLease(SerialHolder(QStringLiteral("L"), QStringLiteral("emu3")), SerialLease::Reason::Erased, &closed));
        QVERIFY(!closed);
        QVERIFY(!store->settleLease(emu3, true, QString()));  // closed, not pending any more
        QVERIFY(store->status(&st));
        QCOMPARE(st.spaces[0].leased, int64_t(25));
        QCOMPARE(st.spaces[0].leases.size(), 1);
        QCOMPARE(st.spaces[0].leases[0].first, int64_t(0x1022));

        std::optional<SerialLease> found;
        QVERIFY(store->findLease(sn, 0x1005, &found));
        QVERIFY(found);
        QCOMPARE(found->port, QStringLiteral("emu1"));
        QCOMPARE(found->state, SerialLease::State::Closed);
        QCOMPARE(found->reason, SerialLease::Reason::Replaced);
        QVERIFY(store->findLease(sn, 0x1010, &found));
        QCOMPARE(found->state, SerialLease::State::Void);
        QCOMPARE(found->detail, QStringLiteral("37 busy"));
        QVERIFY(store->findLease(sn, 0x1020, &found));
        QCOMPARE(found->reason, SerialLease::Reason::Erased);
        for (int64_t notLeased : {int64_t(0x1000), int64_t(0x1021), int64_t(0x1030), int64_t(0x2000)}) {
            QVERIFY(store->findLease(sn, notLeased, &found));
            QVERIFY2(!found, qPrintable(QString::number(notLeased, 16)));
        }
        // One held lease per station and port, by the database itself.
        QVERIFY(rawLedgerSql(url, QStringLiteral("INSERT INTO tq_lease (space, station, port, first_index, value_count, first_value,"
                                                 " last_value, state, leased_at) VALUES ('sn', 'L', 'emu1', 900, 1, 1, 1, 'open', 'x')"))
                    .startsWith(QStringLiteral("error: ")));
    }

    // Blocks that do not all fit are refused whole: no counter moved, nothing the ports held closed.
    void leaseThatDoesNotFitChangesNothing_data() { backends(); }
    void leaseThatDoesNotFitChangesNothing()
    {
        NEW_LEDGER(url);
        OPEN(store, url);
        const QString sn = QStringLiteral("sn");
        QVERIFY(store->createSpace(testSpace(sn, 40, 2, 2)));  // 40, 38, ..., 2: 20 values, counting down
        QVector<SerialLease> held;
        QVERIFY(store->lease(sn, QStringLiteral("L"), {QStringLiteral("a")}, 5, &held));
        QCOMPARE(held[0].first, int64_t(40));
        QCOMPARE(held[0].last, int64_t(32));
        QVector<SerialLease> leases;
        QVERIFY(!store->lease(sn, QStringLiteral("L"), {QStringLiteral("a"), QStringLiteral("b")}, 8, &leases));
        QVERIFY2(store->errorString().contains(QStringLiteral("只剩 15")), qPrintable(store->errorString()));
        QVERIFY(!store->lease(QStringLiteral("nowhere"), QStringLiteral("L"), {QStringLiteral("a")}, 1, &leases));
        QVERIFY2(store->errorString().contains(QStringLiteral("nowhere")), qPrintable(store->errorString()));
        int64_t next = 0;
        QVERIFY(store->nextIndex(sn, &next));
        QCOMPARE(next, int64_t(5));
        LedgerStatus st;
        QVERIFY(store->status(&st));
        QCOMPARE(st.spaces[0].leases.size(), 1);
        QCOMPARE(st.spaces[0].leases[0].id, held[0].id);
        QCOMPARE(st.spaces[0].leases[0].state, SerialLease::State::Pending);
        // The rest fits exactly.
        QVERIFY(store->lease(sn, QStringLiteral("L"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 5, &leases));
        QCOMPARE(leases[2].last, int64_t(2));
        QVERIFY(store->nextIndex(sn, &next));
        QCOMPARE(next, int64_t(20));
    }

    // A ledger of the version before leases, with what stations kept in it, is brought forward when opened:
    // what it held stays, and leases follow on its counter.
    void leasesAddedToAnExistingLedger_data() { backends(); }
    void leasesAddedToAnExistingLedger()
    {
        NEW_LEDGER(url);
        const QVector<QStringList> steps = SqlStore::schemaStepsFor(backend == QLatin1String("postgresql"));
        int before = 0;
        while (before < steps.size() && !steps[before].join(QLatin1Char(' ')).contains(QStringLiteral("tq_lease")))
            ++before;
        QVERIFY(before > 0 && before < steps.size());
        QStringList older;
        for (int v = 0; v < before; ++v)
            older << steps[v];
        older << QStringLiteral("UPDATE tq_schema SET version = %1").arg(before)
              << QStringLiteral("INSERT INTO tq_space (name, area, address, width, radix, step, byte_order, first_value,"
                                " last_value, total, next_index, created) VALUES ('sn', 0, 496, 2, 16, 1, 'msb-first', 4096, 8191, 4096, 2, 'then')")
              << QStringLiteral("INSERT INTO tq_serial (space, value, state, station, port, reserved_at) VALUES"
                                " ('sn', 4096, 'written', 'S1', '', 'then'), ('sn', 4097, 'reserved', 'S1', '', 'then')");
        QCOMPARE(rawLedgerScript(url, older), QStringLiteral("done"));
        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT COUNT(*) FROM tq_lease")).left(6), QStringLiteral("error:"));

        OPEN(store, url);
        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT version FROM tq_schema")), QString::number(SqlStore::schemaVersion()));
        QVector<SerialLease> leases;
        QVERIFY2(store->lease(QStringLiteral("sn"), QStringLiteral("L"), {QStringLiteral("emu1")}, 4, &leases),
                 qPrintable(store->errorString()));
        QCOMPARE(leases[0].first, int64_t(4098));
        LedgerStatus st;
        QVERIFY(store->status(&st));
        QCOMPARE(st.spaces[0].written, int64_t(1));
        QCOMPARE(st.spaces[0].reserved, int64_t(1));
        QCOMPARE(st.spaces[0].leased, int64_t(4));
        QCOMPARE(st.spaces[0].nextFree, std::optional<int64_t>(4102));
    }

    void unsettledVoidedAtStart_data() { backends(); }
    void unsettledVoidedAtStart()
    {
        NEW_LEDGER(url);
        OPEN(store, url);
        QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 1, 100)));
        QVector<int64_t> a, b, gang;
        QVERIFY(store->reserve(QStringLiteral("sn"), QStringLiteral("A"), 5, &a));
        QVERIFY(store->reserve(QStringLiteral("sn"), QStringLiteral("B"), 2, &b));
        // One Link of a gang on station A holds its own block.
        const SerialHolder link2(QStringLiteral("A"), QStringLiteral("1-1.2"));
        QVERIFY(store->reserve(QStringLiteral("sn"), link2, 2, &gang));
        QVERIFY(store->record(testRecord(QStringLiteral("A"), 1, 0, QStringLiteral("sn"), a[0])));
        // Settled only by the Link that holds it.
        QVERIFY(!store->record(testRecord(QStringLiteral("A"), 2, 0, QStringLiteral("sn"), gang[0])));
        LedgerRecord onLink2 = testRecord(QStringLiteral("A"), 3, 0, QStringLiteral("sn"), gang[0]);
        onLink2.port = link2.port;
        QVERIFY2(store->record(onLink2), qPrintable(store->errorString()));
        int64_t voided = -1;
        QVERIFY(store->startStation(QStringLiteral("A"), &voided));
        QCOMPARE(voided, int64_t(4));
        const auto c = counts(*store, QStringLiteral("sn"));
        QCOMPARE(c[QStringLiteral("written")], int64_t(2));
        QCOMPARE(c[QStringLiteral("void")], int64_t(4));
        QCOMPARE(c[QStringLiteral("reserved")], int64_t(3));  // B's and the other Link's, untouched
        QVERIFY(store->startStation(link2, &voided));
        QCOMPARE(voided, int64_t(1));
        QVERIFY(store->startStation(QStringLiteral("A"), &voided));
        QCOMPARE(voided, int64_t(0));
    }

    void stationsReserveConcurrently_data() { backends(); }
    void stationsReserveConcurrently()
    {
        NEW_LEDGER(url);
        {
            OPEN(store, url);
            QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 1, 10000)));
        }
        // Two stations, each with its own connection on its own thread, reserving and recording at once.
        constexpr int kBlocks = 10, kBlock = 4;
        QVector<int64_t> got[2];
        QString errors[2];
        auto station = [&](int i) {
            QString error;
            auto store = openStore(url, &error);
            const QString name = QStringLiteral("S%1").arg(i);
            int64_t seq = 0;
            for (int k = 0; store && k < kBlocks; ++k) {
                QVector<int64_t> block;
                if (!store->reserve(QStringLiteral("sn"), name, kBlock, &block)) {
                    error = store->errorString();
                    break;
                }
                for (int64_t v : block) {
                    if (!store->record(testRecord(name, ++seq, 0, QStringLiteral("sn"), v)))
                        error = store->errorString();
                    got[i] << v;
                }
            }
            errors[i] = error;
        };
        std::thread one(station, 0), two(station, 1);
        one.join();
        two.join();
        QVERIFY2(errors[0].isEmpty(), qPrintable(errors[0]));
        QVERIFY2(errors[1].isEmpty(), qPrintable(errors[1]));
        QSet<int64_t> all;
        for (const auto &g : got) {
            QCOMPARE(g.size(), kBlocks * kBlock);
            for (int64_t v : g)
                all.insert(v);
        }
        QCOMPARE(all.size(), 2 * kBlocks * kBlock);  // no value twice
        QCOMPARE(*std::max_element(all.begin(), all.end()), int64_t(2 * kBlocks * kBlock));  // and no gap
        OPEN(store, url);
        const auto c = counts(*store, QStringLiteral("sn"));
        QCOMPARE(c[QStringLiteral("written")], int64_t(2 * kBlocks * kBlock));
        QCOMPARE(c[QStringLiteral("reserved")], int64_t(0));
    }

    void killedMidBlockSettledAtRestart_data() { backends(); }
    void killedMidBlockSettledAtRestart()
    {
        NEW_LEDGER(url);
        {
            OPEN(store, url);
            QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 1, 1000)));
        }
        QProcess child;
        startChild(child, QStringLiteral("killed"), url);
        QVERIFY(child.waitForStarted());
        QByteArray out;
        // A Windows child writes its line ends as CRLF.
        while (!out.contains("ready\n") && child.waitForReadyRead(60000))
            out += child.readAllStandardOutput().replace('\r', QByteArray());
        QVERIFY2(out.contains("ready\n"), child.readAllStandardError().constData());
        child.kill();  // SIGKILL, on Windows TerminateProcess: no chance to settle anything
        QVERIFY(child.waitForFinished());

        OPEN(store, url);
        QCOMPARE(counts(*store, QStringLiteral("sn"))[QStringLiteral("reserved")], int64_t(7));
        int64_t voided = 0;
        QVERIFY(store->startStation(QStringLiteral("doomed"), &voided));
        QCOMPARE(voided, int64_t(7));
        const auto c = counts(*store, QStringLiteral("sn"));
        QCOMPARE(c[QStringLiteral("written")], int64_t(3));
        QCOMPARE(c[QStringLiteral("void")], int64_t(7));
        QCOMPARE(c[QStringLiteral("reserved")], int64_t(0));
        // The killed station's values are never given again.
        QVector<int64_t> next;
        QVERIFY(store->reserve(QStringLiteral("sn"), QStringLiteral("other"), 1, &next));
        QCOMPARE(next, QVector<int64_t>{11});
    }

    void serverGoneMidRun_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("restart");
        QTest::newRow("postgresql restart") << QStringLiteral("postgresql") << true;
        QTest::newRow("postgresql connection dropped") << QStringLiteral("postgresql") << false;
    }
    void serverGoneMidRun()
    {
        QFETCH(bool, restart);
        NEW_LEDGER(url);
        OPEN(store, url);
        QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 1, 1000)));
        QVector<int64_t> block;
        QVERIFY(store->reserve(QStringLiteral("sn"), QStringLiteral("A"), 4, &block));
        QVERIFY(store->record(testRecord(QStringLiteral("A"), 1, 0, QStringLiteral("sn"), block[0])));
        if (restart) {
            QVERIFY2(m_pg.restart(), qPrintable(m_pg.error()));
        } else {
            QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity"
                                                      " WHERE datname = current_database() AND pid <> pg_backend_pid()")),
                     QStringLiteral("1"));
        }
        // The same store goes on over a new connection: the rest of its block, then a new block.
        for (int i = 1; i < 4; ++i)
            QVERIFY2(store->record(testRecord(QStringLiteral("A"), i + 1, 0, QStringLiteral("sn"), block[i])),
                     qPrintable(store->errorString()));
        QVERIFY2(store->reserve(QStringLiteral("sn"), QStringLiteral("A"), 4, &block), qPrintable(store->errorString()));
        QCOMPARE(block.first(), int64_t(5));
        const auto c = counts(*store, QStringLiteral("sn"));
        QCOMPARE(c[QStringLiteral("written")], int64_t(4));
        QCOMPARE(c[QStringLiteral("reserved")], int64_t(4));
    }

    void serverAwayIsAClearError()
    {
        if (!m_pgMissing.isEmpty())
            QSKIP(qPrintable(m_pgMissing));
        const QString url = m_pg.newDatabase();
        QVERIFY(!url.isEmpty());
        OPEN(store, url);
        QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 1, 1000)));
        QVERIFY(m_pg.stopServer());
        QVector<int64_t> block;
        const bool reserved = store->reserve(QStringLiteral("sn"), QStringLiteral("A"), 4, &block);
        const QString error = store->errorString();
        QVERIFY2(m_pg.startServer(), qPrintable(m_pg.error()));
        QVERIFY(!reserved);
        QVERIFY(block.isEmpty());
        QVERIFY2(error.contains(QStringLiteral("postgresql://tq@/")), qPrintable(error));
        // Nothing was given out while it failed.
        QVERIFY(store->reserve(QStringLiteral("sn"), QStringLiteral("A"), 1, &block));
        QCOMPARE(block, QVector<int64_t>{1});
    }

    void damagedSqliteRefusedUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray(8192, '\x5A');
        QByteArray header("SQLite format 3\0", 16);
        QTest::newRow("truncated header") << header + QByteArray(84, '\xFF');
    }
    void damagedSqliteRefusedUntouched()
    {
        QFETCH(QByteArray, content);
        const QString path = m_tmp.filePath(QStringLiteral("damaged%1.db").arg(++m_files));
        QVERIFY(writeFile(path, content));
        QString error;
        QVERIFY(!openStore(QStringLiteral("sqlite:") + path, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QCOMPARE(readFile(path), content);
    }

    void sqliteNotAFileRefused()
    {
        QString error;
        QVERIFY(!openStore(QStringLiteral("sqlite:") + m_tmp.path(), &error));
        QVERIFY2(error.contains(QStringLiteral("文件夹")), qPrintable(error));
        QVERIFY(!openStore(QStringLiteral("sqlite:") + m_tmp.filePath(QStringLiteral("no/such/folder/l.db")), &error));
        QVERIFY2(error.contains(QStringLiteral("no/such/folder")), qPrintable(error));
    }

    void sqliteFullDiskKeepsWholeRecords()
    {
        if (!fileSizeLimitMissing().isEmpty())
            QSKIP(qPrintable(fileSizeLimitMissing()));
        const QString path = m_tmp.filePath(QStringLiteral("full.db"));
        const QString url = QStringLiteral("sqlite:") + path;
        {
            OPEN(store, url);
            QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 1, 1000)));
        }
        QProcess child;
        startChild(child, QStringLiteral("full"), url);
        QVERIFY(child.waitForFinished(120000));
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(out.startsWith(QStringLiteral("kept ")), qPrintable(out));
        const int kept = out.section(QLatin1Char(' '), 1, 1).section(QLatin1Char('\n'), 0, 0).toInt();
        QVERIFY(kept > 0);
        QVERIFY2(out.contains(path), qPrintable(out));

        // Every record the station was told was kept is there, whole; the failed one is not.
        OPEN(store, url);
        QCOMPARE(rawLedgerSql(url, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        QVector<LedgerRecord> all;
        QVERIFY(store->records(QDateTime(), &all));
        QCOMPARE(all.size(), kept);
        for (const LedgerRecord &r : all)
            QCOMPARE(r.text.size(), 3000);
        int64_t voided = 0;
        QVERIFY(store->startStation(QStringLiteral("full"), &voided));
        const auto c = counts(*store, QStringLiteral("sn"));
        QCOMPARE(c[QStringLiteral("written")], int64_t(kept));
        QCOMPARE(c[QStringLiteral("void")], int64_t(400 - kept));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString mode = qEnvironmentVariable(kChildMode);
    const QString url = qEnvironmentVariable(kChildUrl);
    if (mode == QLatin1String("killed"))
        return killedStation(url);
    if (mode == QLatin1String("full"))
        return fullDiskStation(url, url.mid(int(strlen("sqlite:"))));
    tst_productionstore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_productionstore.moc"
