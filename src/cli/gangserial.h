#pragma once

#include "production/productionsettings.h"

#include <QString>
#include <QVector>

#include <cstdint>

// Serial numbers across the Links of a gang download: Link i of N (0-based, port order) starts at
// start ± i × step and advances by N × step, so the Links interleave and never write the same number.
// Decimal numbers are counted in decimal and land in the chip coded as BCD.

struct SerialPlan
{
    QString refusal;                   // why the plan cannot be kept; empty when it can
    QVector<rolling_seting_t> records; // one per Link, in port order (empty when refused)
};

// `burnLimit`: the number of chips each Link may burn (0 = no limit; then only each Link's first number is
// known to be needed). Refused when N × step does not fit the record's step (255; 99 in decimal, as the
// editors allow), when the step is 0 on several Links, or when a Link's numbers leave the width.
SerialPlan planSerialNumbers(const rolling_seting_t &base, int links, uint32_t burnLimit);

// `value` as the chip holds it: BCD in the decimal radix, itself in the hexadecimal one.
uint64_t serialCoded(uint64_t value, uint8_t radix);

// "0x1000, 0x1003, 0x1006 ..." — the first numbers a record writes (fewer when the limit ends them).
QString serialPlanText(const rolling_seting_t &record, uint32_t burnLimit);

// A gang worker's share of the plan, "START:STEP" as the parent passes it: put into g_rollingSet after the
// project was loaded. False for a malformed text.
bool applyGangSerial(const QString &text);
