#pragma once

#include "records/ledgerrecord.h"
#include "records/ledgerurl.h"
#include "records/serialspace.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QString>

// Small builders and a raw look into a ledger's database for the store tests.

inline SerialSpace testSpace(const QString &name, int64_t first, int64_t last, int64_t step = 1)
{
    SerialSpace s;
    s.name = name;
    s.address = 0x1F0;
    s.width = 2;
    s.radix = 16;
    s.step = step;
    s.first = first;
    s.last = last;
    return s;
}

inline LedgerRecord testRecord(const QString &station, int64_t seq, int result = 0, const QString &space = QString(),
                               std::optional<int64_t> serial = std::nullopt)
{
    LedgerRecord r;
    r.station = station;
    r.run = QStringLiteral("run-") + station;
    r.sequence = seq;
    r.time = QDateTime::currentDateTimeUtc();
    r.operatorName = QStringLiteral("李工");
    r.port = QString();  // the station's one Link
    r.label = QStringLiteral("A1");
    r.firmware = QStringLiteral("1.2.3");
    r.programVersion = QStringLiteral("1.6.0");
    r.chip = QStringLiteral("VR5K2610");
    r.chipId = 0x2610;
    r.space = space;
    r.serial = serial;
    r.areas = QStringList{QStringLiteral("rom"), QStringLiteral("nvr1")};
    r.checksums = QStringList{QStringLiteral("49F2"), QStringLiteral("00FF")};
    r.imageChecksum = QStringLiteral("4A0F");
    r.result = result;
    r.text = result == 0 ? QStringLiteral("OK") : QStringLiteral("芯片连接失败, \"quoted\"");
    r.durationMs = 1234;
    return r;
}

// Runs `statements` one after another on the ledger's database beside the store under test; what the last
// one answers first, "done" when it answers nothing, or "error: ..." for the first that failed.
inline QString rawLedgerScript(const QString &url, const QStringList &statements)
{
    LedgerLocation loc;
    QString error;
    if (!parseLedgerUrl(url, &loc, &error))
        return QStringLiteral("error: ") + error;
    QString answer;
    {
        const bool pg = loc.kind == LedgerLocation::Kind::Postgres;
        QSqlDatabase db = QSqlDatabase::addDatabase(pg ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(pg ? loc.database : loc.path);
        db.setHostName(loc.host);
        db.setUserName(loc.user);
        if (!db.open())
            answer = QStringLiteral("error: ") + db.lastError().text();
        for (const QString &sql : statements) {
            if (answer.startsWith(QStringLiteral("error: ")))
                break;
            QSqlQuery q(db);
            if (!q.exec(sql))
                answer = QStringLiteral("error: ") + q.lastError().text();
            else
                answer = q.next() ? q.value(0).toString() : QStringLiteral("done");
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return answer;
}

// Runs `sql` on the ledger's database; the first value it answers, "done" when none, or "error: ...".
inline QString rawLedgerSql(const QString &url, const QString &sql)
{
    return rawLedgerScript(url, {sql});
}
