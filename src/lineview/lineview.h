#pragma once

#include <QWidget>

#include <memory>

class LineWatch;
class QLabel;
class QTableWidget;
struct LineTimes;

// The line view: every station's chips, passes, failures and yield of the day and its last activity, and
// every serial space's figures, read from the ledger off the GUI thread (linewatch.h) and drawn here.
// Reads while shown, rests while hidden.
class LineView : public QWidget
{
    Q_OBJECT

public:
    explicit LineView(const QString &ledgerUrl, QWidget *parent = nullptr);
    LineView(const QString &ledgerUrl, const LineTimes &times, QWidget *parent = nullptr);
    ~LineView() override;

    // The ledger it shows; another one starts afresh.
    void setLedger(const QString &ledgerUrl);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void redraw();

    std::unique_ptr<LineTimes> m_times;
    std::unique_ptr<LineWatch> m_watch;
    QLabel *m_state;
    QTableWidget *m_stations;
    QTableWidget *m_spaces;
};
