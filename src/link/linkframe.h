#pragma once

#include <cstdint>
#include <cstring>

// The Link's 64-byte command frame: 0x02, 0xFD, code, then fields (little-endian unless noted).
struct LinkFrame
{
    static constexpr int kSize = 64;
    uint8_t bytes[kSize];

    explicit LinkFrame(uint8_t code)
    {
        std::memset(bytes, 0, sizeof bytes);
        bytes[0] = 0x02;
        bytes[1] = 0xFD;
        bytes[2] = code;
    }
    void put16(int at, uint32_t v)
    {
        bytes[at] = uint8_t(v);
        bytes[at + 1] = uint8_t(v >> 8);
    }
    void put32(int at, uint32_t v)
    {
        put16(at, v);
        put16(at + 2, v >> 16);
    }
    uint8_t *data() { return bytes; }
};

inline uint16_t get16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t get32(const uint8_t *p) { return uint32_t(get16(p)) | (uint32_t(get16(p + 2)) << 16); }
