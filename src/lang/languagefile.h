#pragma once

#include "language.h"

// The language chosen in the window's menu, kept in language.pth beside openpath.pth: "zh" or "en".

// Nothing when the file is missing, unreadable or holds anything else.
std::optional<Language> readStoredLanguage(const QString &appDir);

// Replaces the file whole (write, then rename); false when it could not be written.
bool writeStoredLanguage(const QString &appDir, Language language);
