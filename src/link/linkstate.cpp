#include "linkstate.h"

std::atomic<uint8_t> g_bI2CMode{1};
std::atomic<uint8_t> g_bIapArrived{0};
uint16_t g_wChipId = 0;
