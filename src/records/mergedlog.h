#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// A production record merged from the one-Link logs of several worker processes: the one-Link log's columns
// behind leading columns that say which Link (a gang's "link"; a station's "link,label"). Each worker keeps
// its own one-Link log; the parent merges each record into this file as the worker announces it, and the
// worker waits for that before its next chip, so every chip of every Link is on disk here before that Link
// goes on. A new file is UTF-8 with a byte-order mark and CRLF line ends; a file that exists keeps its own
// line ends. Workers' logs are read in either form.
class MergedLog
{
public:
    explicit MergedLog(QStringList columns) : m_columns(std::move(columns)) {}

    // A new or empty file gets the header line first. False (reason in errorString()) when the file cannot
    // be opened for appending; anything but a regular file is refused.
    bool open(const QString &path);
    QString errorString() const { return m_error; }
    QString fileName() const { return m_file.fileName(); }

    // Merges the records the worker completed in `workerLog` since `*offset` (its header left out; a record
    // still being written waits for its end), each behind `fields` (one per leading column), and pushes them
    // to the disk (flush and data sync). False (reason in errorString()) when they did not all reach it: the
    // file is then cut back to where it was, never to a part of a row, and `*offset` stays, so the worker's
    // log still holds what is missing.
    bool copyNewLines(const QStringList &fields, const QString &workerLog, qint64 *offset);

    QString header() const;
    // A CSV field as the record writes it: quoted when it holds a comma, a quote or a line end.
    static QByteArray field(const QString &text);

private:
    bool append(const QByteArray &bytes);

    QStringList m_columns;
    QFile m_file;
    QByteArray m_lineEnd = "\r\n";
    QString m_error;
};
