#pragma once

#include "records/productionstore.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <memory>

class QThread;


// What a station reads of its ledger: the serial spaces with how far each is given out.
struct LedgerSpaces
{
    QString url;
    bool ok = false;
    bool missing = false;         // no ledger file yet (a look never makes one; the first record does)
    QString error;                // why the ledger could not be read, in the running language
    QVector<SpaceStatus> spaces;
};

// One choice of a serial space as a list shows it: its text, and the space's name (empty: no serial).
struct SpaceChoice
{
    QString text;
    QString name;
};

// The choices: no serial, then every space the ledger holds with how many values it has left; `chosen` is
// among them even when the ledger was not read (or does not hold it).
QVector<SpaceChoice> spaceChoices(const LedgerSpaces &read, const QString &chosen);
// What a reading of the spaces tells beside the list: why it failed, or that the ledger has none; else empty.
QString spacesStateText(const LedgerSpaces &read);

// Reads the ledger's serial spaces on a thread of its own, so a server across the network (or one that does
// not answer) never holds the window: the store is opened, read and closed on that thread, which is the
// only one that uses its connection. One read at a time; a read asked for meanwhile follows the current one.
class LedgerSpacesReader : public QObject
{
    Q_OBJECT

public:
    explicit LedgerSpacesReader(QObject *parent = nullptr);
    // Waits for a read under way: its thread holds a connection of its own.
    ~LedgerSpacesReader() override;

    void read(const QString &url);
    bool busy() const { return m_thread != nullptr; }

    // Opens the ledger at `url` and reads its spaces, on the calling thread; a ledger file that is not there
    // is left so.
    static LedgerSpaces readNow(const QString &url);

signals:
    void spacesRead(const LedgerSpaces &spaces);

private:
    void startRead(const QString &url);
    void readEnded();

    QThread *m_thread = nullptr;
    std::shared_ptr<LedgerSpaces> m_result;  // written by the thread, read once it has ended
    QString m_next;                          // the url of a read asked for while one ran
    bool m_nextWanted = false;
};
