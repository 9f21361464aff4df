#include "hexfile.h"

#include "inputfile.h"
#include "chip/mcuinfo.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <string_view>
#include <vector>

namespace {

// Hexadecimal digit values by character, -1 for every other character: one lookup per digit.
struct HexDigits
{
    int8_t value[256];
    constexpr HexDigits() : value()
    {
        for (int c = 0; c < 256; ++c)
            value[c] = c >= '0' && c <= '9' ? int8_t(c - '0')
                     : c >= 'A' && c <= 'F' ? int8_t(c - 'A' + 10)
                     : c >= 'a' && c <= 'f' ? int8_t(c - 'a' + 10)
                                            : int8_t(-1);
    }
};
constexpr HexDigits kHexDigits;

int hexDigit(char c)
{
    return kHexDigits.value[static_cast<uint8_t>(c)];
}

// Value of `digits` hexadecimal characters at `pos`; -1 when any is missing or not a hex digit.
int hexField(std::string_view line, size_t pos, size_t digits)
{
    if (pos + digits > line.size())
        return -1;
    int value = 0;
    for (size_t i = 0; i < digits; ++i) {
        const int d = hexDigit(line[pos + i]);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The record of a line that starts with ':' without its line end and trailing blanks.
std::string_view recordText(std::string_view line)
{
    const size_t last = line.find_last_not_of(" \t\r\n");
    return line.substr(0, last + 1);
}

// Checks one record line the way objcopy and srec_cat do: hexadecimal digits only, whole bytes, a length
// byte that matches the data, and a checksum that brings the sum of all bytes to zero. Returns the reason
// it is refused, or nullptr.
const char *recordProblem(std::string_view record)
{
    if (record.find(':', 1) != std::string_view::npos)
        return QT_TRANSLATE_NOOP("files", "一行中有多条记录（行尾只有 CR？）");
    for (size_t i = 1; i < record.size(); ++i) {
        if (hexDigit(record[i]) < 0)
            return QT_TRANSLATE_NOOP("files", "含有非十六进制字符");
    }
    const size_t digits = record.size() - 1;
    if (digits < 10 || digits % 2 != 0 || hexField(record, 1, 2) * 2 + 10 != int(digits))
        return QT_TRANSLATE_NOOP("files", "记录不完整或长度不符");
    uint8_t sum = 0;
    for (size_t i = 1; i < record.size(); i += 2)
        sum = uint8_t(sum + hexField(record, i, 2));
    if (sum != 0)
        return QT_TRANSLATE_NOOP("files", "校验和错误");
    return nullptr;
}

constexpr int kDataRecord = 0x00;
constexpr int kEndOfFileRecord = 0x01;

void abortOverflow(ImageTarget target, const FileMessages &msgs)
{
    std::memset(targetBuffer(target), 0xFF, targetCapacity(target));
    targetDataSize(target) = 0;
    const QString text = imageOverflowText(target, false);
    msgs.showBox(QCoreApplication::translate("files", "警告"), text);
    msgs.appendLog(text);
}

} // namespace

QString imageOverflowText(ImageTarget target, bool binFile)
{
    const char *text = QT_TRANSLATE_NOOP("files", "芯片%1flash最大为%2");
    if (target == ImageTarget::BootLoader)
        text = binFile ? QT_TRANSLATE_NOOP("files", "芯片%1BL 最大为%2")
                       : QT_TRANSLATE_NOOP("files", "芯片%1BootLoader最大为%2");
    return QCoreApplication::translate("files", text).arg(g_currentMcu.strName, QString::number(targetLimit(target)));
}

HexScan readHexFrom(QIODevice &in, ImageTarget target, const FileMessages &msgs)
{
    HexScan scan;
    // One read of the whole file: reading it line by line allocates and grows a buffer for every record,
    // which costs more than the parsing. Each line is a view into it, line break included.
    const QByteArray all = in.readAll();
    const std::string_view text(all.constData(), static_cast<size_t>(all.size()));

    // The whole file is checked before the image is touched: a refused file leaves the previous image as it was.
    std::vector<std::string_view> data;
    int lineNumber = 0;
    int lastType = -1;
    for (size_t pos = 0; pos < text.size();) {
        const size_t lineEnd = text.find('\n', pos);
        const size_t next = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        const std::string_view line = text.substr(pos, next - pos);
        pos = next;
        ++lineNumber;
        if (line.empty() || line[0] != ':') {
            scan.skippedLines += !isBlank(line);
            continue;
        }
        const std::string_view record = recordText(line);
        if (const char *problem = recordProblem(record)) {
            scan.problem = QCoreApplication::translate("files", problem);
            scan.problemLine = lineNumber;
            return scan;
        }
        lastType = hexField(record, 7, 2);
        if (lastType == kDataRecord)
            data.push_back(record);
    }
    // A build still writing the file has not written its end record yet.
    if (lastType >= 0 && lastType != kEndOfFileRecord) {
        scan.problem = QCoreApplication::translate("files", "没有结束记录（:00000001FF），文件不完整，可能仍在写入");
        return scan;
    }

    uint8_t *image = targetBuffer(target);
    uint32_t &dataSize = targetDataSize(target);
    const uint32_t limit = targetLimit(target);
    std::memset(image, 0xFF, targetCapacity(target));
    dataSize = 0;
    for (const std::string_view record : data) {
        const int length = hexField(record, 1, 2);
        const int address = hexField(record, 3, 4);
        ++scan.dataRecords;
        const uint32_t end = static_cast<uint32_t>(address + length);
        if (end > dataSize)
            dataSize = end;
        // The limit never exceeds the image, so this check also keeps records near 0xFFFF inside it.
        if (dataSize > limit) {
            abortOverflow(target, msgs);
            return scan;
        }
        for (int i = 0; i < length; ++i)
            image[address + i] = static_cast<uint8_t>(hexField(record, 9 + 2 * size_t(i), 2));
    }
    if (target == ImageTarget::BootLoader)
        qDebug().noquote() << QString::asprintf("open hex nvr boot size %d", static_cast<int>(dataSize));
    return scan;
}

int readHexFile(const QString &path, ImageTarget target, const FileMessages &msgs, HexScan *scan)
{
    if (path.isEmpty())
        return -1;
    if (!QFileInfo::exists(path))
        return -2;
    const QString problem = inputProblem(path, HEX_FILE_MAX_SIZE);
    if (!problem.isEmpty()) {
        msgs.appendLog(problem);
        return -3;
    }
    // Binary: the parser takes CR LF and LF alike, and text mode would copy the file once more to drop CRs.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -3;
    const HexScan found = readHexFrom(file, target, msgs);
    if (scan)
        *scan = found;
    if (!found.problem.isEmpty()) {
        const QString text = found.problemLine > 0
            ? QCoreApplication::translate("files", "HEX 文件 %1 第 %2 行有误：%3。文件未载入。")
                  .arg(QDir::toNativeSeparators(path)).arg(found.problemLine).arg(found.problem)
            : QCoreApplication::translate("files", "HEX 文件 %1 有误：%2。文件未载入。")
                  .arg(QDir::toNativeSeparators(path), found.problem);
        msgs.showBox(QCoreApplication::translate("files", "警告"), text);
        msgs.appendLog(text);
        return -4;
    }
    return 0;
}

int reloadBinHex(const QString &path, const FileMessages &msgs)
{
    return readHexFile(path, ImageTarget::Flash, msgs);
}

int reloadBLHex(const QString &path, const FileMessages &msgs)
{
    return readHexFile(path, ImageTarget::BootLoader, msgs);
}
