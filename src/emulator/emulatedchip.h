#pragma once

#include <vector>

#include "emulatorreplies.h"
#include "emulatorstate.h"

// The chip in the Link's socket: 64 KiB flash (programming clears bits, erase sets 0xFF), an NVR space of
// 16 sectors × 512 bytes, 2 KiB EEPROM, and the memory map the program last sent. getChipCheckSum sums:
// flash over the mapped size, EEPROM over 2 KiB, NVR1 over the first sector, NVR2/NVR3 over their mapped
// pages, BootLoader over the mapped boot sectors.
namespace EmulatedChip {
// Whether `code` is a chip command (answered "no chip" while the socket is empty).
bool isChipCommand(uint8_t code);
bool isBlockRead(uint8_t code);
// Whether `code` is answered here (the chip commands and WriteToNvrInfomation).
bool handles(uint8_t code);
// Runs one chip command; `changed` is set when the chip's memory or map may have changed.
// The socket says whether a chip answers, and with which id.
EmulatorReplies::Reports execute(EmulatorState::ChipPart &chip, const EmulatorState::SocketPart &socket,
                                 const uint8_t *frame, const QByteArray &data, bool *changed);
uint32_t flashLimit(const EmulatorMemoryMap &map);
// The chip's NVR as a read answers it: an unwritten clock trim of the factory-parameter sector reads as
// the factory's 24 MHz.
std::vector<uint8_t> nvrAsRead(const std::vector<uint8_t> &nvr);

} // namespace EmulatedChip
