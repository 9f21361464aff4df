#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// The offline password as it travels in a project file: a 64-byte block that scrambles the text with
// parameters taken from its own random bytes, so the password never appears as text.
constexpr int PASSWORD_BLOCK_SIZE = 64;
constexpr int PASSWORD_MIN_LENGTH = 8;
constexpr int PASSWORD_MAX_LENGTH = 16;

using PasswordBlock = std::array<uint8_t, PASSWORD_BLOCK_SIZE>;

// 32-bit random values; the block takes the top byte of each.
using RandomSource = std::function<uint32_t()>;

// The process-wide generator.
uint32_t processRandom();

// Scrambles the first min(length, 16) characters of `text`; B[63] is the sum8 of B[0..62].
PasswordBlock encodePassword(const QString &text, uint8_t length, const RandomSource &random = processRandom);

// Unscrambles a block. A decoded length above 16 fails ("password decode error."). B[63] is not checked here.
bool decodePassword(const PasswordBlock &block, QString *text, uint8_t *length);

uint8_t passwordBlockSum(const PasswordBlock &block);  // sum8 of B[0..62]

// Entry rules of the password field, checked in this order when the password group is ticked.
enum class PasswordEntry { Accepted, NotAscii, TooShort, TooLong };
PasswordEntry checkPasswordEntry(const QString &text);

// The text of the box (titled passwordBoxTitle()) that a refused entry shows; empty for Accepted.
// TooLong is what the field shows when it rejects a 17th character.
QString passwordEntryMessage(PasswordEntry result);
QString passwordBoxTitle();

// Commits the dialog's state: g_bEnEncryption, g_ucPswLen (the field's character count) and g_strPsw
// (the text through UTF-8 and back, cut at the first NUL).
void commitPassword(bool enabled, const QString &fieldText);
