// Project loader: the first byte picks the chip that is current while the file is read.
#include "fuzzsupport.h"
#include "files/projectfile.h"

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
    fuzzsupport::selectChip(data[0]);
    QBuffer file;
    file.setData(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    file.open(QIODevice::ReadOnly);
    const int rc = loadProjectFrom(file, fuzzsupport::chips(), nullptr, FileMessages());
    fuzzsupport::check(rc == 0 || (rc <= -1 && rc >= -7), "documented result");
    fuzzsupport::check(g_nBinSize <= BIN_BUF_SIZE, "flash size within the image");
    if (rc == 0) {
        fuzzsupport::check(g_nBinSize <= flashSizeBytes(), "flash size within the chip");
        // What a successful load enables must save again without reading past an image.
        (void)projectBytes();
    }
    return 0;
}
