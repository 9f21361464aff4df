#pragma once

#include <atomic>
#include <cstdint>

// Flags the window writes and the worker polls.
extern std::atomic<uint8_t> g_bI2CMode;     // target interface: 1 = I2C (initial), 0 = single-wire
extern std::atomic<uint8_t> g_bIapArrived;  // a Link in IAP mode has arrived

// Chip id the target answered to CheckID (the engine passes it to CheckID and compares it).
extern uint16_t g_wChipId;

constexpr uint16_t LINK_VENDOR_ID = 0x1122;
constexpr uint16_t LINK_PRODUCT_ID = 0x3344;

// Interface names of the Link as the hot-plug source reports them (the window matches substrings).
constexpr const char *LINK_INTERFACE_NAME = "USB#VID_1122&PID_3344#KVO_LINK0000";
constexpr const char *LINK_IAP_INTERFACE_NAME = "USB#VID_1122&PID_3344#KVO_LINK_IAP";
