#pragma once

#include "filemessages.h"
#include "imagetarget.h"

#include <QString>

// Raw image loading. The data size becomes the file length; a file longer than the chip's area is refused
// with a warning (size 0, nothing read) and still returns 0. The image is not prefilled: the caller's
// fill-and-checksum step sets everything behind the data to 0xFF.
// Results: 0 done, -1 empty path, -2 no such file, -3 cannot open, or not a regular file of at most
// RAW_FILE_MAX_SIZE bytes (the reason in the log).
int readBinFile(const QString &path, ImageTarget target, const FileMessages &msgs);

// Writes the flash image (g_nBinSize bytes) when g_bEnBin is set, else the BootLoader image
// (g_nNVRBinSize bytes) when g_bEnBL is set, else an empty file. Both areas enabled: a warning, nothing
// written. Results: 0 written, -1 empty path or both areas enabled, -3 cannot write (the previous file
// stays whole; the reason in *error).
int saveBin(const QString &path, const FileMessages &msgs, QString *error = nullptr);
