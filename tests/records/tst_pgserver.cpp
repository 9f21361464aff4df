#include "support/pgserver.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

// The test fixture itself: a server of our own, reached only through its socket, that survives a restart
// and leaves nothing behind.
class tst_pgserver : public QObject
{
    Q_OBJECT

    // The first value `sql` answers ("done" when none) over a fresh connection to the fixture's database, or the error.
    static QString ask(const PgServer &server, const QString &sql)
    {
        QString answer;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("probe"));
            db.setHostName(server.socketDir());
            db.setDatabaseName(QStringLiteral("tq"));
            db.setUserName(QStringLiteral("tq"));
            if (!db.open()) {
                answer = QStringLiteral("error: ") + db.lastError().text();
            } else {
                QSqlQuery q(db);
                if (!q.exec(sql))
                    answer = QStringLiteral("error: ") + q.lastError().text();
                else
                    answer = q.next() ? q.value(0).toString() : QStringLiteral("done");
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("probe"));
        return answer;
    }

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
