#pragma once

#include <QString>
#include <QStringList>

// Where a production ledger lives, as --ledger or TQ_LEDGER give it:
//   csv:PATH                                   the CSV production log (records only)
//   sqlite:PATH                                one SQLite file, for a single station
//   postgresql://[user@][host][:port]/db[?key=value&...]   the shared ledger of a line, as libpq takes it;
//                                              ?host=/folder names a Unix socket folder
// A password is never taken from the URL (it would show in the process list and in logs): libpq finds it in
// the password file, the service file or PGPASSWORD.
struct LedgerLocation
{
    enum class Kind { Csv, Sqlite, Postgres };

    Kind kind = Kind::Csv;
    QString path;                // Csv, Sqlite
    QString host;                // Postgres: name, address or socket folder; empty = libpq's default
    int port = -1;               // -1 = libpq's default
    QString database;
    QString user;
    QStringList options;         // further libpq keywords, "key=value"

    // The location for people and logs (never holds a password: none is ever taken).
    QString display() const;
    // A ledger file (CSV, SQLite) that is not there yet. Opening a ledger makes it, so whoever only looks at
    // one asks this first: a look never leaves an empty ledger behind (nor hides a mistyped path behind one).
    bool fileMissing() const;
    // Why such a ledger cannot be looked at, for people.
    QString fileMissingText() const;
};

// False with the reason in `error` (the user's language) when `url` is not a ledger location.
bool parseLedgerUrl(const QString &url, LedgerLocation *location, QString *error);
