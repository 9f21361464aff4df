// The station view drawn offscreen: a panel per Link in port order, its words following its model, and what
// the operator is told when a panel cannot start.
#include "boxes/boxes.h"
#include "station/panelmodel.h"
#include "station/panelwidget.h"
#include "station/stationcontroller.h"
#include "station/stationview.h"

#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

class TestStationView : public QObject
{
    Q_OBJECT

private slots:
    void panelsFollowTheStation()
    {
        QTemporaryDir dir;
        StationSetup setup;
        setup.labelsFolder = dir.path();
        setup.stationName = QStringLiteral("L3");
        StationController station(setup);
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
};

QTEST_MAIN(TestStationView)
#include "tst_stationview.moc"
