#include "burnobserver.h"

#include "debugmessages.h"
#include "chip/areas.h"
#include "chip/images.h"
#include "engine/resultcodes.h"
#include "engine/workthread.h"
#include "link/linkstate.h"

namespace {
const QString kBurning = QStringLiteral("烧写中...");
const QString kBurnOk = QStringLiteral("烧写成功");
const QString kBurnFailed = QStringLiteral("烧写失败");
const QString kHint = QStringLiteral("提示信息");

// The only failing step without a diagnostic of its own: the NVR read before the BootLoader erase.
constexpr int kSilentBootLoaderFailure = 10;
constexpr int kUnknownFailure = -1;
}

BurnObserver::BurnObserver(workThread &worker, QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<PassResult>();
    // Direct connections: the pass is judged on the worker, in order with the engine's own steps.
    connect(&worker, &workThread::sg_lab_msg, this, [this](const QString &text) { onLabel(text); },
            Qt::DirectConnection);
    connect(&worker, &workThread::sg_burn_chip_done, this, [this](int code) { onDone(code); },
            Qt::DirectConnection);
    connect(&worker, &workThread::sg_auto_burn_chip_done, this, [this](int code) { onDone(code); },
            Qt::DirectConnection);
    setDebugListener([this](const QString &text) { onDiagnostic(text); });
}

BurnObserver::~BurnObserver()
{
    setDebugListener({});
}

int BurnObserver::failureCodeForDiagnostic(const QString &text)
{
    static const struct {
        const char *text;
        int code;
    } steps[] = {
        {"g_currentMcu.nID", 4},
        {"work EraseNVRBootLoader failed!", 10},
        {"work WriteToNVRBootLoader failed!", 11},
        {"work erase_chip failed!", 5},
        {"work down_chip failed!", 6},
        {"work checkSum failed!", 6},
        {"ExitProgrammer failed!", 27},
    };
    for (const auto &step : steps) {
        if (text.contains(QLatin1String(step.text)))
            return step.code;
    }
    return 0;
}

void BurnObserver::onLabel(const QString &text)
{
    if (text == kBurning) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_passOpen)
            m_failure = 0;
        m_passOpen = true;
    } else if (text == kBurnOk) {
        finishPass(0);
    } else if (text == kBurnFailed) {
        int code;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            code = m_failure ? m_failure : (g_bEnBL ? kSilentBootLoaderFailure : kUnknownFailure);
        }
        finishPass(code);
    } else if (text == kHint) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_passOpen = false;
    }
}

void BurnObserver::onDone(int code)
{
    // 36 and 37 end the start, before any chip; 0 follows "烧写成功" and is already counted.
    // 4 comes from the id check, before the pass shows "烧写中...".
    if (code == ResultCode::WrongChip) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_passOpen = true;
        }
        finishPass(4);
    }
}

void BurnObserver::onDiagnostic(const QString &text)
{
    const int code = failureCodeForDiagnostic(text);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (code && m_passOpen && !m_failure)
        m_failure = code;
}

QString burnedChecksum()
{
    const QVector<Area> areas = enabledAreas();
    return areas.isEmpty() ? QString() : hex4(areaChecksum(areas.first()));
}

void BurnObserver::finishPass(int code)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_passOpen)
            return;
        m_passOpen = false;
        m_failure = 0;
    }
    const PassResult result{code, g_wChipId, burnedChecksum()};
    if (m_hook)
        m_hook(result);
    QMetaObject::invokeMethod(this, [this, result] { emit passFinished(result); }, Qt::QueuedConnection);
}
