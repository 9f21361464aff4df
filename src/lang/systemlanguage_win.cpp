#include "systemlanguage.h"

Language systemLanguage()
{
    return languageForLocale(QLocale::system());
}
