#include "ledgerchoicedialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

LedgerChoiceDialog::LedgerChoiceDialog(const QString &folder, QWidget *parent) : QDialog(parent), m_folder(folder)
{
    setObjectName(QStringLiteral("ledgerChoiceDialog"));
    setWindowTitle(tr("账本设置"));
    QString problem;
    const LedgerChoice saved = loadLedgerChoice(folder, &problem);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_url = new QLineEdit(saved.url, this);
    m_url->setObjectName(QStringLiteral("ledgerUrl"));
    m_url->setPlaceholderText(tr("sqlite:路径 或 postgresql://[用户@]主机[:端口]/数据库"));
    m_url->setMinimumWidth(m_url->fontMetrics().horizontalAdvance(m_url->placeholderText()) + 24);
    m_station = new QLineEdit(saved.station, this);
    m_station->setObjectName(QStringLiteral("ledgerStation"));
    m_station->setPlaceholderText(hostStationName());
    m_operator = new QLineEdit(saved.operatorName, this);
    m_operator->setObjectName(QStringLiteral("ledgerOperator"));
    form->addRow(tr("账本地址:"), m_url);
    form->addRow(tr("工位名称:"), m_station);
    form->addRow(tr("操作员:"), m_operator);
    layout->addLayout(form);

    auto *hint = new QLabel(tr("地址中不写密码：PostgreSQL 的密码放在 ~/.pgpass、服务文件或 PGPASSWORD 中。"
                               "工位名称留空时用计算机名。"),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_override = new QLabel(this);
    m_override->setObjectName(QStringLiteral("ledgerOverride"));
    m_override->setWordWrap(true);
    m_override->hide();
    layout->addWidget(m_override);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("ledgerProblem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    m_problem->hide();
    layout->addWidget(m_problem);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (!problem.isEmpty())
        showProblem(problem);
}

void LedgerChoiceDialog::setOverride(const QString &source, const QString &url)
{
    m_override->setText(tr("本次运行使用 %1 给出的账本 %2；这里保存的地址在没有它时才用。").arg(source, url));
    m_override->setVisible(!url.isEmpty());
    growToFit();
}

LedgerChoice LedgerChoiceDialog::choice() const
{
    return {m_url->text().trimmed(), m_station->text().trimmed(), m_operator->text().trimmed()};
}

void LedgerChoiceDialog::showProblem(const QString &text)
{
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
    growToFit();
}

void LedgerChoiceDialog::growToFit()
{
    // A shown dialog keeps its size: a line that appears would squeeze the fields instead.
    layout()->activate();
    resize(width(), qMax(height(), heightForWidth(width()) > 0 ? heightForWidth(width()) : sizeHint().height()));
}

void LedgerChoiceDialog::accept()
{
    const LedgerChoice chosen = choice();
    QString error;
    if (!saveLedgerChoice(m_folder, chosen, &error)) {
        showProblem(error);
        return;
    }
    emit saved(chosen);
    QDialog::accept();
}
