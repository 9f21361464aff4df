#pragma once

#include "filekind.h"

#include <QString>
#include <QtGlobal>

// Every file either program reads is checked here before a byte of it is read: it must be a regular file
// (a FIFO would block the reader forever, a device such as /dev/zero never ends) no longer than any file
// of its kind can sensibly be.
constexpr qint64 HEX_FILE_MAX_SIZE = 4 * 1024 * 1024;   // 64 KiB in one-byte records is under 1 MB
constexpr qint64 RAW_FILE_MAX_SIZE = 1024 * 1024;       // BIN images and table files; the loaders cut them
qint64 projectFileMaxSize();                            // every area enabled at its largest
qint64 cfgFileMaxSize();                                // the pad, a payload as long as the pad, the sum

// The largest file of `kind` worth reading; 0 for FileKind::Other.
qint64 inputMaxSize(FileKind kind);

// Why `path` cannot be read as an input of at most `maxSize` bytes ("a folder", "a FIFO", "larger than
// ..."), prefixed with the path; empty when it can. A missing file is a problem too.
QString inputProblem(const QString &path, qint64 maxSize);

// Why an existing `path` must not be opened for writing or appending (anything but a regular file or a
// symbolic link to one), without the path; empty when it may, or when it does not exist yet.
QString outputProblem(const QString &path);

// An input file classified by its suffix and checked against its kind's limit, once, for whoever reads it.
struct InputFile
{
    QString path;
    FileKind kind = FileKind::Other;
    qint64 size = 0;
    QString problem;  // empty when the file can be read as `kind`

    bool ok() const { return problem.isEmpty(); }
};

// Other kinds are classified but not checked: the caller refuses them by name.
InputFile inspectInput(const QString &path);
