#include "engineflags.h"

std::atomic<uint8_t> g_bBurnRunning{0};
std::atomic<uint8_t> g_bBurnChipHandled{0};
std::atomic<uint8_t> g_bAutoBurnRunning{0};
std::atomic<uint8_t> g_bAutoBurnChipHandled{0};
std::atomic<int> g_nFwUpgrading{0};
