#pragma once

#include "settings/ledgerchoice.h"

#include <QObject>
#include <QProcessEnvironment>

#include <memory>

class LineView;
class QWidget;

// The window's ledger: the choice in effect (the command line's, TQ_LEDGER, else the one saved in the
// program's folder), its settings dialog and the line view that shows it.
class LedgerHost : public QObject
{
    Q_OBJECT

public:
    // `commandLine`: what --ledger, --station and --operator gave (empty when not given).
    LedgerHost(QWidget &window, const QString &folder, const LedgerChoice &commandLine,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(), QObject *parent = nullptr);
    ~LedgerHost() override;

    LedgerChoice choice() const;

public slots:
    void showSettings();
    void showLineView();

signals:
    // The saved choice changed (the dialog was accepted): choice() may now differ.
    void choiceChanged();

private:
    QWidget &m_window;
    QString m_folder;
    LedgerChoice m_commandLine;
    QProcessEnvironment m_environment;
    std::unique_ptr<LineView> m_lineView;
};
