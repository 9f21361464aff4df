#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>

// The production record of burned chips, one CSV line per chip pass, the same for the window and the
// command line (--log).

// One burned chip as the production record keeps it.
struct ProductionRecord
{
    QDateTime time;
    QString chipModel;
    uint16_t chipId = 0;     // the id the chip answered
    QStringList areas;       // area names
    QStringList checksums;   // "%04X", one per area
    int result = 0;
    QString text;
};

// The CSV production record (--log). Lines are only ever appended; a new or empty file gets a header line
// first. A new file is UTF-8 with a byte-order mark and CRLF line ends on every platform; appending to an
// existing file keeps its line ends (a record started with LF stays LF). Every line reaches the disk (flush and data sync) before append returns, so a chip is never
// burned past a record that a full disk, a crash or a power cut lost.
class ProductionLog
{
public:
    // False (with the reason in errorString()) when the file cannot be opened for appending: anything but
    // a regular file is refused at once (a FIFO would block the burn until someone reads it).
    bool open(const QString &path);
    // False (with the reason in errorString()) unless the whole line reached the disk.
    bool append(const ProductionRecord &record);
    QString errorString() const { return m_error; }

    static QString header();
    static QString line(const ProductionRecord &record);  // without the line end
    // The lines of a record file in either form (with or without the byte-order mark, CRLF or LF), without
    // their line ends; a last line without its end is a line too.
    static QStringList recordLines(const QByteArray &content);

private:
    bool write(const QByteArray &bytes);

    QFile m_file;
    QString m_error;
    QByteArray m_lineEnd = QByteArrayLiteral("\r\n");
};

// The record of the chip pass that just ended: the chosen model, the enabled areas with their image checksums
// as the process-wide state holds them, and `text` for the result.
ProductionRecord currentPassRecord(int code, uint16_t chipId, const QString &text);
