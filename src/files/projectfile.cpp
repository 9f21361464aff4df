#include "projectfile.h"

#include "production/rollingrules.h"

#include "inputfile.h"
#include "passwordcodec.h"
#include "savefile.h"
#include "chip/images.h"
#include "production/productionsettings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Header bytes.
enum : int {
    kHeadSum = 0,
    kHeadBin = 1,
    kHeadEE = 2,
    kHeadNVR1 = 3,
    kHeadNVR2 = 4,
    kHeadNVR3 = 5,
    kHeadRolling = 6,
    kHeadAutoBurner = 7,
    kHeadLimit = 8,
    kHeadPassword = 9,
    kHeadBL = 10,
    kHeadOptions = 11,
    kHeadVersion = 17,
};

// Option bits of header byte 11.
enum : uint8_t {
    kOptUploadProtect = 0x01,
    kOptCaliAdc = 0x02,
    kOptCaliClock = 0x04,
    kOptCaliOnly = 0x08,
    kOptNoAdcParamCheck = 0x10,
};

// Info block, version 1.
enum : int {
    kInfoBinSum = 0,
    kInfoEESum = 2,
    kInfoNVR1Sum = 4,
    kInfoNVR2Sum = 6,
    kInfoNVR3Sum = 8,
    kInfoLimit = 10,
    kInfoBinSize = 14,
    kInfoBLSize = 18,
    kInfoBLSum = 22,
    kInfoRolling = 64,
    kInfoAutoBurner = 76,
    kInfoSum = 127,
};

// Info block, version 0 (no sizes).
enum : int {
    kInfoV0Rolling = 14,
    kInfoV0AutoBurner = 26,
};

constexpr float kMaxClockMHz = 6553.5f;

uint8_t sum8(const uint8_t *data, int length)
{
    unsigned sum = 0;
    for (int i = 0; i < length; ++i)
        sum += data[i];
    return static_cast<uint8_t>(sum);
}

uint8_t flagByte(bool on)
{
    return on ? PROJECT_FLAG_ON : 0;
}

// NVR1 and BootLoader data exist only on the chips that have such an area; the reader skips them
// elsewhere, so the writer marks them present only where they will be read back.
bool nvr1Stored()
{
    return g_bEnNVR1 && g_currentMcu.nBootSectors == 0;
}

bool bootLoaderStored()
{
    return g_bEnBL && g_currentMcu.nBootSectors != 0;
}

uint32_t storedBinSize()
{
    return std::min(g_nBinSize, BIN_BUF_SIZE);
}

uint32_t storedBLSize()
{
    return std::min(g_nNVRBinSize, NVR_BIN_BUF_SIZE);
}

void appendBytes(QByteArray &out, const uint8_t *data, uint32_t length)
{
    out.append(reinterpret_cast<const char *>(data), static_cast<int>(length));
}

void buildHeader(uint8_t h[PROJECT_HEADER_SIZE])
{
    std::memset(h, 0, PROJECT_HEADER_SIZE);
    h[kHeadBin] = flagByte(g_bEnBin);
    h[kHeadEE] = flagByte(g_bEnEE);
    h[kHeadNVR1] = flagByte(nvr1Stored());
    h[kHeadNVR2] = flagByte(g_bEnNVR2);
    h[kHeadNVR3] = flagByte(g_bEnNVR3);
    h[kHeadRolling] = flagByte(g_bEnRollCode);
    h[kHeadAutoBurner] = flagByte(g_bEnAutoBurner);
    h[kHeadLimit] = flagByte(g_bEnLimit);
    h[kHeadPassword] = flagByte(g_bEnEncryption);
    h[kHeadBL] = flagByte(bootLoaderStored());
    h[kHeadOptions] = static_cast<uint8_t>((g_bEnUploadProtect ? kOptUploadProtect : 0)
                                           | (g_bCaliAdc ? kOptCaliAdc : 0) | (g_bCaliClock ? kOptCaliClock : 0)
                                           | (g_bCaliOnly ? kOptCaliOnly : 0)
                                           | (g_bNoAdcParamCheck ? kOptNoAdcParamCheck : 0));
    h[kHeadVersion] = 1;
    h[kHeadSum] = sum8(h + 1, PROJECT_HEADER_SIZE - 1);
}

