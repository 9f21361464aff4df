// The station view drawn offscreen: a panel per Link in port order, its words following its model, and what
// the operator is told when a panel cannot start.
#include "boxes/boxes.h"
#include "records/productionstore.h"
#include "records/storetestutil.h"
#include "station/panelmodel.h"
#include "station/panelwidget.h"
#include "station/stationcontroller.h"
#include "station/stationview.h"

#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {
// Station L3, its labels in `dir`.
StationSetup stationL3(const QTemporaryDir &dir)
{
    StationSetup setup;
    setup.labelsFolder = dir.path();
    setup.stationName = QStringLiteral("L3");
    return setup;
}

// Whether a label of `view` holds `text`.
bool shows(const QWidget &view, const QString &text)
{
    for (const QLabel *l : view.findChildren<QLabel *>()) {
        if (l->text().contains(text))
            return true;
    }
    return false;
}
}

class TestStationView : public QObject
{
    Q_OBJECT

private slots:
    void panelsFollowTheStation()
    {
        QTemporaryDir dir;
        StationController station(stationL3(dir));
        StationView view(station);
        QVERIFY(view.windowTitle().contains(QStringLiteral("L3")));
        QCOMPARE(view.findChildren<PanelWidget *>().size(), 0);
        station.setLinks({{QStringLiteral("emu2"), QString()}, {QStringLiteral("emu1"), QString()}});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QList<PanelWidget *> panels = view.findChildren<PanelWidget *>();
        QCOMPARE(panels.size(), 2);

        // The verdict of a panel is drawn as its model changes.
        PanelModel *first = station.panel(QStringLiteral("emu1"));
        first->started();
        first->chipDone(4, QStringLiteral("目标MCU是 VR5K1234"));
        auto labelsOf = [](QWidget *w) {
            QStringList texts;
            for (const QLabel *l : w->findChildren<QLabel *>())
                texts << l->text();
            return texts;
        };
        PanelWidget *drawn = nullptr;
        for (PanelWidget *p : panels) {
            if (labelsOf(p).contains(QStringLiteral("emu1")))
                drawn = p;
        }
        QVERIFY(drawn);
        // Drawn on the event loop's next turn, a few panels a turn.
        QTRY_VERIFY2(labelsOf(drawn).contains(QStringLiteral("NG")), qPrintable(labelsOf(drawn).join(QLatin1Char('|'))));
        QVERIFY(labelsOf(drawn).filter(QStringLiteral("VR5K1234")).size() == 1);

        // Started without a record file: the panel stays, the operator is told why.
        boxes::Recorder boxes;
        PanelWidget *second = nullptr;
        for (PanelWidget *p : panels) {
            if (labelsOf(p).contains(QStringLiteral("emu2")))
                second = p;
        }
        QVERIFY(second);
        QPushButton *run = nullptr;
        for (QPushButton *b : second->findChildren<QPushButton *>())
            run = b;
        QVERIFY(run);
        run->click();
        QCOMPARE(boxes.calls.size(), 1);
        QVERIFY2(boxes.calls[0].text.contains(QStringLiteral("生产记录")), qPrintable(boxes.calls[0].text));
        QVERIFY(!station.locked());
        QCOMPARE(station.panel(QStringLiteral("emu2"))->state(), PanelModel::State::Idle);

        // A Link that goes before it ever ran takes its panel with it.
        station.setLinks({{QStringLiteral("emu1"), QString()}});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(view.findChildren<PanelWidget *>().size(), 1);
    }

    // Where the chips are recorded is on the view: the record file, or with a ledger and no file the ledger
    // alone; without either the operator is asked for the file.
    void theViewSaysWhereChipsAreRecorded()
    {
        QTemporaryDir dir;
        StationController station(stationL3(dir));
        StationView view(station);
        auto shown = [&view](const QString &text) { return shows(view, text); };
        QVERIFY(shown(QStringLiteral("开始前请选择生产记录文件")));
        QString error;
        const QString ledger = dir.filePath(QStringLiteral("l.db"));
        QVERIFY2(station.setLedger(QStringLiteral("sqlite:") + ledger, QStringLiteral("L3"), QString(), &error), qPrintable(error));
        QVERIFY(shown(QStringLiteral("记录只写入账本")));
        QVERIFY(shown(ledger));
        // Its spaces are read: a file not there yet is said so, and left so.
        QTRY_VERIFY(shown(QStringLiteral("还没有账本文件（第一颗芯片的记录会建立它）")));
        QVERIFY(!QFile::exists(ledger));
        QVERIFY(!shown(QStringLiteral("开始前请选择生产记录文件")));
        const QString record = dir.filePath(QStringLiteral("s.csv"));
        QVERIFY2(station.setRecordFile(record, &error), qPrintable(error));
        QVERIFY(station.setLedger(QString(), QStringLiteral("L3"), QString(), &error));
        QVERIFY(shown(QDir::toNativeSeparators(record)));
        QVERIFY(!shown(QStringLiteral("记录只写入账本")));
    }

