#pragma once

#include <QString>

// What the save action writes: the file name as chosen in the dialog, mended so that opening it later reads
// it as what it is.
enum class SaveFormat { Bin, Project };

struct SaveTarget
{
    QString path;
    SaveFormat format = SaveFormat::Bin;
};

// A typed ".bin" or ".mprj" (any case) decides the format over the dialog's filter; any other name gets the
// filter's suffix appended, so a project is never written without the suffix the open action looks for.
// `filter` is the dialog's chosen filter, "bin(*.bin)" or "mprj(*.mprj)".
SaveTarget saveTargetFor(const QString &chosenPath, const QString &filter);

// Why a file could not be written to `path`, in the window's language, for the failure box.
QString saveFailureReason(const QString &path);
