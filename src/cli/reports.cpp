#include "reports.h"

#include "chip/areas.h"
#include "chip/factorytrim.h"
#include "chip/images.h"
#include "production/productionsettings.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTextStream>

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace {
constexpr double kClockMinMHz = 19.0;
constexpr double kClockMaxMHz = 33.0;
constexpr int kHrcLow = 0x11;  // NVR3 offsets of the HRC frequency in kHz
constexpr int kHrcHigh = 0x12;

// A float setting as a short decimal (100.0f → 100, 24.5f → 24.5), not its binary expansion.
double shortDecimal(float value)
{
    return std::round(double(value) * 10000.0) / 10000.0;
}

QString yesNo(bool value)
{
    return value ? QCoreApplication::translate("cli", "yes") : QCoreApplication::translate("cli", "no");
}

uint32_t hrcKHz()
{
    return uint32_t(g_ucNVRBuf3[kHrcLow]) | (uint32_t(g_ucNVRBuf3[kHrcHigh]) << 8);
}

QVector<NvrFacInfo> trimRows()
{
    QVector<NvrFacInfo> rows;
    if (g_currentMcu.nID == SMALL_TRIM_CHIP_ID) {
        for (const NvrFacInfo &row : g_nvrFacInfoSmall)
            rows << row;
    } else {
        for (const NvrFacInfo &row : g_nvrFacInfo)
            rows << row;
    }
    return rows;
}

// The clock line of the window's factory display: the source text (JSON) or in the running language.
QString clockLine(bool forPeople)
{
    const auto text = [forPeople](const char *source) {
        return forPeople ? QCoreApplication::translate("options", source) : QString::fromUtf8(source);
    };
    const double mhz = hrcKHz() / 1000.0;
    if (mhz > kClockMaxMHz || mhz < kClockMinMHz)
        return text(QT_TRANSLATE_NOOP("options", "主频: ERROR!"));
    return text(QT_TRANSLATE_NOOP("options", "主频: %1MHz")).arg(mhz, 0, 'f', 2);
}
}

QJsonArray chipsJson(const QVector<McuInfo> &chips)
{
    QJsonArray array;
    for (const McuInfo &chip : chips) {
        array.append(QJsonObject{
            {QStringLiteral("name"), chip.strName},
            {QStringLiteral("id"), hex4(uint16_t(chip.nID))},
            {QStringLiteral("flashKB"), int(chip.nFlashSizeKB)},
            {QStringLiteral("description"), chip.strDescription},
        });
    }
    return array;
}

QString chipsText(const QVector<McuInfo> &chips)
{
    QString text;
    QTextStream out(&text);
    for (const McuInfo &chip : chips)
        out << chip.strName << "  " << hex4(uint16_t(chip.nID)) << "  " << chip.nFlashSizeKB << " KB  "
            << chip.strDescription << "\n";
    return text;
}

QJsonObject infoJson()
{
    QJsonObject areas;
    for (Area area : enabledAreas()) {
        areas.insert(areaName(area), QJsonObject{
                                         {QStringLiteral("size"), qint64(areaDataSize(area))},
                                         {QStringLiteral("checksum"), hex4(areaChecksum(area))},
                                     });
    }
    const rolling_seting_t &r = g_rollingSet;
    const autoBurner_seting_t &a = g_autoBurnerSet;
    return QJsonObject{
        {QStringLiteral("chip"), g_currentMcu.strName},
        {QStringLiteral("areas"), areas},
        {QStringLiteral("rolling"),
         QJsonObject{
             {QStringLiteral("enabled"), g_bEnRollCode},
             {QStringLiteral("startAdd"), qint64(r.startAdd)},
             {QStringLiteral("startVal"), qint64(r.startVal)},
             {QStringLiteral("bitSize"), int(r.bitSize)},
             {QStringLiteral("step"), int(r.step)},
             {QStringLiteral("radix"), int(r.radix)},
             {QStringLiteral("area"), int(r.area())},
             {QStringLiteral("countUp"), r.incDec()},
         }},
        {QStringLiteral("password"),
         QJsonObject{{QStringLiteral("enabled"), g_bEnEncryption},
                     {QStringLiteral("length"), g_bEnEncryption ? int(g_ucPswLen) : 0}}},
        {QStringLiteral("limit"),
         QJsonObject{{QStringLiteral("enabled"), g_bEnLimit}, {QStringLiteral("count"), qint64(g_nLimitCount)}}},
        {QStringLiteral("autoBurner"),
         QJsonObject{
             {QStringLiteral("enabled"), g_bEnAutoBurner},
             {QStringLiteral("startTime"), int(a.StartTime)},
             {QStringLiteral("busyTime"), int(a.BusyTime)},
             {QStringLiteral("eotTime"), int(a.EotTime)},
             {QStringLiteral("okNgTime"), int(a.OkNgTime)},
             {QStringLiteral("startLevel"), int(a.StartLevel)},
             {QStringLiteral("busyLevel"), int(a.BusyLevel)},
             {QStringLiteral("okLevel"), int(a.OkLevel)},
             {QStringLiteral("ngLevel"), int(a.NgLevel)},
         }},
        {QStringLiteral("uploadProtect"), g_bEnUploadProtect},
        {QStringLiteral("autoWrite"), g_bEnAutoWrite},
        {QStringLiteral("singleWire"), g_bUartMode},
        {QStringLiteral("calibration"),
         QJsonObject{
             {QStringLiteral("adc"), g_bCaliAdc},
             {QStringLiteral("clock"), g_bCaliClock},
             {QStringLiteral("only"), g_bCaliOnly},
             {QStringLiteral("noAdcParamCheck"), g_bNoAdcParamCheck},
             {QStringLiteral("clockMHz"), shortDecimal(g_fClockFreq)},
         }},
    };
}

