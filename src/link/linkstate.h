#pragma once

#include <atomic>
#include <cstdint>

// Flags the window writes and the worker polls.
extern std::atomic<uint8_t> g_bI2CMode;     // target interface: 1 = I2C (initial), 0 = single-wire
extern std::atomic<uint8_t> g_bIapArrived;  // a Link in IAP mode has arrived

constexpr uint16_t LINK_VENDOR_ID = 0x1122;
constexpr uint16_t LINK_PRODUCT_ID = 0x3344;
