#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>

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
// first. Every line is flushed as it is written, so an interrupted run keeps every chip it logged.
class ProductionLog
{
public:
    // False (with the reason in errorString()) when the file cannot be opened for appending.
    bool open(const QString &path);
    bool append(const ProductionRecord &record);
    QString errorString() const { return m_file.errorString(); }

    static QString header();
    static QString line(const ProductionRecord &record);  // without the line end

private:
    QFile m_file;
};
