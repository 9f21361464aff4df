#include "gangserial.h"

#include "production/rollingrules.h"

#include <QCoreApplication>
#include <QStringList>

namespace {
bool decimal(const rolling_seting_t &r)
{
    return (r.radix & 0x03) == 0;
}

int64_t signedStep(const rolling_seting_t &r, int64_t step)
{
    return r.incDec() ? step : -step;
}
}

uint64_t serialCoded(uint64_t value, uint8_t radix)
{
    if ((radix & 0x03) != 0)
        return value;
    uint64_t coded = 0;
    for (int shift = 0; value != 0; shift += 4, value /= 10)
        coded |= (value % 10) << shift;
    return coded;
}

SerialPlan planSerialNumbers(const rolling_seting_t &base, int links, uint32_t burnLimit)
{
    SerialPlan plan;
    const int64_t maxStep = decimal(base) ? 99 : 255;
    const int64_t gangStep = int64_t(links) * base.step;
    if (gangStep > maxStep) {
        plan.refusal = QCoreApplication::translate("cli", "serial numbers: %1 Links × step %2 = %3, more than the step the Link keeps (%4)")
                           .arg(links).arg(base.step).arg(gangStep).arg(maxStep);
        return plan;
    }
    if (links > 1 && base.step == 0) {
        plan.refusal = QCoreApplication::translate("cli", "serial numbers: a step of 0 gives every Link the same number");
        return plan;
    }
    const int64_t largest = int64_t(rolling::maxStartValue(base.bitSize, base.radix));
    const int64_t chips = burnLimit ? burnLimit : 1;
    for (int i = 0; i < links; ++i) {
        const int64_t first = int64_t(base.startVal) + signedStep(base, int64_t(i) * base.step);
        const int64_t last = first + signedStep(base, (chips - 1) * gangStep);
        for (int64_t value : {first, last}) {
            if (value < 0 || value > largest) {
                plan.refusal = QCoreApplication::translate("cli", "serial numbers: Link %1 of %2 would need %3, outside the %4-bit width%5")
                                   .arg(i + 1).arg(links).arg(value).arg(8 * ((base.bitSize & 0x07) + 1))
                                   .arg(burnLimit ? QCoreApplication::translate("cli", " within the burn limit of %1 chips").arg(burnLimit)
                                                  : QString());
                plan.records.clear();
                return plan;
            }
        }
        rolling_seting_t record = base;
        record.startVal = uint32_t(first);
        record.step = uint8_t(gangStep);
        plan.records.push_back(record);
    }
    return plan;
}

QString serialPlanText(const rolling_seting_t &record, uint32_t burnLimit)
{
    constexpr uint32_t kShown = 3;
    const uint32_t shown = burnLimit && burnLimit < kShown ? burnLimit : kShown;
    const int64_t largest = int64_t(rolling::maxStartValue(record.bitSize, record.radix));
    QStringList values;
    for (uint32_t k = 0; k < shown; ++k) {
        const int64_t value = int64_t(record.startVal) + signedStep(record, int64_t(k) * record.step);
        if (value < 0 || value > largest)
            break;  // without a limit the Link itself stops at the end of the width
        values << QStringLiteral("0x") + QString::number(serialCoded(uint64_t(value), record.radix), 16).toUpper();
    }
    QString text = values.join(QStringLiteral(", "));
    if (!burnLimit || burnLimit > shown)
        text += QStringLiteral(" ...");
    return text;
}

bool applyGangSerial(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    bool startOk = false, stepOk = false;
    const qulonglong start = parts.value(0).toULongLong(&startOk);
    const uint step = parts.value(1).toUInt(&stepOk);
    if (parts.size() != 2 || !startOk || !stepOk || start > 0xFFFFFFFFull || step > 0xFF)
        return false;
    g_rollingSet.startVal = uint32_t(start);
    g_rollingSet.step = uint8_t(step);
    return true;
}