void buildInfo(uint8_t info[PROJECT_INFO_SIZE])
{
    std::memset(info, 0, PROJECT_INFO_SIZE);
    qToLittleEndian<uint16_t>(g_nBinCheckSum, info + kInfoBinSum);
    qToLittleEndian<uint16_t>(g_nEECheckSum, info + kInfoEESum);
    qToLittleEndian<uint16_t>(g_nNVRCheckSum1, info + kInfoNVR1Sum);
    qToLittleEndian<uint16_t>(g_nNVRCheckSum2, info + kInfoNVR2Sum);
    qToLittleEndian<uint16_t>(g_nNVRCheckSum3, info + kInfoNVR3Sum);
    qToLittleEndian<uint32_t>(g_nLimitCount, info + kInfoLimit);
    qToLittleEndian<uint32_t>(storedBinSize(), info + kInfoBinSize);
    qToLittleEndian<uint32_t>(storedBLSize(), info + kInfoBLSize);
    qToLittleEndian<uint16_t>(g_nNVRBinCheckSum, info + kInfoBLSum);
    rollingToBytes(g_rollingSet, info + kInfoRolling);
    autoBurnerToBytes(g_autoBurnerSet, info + kInfoAutoBurner);
    info[kInfoSum] = sum8(info, kInfoSum);
}

QByteArray modelNameField(const QString &name)
{
    QByteArray field = name.toLatin1().left(PROJECT_NAME_SIZE);
    field.append(QByteArray(PROJECT_NAME_SIZE - field.size(), '\0'));
    return field;
}

// Latin-1 text up to the first NUL of a fixed-size field.
QString fieldText(const uint8_t *field, int size)
{
    const uint8_t *end = std::find(field, field + size, uint8_t(0));
    return QString::fromLatin1(reinterpret_cast<const char *>(field), static_cast<int>(end - field));
}

bool readExactly(QIODevice &in, uint8_t *dst, qint64 length)
{
    return in.read(reinterpret_cast<char *>(dst), length) == length;
}

// One image area of a project: read, checked against its stored checksum, cleared on failure.
struct Area
{
    bool &enabled;
    uint8_t *image;
    uint32_t capacity;
    uint32_t length;    // bytes in the file
    uint32_t sumLength; // bytes the checksum covers
    uint16_t checksum;
    QString shortText;  // error log line for a short read
    QString sumText;    // error text for a checksum mismatch
};

void clearArea(const Area &a)
{
    a.enabled = false;
    std::memset(a.image, 0xFF, a.capacity);
}

// Version 1 reports a checksum mismatch in the error log, version 0 in a warning box.
bool readArea(QIODevice &in, const Area &a, bool sumInBox, const FileMessages &msgs)
{
    if (!readExactly(in, a.image, a.length)) {
        msgs.appendLog(a.shortText);
        clearArea(a);
        return false;
    }
    if (sum16(a.image, a.sumLength) != a.checksum) {
        if (sumInBox)
            msgs.showBox(QCoreApplication::translate("files", "警告"), a.sumText);
        else
            msgs.appendLog(a.sumText);
        clearArea(a);
        return false;
    }
    return true;
}

// NVR1, NVR2, NVR3 and EEPROM, sized by the current chip; common to both versions.
bool readTableAreas(QIODevice &in, bool v0, const FileMessages &msgs)
{
    const uint32_t sector = nvrSectorBytes();
    const uint32_t eeprom = eepromSizeBytes();
    const QString nvrShort = QCoreApplication::translate("files", "nvr读取错误");
    const QString nvrSum = QCoreApplication::translate("files", "NVR校验错误");
    if (g_bEnNVR1 && g_currentMcu.nBootSectors == 0) {
        const Area a{g_bEnNVR1, g_ucNVRBuf1, NVR_BUF_SIZE, sector, sector, g_nNVRCheckSum1,
                     nvrShort, v0 ? QCoreApplication::translate("files", "NVR1 校验错误") : nvrSum};
        if (!readArea(in, a, v0, msgs))
            return false;
    }
    if (g_bEnNVR2) {
        const Area a{g_bEnNVR2, g_ucNVRBuf2, NVR_BUF_SIZE, sector, sector, g_nNVRCheckSum2,
                     nvrShort, v0 ? QCoreApplication::translate("files", "NVR2 校验错误") : nvrSum};
        if (!readArea(in, a, v0, msgs))
            return false;
    }
    if (g_bEnNVR3) {
        const Area a{g_bEnNVR3, g_ucNVRBuf3, NVR_BUF_SIZE, sector, sector, g_nNVRCheckSum3,
                     nvrShort, v0 ? QCoreApplication::translate("files", "NVR3 校验错误") : nvrSum};
        if (!readArea(in, a, v0, msgs))
            return false;
    }
    if (g_bEnEE) {
        const Area a{g_bEnEE, g_ucEEBuf, NVR_BUF_SIZE, eeprom, eeprom, g_nEECheckSum,
                     QCoreApplication::translate("files", "eeprom读取错误"),
                     v0 ? QCoreApplication::translate("files", "EE 校验错误")
                        : QCoreApplication::translate("files", "eeprom校验错误")};
        if (!readArea(in, a, v0, msgs))
            return false;
    }
    return true;
}

