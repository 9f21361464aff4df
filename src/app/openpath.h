#pragma once

#include <QString>

// The last-opened directory, kept in openpath.pth in the application folder.

// The file's first line (8-bit text up to the first NUL); `fallback` when the file is missing or the line
// is empty.
QString readOpenPath(const QString &appDir, const QString &fallback);

// Truncates the file and writes `dir` as UTF-8 without a line end. A failure is ignored.
void writeOpenPath(const QString &appDir, const QString &dir);
