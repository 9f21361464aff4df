#include "lineview/linewatch.h"
#include "lineview/lineview.h"
#include "records/productionstore.h"
#include "records/storetestutil.h"
#include "support/pgserver.h"

#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

// The line view's reader on real ledgers: a SQLite file looked at while another connection writes it, a
// PostgreSQL server whose notices wake it, and ledgers that fail under it.

namespace {
// Times of a test: quick looks; `check` long where a test must show that no look was needed.
LineTimes quick(int checkMs = 200)
{
    LineTimes t;
    t.pollMs = 50;
    t.checkMs = checkMs;
    t.retryMs = 50;
    t.settleMs = 20;
    return t;
}

int64_t chipsOf(const LineState &state, const QString &station)
{
    for (const StationStatus &s : state.figures.stations) {
        if (s.station == station)
            return s.chips;
    }
    return -1;
}

LedgerRecord todays(const QString &station, int64_t seq, int result = 0)
{
    LedgerRecord r = testRecord(station, seq, result);
    r.time = QDateTime::currentDateTimeUtc();
    return r;
}
}

class tst_linewatch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    PgServer m_pg;
    QString m_pgMissing;

    QString sqliteLedger(const QString &name) { return QStringLiteral("sqlite:") + m_tmp.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        qputenv("TQ_LEDGER_SPOOL", QFile::encodeName(m_tmp.filePath(QStringLiteral("spool.db"))));
        m_pgMissing = PgServer::unavailable();
        if (m_pgMissing.isEmpty())
            QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
    }

    void cleanupTestCase() { m_pg.stop(); }

    // Records another connection adds appear; a file that did not change is not read again.
    void sqlitePolledWhenTheFileChanges()
    {
        const QString url = sqliteLedger(QStringLiteral("poll.db"));
        QString error;
        auto station = openProductionStore(url, &error);
        QVERIFY2(station, qPrintable(error));
        QVERIFY(station->createSpace(testSpace(QStringLiteral("sn"), 1, 100)));
        QVERIFY(station->record(todays(QStringLiteral("S1"), 1)));

        LineWatch watch(url, quick());
        int reads = 0;
        connect(&watch, &LineWatch::changed, this, [&] { reads += watch.state().haveFigures ? 1 : 0; });
        watch.resume();
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(1));
        QCOMPARE(watch.state().mode, LineState::Mode::Polling);
        QCOMPARE(watch.state().figures.spaces.size(), 1);
        const QDateTime firstRead = watch.state().figures.readAt;
        // Many looks at an unchanged file, no new reading.
        QTest::qWait(400);
        QCOMPARE(watch.state().figures.readAt, firstRead);

        QVector<int64_t> block;
        QVERIFY(station->reserve(QStringLiteral("sn"), QStringLiteral("S2"), 2, &block));
        QVERIFY(station->record(todays(QStringLiteral("S2"), 1, 3)));
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S2")), int64_t(1));
        QTRY_COMPARE(watch.state().figures.spaces[0].reserved, int64_t(2));
        QVERIFY(watch.state().error.isEmpty());
        QVERIFY(reads >= 2);
    }

    // A file that is not there yet, then damaged, then whole again: said in the state, retried, the last good
    // figures kept meanwhile.
    void sqliteFailuresShownAndRetried()
    {
        const QString path = m_tmp.filePath(QStringLiteral("late.db"));
        const QString url = QStringLiteral("sqlite:") + path;
        LineWatch watch(url, quick());
        watch.resume();
        QTRY_VERIFY(!watch.state().error.isEmpty());
        QVERIFY2(watch.state().error.contains(QStringLiteral("不存在")), qPrintable(watch.state().error));
        QVERIFY(!QFileInfo::exists(path));  // a view never makes a ledger

        const auto addRecords = [&](int count) {
            QString error;
            auto station = openProductionStore(url, &error);
            QVERIFY2(station, qPrintable(error));
            for (int i = 1; i <= count; ++i)
                QVERIFY(station->record(todays(QStringLiteral("S1"), i)));
        };
        addRecords(1);
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(1));
        QVERIFY(watch.state().error.isEmpty());

        watch.pause();
        // The connection closed first (its last checkpoint would write into the file).
        QTRY_COMPARE(watch.state().mode, LineState::Mode::Opening);
        const auto replaceWith = [&](const QByteArray &bytes) {
            QFile::remove(path + QStringLiteral("-wal"));
            QFile::remove(path + QStringLiteral("-shm"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(file.write(bytes), qint64(bytes.size()));
        };
        replaceWith(QByteArray(8192, '\x5a'));
        watch.resume();
        QTRY_VERIFY(!watch.state().error.isEmpty());
        QVERIFY(lineStale(watch.state()));
        QCOMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(1));  // kept
        QVERIFY2(lineStateText(watch.state()).contains(QStringLiteral("过时")), qPrintable(lineStateText(watch.state())));

        // Put right (here: a ledger made anew): read again without being asked.
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        QVERIFY(QFile::remove(path));
        addRecords(2);
        QTRY_VERIFY(watch.state().error.isEmpty());
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(2));
        QVERIFY(!lineStale(watch.state()));

        // Moved away while the view watches it: said, not read from a connection that still holds the file.
        QVERIFY(QFile::rename(path, path + QStringLiteral(".moved")));
        QTRY_VERIFY(watch.state().error.contains(QStringLiteral("不存在")));
    }

    // Ledgers the view cannot show: each says why.
    void ledgersItCannotShowSayWhy()
    {
        const QString newer = sqliteLedger(QStringLiteral("newer.db"));
        {
            QString error;
            QVERIFY2(openProductionStore(newer, &error), qPrintable(error));
        }
        QCOMPARE(rawLedgerSql(newer, QStringLiteral("UPDATE tq_schema SET version = 99")), QStringLiteral("done"));
        LineWatch schema(newer, quick());
        schema.resume();
        QTRY_VERIFY(!schema.state().error.isEmpty());
        QVERIFY2(schema.state().error.contains(QStringLiteral("99")), qPrintable(schema.state().error));


        LineWatch watch(QStringLiteral("csv:") + m_tmp.filePath(QStringLiteral("log.csv")), quick());
        watch.resume();
        QTRY_VERIFY(!watch.state().error.isEmpty());
        QVERIFY(watch.state().error.contains(QStringLiteral("CSV")));
        LineWatch none(QString(), quick());
        none.resume();
        QTRY_VERIFY(none.state().error.contains(QStringLiteral("--ledger")));
    }

    // A record from another connection wakes the view through the server's notice: the view's own looks are
    // an hour apart here.
    void postgresNoticeWakesTheView()
    {
        if (!m_pgMissing.isEmpty())
            QSKIP(qPrintable(m_pgMissing));
        const QString url = m_pg.newDatabase();
        QVERIFY2(!url.isEmpty(), qPrintable(m_pg.error()));
        QString error;
        auto station = openProductionStore(url, &error);
        QVERIFY2(station, qPrintable(error));
        QVERIFY(station->record(todays(QStringLiteral("S1"), 1)));

        LineWatch watch(url, quick(3600 * 1000));
        watch.resume();
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(1));
        QCOMPARE(watch.state().mode, LineState::Mode::Live);
        // A station announces its first record; the ones right after it (at most one notice a second) are
        // read by the look that follows the last notice.
        auto next = openProductionStore(url, &error);
        QVERIFY2(next, qPrintable(error));
        QVERIFY(next->record(todays(QStringLiteral("S1"), 2)));
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(2));
        for (int i = 3; i <= 4; ++i)
            QVERIFY(next->record(todays(QStringLiteral("S1"), i)));
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(4));
    }

    // The server goes away: the view says so at its next look (a broken connection brings no notice), keeps
    // the figures, and is live again once the server is back. A connection dropped under it is made anew and
    // what was missed meanwhile read. Full readings are an hour apart here.
    void postgresServerAwayAndBack()
    {
        if (!m_pgMissing.isEmpty())
            QSKIP(qPrintable(m_pgMissing));
        const QString url = m_pg.newDatabase();
        QVERIFY2(!url.isEmpty(), qPrintable(m_pg.error()));
        const auto record = [&](const QString &name) {
            QString error;
            auto station = openProductionStore(url, &error);
            QVERIFY2(station, qPrintable(error));
            QVERIFY2(station->record(todays(name, 1)), qPrintable(station->errorString()));
        };
        record(QStringLiteral("S1"));
        LineWatch watch(url, quick(3600 * 1000));
        watch.resume();
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(1));
        QVERIFY(m_pg.stopServer());
        QTRY_VERIFY(!watch.state().error.isEmpty());
        QVERIFY(lineStale(watch.state()));
        QCOMPARE(chipsOf(watch.state(), QStringLiteral("S1")), int64_t(1));
        QVERIFY2(m_pg.startServer(), qPrintable(m_pg.error()));
        QTRY_VERIFY_WITH_TIMEOUT(watch.state().error.isEmpty(), 20000);
        QCOMPARE(watch.state().mode, LineState::Mode::Live);
        record(QStringLiteral("S2"));
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S2")), int64_t(1));

        QCOMPARE(rawLedgerSql(url, QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity"
                                                  " WHERE datname = current_database() AND pid <> pg_backend_pid()")),
                 QStringLiteral("1"));
        record(QStringLiteral("S3"));
        QTRY_COMPARE(chipsOf(watch.state(), QStringLiteral("S3")), int64_t(1));
        QVERIFY(watch.state().error.isEmpty());
    }

    // The widget draws the state: rows of the stations and spaces, and the state line.
    void viewDrawsTheFigures()
    {
        const QString url = sqliteLedger(QStringLiteral("view.db"));
        QString error;
        auto station = openProductionStore(url, &error);
        QVERIFY2(station, qPrintable(error));
        QVERIFY(station->createSpace(testSpace(QStringLiteral("sn"), 0x10, 0x20)));
        QVERIFY(station->record(todays(QStringLiteral("S1"), 1)));
        LineView view(url, quick());
        view.show();
        auto *stations = view.findChild<QTableWidget *>(QStringLiteral("lineStations"));
        auto *spaces = view.findChild<QTableWidget *>(QStringLiteral("lineSpaces"));
        auto *state = view.findChild<QLabel *>(QStringLiteral("lineState"));
        QVERIFY(stations && spaces && state);
        QTRY_COMPARE(stations->rowCount(), 1);
        QCOMPARE(stations->item(0, 0)->text(), QStringLiteral("S1"));
        QCOMPARE(spaces->rowCount(), 1);
        QCOMPARE(spaces->item(0, 3)->text(), QStringLiteral("0x10"));
        QVERIFY2(state->text().contains(m_tmp.filePath(QStringLiteral("view.db"))), qPrintable(state->text()));

        // Another ledger chosen: its figures, none of the old one's.
        const QString other = sqliteLedger(QStringLiteral("view2.db"));
        auto second = openProductionStore(other, &error);
        QVERIFY2(second, qPrintable(error));
        QVERIFY(second->record(todays(QStringLiteral("S9"), 1)));
        view.setLedger(other);
        QTRY_COMPARE(stations->rowCount() == 1 ? stations->item(0, 0)->text() : QString(), QStringLiteral("S9"));
        QCOMPARE(spaces->rowCount(), 0);
        QVERIFY(station->record(todays(QStringLiteral("S1"), 2)));
        QTest::qWait(300);
        QCOMPARE(stations->item(0, 0)->text(), QStringLiteral("S9"));
    }
};

QTEST_MAIN(tst_linewatch)
#include "tst_linewatch.moc"
