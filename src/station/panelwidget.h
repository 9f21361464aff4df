#pragma once

#include <QFrame>

class PanelModel;
class StationController;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// One Link's panel of the station view; it draws its model whenever the model changes.
class PanelWidget : public QFrame
{
    Q_OBJECT

public:
    PanelWidget(StationController &station, PanelModel &model, QWidget *parent = nullptr);

signals:
    void failed(const QString &text);

private:
    void redraw();
    void toggleRun();

    StationController &m_station;
    PanelModel &m_model;
    QLabel *m_port;
    QLineEdit *m_label;
    QLabel *m_verdict;
    QLabel *m_result;
    QProgressBar *m_progress;
    QLabel *m_step;
    QLabel *m_counters;
    QLabel *m_checksum;
    QLabel *m_lastPass;
    QPushButton *m_run;
    QCheckBox *m_auto;
};
