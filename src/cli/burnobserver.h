#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>

class workThread;

// The outcome of one chip pass of a burn.
struct PassResult
{
    int code = 0;
    uint16_t chipId = 0;  // the id the chip answered
    // The first enabled area's checksum as this chip was burned: with a serial per chip the image changes
    // for the next chip right after the pass, so it is taken before anyone sees the pass.
    QString checksum;
};
Q_DECLARE_METATYPE(PassResult)

// The first enabled area's checksum, as the image is now (empty when no area is enabled).
QString burnedChecksum();

// Follows the burn loops from the worker's side and reports every chip pass with its result code. The
// engine signals only some codes (4, and 0 for burn_chip); the rest end the pass with "烧写失败" after the
// engine's own diagnostic for the failing step, which this observer maps back to the code.
class BurnObserver : public QObject
{
    Q_OBJECT

public:
    explicit BurnObserver(workThread &worker, QObject *parent = nullptr);
    ~BurnObserver() override;

    // The code a pass fails with when its diagnostic is `text`; 0 when the text names no failing step.
    static int failureCodeForDiagnostic(const QString &text);

    // Runs on the worker as each pass ends, before passFinished is queued and before the engine goes on to
    // the next chip: what must happen between two chips (the production record) happens here.
    void setPassHook(std::function<void(const PassResult &)> hook) { m_hook = std::move(hook); }

signals:
    // Queued to this object's thread, once per chip pass.
    void passFinished(PassResult result);

private:
    // Worker thread.
    void onLabel(const QString &text);
    void onDone(int code);
    void onDiagnostic(const QString &text);
    void finishPass(int code);

    std::function<void(const PassResult &)> m_hook;
    std::mutex m_mutex;
    bool m_passOpen = false;
    int m_failure = 0;
};
