#include "windowledger.h"

#include "records/ledgerexport.h"
#include "session/attachedlinks.h"

#include <future>
#include <type_traits>

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
    finish();
    QMetaObject::invokeMethod(m_context, [this] { delete m_context; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

// Runs `f` on the ledger's thread and waits for its answer.
template <typename F> auto WindowLedger::onLedgerThread(F &&f)
{
    using Result = std::invoke_result_t<F>;
    std::promise<Result> promise;
    std::future<Result> answer = promise.get_future();
    QMetaObject::invokeMethod(m_context, [&] { promise.set_value(f()); }, Qt::QueuedConnection);
    return answer.get();
}

WindowLedger::Start WindowLedger::begin(const LedgerBurnSetup &setup, const QString &firmware)
{
    finish();
    m_lastSerial.clear();
    Start start = onLedgerThread([&] {
        Start s;
        auto burn = std::make_unique<LedgerBurn>();
        s.failure = burn->begin(setup);
        s.error = burn->errorString();
        s.notice = burn->notice();
        s.location = burn->location();
        if (s.failure != LedgerBurn::Failure::None) {
            burn->finish();  // voids a value already taken and puts the image back
            return s;
        }
        burn->setFirmware(firmware);
        if (burn->active())
            m_burn = std::move(burn);
        return s;
    });
    m_active.store(m_burn != nullptr);
    return start;
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

QString WindowLedger::finish()
{
    if (!m_active.load())
        return QString();
    m_active.store(false);
    return onLedgerThread([this] {
        const QString waiting = m_burn->finish();
        m_burn.reset();
        return waiting;
    });
}
