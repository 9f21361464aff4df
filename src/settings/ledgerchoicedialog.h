#pragma once

#include "ledgerchoice.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// The window's ledger settings: the ledger's URL, the station's name and the operator, kept in `folder`
// (ledgerchoice.h). A choice that cannot be kept is said in the dialog, which stays open.
class LedgerChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    LedgerChoiceDialog(const QString &folder, QWidget *parent = nullptr);

    // Says that --ledger or TQ_LEDGER overrides the saved URL while this program runs.
    void setOverride(const QString &source, const QString &url);
    LedgerChoice choice() const;

    void accept() override;

signals:
    void saved(const LedgerChoice &choice);

private:
    void showProblem(const QString &text);
    void growToFit();

    QString m_folder;
    QLineEdit *m_url;
    QLineEdit *m_station;
    QLineEdit *m_operator;
    QLabel *m_override;
    QLabel *m_problem;
};
