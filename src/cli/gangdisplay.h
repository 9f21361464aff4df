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

    // One line the worker of Link `index` wrote on its stderr: "NN%" (progress) or a label or message.
    void workerLine(int index, const QString &line);
    // A note about Link `index` that must stay visible (a chip done in a loop, a failure).
    void note(int index, const QString &text);
    void finish();  // leaves the block of lines, so what follows starts below it

private:
    struct Row {
        QString port;
        int percent = 0;
        QString label;
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
