#pragma once

#include <QString>
#include <QStringList>

// The Windows build has no PostgreSQL client library for Qt's driver, so it starts no server: this stands in
// for the POSIX PgServer (support/pgserver.h) with its interface, and every PostgreSQL case skips with
// unavailable()'s reason.
class PgServer
{
public:
    static QString binFolder() { return QString(); }
    static QString unavailable()
    {
        return QStringLiteral("PostgreSQL ledgers are tested by the Linux build only: the Windows build has no PostgreSQL client library");
    }
    bool start() { return false; }
    bool restart() { return false; }
    bool stopServer() { return false; }
    bool startServer() { return false; }
    void setSettings(const QStringList &) {}
    void stop() {}
    QString newDatabase() { return QString(); }
    QString socketDir() const { return QString(); }
    QString url() const { return QString(); }
    QString error() const { return unavailable(); }
    QString log() const { return QString(); }
};
