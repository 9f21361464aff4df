#pragma once

#include "emulatorreplies.h"
#include "emulatorstate.h"

// The Link's own store (its external flash, 0xFF when erased): flash and BootLoader images with their sizes,
// EEPROM, an NVR image over the 16-bit NVR address space, and the settings records (rolling serial number,
// password, limit, handler machine, writer configuration) at fixed places.
namespace LinkStore {
// Places of the settings records in the settings area.
constexpr int kBinSizeAt = 0;
constexpr int kBootSizeAt = 4;
constexpr int kRollingAt = 8;
constexpr int kRollingBytes = 12;
constexpr int kPasswordAt = 20;
constexpr int kPasswordBytes = 61;
constexpr int kLimitAt = 81;
constexpr int kLimitBytes = 4;
constexpr int kAutoBurnerAt = 85;
constexpr int kAutoBurnerBytes = 12;
constexpr int kWriterCfgAt = 97;
constexpr int kWriterCfgBytes = 61;

bool handles(uint8_t code);
// Runs one store command; `changed` is set when the store may have changed.
EmulatorReplies::Reports execute(EmulatorState::StorePart &store, const uint8_t *frame, const QByteArray &data,
                                 bool *changed);
bool erased(const EmulatorState::StorePart &store);
} // namespace LinkStore
