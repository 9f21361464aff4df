// The emulator's state-file loader. Bit 0 of the first byte seals the rest with a valid header (length and
// CRC), so the parts behind the checksum are reached as well as the header checks.
#include "fuzzsupport.h"
#include "emulator/emulatorstate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    const QByteArray file = (data[0] & 1) ? EmulatorStateFile::seal(rest, data[0]) : rest;
    EmulatorState state;
    uint64_t generation = 0;
    QString error;
    if (!EmulatorStateFile::decode(file, &state, &generation, &error)) {
        fuzzsupport::check(!error.isEmpty(), "a refusal says why");
        return 0;
    }
    const EmulatorState::ChipPart &chip = state.chip;
    fuzzsupport::check(chip.flash.size() == EmulatorSizes::kFlash && chip.written.size() == EmulatorSizes::kFlash
                           && chip.nvr.size() == EmulatorSizes::kNvr && chip.eeprom.size() == EmulatorSizes::kEeprom
                           && state.store.nvr.size() == EmulatorSizes::kStoreNvr
                           && state.store.settings.size() == EmulatorSizes::kSettings
                           && state.firmware.image.size() == EmulatorSizes::kFirmware,
                       "every memory keeps its size");
    fuzzsupport::check(state.firmware.end <= EmulatorSizes::kFirmware, "firmware end within the image");
    // What was read is written again and reads back the same.
    EmulatorState again;
    uint64_t generationAgain = 0;
    fuzzsupport::check(EmulatorStateFile::decode(EmulatorStateFile::encode(state, generation), &again, &generationAgain, &error),
                       "its own file reads back");
    fuzzsupport::check(again.chip.flash == chip.flash && again.chip.written == chip.written && again.chip.nvr == chip.nvr
                           && again.store.flash == state.store.flash && again.firmware.image == state.firmware.image
                           && again.firmware.end == state.firmware.end && again.socket.chipId == state.socket.chipId
                           && again.socket.present == state.socket.present && generationAgain == generation,
                       "round trip");
    return 0;
}
