#pragma once

#include <QString>
#include <QtGlobal>

// A limit on the size of every file this process writes, so a test fills "the disk" without filling the
// machine's: a write past it fails (EFBIG) instead of ending the process. One file per platform
// (filesizelimit_posix.cpp, filesizelimit_win.cpp).

// Why this system has no such limit (for QSKIP), or empty when limitFileSize() works.
QString fileSizeLimitMissing();
// False when the limit could not be set.
bool limitFileSize(qint64 bytes);
