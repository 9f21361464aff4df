#pragma once

#include <atomic>
#include <cstdint>

// Flags the window writes and the worker polls while a burn loop runs (0 or 1 each).
extern std::atomic<uint8_t> g_bBurnRunning;          // burn toggle on: burn_chip keeps waiting for a good chip
extern std::atomic<uint8_t> g_bBurnChipHandled;      // the chip in the socket was handled; wait for its removal
extern std::atomic<uint8_t> g_bAutoBurnRunning;      // auto-burn toggle on: auto_burn_chip keeps looping
extern std::atomic<uint8_t> g_bAutoBurnChipHandled;  // as above, for the auto-burn loop

// 1 from the start of a firmware upgrade until it succeeds (or could not take the device lock). While it is
// 1 the worker sends no firmware-version query: the Link may still sit in its IAP mode.
extern std::atomic<int> g_nFwUpgrading;