QString infoText()
{
    QString text = QCoreApplication::translate("cli", "chip: %1\n").arg(g_currentMcu.strName);
    for (Area area : enabledAreas())
        text += QCoreApplication::translate("cli", "%1: %2 bytes, checksum %3\n")
                    .arg(areaName(area)).arg(areaDataSize(area)).arg(hex4(areaChecksum(area)));
    if (enabledAreas().isEmpty())
        text += QCoreApplication::translate("cli", "no area enabled\n");
    const rolling_seting_t &r = g_rollingSet;
    text += QCoreApplication::translate("cli", "rolling number: %1").arg(yesNo(g_bEnRollCode));
    if (g_bEnRollCode)
        text += QCoreApplication::translate("cli", " (start address %1, start value %2, bytes %3, step %4, %5, area %6, %7)")
                    .arg(r.startAdd)
                    .arg(r.startVal)
                    .arg((r.bitSize & 0x07) + 1)
                    .arg(r.step)
                    .arg((r.radix & 0x03) == 1 ? QCoreApplication::translate("cli", "hexadecimal")
                                               : QCoreApplication::translate("cli", "decimal"))
                    .arg(r.area())
                    .arg(r.incDec() ? QCoreApplication::translate("cli", "up") : QCoreApplication::translate("cli", "down"));
    text += QCoreApplication::translate("cli", "\npassword: %1").arg(yesNo(g_bEnEncryption));
    if (g_bEnEncryption)
        text += QCoreApplication::translate("cli", " (%1 characters)").arg(g_ucPswLen);
    text += QCoreApplication::translate("cli", "\nburn limit: %1").arg(yesNo(g_bEnLimit));
    if (g_bEnLimit)
        text += QStringLiteral(" (%1)").arg(g_nLimitCount);
    const autoBurner_seting_t &a = g_autoBurnerSet;
    text += QCoreApplication::translate("cli", "\nhandler machine: %1").arg(yesNo(g_bEnAutoBurner));
    if (g_bEnAutoBurner)
        text += QCoreApplication::translate("cli", " (times %1/%2/%3/%4, levels %5/%6/%7/%8)")
                    .arg(a.StartTime).arg(a.BusyTime).arg(a.EotTime).arg(a.OkNgTime)
                    .arg(a.StartLevel).arg(a.BusyLevel).arg(a.OkLevel).arg(a.NgLevel);
    text += QCoreApplication::translate("cli", "\nupload protection: %1\nautomatic burning: %2\nsingle-wire burning: %3\n"
                                               "calibration: adc %4, clock %5, only %6, no ADC parameter check %7, clock %8 MHz\n")
                .arg(yesNo(g_bEnUploadProtect), yesNo(g_bEnAutoWrite), yesNo(g_bUartMode), yesNo(g_bCaliAdc),
                     yesNo(g_bCaliClock), yesNo(g_bCaliOnly), yesNo(g_bNoAdcParamCheck))
                .arg(shortDecimal(g_fClockFreq));
    return text;
}