void applyHeader(const uint8_t h[PROJECT_HEADER_SIZE])
{
    g_bEnBin = h[kHeadBin] != 0;
    g_bEnEE = h[kHeadEE] != 0;
    g_bEnNVR1 = h[kHeadNVR1] != 0;
    g_bEnNVR2 = h[kHeadNVR2] != 0;
    g_bEnNVR3 = h[kHeadNVR3] != 0;
    g_bEnRollCode = h[kHeadRolling] != 0;
    g_bEnAutoBurner = h[kHeadAutoBurner] != 0;
    g_bEnLimit = h[kHeadLimit] != 0;
    g_bEnEncryption = h[kHeadPassword] != 0;
    g_bEnBL = h[kHeadBL] != 0;
    const uint8_t opt = h[kHeadOptions];
    g_bEnUploadProtect = opt & kOptUploadProtect;
    g_bCaliAdc = opt & kOptCaliAdc;
    g_bCaliClock = opt & kOptCaliClock;
    g_bCaliOnly = opt & kOptCaliOnly;
    g_bNoAdcParamCheck = opt & kOptNoAdcParamCheck;
}

void applyChecksumsAndLimit(const uint8_t info[PROJECT_INFO_SIZE])
{
    g_nBinCheckSum = qFromLittleEndian<uint16_t>(info + kInfoBinSum);
    g_nEECheckSum = qFromLittleEndian<uint16_t>(info + kInfoEESum);
    g_nNVRCheckSum1 = qFromLittleEndian<uint16_t>(info + kInfoNVR1Sum);
    g_nNVRCheckSum2 = qFromLittleEndian<uint16_t>(info + kInfoNVR2Sum);
    g_nNVRCheckSum3 = qFromLittleEndian<uint16_t>(info + kInfoNVR3Sum);
    g_nLimitCount = qFromLittleEndian<uint32_t>(info + kInfoLimit);
}

bool readPassword(QIODevice &in, const FileMessages &msgs)
{
    const QString failText = QCoreApplication::translate("files", "密码读取错误");
    qDebug() << "g_bEnEncryption.";
    PasswordBlock block;
    if (!readExactly(in, block.data(), PASSWORD_BLOCK_SIZE)) {
        msgs.appendLog(failText);
        qDebug() << "g_bEnEncryption. error1";
        g_bEnEncryption = false;
        return false;
    }
    for (int i = 0; i < PASSWORD_BLOCK_SIZE; ++i)
        qDebug().noquote() << QString::asprintf("Decode[%d]: %02X", i, block[i]);
    if (block[PASSWORD_BLOCK_SIZE - 1] != passwordBlockSum(block)) {
        msgs.appendLog(failText);
        qDebug() << "g_bEnEncryption. error2";
        g_bEnEncryption = false;
        return false;
    }
    QString text;
    uint8_t length = 0;
    if (!decodePassword(block, &text, &length)) {
        msgs.appendLog(failText);
        g_bEnEncryption = false;
        return false;
    }
    g_strPsw = text;
    g_ucPswLen = length;
    return true;
}

bool readCalibration(QIODevice &in)
{
    uint8_t raw[PROJECT_CALIBRATION_SIZE];
    if (!readExactly(in, raw, PROJECT_CALIBRATION_SIZE))
        return false;
    const uint32_t bits = qFromLittleEndian<uint32_t>(raw);
    float freq;
    std::memcpy(&freq, &bits, sizeof freq);
    // The Link takes the clock in tenths of a MHz as 16 bits; anything else is a damaged file, not a clock.
    if (!std::isfinite(freq) || freq < 0.0f || freq > kMaxClockMHz)
        return false;
    g_fClockFreq = freq;
    return true;
}

// A stored size is refused before any byte moves when it does not fit the image or the chip's area. The
// size is dropped too, so ticking the area afterwards cannot make anyone copy that many bytes.
bool storedSizesFit(const FileMessages &msgs)
{
    bool fit = true;
    if (g_nBinSize > flashSizeBytes()) {
        msgs.appendLog(QCoreApplication::translate("files", "bin读取错误"));
        g_bEnBin = false;
        g_nBinSize = 0;
        fit = false;
    }
    if (g_nNVRBinSize > bootLoaderSizeBytes()) {
        msgs.appendLog(QCoreApplication::translate("files", "bl读取错误"));
        g_bEnBL = false;
        g_nNVRBinSize = 0;
        fit = false;
    }
    return fit;
}

