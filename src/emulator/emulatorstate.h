#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// Sizes of the emulated memories.
namespace EmulatorSizes {
constexpr uint32_t kFlash = 0x10000;         // chip flash, and the Link's stored flash image
constexpr uint32_t kSector = 512;
constexpr uint32_t kNvr = kSector * 16;       // chip NVR space
constexpr uint32_t kEeprom = 0x800;
constexpr uint32_t kStoreNvr = 0x10000;      // the Link's NVR image, over the 16-bit NVR address space
constexpr uint32_t kStoreBoot = 0x2000;
constexpr uint32_t kSettings = 158;          // the Link's settings records
constexpr uint32_t kFirmware = 204800;       // what the IAP loader can receive
} // namespace EmulatorSizes

// The memory map the program last sent with WriteToNvrInfomation.
struct EmulatorMemoryMap
{
    uint8_t bootSectors = 0;
    uint8_t nvr2Page = 0;
    uint8_t nvr2Sectors = 0;
    uint8_t nvr3Page = 0;
    uint8_t nvr3Sectors = 0;
    uint8_t flashSizeKB = 0;  // 0 = the whole 64 KiB
    uint8_t i2cMode = 1;
};

// The three 16-bit numbers GetFwVersion answers.
struct LinkFirmwareVersion
{
    uint16_t h = 1, m = 1, l = 0;
    bool operator==(const LinkFirmwareVersion &o) const { return h == o.h && m == o.m && l == o.l; }
    bool operator!=(const LinkFirmwareVersion &o) const { return !(*this == o); }
};

// Everything of an emulated Link that outlives a program run, in parts that change independently: what an
// operator does to the socket, what the program writes into the chip, into the Link's store, and the
// firmware the IAP loader installed.
struct EmulatorState
{
    // The socket's fields change independently (an operator removes the chip while a script sets its id), so
    // each is a part of its own: a save writes back only the fields its program changed.
    enum Part : unsigned {
        ChipPresence = 1,
        Chip = 2,
        Store = 4,
        Firmware = 8,
        SocketChipId = 16,
        LinkPlug = 32,
        Socket = ChipPresence | SocketChipId | LinkPlug,
        AllParts = 63
    };

    struct SocketPart {
        bool present = true;
        uint16_t chipId = 0x2610;
        bool linkConnected = true;  // false: the Link itself is pulled out of the computer
    } socket;
    struct ChipPart {
        std::vector<uint8_t> flash = std::vector<uint8_t>(EmulatorSizes::kFlash, 0xFF);
        std::vector<uint8_t> written = std::vector<uint8_t>(EmulatorSizes::kFlash, 0xFF);  // what was sent, for checkSum
        std::vector<uint8_t> nvr = std::vector<uint8_t>(EmulatorSizes::kNvr, 0xFF);
        std::vector<uint8_t> eeprom = std::vector<uint8_t>(EmulatorSizes::kEeprom, 0xFF);
        EmulatorMemoryMap map;
    } chip;
    // The images are empty, and read as erased (0xFF), until the program first talks to the store: only a
    // download or an upload does, and 138 KiB of fresh erased memory costs every emulating process a fault
    // per page.
    struct StorePart {
        std::vector<uint8_t> flash;       // EmulatorSizes::kFlash once materialized
        std::vector<uint8_t> bootLoader;  // kStoreBoot
        std::vector<uint8_t> eeprom;      // kEeprom
        std::vector<uint8_t> nvr;         // kStoreNvr
        std::vector<uint8_t> settings = std::vector<uint8_t>(EmulatorSizes::kSettings, 0xFF);
        // Gives every empty image its full size, erased.
        void materialize();
    } store;
    struct FirmwarePart {
        LinkFirmwareVersion version;
        // Empty until the IAP loader first writes, and read as erased (0xFF) while empty: most runs never
        // upgrade the Link, and 200 KiB of fresh erased memory costs every emulating process a fault per page.
        std::vector<uint8_t> image;
        uint32_t end = 0;  // one past the highest byte the IAP loader received; 0 while `image` is empty
        // The image at its full size, erased where never written.
        std::vector<uint8_t> &writableImage();
    } firmware;

    // Copies the parts named in `parts` from `other`.
    void adopt(const EmulatorState &other, unsigned parts);
};

// The state file: a header (magic, format, generation, length, CRC-32 of everything after the CRC) and the
// parts, each memory stored up to its last byte that is not 0xFF. The generation grows with every save to
// the folder, so a program sees from the header alone whether another one changed the folder.
namespace EmulatorStateFile {
constexpr qint64 kMaxSize = 1 << 20;  // larger than any state file can be
constexpr int kHeaderBytes = 28;       // magic 8, format 2, reserved 2, CRC 4, generation 8, body length 4
constexpr int kPeekBytes = kHeaderBytes + 1;  // the header and the socket byte: what the peeks below need
QByteArray encode(const EmulatorState &state, uint64_t generation);
// The header for `body` (the parts as encode lays them out): a whole file around any body.
QByteArray seal(const QByteArray &body, uint64_t generation);
// The generation in the header of `bytes`, without checking the rest: false when it is no state file at all.
bool peekGeneration(const QByteArray &bytes, uint64_t *generation);
// Whether the Link is plugged in, from the start of a file alone (kPeekBytes of it); false when that is no
// state file's start.
bool peekLinkConnected(const QByteArray &bytes, bool *connected);
// False with the reason when `bytes` is not a whole, undamaged state file; `state` is then untouched.
bool decode(const QByteArray &bytes, EmulatorState *state, uint64_t *generation, QString *error);
} // namespace EmulatorStateFile
