#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The seam below the transport: hidapi on a real machine, the Link emulator in tests and --emulate.
// Handles are opaque to the transport.
using HidHandle = void *;

class HidBackend
{
public:
    virtual ~HidBackend() = default;

    virtual int init() = 0;
    virtual int exit() = 0;
    // Device paths of every interface with this vendor and product id, in enumeration order.
    virtual std::vector<std::string> enumerate(uint16_t vendorId, uint16_t productId) = 0;
    virtual HidHandle openPath(const char *path) = 0;           // nullptr on failure
    virtual int write(HidHandle h, const uint8_t *data, size_t length) = 0;  // bytes written or -1
    // Bytes read into `data` (at most `length`), 0 on time-out, -1 on error.
    virtual int readTimeout(HidHandle h, uint8_t *data, size_t length, int milliseconds) = 0;
    virtual void close(HidHandle h) = 0;
    // The lock an operation holds around its whole command sequence, so that two programs never drive one
    // Link at once. Never waits; a hold of this backend's own is dropped first. By default the machine-wide
    // device lock that every real Link shares; an emulated Link has its own.
    virtual bool lock();
    virtual void unlock();
};

// The process-wide backend; hidapi unless a test or --emulate installed another one.
HidBackend &hidBackend();
// Installs `backend` (not owned; nullptr brings hidapi back).
void setHidBackend(HidBackend *backend);

// The installed backend's lock (see HidBackend::lock), as the operations take and release it.
bool lockLink();
void unlockLink();
