#pragma once

#include "station/ledgerspaces.h"

#include <QObject>
#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;
class QWidget;

// The window's choice of the serial space its burns take serials from ("账本序列号"): a list of the ledger's
// spaces, read off the window's thread, with how many values each has left. Without a ledger it offers none.
class SerialSpaceChoice : public QObject
{
    Q_OBJECT

public:
    explicit SerialSpaceChoice(QWidget *parent);

    QGroupBox *box() const { return m_box; }
    // The ledger in effect (empty: none). A new one is read; the choice is kept, a space of the new ledger or not.
    void setLedger(const QString &url);
    // The chosen space's name; empty for no serial (always without a ledger).
    QString chosen() const { return m_url.isEmpty() ? QString() : m_chosen; }
    // While a burn runs the choice stays as it is.
    void setLocked(bool locked);

public slots:
    void readSpaces();

private:
    void fill();
    void choose();

    QGroupBox *m_box;
    QComboBox *m_spaces;
    QToolButton *m_readButton;
    QLabel *m_state;
    LedgerSpacesReader m_reader;
    LedgerSpaces m_read;
    QString m_url;
    QString m_chosen;
    bool m_locked = false;
};
