#include "filesync.h"

#include <QFileDevice>

#include <io.h>
#include <windows.h>

bool syncFileData(QFileDevice &file)
{
    if (file.handle() >= 0)
        return ::_commit(file.handle()) == 0;
    // Qt opens files with native handles it does not hand out. The cache is the file's, not the handle's:
    // flushing through a second handle to the same file writes what the first one wrote.
    const HANDLE other = CreateFileW(reinterpret_cast<const wchar_t *>(file.fileName().utf16()), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (other == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(other) != 0;
    CloseHandle(other);
    return flushed;
}
