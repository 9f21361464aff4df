#include "emulatorreplies.h"

#include "link/linkcommands.h"

#include <algorithm>
#include <cstring>

namespace EmulatorReplies {

QByteArray answer(uint8_t status)
{
    QByteArray a(64, '\0');
    a[0] = char(status);
    return a;
}

QByteArray ack() { return answer(LinkCode::Ack); }

QByteArray refusedAt(uint8_t status, uint32_t position)
{
    QByteArray a = answer(status);
    a[1] = char((position + 1) & 0xFF);
    a[2] = char(((position + 1) >> 8) & 0xFF);
    return a;
}

Reports dataReports(const uint8_t *src, int length)
{
    Reports out;
    for (int at = 0; at < length; at += 64) {
        QByteArray r(64, char(0xFF));
        std::memcpy(r.data(), src + at, size_t(std::min(64, length - at)));
        out.push_back(r);
    }
    return out;
}

Reports readFrom(const std::vector<uint8_t> &mem, uint32_t limit, uint32_t address, uint32_t length)
{
    if (address + length > std::min<uint32_t>(limit, uint32_t(mem.size())))
        return {};
    return dataReports(mem.data() + address, int(length));
}

bool put(std::vector<uint8_t> &mem, uint32_t address, const QByteArray &data, bool program)
{
    if (address + uint32_t(data.size()) > mem.size())
        return false;
    for (int i = 0; i < data.size(); ++i) {
        const uint8_t b = uint8_t(data[i]);
        mem[address + i] = program ? uint8_t(mem[address + i] & b) : b;
    }
    return true;
}

QByteArray bytesOrErased(const std::vector<uint8_t> &mem, uint32_t size)
{
    return mem.empty() ? QByteArray(int(size), char(0xFF)) : bytesOf(mem);
}

QByteArray bytesOf(const std::vector<uint8_t> &mem, int at, int length)
{
    if (length < 0)
        length = int(mem.size()) - at;
    return QByteArray(reinterpret_cast<const char *>(mem.data() + at), length);
}

uint16_t sum(const std::vector<uint8_t> &mem, uint32_t start, uint32_t length)
{
    uint32_t total = 0;
    for (uint32_t i = start; i < start + length && i < mem.size(); ++i)
        total += mem[i];
    return uint16_t(total);
}

} // namespace EmulatorReplies
