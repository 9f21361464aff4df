// A station on a PostgreSQL ledger while the server is away: records wait on this computer and reach the
// server once, in order, when it is back; serials come only from the server.
#include "storetestutil.h"
#include "records/ledgerspool.h"
#include "records/productionstore.h"
#include "support/pgserver.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class tst_ledgerspool : public QObject
{
    Q_OBJECT

    PgServer m_pg;
    QTemporaryDir m_tmp;

    static std::unique_ptr<ProductionStore> open(const QString &url)
    {
        QString error;
        auto store = openProductionStore(url, &error);
        if (!store)
            qWarning("%s", qPrintable(error));
        return store;
    }

    // Where the server stands: records, and values by state.
    static QString ask(const QString &url, const QString &sql) { return rawLedgerSql(url, sql); }
    static QString records(const QString &url) { return ask(url, QStringLiteral("SELECT COUNT(*) FROM tq_record")); }
    static QString inState(const QString &url, const char *state)
    {
        return ask(url, QStringLiteral("SELECT COUNT(*) FROM tq_serial WHERE state = '%1'").arg(QLatin1String(state)));
    }

    // A ledger with space "sn" (1..1000) and station A's first block of `count` values.
    QString ledgerWithBlock(int count, QVector<int64_t> *block)
    {
        const QString url = m_pg.newDatabase();
        auto store = open(url);
        if (!store || !store->createSpace(testSpace(QStringLiteral("sn"), 1, 1000))
            || !store->reserve(QStringLiteral("sn"), QStringLiteral("A"), count, block))
            return QString();
        return url;
    }

private slots:
    void initTestCase()
    {
        const QString missing = PgServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QVERIFY(m_tmp.isValid());
        qputenv("TQ_LEDGER_SPOOL", QFile::encodeName(m_tmp.filePath(QStringLiteral("spool.db"))));
        QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
    }

    void recordsWaitWhileAwayAndArriveOnce()
    {
        QVector<int64_t> block;
        const QString url = ledgerWithBlock(4, &block);
        QVERIFY(!url.isEmpty());
        auto store = open(url);
        QVERIFY(store);
        QVERIFY(store->record(testRecord(QStringLiteral("A"), 1, 0, QStringLiteral("sn"), block[0])));
        QVERIFY(m_pg.stopServer());
        // The station goes on with the values it holds: the records wait here.
        QVERIFY2(store->record(testRecord(QStringLiteral("A"), 2, 0, QStringLiteral("sn"), block[1])), qPrintable(store->errorString()));
        QVERIFY2(store->record(testRecord(QStringLiteral("A"), 3, 5, QStringLiteral("sn"), block[2])), qPrintable(store->errorString()));
        QCOMPARE(store->waiting(), 2);
        QVERIFY(store->serverAway());
        // No serial without the server.
        QVector<int64_t> more;
        QVERIFY(!store->reserve(QStringLiteral("sn"), QStringLiteral("A"), 4, &more));
        QVERIFY(store->serverAway());
        QVERIFY(more.isEmpty());
        QVERIFY2(m_pg.startServer(), qPrintable(m_pg.error()));
        // Back: what waited goes first, then the new record.
        QVERIFY2(store->record(testRecord(QStringLiteral("A"), 4, 0, QStringLiteral("sn"), block[3])), qPrintable(store->errorString()));
        QVERIFY(!store->serverAway());
        QCOMPARE(store->waiting(), 0);
        QCOMPARE(records(url), QStringLiteral("4"));
        QCOMPARE(inState(url, "written"), QStringLiteral("3"));
        QCOMPARE(inState(url, "void"), QStringLiteral("1"));  // the failed chip's
        QCOMPARE(ask(url, QStringLiteral("SELECT string_agg(seq::text, ',' ORDER BY id) FROM tq_record")), QStringLiteral("1,2,3,4"));
        // A record sent again (an answer lost on the way) is kept once.
        QVERIFY(store->record(testRecord(QStringLiteral("A"), 2, 0, QStringLiteral("sn"), block[1])));
        QCOMPARE(records(url), QStringLiteral("4"));
    }

    // A run that ends while the server is away leaves its records in the spool; the station's next start sends
    // them before it voids what it left unsettled, so a value burned into a chip is never voided.
    void spoolOutlivesTheRunAndIsSentBeforeTheStart()
    {
        QVector<int64_t> block;
        const QString url = ledgerWithBlock(3, &block);
        QVERIFY(!url.isEmpty());
        {
            auto store = open(url);
            QVERIFY(store);
            QVERIFY(m_pg.stopServer());
            QVERIFY(store->record(testRecord(QStringLiteral("A"), 1, 0, QStringLiteral("sn"), block[0])));
            QVERIFY(!store->sendWaiting());
            QCOMPARE(store->waiting(), 1);
        }
        QVERIFY2(m_pg.startServer(), qPrintable(m_pg.error()));
        auto next = open(url);
        QVERIFY(next);
        QCOMPARE(next->waiting(), 1);
        int64_t voided = 0;
        QVERIFY2(next->startStation(QStringLiteral("A"), &voided), qPrintable(next->errorString()));
        QCOMPARE(voided, int64_t(2));
        QCOMPARE(next->waiting(), 0);
        QCOMPARE(inState(url, "written"), QStringLiteral("1"));
        QCOMPARE(ask(url, QStringLiteral("SELECT state FROM tq_serial WHERE value = %1").arg(block[0])), QStringLiteral("written"));
    }

    // What the server refuses is the caller's error, not a record to keep sending.
    void refusedRecordIsAnErrorNotSpooled()
    {
        QVector<int64_t> block;
        const QString url = ledgerWithBlock(1, &block);
        QVERIFY(!url.isEmpty());
        auto store = open(url);
        QVERIFY(store);
        QVERIFY(!store->record(testRecord(QStringLiteral("B"), 1, 0, QStringLiteral("sn"), block[0])));
        QVERIFY(!store->serverAway());
        QCOMPARE(store->waiting(), 0);
        QVERIFY2(store->record(testRecord(QStringLiteral("A"), 1, 0, QStringLiteral("sn"), block[0])), qPrintable(store->errorString()));
        QCOMPARE(records(url), QStringLiteral("1"));
    }

    // One spool serves every ledger of the computer: a record waits for its own ledger only.
    void recordsReachOnlyTheirOwnLedger()
    {
        QVector<int64_t> first, second;
        const QString one = ledgerWithBlock(1, &first);
        const QString two = ledgerWithBlock(1, &second);
        QVERIFY(!one.isEmpty() && !two.isEmpty());
        auto a = open(one);
        auto b = open(two);
        QVERIFY(a && b);
        QVERIFY(m_pg.stopServer());
        QVERIFY(a->record(testRecord(QStringLiteral("A"), 1, 0, QStringLiteral("sn"), first[0])));
        QVERIFY2(m_pg.startServer(), qPrintable(m_pg.error()));
        QCOMPARE(b->waiting(), 0);
        QVERIFY2(b->record(testRecord(QStringLiteral("A"), 1, 0, QStringLiteral("sn"), second[0])), qPrintable(b->errorString()));
        QCOMPARE(records(two), QStringLiteral("1"));
        QCOMPARE(records(one), QStringLiteral("0"));
        QVERIFY2(a->sendWaiting(), qPrintable(a->errorString()));
        QCOMPARE(records(one), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(tst_ledgerspool)
#include "tst_ledgerspool.moc"
