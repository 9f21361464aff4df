#pragma once

#include "hidbackend.h"

// Forwards to hidapi (hidraw).
class HidapiBackend : public HidBackend
{
public:
    int init() override;
    int exit() override;
    std::vector<std::string> enumerate(uint16_t vendorId, uint16_t productId) override;
    HidHandle openPath(const char *path) override;
    int write(HidHandle h, const uint8_t *data, size_t length) override;
    int readTimeout(HidHandle h, uint8_t *data, size_t length, int milliseconds) override;
    void close(HidHandle h) override;
};
