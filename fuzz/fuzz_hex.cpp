// Intel HEX loader: the first byte picks the chip and the target image, the rest is the file.
#include "fuzzsupport.h"
#include "files/hexfile.h"

#include <QBuffer>

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
    QBuffer file;
    file.setData(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    readHexFrom(file, target, FileMessages());
    fuzzsupport::check(targetDataSize(target) <= targetLimit(target), "data size within the chip's area");
    return 0;
}
