#include "asciivalidator.h"

QValidator::State AsciiValidator::validate(QString &input, int &) const
{
    for (const QChar c : input)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return Invalid;
    return Acceptable;
}
