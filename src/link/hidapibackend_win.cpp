#include "hidapibackend.h"

#include <hidapi.h>

int HidapiBackend::init() { return hid_init(); }
int HidapiBackend::exit() { return hid_exit(); }

std::vector<std::string> HidapiBackend::enumerate(uint16_t vendorId, uint16_t productId)
{
    std::vector<std::string> paths;
    hid_device_info *list = hid_enumerate(vendorId, productId);
    for (hid_device_info *d = list; d; d = d->next) {
        if (d->path)
            paths.emplace_back(d->path);
    }
    hid_free_enumeration(list);
    return paths;
}

HidHandle HidapiBackend::openPath(const char *path) { return hid_open_path(path); }

int HidapiBackend::write(HidHandle h, const uint8_t *data, size_t length)
{
    return hid_write(static_cast<hid_device *>(h), data, length);
}

int HidapiBackend::readTimeout(HidHandle h, uint8_t *data, size_t length, int milliseconds)
{
    return hid_read_timeout(static_cast<hid_device *>(h), data, length, milliseconds);
}

void HidapiBackend::close(HidHandle h) { hid_close(static_cast<hid_device *>(h)); }
