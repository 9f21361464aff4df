#include "ledgerhost.h"

#include "lineview/lineview.h"
#include "settings/ledgerchoicedialog.h"

LedgerHost::LedgerHost(QWidget &window, const QString &folder, const LedgerChoice &commandLine,
                       const QProcessEnvironment &environment, QObject *parent)
    : QObject(parent), m_window(window), m_folder(folder), m_commandLine(commandLine), m_environment(environment)
{
}

LedgerHost::~LedgerHost() = default;

LedgerChoice LedgerHost::choice() const
{
    return effectiveLedgerChoice(m_commandLine, m_environment, loadLedgerChoice(m_folder));
}

void LedgerHost::showSettings()
{
    LedgerChoiceDialog dialog(m_folder, &m_window);
    if (!m_commandLine.url.trimmed().isEmpty())
        dialog.setOverride(QStringLiteral("--ledger"), m_commandLine.url.trimmed());
    else if (!m_environment.value(QStringLiteral("TQ_LEDGER")).trimmed().isEmpty())
        dialog.setOverride(QStringLiteral("TQ_LEDGER"), m_environment.value(QStringLiteral("TQ_LEDGER")).trimmed());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (m_lineView)
        m_lineView->setLedger(choice().url);
    emit choiceChanged();
}

void LedgerHost::showLineView()
{
    if (!m_lineView)
        m_lineView = std::make_unique<LineView>(choice().url);
    m_lineView->show();
    m_lineView->raise();
    m_lineView->activateWindow();
}
