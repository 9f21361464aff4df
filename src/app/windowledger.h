#pragma once

#include "records/ledgerburn.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <memory>
#include <functional>

// The port of the window's Link for its records: "emu" on the emulator, else the one Link attached (empty when
// none or several are).
QString windowLinkPort(bool emulated);

// The window's ledger runs: one LedgerBurn per burn run (a Program or Auto toggle), on a thread of its own,
// which alone uses the ledger's connection. The worker hands each pass to it and waits, so a record is kept
// before the next chip; the window only asks it to start and to end a run and hears the answer later, so a
// ledger that answers slowly (a server across the network) holds the burn, never the window.
class WindowLedger
{
public:
    struct Start
    {
        LedgerBurn::Failure failure = LedgerBurn::Failure::None;
        QString error;
        QString notice;
        QString location;
    };

    WindowLedger();
    // Ends a run still open (the worker must have stopped), waiting for it, and the thread.
    ~WindowLedger();

    // GUI thread, worker idle: opens the ledger and, with a space, puts the first serial into the image;
    // `started` is called on `receiver`'s thread with the outcome (`receiver` outlives this object). A run still
    // open is ended first.
    void begin(const LedgerBurnSetup &setup, const QString &firmware, QObject *receiver,
               std::function<void(const Start &)> started);
    // A run is open: the worker's passes go to the ledger.
    bool active() const { return m_active.load(); }

    // Worker thread, as a pass ends. False with `error` when the ledger could not keep the record.
    bool chipDone(int code, uint16_t chipId, const QString &text, bool nextChipFollows, QString *error);
    // The serial of the chip recorded last, as people read it; empty when it had none. For the thread that
    // called chipDone(), after it returned.
    QString lastSerialText() const;

    // GUI thread, worker idle: voids what the run left and puts the image back; `finished` is called on
    // `receiver`'s thread with what the operator must know of records left waiting for the server (else empty).
    void finish(QObject *receiver, std::function<void(const QString &)> finished);

private:
    QString finishHere();  // on m_thread

    QThread m_thread;
    QObject *m_context = nullptr;  // lives on m_thread
    std::unique_ptr<LedgerBurn> m_burn;  // created, used and destroyed on m_thread
    std::atomic<bool> m_active{false};
    QString m_lastSerial;  // written and read by the worker
};
