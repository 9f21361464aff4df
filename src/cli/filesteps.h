#pragma once

#include "files/filekind.h"
#include "files/imagetarget.h"

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

// Loads a .hex or .bin file into `target` with the window's loaders, enables the target's area and brings
// its size and checksum in line. A file the loader refuses, or one larger than the area (the window's warning box), fails with
// ExitStatus::BadInput and the loader's texts.
FileOutcome loadImageFile(const QString &path, ImageTarget target);

// Loads a .mprj file: chip, areas, images and production settings. Failures as above.
FileOutcome loadProjectFile(const QString &path, const ChipChoice &chips);

// Fails with ExitStatus::CannotWrite unless `path` can be written (an existing writable file, or a
// new name in a writable folder); nothing is created.
FileOutcome checkWritable(const QString &path);

// Writes one area's image as a raw file: rom and bl as the window's BIN save writes them (their data
// size), the others their whole area. Written through a temporary file; ExitStatus::CannotWrite on
// failure.
FileOutcome writeAreaBin(const QString &path, int area);

// Writes the current chip, enabled areas and settings as a project. ExitStatus::CannotWrite on failure.
FileOutcome writeProject(const QString &path);
