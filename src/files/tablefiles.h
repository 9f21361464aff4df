#pragma once

#include <QString>

// Raw table images without a header: an .eep file is the first nEepromSize bytes of the EEPROM image, an
// .nvr file the first nSectorSize bytes of the NVR1 image.
// Reading fills the start of the image with what the file holds, up to the area size, and leaves the rest
// as it was; enable flags and checksums stay untouched.
// Read results: 0 read, -1 empty path, -2 no such file, -3 cannot open or not a regular file of at most
// RAW_FILE_MAX_SIZE bytes.
int readEepFile(const QString &path);
int readNvrFile(const QString &path);

// Write results: 0 written, -1 empty path, -3 cannot write (the previous file stays whole; the reason in
// *error).
int saveEepFile(const QString &path, QString *error = nullptr);
int saveNvrFile(const QString &path, QString *error = nullptr);
