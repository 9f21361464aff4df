#include "emulatedchip.h"

#include "link/linkcommands.h"
#include "link/linkframe.h"

#include <algorithm>
#include <cstring>

using namespace EmulatorReplies;
using EmulatorSizes::kSector;

namespace EmulatedChip {

namespace {
// The clock trim of the factory-parameter sector (NVR3, page 15, offset 0x11, kHz, low byte first) is set at
// the factory: a chip whose trim was never written reads 24 MHz, as a real chip from the reel would.
constexpr uint32_t kClockTrimAt = 14 * kSector + 0x11;
constexpr uint16_t kFactoryClockKHz = 24000;

}

bool isBlockRead(uint8_t code)
{
    switch (code) {
    case LinkCode::ReadFlashChip: case LinkCode::ReadFlashLink: case LinkCode::ReadBootLoaderChip:
    case LinkCode::ReadBootLoaderLink: case LinkCode::ReadNvrChip: case LinkCode::ReadNvrLink:
    case LinkCode::ReadEepromChip: case LinkCode::ReadEepromLink:
        return true;
    default:
        return false;
    }
}

bool isChipCommand(uint8_t code)
{
    switch (code) {
    case LinkCode::InitProgrammer: case LinkCode::CheckID: case LinkCode::EraseFlash: case LinkCode::checkSum:
    case LinkCode::EraseNVRBootLoader: case LinkCode::EraseNVR: case LinkCode::EraseEep:
    case LinkCode::getChipCheckSum: case LinkCode::WriteFlashChip: case LinkCode::WriteBootLoaderChip:
    case LinkCode::WriteNvrChip: case LinkCode::ReadFlashChip: case LinkCode::ReadBootLoaderChip:
    case LinkCode::ReadNvrChip: case LinkCode::ReadEepromChip:
        return true;
    default:
        return false;
    }
}

bool handles(uint8_t code)
{
    return isChipCommand(code) || code == LinkCode::ExitProgrammer || code == LinkCode::WriteToNvrInfomation;
}

uint32_t flashLimit(const EmulatorMemoryMap &map)
{
    return map.flashSizeKB == 0 ? EmulatorSizes::kFlash
                                : std::min<uint32_t>(map.flashSizeKB * 1024u, EmulatorSizes::kFlash);
}

std::vector<uint8_t> nvrAsRead(const std::vector<uint8_t> &nvr)
{
    std::vector<uint8_t> bytes = nvr;
    if (bytes.size() >= kClockTrimAt + 2 && bytes[kClockTrimAt] == 0xFF && bytes[kClockTrimAt + 1] == 0xFF) {
        bytes[kClockTrimAt] = uint8_t(kFactoryClockKHz & 0xFF);
        bytes[kClockTrimAt + 1] = uint8_t(kFactoryClockKHz >> 8);
    }
    return bytes;
}

namespace {

Reports readNvr(const EmulatorState::ChipPart &chip, uint32_t address, uint32_t length)
{
    if (address + length > EmulatorSizes::kNvr)
        return {};
    const std::vector<uint8_t> nvr = nvrAsRead(chip.nvr);
    return dataReports(nvr.data() + address, int(length));
}

Reports checkSumAnswer(const EmulatorState::ChipPart &chip, uint16_t address, uint16_t length)
{
    const uint32_t end = std::min<uint32_t>(uint32_t(address) + length, EmulatorSizes::kFlash);
    for (uint32_t i = address; i < end; ++i) {
        if (chip.flash[i] != chip.written[i]) {
            QByteArray a = refusedAt(kRefusedStatus, i);
            const uint16_t onChip = sum(chip.flash, address, end - address);
            const uint16_t sent = sum(chip.written, address, end - address);
            a[3] = char(onChip >> 8);
            a[4] = char(onChip & 0xFF);
            a[5] = char(sent >> 8);
            a[6] = char(sent & 0xFF);
            return {a};
        }
    }
    return {ack()};
}

Reports chipCheckSums(const EmulatorState::ChipPart &chip, uint32_t mask)
{
    const EmulatorMemoryMap &m = chip.map;
    auto page = [](uint8_t p) { return p == 0 ? 0u : (p - 1u) * kSector; };
    const uint16_t sums[6] = {
        sum(chip.flash, 0, flashLimit(m)),
        sum(chip.eeprom, 0, EmulatorSizes::kEeprom),
        sum(chip.nvr, 0, kSector),
        sum(chip.nvr, page(m.nvr2Page), m.nvr2Sectors * kSector),
        sum(chip.nvr, page(m.nvr3Page), m.nvr3Sectors * kSector),
        sum(chip.nvr, 0, m.bootSectors * kSector),
    };
    const uint32_t bits[6] = {0x001, 0x002, 0x004, 0x008, 0x010, 0x100};
    QByteArray a = ack();
    for (int i = 0; i < 6; ++i) {
        if (mask & bits[i]) {
            a[4 + 2 * i] = char(sums[i] & 0xFF);
            a[5 + 2 * i] = char(sums[i] >> 8);
        }
    }
    return {a};
}
} // namespace

Reports execute(EmulatorState::ChipPart &chip, const EmulatorState::SocketPart &socket, const uint8_t *f,
                const QByteArray &data, bool *changed)
{
    const uint8_t code = f[2];
    const uint16_t address = get16(f + 3);
    const uint16_t length = get16(f + 5);
    if (isChipCommand(code) && !socket.present)
        return {isBlockRead(code) ? QByteArray(64, char(0x15)) : answer(kNoChipStatus)};
    auto okOrRefused = [&](bool ok) { return Reports{ok ? ack() : refusedAt(kRefusedStatus, address)}; };
    switch (code) {
    case LinkCode::InitProgrammer:
    case LinkCode::ExitProgrammer:
        return {ack()};
    case LinkCode::CheckID: {
        QByteArray a = ack();
        a[1] = char(socket.chipId & 0xFF);
        a[2] = char(socket.chipId >> 8);
        return {a};
    }
    default:
        break;
    }
    *changed = true;
    switch (code) {
    case LinkCode::EraseFlash:
        std::fill(chip.flash.begin(), chip.flash.end(), 0xFF);
        std::fill(chip.written.begin(), chip.written.end(), 0xFF);
        return {ack()};
    case LinkCode::WriteFlashChip:
        if (uint32_t(address) + data.size() > flashLimit(chip.map))
            return {refusedAt(kRefusedStatus, address)};
        put(chip.flash, address, data, true);
        put(chip.written, address, data);
        return {ack()};
    case LinkCode::EraseNVRBootLoader: {
        const uint32_t bytes = std::min<uint32_t>(length * kSector, EmulatorSizes::kNvr);
        std::fill(chip.nvr.begin(), chip.nvr.begin() + bytes, 0xFF);
        return {ack()};
    }
    case LinkCode::WriteBootLoaderChip:
        return okOrRefused(uint32_t(address) + data.size() <= chip.map.bootSectors * kSector
                           && put(chip.nvr, address, data, true));
    case LinkCode::EraseNVR:
        if (uint32_t(address) + length > EmulatorSizes::kNvr)
            return {refusedAt(kRefusedStatus, address)};
        std::fill(chip.nvr.begin() + address, chip.nvr.begin() + address + length, 0xFF);
        return {ack()};
    case LinkCode::WriteNvrChip:
        return okOrRefused(put(chip.nvr, address, data, true));
    case LinkCode::EraseEep:
        std::fill(chip.eeprom.begin(), chip.eeprom.end(), 0xFF);
        return {ack()};
    case LinkCode::WriteToNvrInfomation: {
        // Every operation sends the map; only a different one is a change worth saving.
        const EmulatorMemoryMap map{f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
        *changed = std::memcmp(&map, &chip.map, sizeof map) != 0;
        chip.map = map;
        return {ack()};
    }
    default:
        break;
    }
    *changed = false;
    switch (code) {
    case LinkCode::checkSum:
        return checkSumAnswer(chip, address, length);
    case LinkCode::ReadFlashChip:
        return readFrom(chip.flash, flashLimit(chip.map), address, length);
    case LinkCode::ReadBootLoaderChip:
        return readFrom(chip.nvr, chip.map.bootSectors * kSector, address, length);
    case LinkCode::ReadNvrChip:
        return readNvr(chip, address, length);
    case LinkCode::ReadEepromChip:
        return readFrom(chip.eeprom, EmulatorSizes::kEeprom, address, length);
    case LinkCode::getChipCheckSum:
        return chipCheckSums(chip, get32(f + 3));
    default:
        return {answer(kRefusedStatus)};
    }
}

} // namespace EmulatedChip
