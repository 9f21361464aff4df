#include "storetestutil.h"
#include "support/pgserver.h"

#include <QtTest>

// The test fixture itself: a server of our own, reached only through its socket, that survives a restart
// and leaves nothing behind.
class tst_pgserver : public QObject
{
    Q_OBJECT

    static QString ask(const PgServer &server, const QString &sql) { return rawLedgerSql(server.url(), sql); }

private slots:
    void initTestCase()
    {
        const QString missing = PgServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")), "Qt's PostgreSQL driver (libqt5sql5-psql) is missing");
    }

    void serverOfOurOwn()
    {
        QString folder;
        {
            PgServer server;
            QVERIFY2(server.start(), qPrintable(server.error()));
            folder = server.socketDir();
            QVERIFY(QFileInfo::exists(folder + QStringLiteral("/.s.PGSQL.5432")));
            QCOMPARE(ask(server, QStringLiteral("SELECT current_database()")), QStringLiteral("tq"));
            // No TCP: the server listens on its socket only.
            QCOMPARE(ask(server, QStringLiteral("SELECT current_setting('listen_addresses')")), QString());
            QCOMPARE(ask(server, QStringLiteral("CREATE TABLE kept AS SELECT 7 AS v")), QStringLiteral("done"));
            QVERIFY2(server.restart(), qPrintable(server.error()));
            QCOMPARE(ask(server, QStringLiteral("SELECT v FROM kept")), QStringLiteral("7"));
        }
        // Gone with the object: the server's socket and the whole folder.
        QVERIFY(!QFileInfo::exists(folder));
    }
};

QTEST_GUILESS_MAIN(tst_pgserver)
#include "tst_pgserver.moc"
