#pragma once

#include <QString>

#include <cstdint>

// Text side of the data views, kept apart from the widgets so it can be checked on its own.

// ROM view text: upper-case hex, 16 bytes a line, one blank between bytes and two after the 8th, each line
// ending in a line break.
QString romViewText(const uint8_t *data, uint32_t size);

// Gutter label of the visible line `line` below the first visible block `firstBlock`: its byte address.
QString gutterText(int firstBlock, int line);

// Gutter width: decimal digits of the block count (at least one) times the digit advance, plus 30 pixels.
int gutterWidth(int blockCount, int digitAdvance);

// Table cell text for a value: two hex digits, four for 16-bit cells.
QString cellText(uint32_t value, bool wide);

// Parses a cell edit. False when it is not hex or above 0xFF (0xFFFF for 16-bit cells).
bool parseCell(const QString &text, bool wide, uint32_t *value);

// "填充输入值": hex text, unparsable counts as 0, clamped to 0..255.
uint8_t fillValueFromText(const QString &text);