int loadVersion1Rest(QIODevice &in, const uint8_t info[PROJECT_INFO_SIZE], const QVector<McuInfo> &chips,
                     QString *model, const FileMessages &msgs)
{
    uint8_t name[PROJECT_NAME_SIZE];
    if (!readExactly(in, name, PROJECT_NAME_SIZE))
        return -1;
    const McuInfo *mcu = findMcuByName(chips, fieldText(name, PROJECT_NAME_SIZE));
    if (!mcu) {
        msgs.appendLog(QCoreApplication::translate("files", "项目文件中的mcu型号异常"));
        return -7;
    }
    g_currentMcu = *mcu;
    *model = mcu->strName;

    applyChecksumsAndLimit(info);
    g_nBinSize = qFromLittleEndian<uint32_t>(info + kInfoBinSize);
    g_nNVRBinSize = qFromLittleEndian<uint32_t>(info + kInfoBLSize);
    g_nNVRBinCheckSum = qFromLittleEndian<uint16_t>(info + kInfoBLSum);
    g_rollingSet = rollingFromBytes(info + kInfoRolling);
    g_autoBurnerSet = autoBurnerFromBytes(info + kInfoAutoBurner);

    if (!storedSizesFit(msgs))
        return -6;
    if (!readTableAreas(in, false, msgs))
        return -6;
    if (g_bEnBin) {
        std::memset(g_ucBinBuf, 0xFF, BIN_BUF_SIZE);
        const Area a{g_bEnBin, g_ucBinBuf, BIN_BUF_SIZE, g_nBinSize, flashSizeBytes(), g_nBinCheckSum,
                     QCoreApplication::translate("files", "bin读取错误"),
                     QCoreApplication::translate("files", "bin校验错误")};
        if (!readArea(in, a, false, msgs))
            return -6;
    }
    if (g_bEnBL && g_currentMcu.nBootSectors != 0) {
        std::memset(g_ucNVRBinBuf, 0xFF, NVR_BIN_BUF_SIZE);
        const Area a{g_bEnBL, g_ucNVRBinBuf, NVR_BIN_BUF_SIZE, g_nNVRBinSize, bootLoaderSizeBytes(),
                     g_nNVRBinCheckSum, QCoreApplication::translate("files", "bl读取错误"),
                     QCoreApplication::translate("files", "bl校验错误")};
        if (!readArea(in, a, false, msgs))
            return -6;
    }
    if (g_bEnEncryption && !readPassword(in, msgs))
        return -6;
    if (g_bCaliClock && !readCalibration(in))
        return -6;
    return 0;
}

int loadVersion0Rest(QIODevice &in, const uint8_t info[PROJECT_INFO_SIZE], const QVector<McuInfo> &chips,
                     QString *model, const FileMessages &msgs)
{
    applyChecksumsAndLimit(info);
    g_rollingSet = rollingFromBytes(info + kInfoV0Rolling);
    g_autoBurnerSet = autoBurnerFromBytes(info + kInfoV0AutoBurner);

    if (!readTableAreas(in, true, msgs))
        return -6;
    uint8_t field[PROJECT_V0_NAME_SIZE];
    if (!readExactly(in, field, PROJECT_V0_NAME_SIZE))
        return -1;
    // Byte 0 holds the flash size in KiB, which the current chip already gives. A model the chip list
    // does not know (an all-zero file names none) is refused here, not when the project is used.
    *model = fieldText(field + 1, PROJECT_V0_NAME_SIZE - 1);
    if (!findMcuByName(chips, *model)) {
        msgs.appendLog(QCoreApplication::translate("files", "项目文件中的mcu型号异常"));
        return -7;
    }
    g_currentMcu.strName = *model;

    if (g_bEnBin) {
        // The flash is the rest of the file; refuse it whole when it cannot fit the chip's flash.
        const uint32_t limit = flashSizeBytes();
        const QByteArray rest = in.read(qint64(limit) + 1);
        if (static_cast<uint32_t>(rest.size()) > limit) {
            msgs.appendLog(QCoreApplication::translate("files", "bin读取错误"));
            g_bEnBin = false;
            return -6;
        }
        std::memset(g_ucBinBuf, 0xFF, BIN_BUF_SIZE);
        std::memcpy(g_ucBinBuf, rest.constData(), static_cast<size_t>(rest.size()));
        g_nBinSize = static_cast<uint32_t>(rest.size());
        if (sum16(g_ucBinBuf, limit) != g_nBinCheckSum) {
            g_bEnBin = false;
            std::memset(g_ucBinBuf, 0xFF, BIN_BUF_SIZE);
            return -6;
        }
    }
    return 0;
}

} // namespace

