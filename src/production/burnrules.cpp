#include "burnrules.h"

#include "productionsettings.h"

#include <QCoreApplication>
#include <cmath>

namespace burn {

QString dialogLimitWarning(const QString &text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (ok)
        return value >= 1 && value <= qlonglong(LimitMax)
                   ? QString()
                   : QCoreApplication::translate("settings", "输入范围1-1000000,请重新输入");
    return text.isEmpty() ? QString() : QCoreApplication::translate("settings", "输入必须为数字,请重新输入");
}

PageLimit pageLimit(const QString &text)
{
    PageLimit r;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok) {
        if (!text.isEmpty())
            r.warning = QCoreApplication::translate("settings", "您输入的数据不是10进制,请重新输入");
        return r;
    }
    r.store = true;
    if (value > qlonglong(LimitMax) || value < 0) {
        r.value = LimitMax;
        r.show = true;
    } else if (value == 0) {
        r.value = 1;
        r.show = true;
    } else {
        r.value = static_cast<uint32_t>(value);
    }
    return r;
}

bool pageTime(const QString &text, uint16_t *value, QString *warning)
{
    warning->clear();
    if (text.isEmpty())
        return false;
    bool ok = false;
    const uint32_t v = text.toUInt(&ok, 10);
    if (!ok || v == 0 || v > 0xFFFF) {
        *warning = QCoreApplication::translate("settings", "您输入的数据不是10进制,请重新输入");
        return false;
    }
    *value = static_cast<uint16_t>(v);
    return true;
}

uint16_t dialogTime(const QString &text)
{
    return static_cast<uint16_t>(text.toUInt(nullptr, 10));
}

uint32_t dialogLimitCount(const QString &text)
{
    return text.toUInt(nullptr, 10);
}

CalibrationCheck checkCalibration(bool caliOnly, bool clock, bool adc, const QString &freqText)
{
    CalibrationCheck r;
    if (caliOnly && !clock && !adc) {
        r.warning = QCoreApplication::translate("settings", "没有选择校准项!");
        return r;
    }
    bool ok = false;
    double freq = freqText.toDouble(&ok);
    if (!ok || std::isnan(freq))
        freq = 0.0;
    if (freq >= ClockMinMHz && freq <= ClockMaxMHz) {
        r.ok = true;
        r.freq = static_cast<float>(freq);
        return r;
    }
    r.freqText = freq > ClockMaxMHz ? QStringLiteral("32.0") : QStringLiteral("20.0");
    r.warning = QCoreApplication::translate("settings", "时钟范围20.0-32.0MHz");
    return r;
}

QString openingClockText(float freqMHz)
{
    if (freqMHz >= ClockMinMHz && freqMHz <= ClockMaxMHz)
        return QString::number(double(freqMHz), 'f', 1);
    return QString();
}

int calibrationWord(bool adc, bool clock, bool only, bool noAdcParamCheck)
{
    return (adc ? CaliAdc : 0) | (clock ? CaliClock : 0) | (only ? CaliOnly : 0)
        | (noAdcParamCheck ? CaliNoAdcParamCheck : 0);
}

bool applyBurnSettingResult(int autoBurn, int limit, int uploadProtect, int autoWrite, int uartMode,
                            int adcClock)
{
    g_bEnAutoBurner = autoBurn == 1;
    g_bEnLimit = limit == 1;
    g_bEnUploadProtect = uploadProtect == 1;
    g_bEnAutoWrite = autoWrite == 1;
    g_bUartMode = uartMode == 1;
    g_bCaliAdc = adcClock & CaliAdc;
    g_bCaliClock = adcClock & CaliClock;
    g_bCaliOnly = adcClock & CaliOnly;
    g_bNoAdcParamCheck = adcClock & CaliNoAdcParamCheck;
    return uartMode == 1 || g_bEnAutoBurner || g_bEnLimit || g_bEnUploadProtect || g_bEnAutoWrite;
}

} // namespace burn
