#include "emulatorstate.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>

namespace {
constexpr char kMagic[8] = {'T', 'Q', 'E', 'M', 'U', 'S', 'T', 'A'};
constexpr uint16_t kFormat = 1;
constexpr int kCrcAt = 12;
constexpr int kHeaderBytes = EmulatorStateFile::kHeaderBytes;
constexpr uint8_t kLinkPulledOut = 2;  // in the socket byte, the first of the body

// CRC-32 (the zlib polynomial) eight bytes at a time, one table per byte position: a start and a save each
// check or seal the whole file, which holds the chip's flash and what was written into it.
const std::array<std::array<uint32_t, 256>, 8> &crcTables()
{
    static const auto tables = [] {
        std::array<std::array<uint32_t, 256>, 8> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (size_t s = 1; s < 8; ++s)
                t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
        return t;
    }();
    return tables;
}

uint32_t crc32(const char *data, int size)
{
    const auto &t = crcTables();
    const auto *p = reinterpret_cast<const uint8_t *>(data);
    uint32_t c = 0xFFFFFFFFu;
    for (; size >= 8; size -= 8, p += 8) {
        const uint32_t lo = c ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        const uint32_t hi = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF]
            ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    for (; size > 0; --size, ++p)
        c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// The length of `mem` up to its last byte that is not 0xFF. Eight bytes at a time: every save looks through
// half a megabyte of mostly blank memories.
uint32_t usedLength(const uint8_t *mem, uint32_t n)
{
    for (uint64_t word; n >= 8; n -= 8) {
        std::memcpy(&word, mem + n - 8, 8);
        if (word != ~uint64_t(0))
            break;
    }
    while (n > 0 && mem[n - 1] == 0xFF)
        --n;
    return n;
}

// What a save stores of a memory: its first `limit` bytes up to the last that is not 0xFF.
uint32_t usedStored(const std::vector<uint8_t> &mem, uint32_t limit)
{
    return usedLength(mem.data(), uint32_t(std::min<size_t>(limit, mem.size())));
}

class Writer
{
public:
    void u8(uint8_t v) { m_out.append(char(v)); }
    void u16(uint16_t v) { raw(&v, 2); }
    void u32(uint32_t v) { raw(&v, 4); }
    void u64(uint64_t v) { raw(&v, 8); }
    // A memory's first `used` bytes (usedStored above); the rest reads back as 0xFF.
    void memory(const std::vector<uint8_t> &mem, uint32_t used)
    {
        u32(used);
        m_out.append(reinterpret_cast<const char *>(mem.data()), int(used));
    }
    QByteArray &bytes() { return m_out; }

private:
    template <typename T> void raw(const T *v, int n)
    {
        const T le = qToLittleEndian(*v);
        m_out.append(reinterpret_cast<const char *>(&le), n);
    }
    QByteArray m_out;
};

class Reader
{
public:
    Reader(const QByteArray &in, int at) : m_in(in), m_at(at) {}
    bool u8(uint8_t *v) { return raw(v); }
    bool u16(uint16_t *v) { return raw(v); }
    bool u32(uint32_t *v) { return raw(v); }
    bool u64(uint64_t *v) { return raw(v); }
    // Into a memory of `size` bytes; at most `limit` bytes may be stored. Without `mem` only checks that
    // it fits and steps over it.
    bool memory(std::vector<uint8_t> *mem, size_t size, uint32_t limit)
    {
        uint32_t used = 0;
        if (!u32(&used) || used > limit || used > size || used > uint32_t(m_in.size() - m_at))
            return false;
        if (mem && mem->empty() && used > 0)
            mem->assign(size, 0xFF);  // a memory kept empty while erased (the store, the firmware)
        if (mem && used > mem->size())
            return false;
        if (mem && !mem->empty()) {
            std::memcpy(mem->data(), m_in.constData() + m_at, used);
            std::fill(mem->begin() + used, mem->end(), 0xFF);
        }
        m_at += int(used);
        return true;
    }
    bool atEnd() const { return m_at == m_in.size(); }

private:
    template <typename T> bool raw(T *v)
    {
        if (m_in.size() - m_at < int(sizeof(T)))
            return false;
        *v = qFromLittleEndian<T>(m_in.constData() + m_at);
        m_at += int(sizeof(T));
        return true;
    }
    const QByteArray &m_in;
    int m_at;
};
} // namespace

namespace {
void sizeErased(std::vector<uint8_t> &mem, uint32_t size)
{
    if (mem.empty())
        mem.assign(size, 0xFF);
}
} // namespace

void EmulatorState::StorePart::materialize()
{
    sizeErased(flash, EmulatorSizes::kFlash);
    sizeErased(bootLoader, EmulatorSizes::kStoreBoot);
    sizeErased(eeprom, EmulatorSizes::kEeprom);
    sizeErased(nvr, EmulatorSizes::kStoreNvr);
}

std::vector<uint8_t> &EmulatorState::FirmwarePart::writableImage()
{
    sizeErased(image, EmulatorSizes::kFirmware);
    return image;
}

void EmulatorState::adopt(const EmulatorState &other, unsigned parts)
{
    if (parts & ChipPresence)
        socket.present = other.socket.present;
    if (parts & SocketChipId)
        socket.chipId = other.socket.chipId;
    if (parts & LinkPlug)
        socket.linkConnected = other.socket.linkConnected;
    if (parts & Chip)
        chip = other.chip;
    if (parts & Store)
        store = other.store;
    if (parts & Firmware)
        firmware = other.firmware;
}

namespace {
// Room for the header before the parts: sealed in place below, so the file is built in one buffer.
void headerRoom(QByteArray &out) { out.append(kHeaderBytes, '\0'); }

// Writes the header over the room headerRoom left, for the body behind it.
void sealInPlace(QByteArray &out, uint64_t generation)
{
    Writer head;
    head.bytes().reserve(kHeaderBytes);
    head.bytes().append(kMagic, sizeof kMagic);
    head.u16(kFormat);
    head.u16(0);
    head.u32(0);  // CRC, filled in below
    head.u64(generation);
    head.u32(uint32_t(out.size() - kHeaderBytes));
    std::memcpy(out.data(), head.bytes().constData(), kHeaderBytes);
    const uint32_t crc = qToLittleEndian(crc32(out.constData() + kCrcAt + 4, out.size() - kCrcAt - 4));
    std::memcpy(out.data() + kCrcAt, &crc, 4);
}
} // namespace

QByteArray EmulatorStateFile::encode(const EmulatorState &s, uint64_t generation)
{
    const std::vector<uint8_t> *memories[] = {&s.chip.flash, &s.chip.written, &s.chip.nvr, &s.chip.eeprom,
                                              &s.store.flash, &s.store.bootLoader, &s.store.eeprom, &s.store.nvr,
                                              &s.store.settings};
    constexpr int kMemories = int(sizeof memories / sizeof memories[0]);
    uint32_t used[kMemories];
    const uint32_t firmwareUsed = usedStored(s.firmware.image, s.firmware.end);
    // The file's whole size first: a buffer that grew as it was filled would copy the memories into fresh
    // pages again and again, and fresh pages are what a save mostly costs.
    int size = kHeaderBytes + 1 + 2 + 7 + 3 * 2 + 4 + 4 + int(firmwareUsed);
    for (int i = 0; i < kMemories; ++i) {
        used[i] = usedStored(*memories[i], uint32_t(memories[i]->size()));
        size += 4 + int(used[i]);
    }
    Writer body;
    body.bytes().reserve(size);
    headerRoom(body.bytes());
    // Bit 0: a chip in the socket; bit 1: the Link pulled out (older folders never set it).
    body.u8(uint8_t((s.socket.present ? 1 : 0) | (s.socket.linkConnected ? 0 : kLinkPulledOut)));
    body.u16(s.socket.chipId);
    const EmulatorMemoryMap &m = s.chip.map;
    for (uint8_t b : {m.bootSectors, m.nvr2Page, m.nvr2Sectors, m.nvr3Page, m.nvr3Sectors, m.flashSizeKB, m.i2cMode})
        body.u8(b);
    for (int i = 0; i < kMemories; ++i)
        body.memory(*memories[i], used[i]);
    body.u16(s.firmware.version.h);
    body.u16(s.firmware.version.m);
    body.u16(s.firmware.version.l);
    body.u32(s.firmware.end);
    body.memory(s.firmware.image, firmwareUsed);
    Q_ASSERT(body.bytes().size() == size);
    sealInPlace(body.bytes(), generation);
    return body.bytes();
}

QByteArray EmulatorStateFile::seal(const QByteArray &body, uint64_t generation)
{
    QByteArray out;
    out.reserve(kHeaderBytes + body.size());
    headerRoom(out);
    out.append(body);
    sealInPlace(out, generation);
    return out;
}

bool EmulatorStateFile::peekGeneration(const QByteArray &bytes, uint64_t *generation)
{
    if (bytes.size() < kHeaderBytes || std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return false;
    Reader head(bytes, sizeof kMagic);
    uint16_t format = 0, reserved = 0;
    uint32_t crc = 0;
    head.u16(&format);
    head.u16(&reserved);
    head.u32(&crc);
    head.u64(generation);
    return format == kFormat;
}

bool EmulatorStateFile::peekLinkConnected(const QByteArray &bytes, bool *connected)
{
    uint64_t generation = 0;
    if (bytes.size() < kPeekBytes || !peekGeneration(bytes, &generation))
        return false;
    *connected = (uint8_t(bytes.at(kHeaderBytes)) & kLinkPulledOut) == 0;
    return true;
}

namespace {
// The body of a sealed file into `s`, or with `s` null only the check that its parts fit together.
bool readParts(const QByteArray &bytes, EmulatorState *s)
{
    Reader body(bytes, kHeaderBytes);
    uint8_t present = 0;
    uint16_t chipId = 0;
    uint8_t map[7] = {};
    bool ok = body.u8(&present) && present <= 3 && body.u16(&chipId);
    for (uint8_t &b : map)
        ok = ok && body.u8(&b);
    using Sizes = std::pair<std::vector<uint8_t> *, size_t>;
    const Sizes memories[] = {
        {s ? &s->chip.flash : nullptr, EmulatorSizes::kFlash},      {s ? &s->chip.written : nullptr, EmulatorSizes::kFlash},
        {s ? &s->chip.nvr : nullptr, EmulatorSizes::kNvr},          {s ? &s->chip.eeprom : nullptr, EmulatorSizes::kEeprom},
        {s ? &s->store.flash : nullptr, EmulatorSizes::kFlash},     {s ? &s->store.bootLoader : nullptr, EmulatorSizes::kStoreBoot},
        {s ? &s->store.eeprom : nullptr, EmulatorSizes::kEeprom},   {s ? &s->store.nvr : nullptr, EmulatorSizes::kStoreNvr},
        {s ? &s->store.settings : nullptr, EmulatorSizes::kSettings}};
    for (const auto &[mem, size] : memories)
        ok = ok && body.memory(mem, size, uint32_t(size));
    LinkFirmwareVersion version;
    uint32_t end = 0;
    ok = ok && body.u16(&version.h) && body.u16(&version.m) && body.u16(&version.l) && body.u32(&end)
         && end <= EmulatorSizes::kFirmware
         && body.memory(s ? &s->firmware.image : nullptr, EmulatorSizes::kFirmware, end) && body.atEnd();
    if (!ok || !s)
        return ok;
    s->socket.present = (present & 1) != 0;
    s->socket.chipId = chipId;
    s->socket.linkConnected = (present & 2) == 0;
    s->chip.map = {map[0], map[1], map[2], map[3], map[4], map[5], map[6]};
    s->firmware.version = version;
    s->firmware.end = end;
    return true;
}
} // namespace

bool EmulatorStateFile::decode(const QByteArray &bytes, EmulatorState *state, uint64_t *generation, QString *error)
{
    auto damaged = [error](const QString &why) {
        *error = why;
        return false;
    };
    if (bytes.size() < kHeaderBytes || std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return damaged(QStringLiteral("not an emulator state file"));
    Reader head(bytes, sizeof kMagic);
    uint16_t format = 0, reserved = 0;
    uint32_t crc = 0, length = 0;
    uint64_t gen = 0;
    head.u16(&format);
    head.u16(&reserved);
    head.u32(&crc);
    head.u64(&gen);
    head.u32(&length);
    if (format != kFormat)
        return damaged(QStringLiteral("state file format %1, this program reads %2").arg(format).arg(kFormat));
    if (length != uint32_t(bytes.size() - kHeaderBytes))
        return damaged(QStringLiteral("truncated: %1 of %2 bytes").arg(bytes.size() - kHeaderBytes).arg(length));
    if (crc != crc32(bytes.constData() + kCrcAt + 4, bytes.size() - kCrcAt - 4))
        return damaged(QStringLiteral("checksum mismatch"));

    // The parts are checked to fit together before `state` is written, so a damaged file leaves it untouched
    // without a second state built beside it (half a megabyte of fresh memory at every start).
    if (!readParts(bytes, nullptr))
        return damaged(QStringLiteral("its parts do not fit together"));
    readParts(bytes, state);
    *generation = gen;
    return true;
}
