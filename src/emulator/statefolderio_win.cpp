#include "statefolderio.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>

#include <windows.h>

namespace {
QString systemError(const QString &path)
{
    wchar_t *text = nullptr;
    const DWORD code = GetLastError();
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString reason = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(code);
    LocalFree(text);
    return QStringLiteral("%1: %2").arg(path, reason);
}

std::wstring native(const QString &path) { return QDir::toNativeSeparators(path).toStdWString(); }

// Opens the file itself, never what a reparse point (symlink, junction) names.
HANDLE openNoFollow(const QString &path, DWORD access, DWORD disposition)
{
    return CreateFileW(native(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool isPlainFile(HANDLE h, LARGE_INTEGER *size)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info))
        return false;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    size->LowPart = info.nFileSizeLow;
    size->HighPart = LONG(info.nFileSizeHigh);
    return true;
}
} // namespace

bool FolderLock::tryLock(QString *error)
{
    unlock();
    error->clear();
    HANDLE h = openNoFollow(m_path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (h == INVALID_HANDLE_VALUE) {
        *error = systemError(m_path);
        return false;
    }
    LARGE_INTEGER size{};
    if (!isPlainFile(h, &size)) {
        CloseHandle(h);
        *error = QStringLiteral("%1 is not a regular file").arg(m_path);
        return false;
    }
    OVERLAPPED at = {};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        if (GetLastError() != ERROR_LOCK_VIOLATION)
            *error = systemError(m_path);
        CloseHandle(h);
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(h);
    return true;
}

void FolderLock::unlock()
{
    if (m_handle != kNone) {
        // Closing the handle releases the lock.
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
        m_handle = kNone;
    }
}

bool replaceFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo target(path);
    const QString temp = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.')
                         + QUuid::createUuid().toString(QUuid::Id128);
    HANDLE h = CreateFileW(native(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = systemError(temp);
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.constData(), DWORD(bytes.size()), &written, nullptr)
                    && written == DWORD(bytes.size()) && FlushFileBuffers(h);
    if (!ok && written != DWORD(bytes.size()))
        SetLastError(ERROR_DISK_FULL);
    const QString writeError = ok ? QString() : systemError(path);
    CloseHandle(h);
    if (!ok || !MoveFileExW(native(temp).c_str(), native(path).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *error = ok ? systemError(path) : writeError;
        DeleteFileW(native(temp).c_str());
        return false;
    }
    return true;
}

// A file held open here could not be replaced by the program that saves next: nothing is held, the file is
// read at every look.
bool HeldFile::hold(const QString &)
{
    return false;
}

bool HeldFile::stillAt(const QString &) const
{
    return false;
}

void HeldFile::release() {}

StateRead readRegularFile(const QString &path, qint64 maxSize, QByteArray *bytes, QString *error, qint64 head)
{
    HANDLE h = openNoFollow(path, GENERIC_READ, OPEN_EXISTING);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return StateRead::Missing;
        // A folder cannot be opened as a file at all.
        const DWORD attributes = GetFileAttributesW(native(path).c_str());
        *error = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                     ? QStringLiteral("%1 is not a regular file").arg(path)
                     : systemError(path);
        return StateRead::Refused;
    }
    LARGE_INTEGER size{};
    if (!isPlainFile(h, &size) || size.QuadPart > maxSize) {
        CloseHandle(h);
        *error = size.QuadPart > maxSize ? QStringLiteral("%1 is larger than a state file can be").arg(path)
                                         : QStringLiteral("%1 is not a regular file").arg(path);
        return StateRead::Refused;
    }
    const qint64 wanted = head >= 0 ? std::min<qint64>(head, size.QuadPart) : size.QuadPart;
    bytes->resize(int(wanted));
    DWORD read = 0;
    const bool ok = ReadFile(h, bytes->data(), DWORD(wanted), &read, nullptr) && read == DWORD(wanted);
    if (!ok)
        *error = systemError(path);
    CloseHandle(h);
    return ok ? StateRead::Read : StateRead::Refused;
}