    // A ledger file its runs made is read when they end: the view no longer says there is none, and offers
    // its spaces.
    void theSpacesAreReadAgainWhenTheRunsEnd()
    {
        QTemporaryDir dir;
        qputenv("TMPDIR", QFile::encodeName(dir.path()));
        StationSetup setup = stationL3(dir);
        setup.ledgerUrl = QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("l.db"));
        setup.program = dir.filePath(QStringLiteral("no-such-program"));  // its run ends at once
        StationController station(setup);
        station.setProjectWriter([](const QString &path, QString *) {
            QFile project(path);
            return project.open(QIODevice::WriteOnly) && project.write("p") == 1;
        });
        station.setLinks({{QStringLiteral("emu1"), QString()}});
        StationView view(station);
        QTRY_VERIFY(shows(view, QStringLiteral("还没有账本文件")));
        {
            // What a run's first record does: the ledger made, here with a space.
            QString error;
            const std::unique_ptr<ProductionStore> store = openProductionStore(setup.ledgerUrl, &error);
            if (!store)
                QSKIP(qPrintable(error));  // a build without the SQLite driver
            QVERIFY2(store->createSpace(testSpace(QStringLiteral("sn"), 1, 9)), qPrintable(store->errorString()));
        }
        QVERIFY(shows(view, QStringLiteral("还没有账本文件")));  // not read again by itself
        QString error;
        QVERIFY2(station.start(QStringLiteral("emu1"), &error), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(!station.locked(), 30000);
        QTRY_VERIFY(!shows(view, QStringLiteral("还没有账本文件")));
        auto *spaces = view.findChild<QComboBox *>();
        QVERIFY(spaces);
        QTRY_VERIFY(spaces->findData(QStringLiteral("sn")) >= 0);
    }

    // The columns: as square as the count allows, never more than the width holds whole.
    void columnsFitTheWidth_data()
    {
        QTest::addColumn<int>("panels");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("columns");
        QTest::newRow("one") << 1 << 2000 << 1;
        QTest::newRow("four, wide") << 4 << 2000 << 2;
        QTest::newRow("sixteen, wide") << 16 << 2000 << 4;
        QTest::newRow("sixteen in 1000 px") << 16 << 1000 << 3;
        QTest::newRow("thirty-six, wide") << 36 << 4000 << 6;
        QTest::newRow("narrower than a panel") << 16 << 200 << 1;
    }
    void columnsFitTheWidth()
    {
        QFETCH(int, panels);
        QFETCH(int, width);
        QFETCH(int, columns);
        QCOMPARE(stationColumns(panels, width, 300, 6), columns);
    }

    // Sixteen Links in the view's 1000 × 760: every panel at least its own width, none beside the view (no
    // sideways scrolling), and the last one reached by scrolling down.
    void sixteenPanelsWrapAndScroll()
    {
        QTemporaryDir dir;
        StationSetup setup;
        setup.labelsFolder = dir.path();
        StationController station(setup);
        QVector<AttachedLink> links;
        for (int i = 1; i <= 16; ++i)
            links.append({QStringLiteral("emu%1").arg(i), QString()});
        station.setLinks(links);
        StationView view(station);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.size(), QSize(1000, 760));
        auto *scroll = view.findChild<QScrollArea *>();
        QVERIFY(scroll);
        QTRY_COMPARE(scroll->horizontalScrollBar()->maximum(), 0);
        QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
        const QList<PanelWidget *> panels = view.findChildren<PanelWidget *>();
        QCOMPARE(panels.size(), 16);
        for (const PanelWidget *p : panels) {
            QVERIFY(std::abs(p->width() - panels.first()->width()) <= 1);  // every column its share
            QVERIFY(p->width() >= p->minimumSizeHint().width());
            QVERIFY(p->geometry().right() < scroll->viewport()->width());
        }
        PanelWidget *last = panels.first();
        for (PanelWidget *p : panels) {
            if (p->y() > last->y() || (p->y() == last->y() && p->x() > last->x()))
                last = p;
        }
        QVERIFY(last->visibleRegion().isEmpty());
        scroll->ensureWidgetVisible(last);
        QTRY_VERIFY(!last->visibleRegion().isEmpty());
    }
};

QTEST_MAIN(TestStationView)
#include "tst_stationview.moc"
