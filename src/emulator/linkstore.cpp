#include "linkstore.h"

#include "link/linkcommands.h"
#include "link/linkframe.h"

#include <algorithm>

using namespace EmulatorReplies;

namespace LinkStore {

namespace {
struct Record {
    uint8_t write, read;  // read 0: the record cannot be read back
    int at, bytes;
};
const Record kRecords[] = {
    {LinkCode::WriteToRolling, LinkCode::ReadFromRolling, kRollingAt, kRollingBytes},
    {LinkCode::WriteToAotoBurner, LinkCode::ReadFromAotoBurner, kAutoBurnerAt, kAutoBurnerBytes},
    {LinkCode::WriteToLimit, LinkCode::ReadFromLimit, kLimitAt, kLimitBytes},
    {LinkCode::WriteToPassword, 0, kPasswordAt, kPasswordBytes},
    {LinkCode::WriteToWriterCfg, LinkCode::ReadFromWriterCfg, kWriterCfgAt, kWriterCfgBytes},
};

const Record *recordFor(uint8_t code)
{
    for (const Record &r : kRecords)
        if (r.write == code || (r.read != 0 && r.read == code))
            return &r;
    return nullptr;
}

// The stored project was sent with upload protection (bit 9 of the writer configuration's flag word): the
// Link then gives nothing of it back. An erased configuration (all 0xFF) is no project at all.
bool uploadProtected(const EmulatorState::StorePart &store)
{
    const auto flags = store.settings.begin() + kWriterCfgAt;
    const bool erased = std::all_of(flags, flags + 4, [](uint8_t b) { return b == 0xFF; });
    return !erased && (flags[1] & 0x02) != 0;
}

bool readsStore(uint8_t code)
{
    switch (code) {
    case LinkCode::ReadFromRolling: case LinkCode::ReadFromAotoBurner: case LinkCode::ReadFromLimit:
    case LinkCode::ReadFromWriterCfg: case LinkCode::ReadFlashLink: case LinkCode::GetBinSize:
    case LinkCode::ReadBootLoaderLink: case LinkCode::GetNVRBootLoaderSize: case LinkCode::ReadEepromLink:
    case LinkCode::ReadNvrLink:
        return true;
    default:
        return false;
    }
}

// A size record: ACK with the stored bytes from byte 5.
Reports sizeAnswer(const EmulatorState::StorePart &store, int at, int bytes)
{
    QByteArray a = ack();
    std::copy(store.settings.begin() + at, store.settings.begin() + at + bytes, a.begin() + 5);
    return {a};
}
} // namespace

bool handles(uint8_t code)
{
    switch (code) {
    case LinkCode::WriteFlashLink: case LinkCode::ReadFlashLink: case LinkCode::SendBinSize: case LinkCode::GetBinSize:
    case LinkCode::WriteBootLoaderLink: case LinkCode::ReadBootLoaderLink: case LinkCode::SendNVRBootLoaderSize:
    case LinkCode::GetNVRBootLoaderSize: case LinkCode::WriteEepromLink: case LinkCode::ReadEepromLink:
    case LinkCode::WriteNvrLink: case LinkCode::ReadNvrLink: case LinkCode::EraseExFalshDate:
        return true;
    default:
        return recordFor(code) != nullptr;
    }
}

Reports execute(EmulatorState::StorePart &store, const uint8_t *f, const QByteArray &data, bool *changed)
{
    const uint8_t code = f[2];
    const uint16_t address = get16(f + 3);
    const uint16_t length = get16(f + 5);
    auto okOrRefused = [&](bool ok) { return Reports{ok ? ack() : refusedAt(kRefusedStatus, address)}; };
    if (readsStore(code) && uploadProtected(store))
        return {answer(kProtectedStatus)};
    if (const Record *r = recordFor(code)) {
        if (code == r->write) {
            *changed = true;
            std::copy(f + 3, f + 3 + r->bytes, store.settings.begin() + r->at);
            return {ack()};
        }
        QByteArray a = ack();
        std::copy(store.settings.begin() + r->at, store.settings.begin() + r->at + r->bytes, a.begin() + 3);
        return {a};
    }
    switch (code) {
    case LinkCode::ReadFlashLink:
        return readFrom(store.flash, EmulatorSizes::kFlash, address, length);
    case LinkCode::GetBinSize:
        return sizeAnswer(store, kBinSizeAt, 4);
    case LinkCode::ReadBootLoaderLink:
        return readFrom(store.bootLoader, EmulatorSizes::kStoreBoot, address, length);
    case LinkCode::GetNVRBootLoaderSize:
        return sizeAnswer(store, kBootSizeAt, 2);
    case LinkCode::ReadEepromLink:
        return readFrom(store.eeprom, EmulatorSizes::kEeprom, address, length);
    case LinkCode::ReadNvrLink:
        return readFrom(store.nvr, EmulatorSizes::kStoreNvr, address, length);
    default:
        break;
    }
    *changed = true;
    switch (code) {
    case LinkCode::WriteFlashLink:
        return okOrRefused(put(store.flash, address, data));
    case LinkCode::SendBinSize:
        std::copy(f + 5, f + 9, store.settings.begin() + kBinSizeAt);
        return {ack()};
    case LinkCode::WriteBootLoaderLink:
        return okOrRefused(put(store.bootLoader, address, data));
    case LinkCode::SendNVRBootLoaderSize:
        std::copy(f + 5, f + 7, store.settings.begin() + kBootSizeAt);
        return {ack()};
    case LinkCode::WriteEepromLink:
        return okOrRefused(put(store.eeprom, address, data));
    case LinkCode::WriteNvrLink:
        return okOrRefused(put(store.nvr, address, data));
    case LinkCode::EraseExFalshDate:
        // The first frame of the sweep wipes the whole store; the Link answers each frame.
        if (address == 0) {
            for (std::vector<uint8_t> *m : {&store.flash, &store.bootLoader, &store.eeprom, &store.nvr, &store.settings})
                std::fill(m->begin(), m->end(), 0xFF);
        }
        return {ack()};
    default:
        *changed = false;
        return {answer(kRefusedStatus)};
    }
}

bool erased(const EmulatorState::StorePart &store)
{
    auto blank = [](const std::vector<uint8_t> &m) {
        return std::all_of(m.begin(), m.end(), [](uint8_t b) { return b == 0xFF; });
    };
    return blank(store.flash) && blank(store.bootLoader) && blank(store.eeprom) && blank(store.nvr)
           && blank(store.settings);
}

} // namespace LinkStore
