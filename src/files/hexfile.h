#pragma once

#include "filemessages.h"
#include "imagetarget.h"

#include <QString>

class QIODevice;

// Intel HEX loading. Only data records (type 00) count; addresses are the 16-bit record addresses (no
// address extension), other record types and lines that do not start with ':' are passed over. Every
// record line must be whole: hexadecimal digits only, a length that matches its data, a correct checksum,
// and the last record must be the end-of-file record. A file that breaks one of these is refused and the
// image keeps what it held. Otherwise the target image is first filled with 0xFF and its data size becomes
// the highest end address seen. Data beyond the chip's area aborts the load with a warning, leaves the image
// all 0xFF and the size 0, and still returns 0.
// What a load found, for a caller that reports it.
struct HexScan
{
    int dataRecords = 0;   // data records read
    int skippedLines = 0;  // lines that are no record at all (not blank, not starting with ':')
    QString problem;       // why the file was refused; empty when it was read
    int problemLine = 0;   // the line of a refused record; 0 when the end record is missing
};

// Results: 0 done, -1 empty path, -2 no such file, -3 cannot open, or not a regular file of at most
// HEX_FILE_MAX_SIZE bytes (the reason in the log), -4 a damaged or incomplete file (a warning box naming
// the line, the same text in the log). `scan` (may be null) receives what the load found.
int readHexFile(const QString &path, ImageTarget target, const FileMessages &msgs, HexScan *scan = nullptr);
int reloadBinHex(const QString &path, const FileMessages &msgs);  // always the flash image
int reloadBLHex(const QString &path, const FileMessages &msgs);   // always the BootLoader image

// The loader behind readHexFile, on an open device; a refused file leaves `problem` set and the images alone.
HexScan readHexFrom(QIODevice &in, ImageTarget target, const FileMessages &msgs);

// "芯片<model>flash最大为<limit>" and its BootLoader variants, shared with the BIN loader.
QString imageOverflowText(ImageTarget target, bool binFile);
