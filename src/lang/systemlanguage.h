#pragma once

#include "language.h"

// The language of the system locale, as languageForLocale(QLocale::system()) gives it.
Language systemLanguage();
