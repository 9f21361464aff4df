#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole-file helpers for test fixtures, shared by every test folder.

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
