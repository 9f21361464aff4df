// The HEX loader's integrity rules against a plain second reading of the same rules: the loader takes a file
// exactly when every record line is whole (hex digits, length, checksum) and the last record ends the file;
// a taken file gives the image the second reading builds, a refused one leaves the image as it was.
#include "fuzzsupport.h"
#include "files/hexfile.h"

#include <QBuffer>
#include <QList>

#include <cstring>

namespace {

struct Expected
{
    bool taken = false;
    QByteArray image;  // the whole target image when taken
    uint32_t size = 0;
};

QByteArray trimmedEnd(const QByteArray &line)
{
    int n = line.size();
    while (n > 0 && (line[n - 1] == ' ' || line[n - 1] == '\t' || line[n - 1] == '\r' || line[n - 1] == '\n'))
        --n;
    return line.left(n);
}

bool allHex(const QByteArray &digits)
{
    for (char c : digits) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

Expected secondReading(const QByteArray &file, uint32_t capacity, uint32_t limit)
{
    Expected e;
    QList<QByteArray> data;
    int lastType = -1;
    for (const QByteArray &line : file.split('\n')) {
        if (!line.startsWith(':'))
            continue;
        const QByteArray digits = trimmedEnd(line).mid(1);
        if (!allHex(digits) || digits.size() % 2 != 0 || digits.size() < 10)
            return e;
        const QByteArray bytes = QByteArray::fromHex(digits);
        if (uint8_t(bytes[0]) + 5 != bytes.size())
            return e;
        uint8_t sum = 0;
        for (char b : bytes)
            sum = uint8_t(sum + uint8_t(b));
        if (sum != 0)
            return e;
        lastType = uint8_t(bytes[3]);
        if (lastType == 0)
            data << bytes;
    }
    if (lastType >= 0 && lastType != 1)
        return e;
    e.taken = true;
    e.image = QByteArray(int(capacity), '\xFF');
    for (const QByteArray &r : qAsConst(data)) {
        const uint32_t address = uint32_t(uint8_t(r[1])) << 8 | uint8_t(r[2]);
        const uint32_t end = address + uint8_t(r[0]);
        e.size = std::max(e.size, end);
        if (e.size > limit) {
            e.image.fill('\xFF');
            e.size = 0;
            return e;
        }
        std::memcpy(e.image.data() + address, r.constData() + 4, uint8_t(r[0]));
    }
    return e;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    fuzzsupport::selectChip(data[0] >> 1);
    const ImageTarget target = (data[0] & 1) ? ImageTarget::BootLoader : ImageTarget::Flash;
    const QByteArray file(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    uint8_t *image = targetBuffer(target);
    const uint32_t capacity = targetCapacity(target);
    std::memset(image, 0x5A, capacity);
    targetDataSize(target) = 77;

    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    const HexScan scan = readHexFrom(buffer, target, FileMessages());
    const Expected expected = secondReading(file, capacity, targetLimit(target));

    fuzzsupport::check(scan.problem.isEmpty() == expected.taken, "refused exactly when a rule is broken");
    if (!expected.taken) {
        fuzzsupport::check(targetDataSize(target) == 77, "a refused file leaves the data size");
        for (uint32_t i = 0; i < capacity; ++i)
            fuzzsupport::check(image[i] == 0x5A, "a refused file leaves the image");
        return 0;
    }
    fuzzsupport::check(targetDataSize(target) == expected.size, "data size as the records say");
    fuzzsupport::check(std::memcmp(image, expected.image.constData(), capacity) == 0, "image as the records say");
    return 0;
}
