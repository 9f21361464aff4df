#pragma once

#include <QWidget>

class PanelModel;
class StationController;
class QGridLayout;
class QLabel;
class QPushButton;

// The station for the operator: one panel per Link in a grid, each readable from two metres (its verdict
// large and coloured, state, progress, step, counters and yield, checksum, time of the last pass), with its
// own start / stop, auto burn and label, and start all / stop all above them.
class StationView : public QWidget
{
    Q_OBJECT

public:
    explicit StationView(StationController &station, const QString &stationName, QWidget *parent = nullptr);

public slots:
    // A hot-plug notice: the attached Links are taken again.
    void refreshLinks();

private:
    void rebuildPanels();
    void chooseRecordFile();
    void startAll();
    void showRecordFile();
    void warn(const QString &text);

    StationController &m_station;
    QGridLayout *m_grid;
    QLabel *m_recordLabel;
    QLabel *m_empty;
    QPushButton *m_startAll;
    QPushButton *m_stopAll;
    QPushButton *m_recordButton;
};
