#include "hidapibackend.h"

#include <hidapi.h>

#include <dlfcn.h>

// hidapi is loaded the first time a real Link is looked for. A run on the emulator, a conversion or a listing
// never needs it, and loading it with libudev behind it at every start would make each program start (a
// gang worker's too) pay for two libraries it does not use.
namespace {
struct Hidapi
{
    decltype(&hid_init) init = nullptr;
    decltype(&hid_exit) exit = nullptr;
    decltype(&hid_enumerate) enumerate = nullptr;
    decltype(&hid_free_enumeration) freeEnumeration = nullptr;
    decltype(&hid_open_path) openPath = nullptr;
    decltype(&hid_write) write = nullptr;
    decltype(&hid_read_timeout) readTimeout = nullptr;
    decltype(&hid_close) close = nullptr;
    bool ok = false;
};

template <typename F> bool bind(void *library, const char *name, F *f)
{
    *f = reinterpret_cast<F>(dlsym(library, name));
    return *f != nullptr;
}

// Loaded once, never unloaded; without the library every call fails as it does without a Link.
const Hidapi &hidapi()
{
    static const Hidapi api = [] {
        Hidapi a;
        void *library = dlopen("libhidapi-hidraw.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return a;
        a.ok = bind(library, "hid_init", &a.init) && bind(library, "hid_exit", &a.exit)
               && bind(library, "hid_enumerate", &a.enumerate)
               && bind(library, "hid_free_enumeration", &a.freeEnumeration)
               && bind(library, "hid_open_path", &a.openPath) && bind(library, "hid_write", &a.write)
               && bind(library, "hid_read_timeout", &a.readTimeout) && bind(library, "hid_close", &a.close);
        return a;
    }();
    return api;
}
} // namespace

int HidapiBackend::init() { return hidapi().ok ? hidapi().init() : -1; }
int HidapiBackend::exit() { return hidapi().ok ? hidapi().exit() : -1; }

std::vector<std::string> HidapiBackend::enumerate(uint16_t vendorId, uint16_t productId)
{
    std::vector<std::string> paths;
    if (!hidapi().ok)
        return paths;
    hid_device_info *list = hidapi().enumerate(vendorId, productId);
    for (hid_device_info *d = list; d; d = d->next) {
        if (d->path)
            paths.emplace_back(d->path);
    }
    hidapi().freeEnumeration(list);
    return paths;
}

HidHandle HidapiBackend::openPath(const char *path) { return hidapi().ok ? hidapi().openPath(path) : nullptr; }

int HidapiBackend::write(HidHandle h, const uint8_t *data, size_t length)
{
    return hidapi().ok ? hidapi().write(static_cast<hid_device *>(h), data, length) : -1;
}

int HidapiBackend::readTimeout(HidHandle h, uint8_t *data, size_t length, int milliseconds)
{
    return hidapi().ok ? hidapi().readTimeout(static_cast<hid_device *>(h), data, length, milliseconds) : -1;
}

void HidapiBackend::close(HidHandle h)
{
    if (hidapi().ok)
        hidapi().close(static_cast<hid_device *>(h));
}
