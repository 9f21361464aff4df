#pragma once

#include <QPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>

class PanelModel;
class PanelWidget;
class StationController;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QScrollArea;

// How many panels of `panelWidth` a row of `width` pixels holds, `spacing` apart: as square as the count
// allows (two a row up to four, at most six), never more than fit whole, at least one.
int stationColumns(int panels, int width, int panelWidth, int spacing);

// The station for the operator: one panel per Link in a grid, each readable from two metres (its verdict
// large and coloured, state, progress, step, counters and yield, checksum, time of the last pass), with its
// own start / stop, auto burn and label, and start all / stop all above them; below those, the ledger the
// chips are recorded in and the choice of the serial space they take their serials from.
class StationView : public QWidget
{
    Q_OBJECT

public:
    explicit StationView(StationController &station, QWidget *parent = nullptr);

public slots:
    // A hot-plug notice: the attached Links are taken again.
    void refreshLinks();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuildPanels();
    void placePanels();
    void chooseRecordFile();
    void startAll();
    void showRecordFile();
    void warn(const QString &text);
    void showLedger();
    void readSpaces();
    void fillSpaces();
    void chooseSpace();
    void scheduleDraw(PanelWidget *panel);
    void drawSome();

    static constexpr int kPanelsPerTurn = 4;

    StationController &m_station;
    QLabel *m_name;
    QGridLayout *m_grid;
    QScrollArea *m_scroll;
    QVector<PanelWidget *> m_panels;  // in the station's port order
    int m_columns = 0;                // of the grid as placed; 0: to be placed
    QLabel *m_recordLabel;
    QLabel *m_empty;
    QPushButton *m_startAll;
    QPushButton *m_stopAll;
    QPushButton *m_recordButton;
    QLabel *m_ledgerLabel;
    QComboBox *m_spaces;
    QPushButton *m_readSpaces;
    QLabel *m_spacesState;
    QVector<QPointer<PanelWidget>> m_toDraw;  // panels whose model changed since they were drawn, oldest first
    QTimer m_drawTimer;
};
