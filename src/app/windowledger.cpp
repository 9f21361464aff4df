#include "windowledger.h"

#include "records/ledgerexport.h"
#include "session/attachedlinks.h"

#include <future>

QString windowLinkPort(bool emulated)
{
    if (emulated)
        return QStringLiteral("emu");
    QStringList ports;
    for (const AttachedLink &link : attachedLinks(false, QString()))
        if (!link.iap)
            ports << link.port;
    return ports.size() == 1 ? ports.first() : QString();
}

WindowLedger::WindowLedger()
{
    m_thread.setObjectName(QStringLiteral("ledger"));
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

WindowLedger::~WindowLedger()
{
    // The run's leftovers are settled on the ledger's thread. The wait is on a promise of our own rather than a
    // blocking queued call, whose hand-over back to this thread happens inside Qt, out of the thread checker's
    // sight: with it, this thread's destruction of the burn is ordered after that thread's last use of it.
    std::promise<void> settled;
    QMetaObject::invokeMethod(m_context, [this, &settled] {
        finishHere();
        delete m_context;
        settled.set_value();
    }, Qt::QueuedConnection);
    settled.get_future().wait();
    m_thread.quit();
    m_thread.wait();
}

void WindowLedger::begin(const LedgerBurnSetup &setup, const QString &firmware, QObject *receiver,
                         std::function<void(const Start &)> started)
{
    m_lastSerial.clear();
    QMetaObject::invokeMethod(m_context, [this, setup, firmware, receiver, started] {
        finishHere();
        Start s;
        auto burn = std::make_unique<LedgerBurn>();
        s.failure = burn->begin(setup);
        s.error = burn->errorString();
        s.notice = burn->notice();
        s.location = burn->location();
        if (s.failure != LedgerBurn::Failure::None) {
            burn->finish();  // voids a value already taken and puts the image back
        } else if (burn->active()) {
            burn->setFirmware(firmware);
            m_burn = std::move(burn);
            m_active.store(true);
        }
        QMetaObject::invokeMethod(receiver, [started, s] { started(s); }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

bool WindowLedger::chipDone(int code, uint16_t chipId, const QString &text, bool nextChipFollows, QString *error)
{
    if (!m_active.load())
        return true;
    // LedgerBurn hands the call to its own thread and waits.
    LedgerBurn &burn = *m_burn;
    const bool kept = burn.chipDone(code, chipId, text, nextChipFollows);
    if (!kept) {
        *error = burn.errorString();
        return false;
    }
    const std::optional<int64_t> serial = burn.lastSerial();
    m_lastSerial = serial ? serialText(burn.space(), *serial) : QString();
    return true;
}

QString WindowLedger::lastSerialText() const
{
    return m_lastSerial;
}

void WindowLedger::finish(QObject *receiver, std::function<void(const QString &)> finished)
{
    QMetaObject::invokeMethod(m_context, [this, receiver, finished] {
        const QString waiting = finishHere();
        QMetaObject::invokeMethod(receiver, [finished, waiting] { finished(waiting); }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

QString WindowLedger::finishHere()
{
    if (!m_burn)
        return QString();
    m_active.store(false);
    const QString waiting = m_burn->finish();
    m_burn.reset();
    return waiting;
}
