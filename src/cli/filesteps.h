#pragma once

#include "files/imagetarget.h"
#include "files/inputfile.h"

#include <QString>
#include <QStringList>
#include <QVector>

class ChipChoice;

// The outcome of a file step: 0, or the exit status with the texts to show on stderr.
struct FileOutcome
{
    int status = 0;
    QStringList messages;
    bool ok() const { return status == 0; }
};

// Classifies and checks an input file once for the loading steps below: a suffix other than .hex, .ihx,
// .bin or .mprj fails with ExitStatus::Usage, a file that is missing, not a regular file or too large
// with ExitStatus::BadInput, before a byte is read.
FileOutcome inspectInputFile(const QString &path, InputFile *in);

// Loads a checked .hex/.ihx or .bin file into `target` with the window's loaders, enables the target's area
// and brings its size and checksum in line. A file the loader refuses, one larger than the area (the
// window's warning box), a HEX file without a single data record or an empty BIN file fails with
// ExitStatus::BadInput and the texts that say why. Skipped HEX lines are a warning with their count.
FileOutcome loadImageFile(const InputFile &in, ImageTarget target);

// Loads a checked .mprj file: chip, areas, images and production settings. Failures as above.
FileOutcome loadProjectFile(const InputFile &in, const ChipChoice &chips);

// Fails with ExitStatus::CannotWrite unless `path` can be written (an existing writable regular file, or
// a new name in a writable folder); nothing is created.
FileOutcome checkWritable(const QString &path);

// Writes one area's image as a raw file: rom and bl as the window's BIN save writes them (their data
// size), the others their whole area. Written through a temporary file; ExitStatus::CannotWrite on
// failure, a short write included, with the previous file left whole.
FileOutcome writeAreaBin(const QString &path, int area);

// Writes the current chip, enabled areas and settings as a project. ExitStatus::CannotWrite on failure, as
// above.
FileOutcome writeProject(const QString &path);
