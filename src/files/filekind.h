#pragma once

#include <QString>

// How a file is read, by its suffix compared in lower case. SDCC writes Intel HEX as .ihx.
enum class FileKind { Other, Hex, Bin, Project };

FileKind fileKindOf(const QString &path);