QJsonObject joinedJson(QJsonObject object, const QJsonObject &extra)
{
    for (auto it = extra.begin(); it != extra.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

QJsonObject resultJson(int code, const QString &text)
{
    return QJsonObject{{QStringLiteral("result"), code}, {QStringLiteral("text"), text}};
}

QJsonObject blankJson(int code, const QString &text)
{
    QJsonObject object = resultJson(code, text);
    QJsonObject areas;
    if (code == 0) {
        for (Area area : enabledAreas()) {
            areas.insert(areaName(area), QJsonObject{
                                             {QStringLiteral("checksum"), hex4(areaChecksum(area))},
                                             {QStringLiteral("blank"), areaChecksum(area) == erasedChecksum(area)},
                                         });
        }
    }
    object.insert(QStringLiteral("areas"), areas);
    return object;
}

QString blankText()
{
    QString text;
    for (Area area : enabledAreas()) {
        const bool blank = areaChecksum(area) == erasedChecksum(area);
        text += (blank ? QCoreApplication::translate("cli", "%1: checksum %2, blank\n")
                       : QCoreApplication::translate("cli", "%1: checksum %2, not blank\n"))
                    .arg(areaName(area), hex4(areaChecksum(area)));
    }
    return text;
}

QJsonObject fwVersionJson(int code, uint16_t H, uint16_t M, uint16_t L)
{
    return QJsonObject{{QStringLiteral("result"), code}, {QStringLiteral("version"), versionText(H, M, L)}};
}

QString versionText(uint16_t H, uint16_t M, uint16_t L)
{
    return QStringLiteral("%1.%2.%3").arg(H).arg(M).arg(L);
}

QJsonObject factoryJson(int code, const QString &text)
{
    QJsonObject object = resultJson(code, text);
    if (code != 0)
        return object;
    const uint32_t base = areaChipAddress(Area::Nvr3);
    const uint32_t length = areaLength(Area::Nvr3);
    QJsonArray trims;
    for (const NvrFacInfo &row : trimRows()) {
        if (row.nAddr < base || row.nAddr - base >= length)
            continue;
        trims.append(QJsonObject{
            {QStringLiteral("address"), QString::number(row.nAddr, 16)},
            {QStringLiteral("value"), QStringLiteral("%1").arg(g_ucNVRBuf3[row.nAddr - base], 2, 16, QLatin1Char('0'))},
            {QStringLiteral("description"), QString::fromUtf8(row.strDescription)},
        });
    }
    const double mhz = hrcKHz() / 1000.0;
    object.insert(QStringLiteral("clock"),
                  QJsonObject{{QStringLiteral("kHz"), qint64(hrcKHz())},
                              {QStringLiteral("MHz"), mhz},
                              {QStringLiteral("valid"), mhz >= kClockMinMHz && mhz <= kClockMaxMHz},
                              {QStringLiteral("text"), clockLine(false)}});
    object.insert(QStringLiteral("trims"), trims);
    object.insert(QStringLiteral("nvr3"),
                  QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(g_ucNVRBuf3), int(length)).toHex()));
    return object;
}

QString factoryText()
{
    QString text;
    QTextStream out(&text);
    out << clockLine(true) << "\n";
    const uint32_t base = areaChipAddress(Area::Nvr3);
    const uint32_t length = areaLength(Area::Nvr3);
    for (const NvrFacInfo &row : trimRows()) {
        if (row.nAddr < base || row.nAddr - base >= length)
            continue;
        out << QString::number(row.nAddr, 16) << "  "
            << QStringLiteral("%1").arg(g_ucNVRBuf3[row.nAddr - base], 2, 16, QLatin1Char('0')) << "  "
            << trimDescriptionText(row.strDescription) << "\n";
    }
    return text;
}

void printJson(const QJsonObject &object)
{
    printText(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

void printJson(const QJsonArray &array)
{
    printText(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

namespace {
// The first error a write to stdout met (errno); stdout is written from the main thread only.
int g_outputError = 0;

void noteOutputError()
{
    if (g_outputError == 0)
        g_outputError = errno != 0 ? errno : EIO;
}
}

void printText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
        || std::fflush(stdout) != 0)
        noteOutputError();
}

QString closeOutput()
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        noteOutputError();
    // Closing is the last chance to hear of a write the system took but could not finish (a file on NFS).
    errno = 0;
    if (std::fclose(stdout) != 0)
        noteOutputError();
    return g_outputError == 0 ? QString() : qt_error_string(g_outputError);
}
