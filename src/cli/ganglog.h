#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The production record of a gang run: the one-Link log's columns behind a "link" column holding the port.
// Each worker keeps its own one-Link log; its lines are copied here as they are written, so the merged
// record is complete whenever a worker has logged a chip.
class GangLog
{
public:
    // A new or empty file gets the header line first. False (reason in errorString()) when the file
    // cannot be opened for appending.
    bool open(const QString &path);
    QString errorString() const { return m_file.errorString(); }

    // Copies the lines the worker of `port` completed in `workerLog` since the last call (its header
    // excluded). `offset` is where the last call stopped.
    bool copyNewLines(const QString &port, const QString &workerLog, qint64 *offset);

    static QString header();

private:
    bool append(const QByteArray &bytes);

    QFile m_file;
};
