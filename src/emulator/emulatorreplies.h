#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// The answer reports the emulated Link sends, and the memory helpers its parts share.
namespace EmulatorReplies {
constexpr uint8_t kNoChipStatus = 0x01;
constexpr uint8_t kRefusedStatus = 0x02;  // unknown command or address outside the memory
constexpr uint8_t kProtectedStatus = 0x09;  // the stored project is upload-protected
constexpr int kMaxChunk = 256;            // data bytes one write frame carries at most

using Reports = std::vector<QByteArray>;

QByteArray answer(uint8_t status);  // 64 bytes, status in byte 0
QByteArray ack();
// Failure status with the failing position + 1 in bytes 1-2.
QByteArray refusedAt(uint8_t status, uint32_t position);
// Block read data: whole 64-byte reports, the last one padded with 0xFF.
Reports dataReports(const uint8_t *src, int length);
// `length` bytes of `mem` from `address` as block-read reports; none when they reach past `limit`.
Reports readFrom(const std::vector<uint8_t> &mem, uint32_t limit, uint32_t address, uint32_t length);

// Copies data into mem at address (program: clears bits only, as flash does); false, nothing written,
// when it does not fit.
bool put(std::vector<uint8_t> &mem, uint32_t address, const QByteArray &data, bool program = false);
QByteArray bytesOf(const std::vector<uint8_t> &mem, int at = 0, int length = -1);
// A memory kept empty while erased, as `size` bytes.
QByteArray bytesOrErased(const std::vector<uint8_t> &mem, uint32_t size);
uint16_t sum(const std::vector<uint8_t> &mem, uint32_t start, uint32_t length);
} // namespace EmulatorReplies
