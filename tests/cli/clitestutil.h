#pragma once

#include "support/testfiles.h"

#include <QByteArray>
#include <QDebug>
#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <cstdint>

// One finished run of tarnquill-cli.
struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// The JSON document a --json run wrote; a warning shows what was not JSON.
inline QJsonDocument json(const QByteArray &out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "not JSON:" << out;
    return doc;
}

inline QString cliPath()
{
    // findExecutable adds the platform's suffix (.exe), which QFile::exists needs and QProcess does not.
    const QString dir = qEnvironmentVariable("TQ_APP_DIR");
    const QString found = QStandardPaths::findExecutable(QStringLiteral("tarnquill-cli"), {dir});
    return found.isEmpty() ? QDir(dir).filePath(QStringLiteral("tarnquill-cli")) : found;
}

// `environment`: the program's whole environment, when it is not this process's.
inline CliRun runCli(const QStringList &arguments, const QString &workDir,
                     const QProcessEnvironment &environment = QProcessEnvironment())
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    if (!environment.isEmpty())
        p.setProcessEnvironment(environment);
    p.start(cliPath(), arguments);
    CliRun run;
    if (!p.waitForFinished(120000))
        return run;
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// Intel HEX text of `data` placed at `address`, 16-byte data records, then the end-of-file record.
inline QByteArray hexText(const QByteArray &data, uint16_t address = 0)
{
    QByteArray text;
    for (int off = 0; off < data.size(); off += 16) {
        const QByteArray chunk = data.mid(off, 16);
        const uint16_t at = uint16_t(address + off);
        QByteArray record;
        record.append(char(chunk.size())).append(char(at >> 8)).append(char(at & 0xFF)).append(char(0)).append(chunk);
        uint8_t sum = 0;
        for (char c : record)
            sum = uint8_t(sum + uint8_t(c));
        record.append(char(uint8_t(-sum)));
        text += ':' + record.toHex().toUpper() + '\n';
    }
    return text + ":00000001FF\n";
}

inline QByteArray patternBytes(int size, int seed)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char((i * 37 + seed * 11 + (i >> 8)) & 0xFF);
    return data;
}

