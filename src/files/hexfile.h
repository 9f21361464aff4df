#pragma once

#include "filemessages.h"
#include "imagetarget.h"

#include <QString>

class QIODevice;

// Intel HEX loading. Only data records (type 00) count; addresses are the 16-bit record addresses (no
// address extension) and record checksums are not checked. The target image is first filled with 0xFF and
// its data size becomes the highest end address seen. Data beyond the chip's area aborts the load with a
// warning, leaves the image all 0xFF and the size 0, and still returns 0.
// What a load found, for a caller that reports it (the loader itself follows its rules silently).
struct HexScan
{
    int dataRecords = 0;         // data records read (their length and address parsed)
    int skippedLines = 0;        // lines that are no record at all, or data records whose fields do not parse
    int recordsInsideLines = 0;  // records starting inside a line, never read (lone CR line ends)
};

// Results: 0 done, -1 empty path, -2 no such file, -3 cannot open, or not a regular file of at most
// HEX_FILE_MAX_SIZE bytes (the reason in the log). `scan` (may be null) receives what a done load found.
int readHexFile(const QString &path, ImageTarget target, const FileMessages &msgs, HexScan *scan = nullptr);
int reloadBinHex(const QString &path, const FileMessages &msgs);  // always the flash image
int reloadBLHex(const QString &path, const FileMessages &msgs);   // always the BootLoader image

// The loader behind readHexFile, on an open device.
HexScan readHexFrom(QIODevice &in, ImageTarget target, const FileMessages &msgs);

// "芯片<model>flash最大为<limit>" and its BootLoader variants, shared with the BIN loader.
QString imageOverflowText(ImageTarget target, bool binFile);
