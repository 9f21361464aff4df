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

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Draws the model as it is now; the view calls it when the model has changed.
    void redraw();

signals:
    void failed(const QString &text);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void toggleRun();
    void showReason();

    StationController &m_station;
    PanelModel &m_model;
    // Everything the panel shows, at the panel's size. Its size is fixed (set from the panel's), so a text that
    // changes lays out this panel alone, not the whole view: with sixteen panels at every progress step,
    // laying the view out anew each time stalled the window for up to a tenth of a second.
    QWidget *m_face;
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
    int m_shownState = -1;  // the state whose colours and font the verdict has; -1 before the first
};
