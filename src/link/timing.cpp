#include "timing.h"

#include <QThread>

#include <atomic>
#include <mutex>

namespace {
std::atomic<double> s_scale{1.0};
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

void setLinkTimeScale(double scale) { s_scale.store(scale < 0 ? 0.0 : scale); }

double linkTimeScale() { return s_scale.load(); }

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
