#pragma once

#include <QString>
#include <QVector>

// The one table scripts/bench prints.
struct BenchRow
{
    enum Verdict { Pass, Fail, Info, NotBuilt, Failed };
    QString benchmark;
    QString ours;
    QString peer;   // "name figure" measured in the same run, or empty
    QString ratio;  // ours / peer, or empty
    QString goal;
    Verdict verdict = Info;
};

// Plain-text table with aligned columns; empty cells print as "—".
QString formatTable(const QVector<BenchRow> &rows);

// Helpers for the cells.
QString millis(double ms);        // "12.3 ms", "0.045 ms"
QString ratioText(double ratio);  // "1.52×"
BenchRow::Verdict verdict(bool pass);
