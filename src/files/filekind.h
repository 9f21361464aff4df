#pragma once

#include <QString>

// How the open action reads a file, by its suffix compared in lower case.
enum class FileKind { Other, Hex, Bin, Project };

FileKind fileKindOf(const QString &path);
