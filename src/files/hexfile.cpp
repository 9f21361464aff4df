#include "hexfile.h"

#include "inputfile.h"
#include "chip/mcuinfo.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <string_view>

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

bool isDataRecord(std::string_view line)
{
    return line.size() > 8 && line[0] == ':' && line[7] == '0' && line[8] == '0';
}

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// A record the loader passes over by its rule (end of file, address extension, start address).
bool isOtherRecord(std::string_view line)
{
    return line.size() > 8 && line[0] == ':' && hexField(line, 7, 2) >= 0;
}

// Records that start inside a line are never read: the line holds the first one only. A file whose
// lines end in a lone CR is one such line.
int recordsInsideLine(std::string_view line)
{
    int count = 0;
    for (size_t i = line.find(':', 1); i != std::string_view::npos; i = line.find(':', i + 1))
        ++count;
    return count;
}

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
    uint8_t *image = targetBuffer(target);
    uint32_t &dataSize = targetDataSize(target);
    const uint32_t limit = targetLimit(target);
    std::memset(image, 0xFF, targetCapacity(target));
    dataSize = 0;

    // One read of the whole file: reading it line by line allocates and grows a buffer for every record,
    // which costs more than the parsing. Each line is a view into it, line break included, as readLine gives.
    const QByteArray all = in.readAll();
    const std::string_view text(all.constData(), static_cast<size_t>(all.size()));
    for (size_t pos = 0; pos < text.size();) {
        const size_t lineEnd = text.find('\n', pos);
        const size_t next = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        const std::string_view line = text.substr(pos, next - pos);
        pos = next;
        scan.recordsInsideLines += recordsInsideLine(line);
        if (!isDataRecord(line)) {
            scan.skippedLines += !isBlank(line) && !isOtherRecord(line);
            continue;
        }
        const int length = hexField(line, 1, 2);
        const int address = hexField(line, 3, 4);
        if (length < 0 || address < 0) {
            ++scan.skippedLines;
            continue;
        }
        ++scan.dataRecords;
        const uint32_t end = static_cast<uint32_t>(address + length);
        if (end > dataSize)
            dataSize = end;
        // The limit never exceeds the image, so this check also keeps records near 0xFFFF inside it.
        if (dataSize > limit) {
            abortOverflow(target, msgs);
            return scan;
        }
        for (int i = 0; i < length; ++i) {
            const int byte = hexField(line, 9 + 2 * size_t(i), 2);
            image[address + i] = static_cast<uint8_t>(byte < 0 ? 0 : byte);
        }
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
