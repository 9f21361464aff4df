#pragma once

#include <QString>

// Both give the Chinese source text, the same in every language (the command line's JSON carries it); people
// get it through engineText().

// Box text for an operation's result code; empty for 0 (success) and 4 (chip identified, logged instead).
QString resultCodeText(int code);

// Log line for a code of the Link's own stand-alone error log.
QString linkErrorLogText(int code);
