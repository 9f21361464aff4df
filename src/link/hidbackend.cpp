#include "hidbackend.h"

#include "devicelock.h"
#include "hidapibackend.h"

#include <atomic>

namespace {
std::atomic<HidBackend *> s_installed{nullptr};
}

HidBackend &hidBackend()
{
    static HidapiBackend hidapi;
    HidBackend *b = s_installed.load();
    return b ? *b : hidapi;
}

void setHidBackend(HidBackend *backend) { s_installed.store(backend); }

bool HidBackend::lock() { return getmutex(); }

void HidBackend::unlock() { releaseMutex(); }

bool lockLink() { return hidBackend().lock(); }

void unlockLink() { hidBackend().unlock(); }
