#include "lineview/linefigures.h"

#include <QtTest>

// The line view's figures as they are drawn, from a ledger's status, without a widget.

namespace {
SerialSpace space(const QString &name, int radix, int64_t first, int64_t last)
{
    SerialSpace s;
    s.name = name;
    s.radix = radix;
    s.first = first;
    s.last = last;
    return s;
}

StationStatus station(const QString &name, int64_t chips, int64_t passes, const QDateTime &last)
{
    StationStatus s;
    s.station = name;
    s.chips = chips;
    s.passes = passes;
    s.failures = chips - passes;
    s.last = last;
    return s;
}

LineFigures sample()
{
    LineFigures f;
    f.dayStart = QDateTime(QDate(2026, 5, 2), QTime(0, 0));
    f.readAt = f.dayStart.addSecs(10 * 3600 + 5);
    f.stations = {station(QStringLiteral("S1"), 200, 197, f.dayStart.addSecs(10 * 3600)),
                  station(QStringLiteral("S2"), 0, 0, f.dayStart.addSecs(-3600)),  // idle since yesterday
                  station(QStringLiteral("S3"), 3, 0, QDateTime())};
    SpaceStatus hex;
    hex.space = space(QStringLiteral("sn"), 16, 0x1000, 0x1FFF);
    hex.total = 0x1000;
    hex.nextFree = 0x1040;
    hex.written = 60;
    hex.voided = 3;
    hex.reserved = 1;
    SpaceStatus done;
    done.space = space(QStringLiteral("lot"), 10, 10, 1);  // counting down, all given out
    done.total = 10;
    done.written = 9;
    done.voided = 1;
    f.spaces = {hex, done};
    return f;
}
}

class tst_linefigures : public QObject
{
    Q_OBJECT

private slots:
    void stationRowsOfTheDay()
    {
        const LineFigures f = sample();
        QCOMPARE(stationColumns().size(), 6);
        const QVector<QStringList> rows = stationRows(f);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QStringList{QStringLiteral("S1"), QStringLiteral("200"), QStringLiteral("197"), QStringLiteral("3"),
                                        QStringLiteral("98.5%"), QStringLiteral("10:00:00")}));
        // No chip today: no yield rather than 0 %; a last activity before today carries its date.
        QCOMPARE(rows[1][4], QStringLiteral("—"));
        QCOMPARE(rows[1][5], QStringLiteral("2026-05-01 23:00"));
        QCOMPARE(rows[2][4], QStringLiteral("0.0%"));
        QCOMPARE(rows[2][5], QStringLiteral("—"));
    }

    void spaceRowsInTheirRadix()
    {
        const QVector<QStringList> rows = spaceRows(sample());
        QCOMPARE(spaceColumns().size(), 8);
        QCOMPARE(rows.size(), 2);
        // Left: never given out (4096 - 60 written - 3 void - 1 reserved).
        QCOMPARE(rows[0], (QStringList{QStringLiteral("sn"), QStringLiteral("0x1000"), QStringLiteral("0x1FFF"), QStringLiteral("0x1040"),
                                        QStringLiteral("4032"), QStringLiteral("60"), QStringLiteral("3"), QStringLiteral("1")}));
        QCOMPARE(rows[1][1], QStringLiteral("10"));
        QCOMPARE(rows[1][2], QStringLiteral("1"));
        QCOMPARE(rows[1][3], QStringLiteral("已用完"));
        QCOMPARE(rows[1][4], QStringLiteral("0"));
    }

    void dayStartsAtLocalMidnight()
    {
        const QDateTime now(QDate(2026, 5, 2), QTime(0, 0, 1));
        QCOMPARE(dayStartOf(now), QDateTime(QDate(2026, 5, 2), QTime(0, 0)));
        QCOMPARE(dayStartOf(now.addSecs(-2)), QDateTime(QDate(2026, 5, 1), QTime(0, 0)));
    }

    // A failure keeps the last good figures and says since when they are old; the next good reading clears it.
    void failureKeepsFiguresMarkedStale()
    {
        LineState state;
        state.location = QStringLiteral("sqlite:/line/ledger.db");
        QVERIFY(lineStale(state));
        QVERIFY(lineStateText(state).contains(state.location));

        const LineFigures good = sample();
        state.mode = LineState::Mode::Polling;
        state.pollSeconds = 2;
        takeFigures(&state, good);
        QVERIFY(!lineStale(state));
        QVERIFY(lineStateText(state).contains(QStringLiteral("每 2 秒")));
        QVERIFY(lineStateText(state).contains(QStringLiteral("10:00:05")));

        const QDateTime first = good.readAt.addSecs(60);
        takeFailure(&state, QStringLiteral("账本 x：database disk image is malformed"), first);
        takeFailure(&state, QStringLiteral("账本 x：still malformed"), first.addSecs(5));
        QVERIFY(lineStale(state));
        QCOMPARE(state.figures.stations.size(), 3);
        const QString text = lineStateText(state);
        QVERIFY2(text.contains(QStringLiteral("still malformed")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("10:01:05")), qPrintable(text));  // failing since the first failure
        QVERIFY2(text.contains(QStringLiteral("10:00:05")), qPrintable(text));  // the figures' own time
        QVERIFY2(text.contains(QStringLiteral("过时")), qPrintable(text));

        LineFigures later = good;
        later.readAt = first.addSecs(10);
        takeFigures(&state, later);
        QVERIFY(!lineStale(state));
        QVERIFY(state.error.isEmpty() && !state.failingSince.isValid());
        state.mode = LineState::Mode::Live;
        QVERIFY(lineStateText(state).contains(QStringLiteral("实时")));
    }

    void failureBeforeAnyFigures()
    {
        LineState state;
        takeFailure(&state, QStringLiteral("账本文件 /x.db 不存在"), QDateTime(QDate(2026, 5, 2), QTime(8, 0)));
        QVERIFY(lineStale(state));
        const QString text = lineStateText(state);
        QVERIFY2(text.contains(QStringLiteral("不存在")) && text.contains(QStringLiteral("还没有读到数据")), qPrintable(text));
        QVERIFY(stationRows(state.figures).isEmpty());
    }
};

QTEST_APPLESS_MAIN(tst_linefigures)
#include "tst_linefigures.moc"
