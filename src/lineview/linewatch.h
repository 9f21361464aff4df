#pragma once

#include "linefigures.h"
#include "records/sqlstore.h"

#include <QDate>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include <memory>

class QTimer;

// How often the line view looks at its ledger.
struct LineTimes
{
    int pollMs = 2000;     // SQLite: a look at the file; the ledger is read only when the file changed
    int checkMs = 30000;   // PostgreSQL, live: a read now and then all the same; between them, at each poll, only a
                           // question whether the connection stands (notices stop without a word when it breaks)
    int retryMs = 5000;    // after a failure
    int settleMs = 300;    // PostgreSQL: records noticed within this time make one read
    // PostgreSQL: one more read this long after the last notice, for the records a station did not announce
    // (it announces at most one a second)
    int tailMs = SqlStore::kRecordNoticeMs + 500;
};

// Reads the line's figures on the thread it was moved to, which owns the ledger's connection (a store
// belongs to the thread that opened it). Its own connection, never the spool: the view only reads.
class LineReader : public QObject
{
    Q_OBJECT

public:
    LineReader(const QString &url, const LineTimes &times);
    ~LineReader() override;

public slots:
    void resume();  // opens the ledger and reads; then keeps watching
    void pause();   // stops watching and closes the ledger; the mode goes back to Opening

signals:
    void figuresRead(const LineFigures &figures);
    void readFailed(const QString &error, const QDateTime &when);
    void modeChanged(LineState::Mode mode, int pollSeconds);

private:
    void tick();
    void read();
    bool open(QString *error);
    void fail(const QString &error);
    void setTimer();
    // What a SQLite ledger's files look like now (the database and its write-ahead log): a change means a
    // station wrote.
    QString fileSignature() const;

    QString m_url;
    LineTimes m_times;
    QString m_sqlitePath;  // empty: not a SQLite ledger
    std::unique_ptr<SqlStore> m_store;
    QTimer *m_tick;
    QTimer *m_soon;
    QTimer *m_tail;
    bool m_live = false;
    bool m_failing = false;
    QString m_readSignature;
    QDate m_readDay;
    QElapsedTimer m_sinceRead;
};

// The line view's side of the reader: runs it on a thread of its own and keeps the state the view draws.
// Nothing here waits on the ledger.
class LineWatch : public QObject
{
    Q_OBJECT

public:
    explicit LineWatch(const QString &url, const LineTimes &times = LineTimes(), QObject *parent = nullptr);
    // Ends the thread, which first closes its connection (waits at most for a connection being made).
    ~LineWatch() override;

    const LineState &state() const { return m_state; }
    void resume();
    void pause();
    // Ends the thread without waiting for it (a connection being made to a server that does not answer takes
    // seconds) and deletes this watch once it has ended. No more changes are told.
    void retire();

signals:
    void changed();

private:
    LineState m_state;
    QThread m_thread;
    LineReader *m_reader;
};
