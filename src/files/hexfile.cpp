#include "hexfile.h"

#include "inputfile.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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

// Bytes read from the file at a time (the file is read unbuffered, straight into the piece).
constexpr size_t kReadPiece = 16 * 1024;

// The most bytes a record holds: length, address (2), type, 255 data bytes and the checksum.
constexpr size_t kMaxRecordBytes = 260;

// Checks one record line the way objcopy and srec_cat do: hexadecimal digits only, whole bytes, a length
// byte that matches the data, and a checksum that brings the sum of all bytes to zero. Decodes it on the way
// into `bytes` (kMaxRecordBytes): every digit is read once. Returns the reason it is refused, or nullptr.
const char *decodeRecord(std::string_view record, uint8_t *bytes)
{
    if (record.find(':', 1) != std::string_view::npos)
        return QT_TRANSLATE_NOOP("files", "一行中有多条记录（行尾只有 CR？）");
    const char *digits = record.data() + 1;
    const size_t count = record.size() - 1;
    uint8_t sum = 0;
    size_t n = 0;
    for (size_t i = 0; i + 1 < count; i += 2, ++n) {
        const int high = hexDigit(digits[i]);
        const int low = hexDigit(digits[i + 1]);
        if ((high | low) < 0)
            return QT_TRANSLATE_NOOP("files", "含有非十六进制字符");
        const uint8_t byte = uint8_t(high << 4 | low);
        sum = uint8_t(sum + byte);
        if (n < kMaxRecordBytes)
            bytes[n] = byte;
    }
    if (count % 2 != 0 && hexDigit(digits[count - 1]) < 0)
        return QT_TRANSLATE_NOOP("files", "含有非十六进制字符");
    // A record longer than kMaxRecordBytes never matches its length byte: what was not kept is not needed.
    if (count < 10 || count % 2 != 0 || size_t(bytes[0]) * 2 + 10 != count)
        return QT_TRANSLATE_NOOP("files", "记录不完整或长度不符");
    if (sum != 0)
        return QT_TRANSLATE_NOOP("files", "校验和错误");
    return nullptr;
}

constexpr int kDataRecord = 0x00;
constexpr int kEndOfFileRecord = 0x01;

void abortOverflow(ImageTarget target, const FileMessages &msgs)
{
    eraseImage(targetBuffer(target), targetCapacity(target));
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
    // The whole file is checked before the image is touched: a refused file leaves the previous image as it was.
    // Each data record that passed: its address (2 bytes), length and bytes, one after the other in one
    // vector (a vector per kind would grow and copy twice as much fresh memory).
    std::vector<uint8_t> data;
    data.reserve(size_t(std::max<qint64>(in.size(), 0) / 2));
    uint8_t bytes[kMaxRecordBytes];
    int lineNumber = 0;
    int lastType = -1;
    // One line, its line break included; false when it refuses the file.
    const auto takeLine = [&](std::string_view line) {
        ++lineNumber;
        if (line.empty() || line[0] != ':') {
            scan.skippedLines += !isBlank(line);
            return true;
        }
        if (const char *problem = decodeRecord(recordText(line), bytes)) {
            scan.problem = QCoreApplication::translate("files", problem);
            scan.problemLine = lineNumber;
            return false;
        }
        lastType = bytes[3];
        if (lastType == kDataRecord) {
            const uint8_t head[3] = {bytes[1], bytes[2], bytes[0]};
            data.insert(data.end(), head, head + 3);
            data.insert(data.end(), bytes + 4, bytes + 4 + bytes[0]);
        }
        return true;
    };
    // Read in pieces into one buffer that is used again, not whole: fresh memory for a whole file costs more
    // than the parsing. A line longer than the buffer grows it.
    std::vector<char> buffer(kReadPiece);
    size_t held = 0;  // bytes in the buffer: the start of a line not yet ended
    for (;;) {
        if (held == buffer.size())
            buffer.resize(buffer.size() * 2);
        const qint64 got = in.read(buffer.data() + held, qint64(buffer.size() - held));
        if (got <= 0)
            break;
        const std::string_view text(buffer.data(), held + size_t(got));
        size_t pos = 0;
        for (size_t lineEnd; (lineEnd = text.find('\n', pos)) != std::string_view::npos; pos = lineEnd + 1) {
            if (!takeLine(text.substr(pos, lineEnd + 1 - pos)))
                return scan;
        }
        held = text.size() - pos;
        std::memmove(buffer.data(), buffer.data() + pos, held);
    }
    // The last line may end without a line break.
    if (held > 0 && !takeLine(std::string_view(buffer.data(), held)))
        return scan;
    // A build still writing the file has not written its end record yet.
    if (lastType >= 0 && lastType != kEndOfFileRecord) {
        scan.problem = QCoreApplication::translate("files", "没有结束记录（:00000001FF），文件不完整，可能仍在写入");
        return scan;
    }

    uint8_t *image = targetBuffer(target);
    uint32_t &dataSize = targetDataSize(target);
    const uint32_t limit = targetLimit(target);
    eraseImage(image, targetCapacity(target));
    dataSize = 0;
    for (size_t at = 0; at < data.size();) {
        const uint32_t address = uint32_t(data[at]) << 8 | data[at + 1];
        const uint32_t length = data[at + 2];
        const uint8_t *recordBytes = data.data() + at + 3;
        at += 3 + length;
        ++scan.dataRecords;
        const uint32_t end = address + length;
        if (end > dataSize)
            dataSize = end;
        // The limit never exceeds the image, so this check also keeps records near 0xFFFF inside it.
        if (dataSize > limit) {
            abortOverflow(target, msgs);
            return scan;
        }
        std::memcpy(image + address, recordBytes, length);
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
    // Unbuffered: the parser reads in pieces of its own, and a buffer behind them would copy every byte twice.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
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