QByteArray projectBytes()
{
    QByteArray out;
    uint8_t header[PROJECT_HEADER_SIZE];
    buildHeader(header);
    appendBytes(out, header, PROJECT_HEADER_SIZE);
    uint8_t info[PROJECT_INFO_SIZE];
    buildInfo(info);
    appendBytes(out, info, PROJECT_INFO_SIZE);
    out.append(modelNameField(g_currentMcu.strName));
    qDebug() << "prj mcu name" << g_currentMcu.strName << "bin_size:" << g_nBinSize << "g_bEnBin:" << g_bEnBin;

    if (nvr1Stored())
        appendBytes(out, g_ucNVRBuf1, nvrSectorBytes());
    if (g_bEnNVR2)
        appendBytes(out, g_ucNVRBuf2, nvrSectorBytes());
    if (g_bEnNVR3)
        appendBytes(out, g_ucNVRBuf3, nvrSectorBytes());
    if (g_bEnEE)
        appendBytes(out, g_ucEEBuf, eepromSizeBytes());
    if (g_bEnBin)
        appendBytes(out, g_ucBinBuf, storedBinSize());
    if (bootLoaderStored())
        appendBytes(out, g_ucNVRBinBuf, storedBLSize());
    if (g_bEnEncryption) {
        const PasswordBlock block = encodePassword(g_strPsw, g_ucPswLen);
        appendBytes(out, block.data(), PASSWORD_BLOCK_SIZE);
    }
    if (g_bCaliClock) {
        uint32_t bits;
        std::memcpy(&bits, &g_fClockFreq, sizeof bits);
        uint8_t raw[PROJECT_CALIBRATION_SIZE];
        qToLittleEndian<uint32_t>(bits, raw);
        appendBytes(out, raw, PROJECT_CALIBRATION_SIZE);
    }
    return out;
}

int saveProject(const QString &path, QString *error)
{
    if (path.isEmpty())
        return -1;
    return replaceFile(path, projectBytes(), error) ? 0 : -3;
}

namespace {
RollingLimits rollingLimitsOfChip(const McuInfo &chip)
{
    RollingLimits l;
    l.flashBytes = chip.nFlashSizeKB * 1024u;
    l.sectorSize = chip.nSectorSize;
    l.bootSectors = chip.nBootSectors;
    l.eepromSize = chip.nEepromSize;
    return l;
}
}

int loadProjectFrom(QIODevice &in, const QVector<McuInfo> &chips, const SelectChipFn &selectChip,
                    const FileMessages &msgs)
{
    uint8_t header[PROJECT_HEADER_SIZE];
    if (!readExactly(in, header, PROJECT_HEADER_SIZE))
        return -1;
    if (header[kHeadSum] != sum8(header + 1, PROJECT_HEADER_SIZE - 1)) {
        qDebug() << "head check sum fail";
        return -4;
    }
    resetImages();
    resetProduction();
    applyHeader(header);

    uint8_t info[PROJECT_INFO_SIZE];
    if (!readExactly(in, info, PROJECT_INFO_SIZE))
        return -1;
    if (info[kInfoSum] != sum8(info, kInfoSum))
        return -5;

    QString model;
    const int rc = header[kHeadVersion] == 1 ? loadVersion1Rest(in, info, chips, &model, msgs)
                                             : loadVersion0Rest(in, info, chips, &model, msgs);
    if (rc != 0)
        return rc;
    // The Link would burn such a number wherever it points; the editors never let one through.
    if (g_bEnRollCode) {
        const QString problem = rolling::recordProblem(g_rollingSet, rollingLimitsOfChip(g_currentMcu));
        if (!problem.isEmpty()) {
            const QString text = QCoreApplication::translate("files", "项目中的序列号设置有误：%1").arg(problem);
            msgs.showBox(QCoreApplication::translate("files", "警告"), text);
            msgs.appendLog(text);
            return -8;
        }
    }
    if (selectChip)
        selectChip(model);
    return 0;
}

int loadProject(const QString &path, const QVector<McuInfo> &chips, const SelectChipFn &selectChip,
                const FileMessages &msgs)
{
    if (path.isEmpty())
        return -1;
    const QString problem = inputProblem(path, projectFileMaxSize());
    if (!problem.isEmpty()) {
        msgs.appendLog(problem);
        return -3;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -3;
    return loadProjectFrom(file, chips, selectChip, msgs);
}
