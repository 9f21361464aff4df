#include "processinfo.h"

#include <QFileInfo>

#include <windows.h>
#include <shellapi.h>

QStringList programArguments(int, char **)
{
    // The wide command line: argv holds the arguments in the ANSI code page, which loses other characters.
    int count = 0;
    wchar_t **words = CommandLineToArgvW(GetCommandLineW(), &count);
    QStringList arguments;
    for (int i = 1; i < count; ++i)
        arguments << QString::fromWCharArray(words[i]);
    LocalFree(words);
    return arguments;
}

QString programFolder(const char *)
{
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, DWORD(sizeof path / sizeof path[0]));
    return QFileInfo(QString::fromWCharArray(path, int(length))).absolutePath();
}
