#pragma once

#include "records/ledgerburn.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <memory>
#include <optional>

// The port of the window's Link for its records: "emu" on the emulator, else the one Link attached (empty when
// none or several are).
QString windowLinkPort(bool emulated);

// The window's ledger runs: one LedgerBurn per burn run (a Program or Auto toggle), on a thread of its own,
// which alone uses the ledger's connection. The worker hands each pass to it and waits, so a record is kept
// before the next chip, and a ledger that answers slowly holds the burn, never the window's event loop. The
// window waits only to start and to end a run, while the worker is idle.
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
    // Ends a run still open (the worker must have stopped) and the thread.
    ~WindowLedger();

    // GUI thread, worker idle: opens the ledger and, with a space, puts the first serial into the image.
    Start begin(const LedgerBurnSetup &setup, const QString &firmware);
    bool active() const { return m_active.load(); }

    // Worker thread, as a pass ends. False with `error` when the ledger could not keep the record.
    bool chipDone(int code, uint16_t chipId, const QString &text, bool nextChipFollows, QString *error);
    // The serial of the chip recorded last, as people read it; empty when it had none. Safe from the thread
    // that called chipDone(), after it returned.
    QString lastSerialText() const;

    // GUI thread, worker idle: voids what the run left and puts the image back. What the operator must know of
    // records left waiting for the server, else empty.
    QString finish();

private:
    template <typename F> auto onLedgerThread(F &&f);

    QThread m_thread;
    QObject *m_context = nullptr;  // lives on m_thread
    std::unique_ptr<LedgerBurn> m_burn;  // created, used and destroyed on m_thread
    std::atomic<bool> m_active{false};
    QString m_lastSerial;  // written by chipDone's caller, read by it
};
