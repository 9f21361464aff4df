#pragma once

#include <QString>
#include <cstdint>

// Entry rules of the burn settings, shared by burnSettingDialog, the window's writer-settings page and tests.
namespace burn {

constexpr uint32_t LimitMax = 1000000;
constexpr double ClockMinMHz = 20.0;
constexpr double ClockMaxMHz = 32.0;

// Bits of the calibration word the dialog reports (nRtAdcClock).
enum CalibrationBit { CaliAdc = 0x1, CaliClock = 0x2, CaliOnly = 0x4, CaliNoAdcParamCheck = 0x8 };

// The dialog's limit box: empty text when the entry stands, else the "警告" text; a refused entry puts
// "1" into the box.
QString dialogLimitWarning(const QString &text);

// The page's limit box.
struct PageLimit
{
    bool store = false;     // g_nLimitCount = value
    uint32_t value = 0;
    bool show = false;      // the box shows value (it was clamped)
    QString warning;        // "警告" text, nothing stored
};
PageLimit pageLimit(const QString &text);

// The page's handler-machine time fields: true and *value for a time to store; false with *warning set
// for a refused entry (zero, not a decimal number, or beyond 16 bits), false with no warning for empty text.
bool pageTime(const QString &text, uint16_t *value, QString *warning);

// The dialog's time fields: decimal value, 0 when empty or not a number, low 16 bits.
uint16_t dialogTime(const QString &text);

// Decimal limit of the dialog's OK, 0 when not a number.
uint32_t dialogLimitCount(const QString &text);

// The first step of the dialog's OK.
struct CalibrationCheck
{
    bool ok = false;
    float freq = 0.0f;      // ok: the frequency to store in g_fClockFreq
    QString warning;        // "警告" text on failure
    QString freqText;       // on failure, the text to put back into the frequency box (may be empty)
};
CalibrationCheck checkCalibration(bool caliOnly, bool clock, bool adc, const QString &freqText);

// The frequency box text at opening: the stored frequency with one decimal when in range, else empty (the
// dialog then selects "27.0").
QString openingClockText(float freqMHz);

int calibrationWord(bool adc, bool clock, bool only, bool noAdcParamCheck);

// slt_burnSetting_done: sets the burn switches and calibration flags from the dialog's six results.
// Returns whether label_autoBurnState reads "Enable".
bool applyBurnSettingResult(int autoBurn, int limit, int uploadProtect, int autoWrite, int uartMode,
                            int adcClock);

} // namespace burn
