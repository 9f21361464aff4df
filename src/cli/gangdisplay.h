#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdio>

// What a gang run shows while it runs, on stderr. On a terminal one line per Link (port, bar, label),
// redrawn in place; in a pipe or a file every line a Link's worker shows, prefixed with its port.
class GangDisplay
{
public:
    GangDisplay(const QStringList &ports, FILE *stream = stderr);
    GangDisplay(const QStringList &ports, FILE *stream, bool terminal);
    ~GangDisplay();
    GangDisplay(const GangDisplay &) = delete;
    GangDisplay &operator=(const GangDisplay &) = delete;

    // The progress of Link `index`'s transfer, 0..100 (0 starts a new one). In a pipe a line per tenth.
    void progress(int index, int percent);
    // The current step or a message of Link `index`'s worker.
    void label(int index, const QString &text);
    // A note about Link `index` that must stay visible (a chip done in a loop, a failure).
    void note(int index, const QString &text);
    void finish();  // leaves the block of lines, so what follows starts below it

private:
    struct Row {
        QString port;
        int percent = 0;
        QString label;
        int shownPercent = 0;  // in a pipe: the last percent a line was written for
    };
    QString rowText(const Row &row) const;
    void redraw();
    void write(const QString &text);

    FILE *m_stream;
    bool m_terminal;
    QVector<Row> m_rows;
    bool m_drawn = false;
    int m_portWidth = 0;
};
