#pragma once

#include <QByteArray>
#include <QString>

// The programs' own command line as the system gave it.

// The first argument (argv[1] on) whose bytes do not come back from the text Qt decodes them into: a file
// name in another encoding than the system's ("gbk\xC4\xE3.hex" under a UTF-8 locale). A name decoded with
// a replacement character would open another file or create one under another name, so the programs refuse
// it. Empty when every argument is text; always empty on Windows, whose command line is UTF-16.
QByteArray undecodableArgument(int argc, char **argv);

// The refusal, naming the argument with its undecodable bytes written as \xNN.
QString undecodableArgumentText(const QByteArray &argument);
