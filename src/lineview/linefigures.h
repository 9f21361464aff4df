#pragma once

#include "records/productionstore.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

// What the line view shows: the line's figures as last read from the ledger, and how that reading stands.
// Plain data and functions, so the view draws what tests check.

// One reading of the ledger.
struct LineFigures
{
    QDateTime readAt;                  // when it was read (local clock)
    QDateTime dayStart;                // the day the stations' figures count from
    QVector<StationStatus> stations;   // every station; chips, passes, failures of the day
    QVector<SpaceStatus> spaces;
};

// How the view stands with the ledger.
struct LineState
{
    enum class Mode { Opening, Live, Polling };

    QString location;                  // for people, never with a password
    Mode mode = Mode::Opening;
    int pollSeconds = 0;               // Polling: how often the ledger is looked at
    bool haveFigures = false;
    LineFigures figures;               // the last good reading (kept while the ledger fails)
    QString error;                     // empty while the ledger answers
    QDateTime failingSince;            // when the error began
};

// Start of the local day that `now` falls in.
QDateTime dayStartOf(const QDateTime &now);

// A good reading: kept, the error cleared.
void takeFigures(LineState *state, const LineFigures &figures);
// A failed reading: the last good figures stay, marked stale.
void takeFailure(LineState *state, const QString &error, const QDateTime &when);

// The stations' table: station, chips, passes, failures, yield, last activity; one row each, in the order read.
QStringList stationColumns();
QVector<QStringList> stationRows(const LineFigures &figures);
// The serial spaces' table: space, first, last, next free, left, written, void, reserved.
QStringList spaceColumns();
QVector<QStringList> spaceRows(const LineFigures &figures);

// The line above the tables: where the figures come from and whether they are current.
QString lineStateText(const LineState &state);
// Whether the figures shown are not current (the ledger failed since they were read, or none were read).
bool lineStale(const LineState &state);

Q_DECLARE_METATYPE(LineFigures)
Q_DECLARE_METATYPE(LineState::Mode)
