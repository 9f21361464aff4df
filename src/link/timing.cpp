#include "timing.h"

#include <QThread>

#include <atomic>
#include <mutex>

namespace {
std::atomic<double> s_scale{1.0};
std::atomic<double> s_graceScale{1.0};
std::mutex s_hookMutex;
std::function<void(int)> s_hook;
const void *s_hookOwner = nullptr;
}

void linkSleepMs(int ms)
{
    std::function<void(int)> hook;
    {
        std::lock_guard<std::mutex> lock(s_hookMutex);
        hook = s_hook;
    }
    if (hook)
        hook(ms);
    const long scaled = static_cast<long>(ms * s_scale.load());
    if (scaled > 0)
        QThread::msleep(static_cast<unsigned long>(scaled));
}

void linkPollMs(int ms)
{
    const double scale = s_scale.load();
    linkSleepMs(ms);
    // What the scale left of the pause was slept above; a scaled-down pause is topped up to the floor.
    const long slept = static_cast<long>(ms * scale);
    if (scale < 1.0 && slept < kMinPollSleepMs)
        QThread::msleep(static_cast<unsigned long>(kMinPollSleepMs - slept));
}

void linkGracePollMs(int ms)
{
    const double scale = s_scale.load();
    linkPollMs(ms);
    long slept = static_cast<long>(ms * scale);
    if (scale < 1.0 && slept < kMinPollSleepMs)
        slept = kMinPollSleepMs;
    const long grace = static_cast<long>(ms * s_graceScale.load());
    if (grace > slept)
        QThread::msleep(static_cast<unsigned long>(grace - slept));
}

void setLinkTimeScale(double scale) { s_scale.store(scale < 0 ? 0.0 : scale); }

double linkTimeScale() { return s_scale.load(); }

void setLinkGraceScale(double scale) { s_graceScale.store(scale < 0 ? 0.0 : scale); }

double linkGraceScale() { return s_graceScale.load(); }

void setLinkSleepHook(std::function<void(int ms)> hook, const void *owner)
{
    std::lock_guard<std::mutex> lock(s_hookMutex);
    s_hook = std::move(hook);
    s_hookOwner = s_hook ? owner : nullptr;
}

void clearLinkSleepHook(const void *owner)
{
    std::lock_guard<std::mutex> lock(s_hookMutex);
    if (owner && s_hookOwner == owner) {
        s_hook = nullptr;
        s_hookOwner = nullptr;
    }
}
