#include "serialspacechoice.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

SerialSpaceChoice::SerialSpaceChoice(QWidget *parent)
    : QObject(parent)
{
    m_box = new QGroupBox(tr("账本序列号"), parent);
    m_box->setObjectName(QStringLiteral("groupBox_ledgerSerial"));
    m_spaces = new QComboBox(m_box);
    m_spaces->setObjectName(QStringLiteral("comboBox_serialSpace"));
    m_spaces->setEditable(true);
    m_spaces->setInsertPolicy(QComboBox::NoInsert);
    m_spaces->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_spaces->setMinimumContentsLength(12);
    m_spaces->setToolTip(tr("每个芯片从账本的这个序列号空间取得序列号，写在空间所定的地址；可从列表选择或输入名称"));
    m_readButton = new QToolButton(m_box);
    m_readButton->setObjectName(QStringLiteral("pushButton_readSpaces"));
    m_readButton->setText(tr("刷新"));
    m_state = new QLabel(m_box);
    m_state->setObjectName(QStringLiteral("label_spacesState"));
    m_state->setWordWrap(true);
    auto *row = new QHBoxLayout;
    row->addWidget(m_spaces, 1);
    row->addWidget(m_readButton);
    auto *layout = new QVBoxLayout(m_box);
    layout->setContentsMargins(6, 1, 6, 1);
    layout->addLayout(row);
    layout->addWidget(m_state);

    connect(m_spaces, QOverload<int>::of(&QComboBox::activated), this, &SerialSpaceChoice::choose);
    connect(m_spaces->lineEdit(), &QLineEdit::editingFinished, this, &SerialSpaceChoice::choose);
    connect(m_readButton, &QToolButton::clicked, this, &SerialSpaceChoice::readSpaces);
    connect(&m_reader, &LedgerSpacesReader::spacesRead, this, [this](const LedgerSpaces &read) {
        if (read.url != m_url)
            return;  // a ledger given up meanwhile
        m_read = read;
        fill();
    });
    fill();
}

void SerialSpaceChoice::setLedger(const QString &url)
{
    if (url == m_url)
        return;
    m_url = url;
    m_read = LedgerSpaces();
    fill();
    readSpaces();
}

void SerialSpaceChoice::setLocked(bool locked)
{
    m_locked = locked;
    fill();
}

void SerialSpaceChoice::readSpaces()
{
    if (m_url.isEmpty())
        return;
    m_state->setText(tr("正在读取账本..."));
    m_reader.read(m_url);
}

void SerialSpaceChoice::fill()
{
    const bool ledger = !m_url.isEmpty();
    {
        const QSignalBlocker quiet(m_spaces);
        m_spaces->clear();
        for (const SpaceChoice &c : spaceChoices(m_read, chosen()))
            m_spaces->addItem(c.text, c.name);
        m_spaces->setCurrentIndex(std::max(0, m_spaces->findData(chosen())));
    }
    m_spaces->setEnabled(ledger && !m_locked);
    m_readButton->setEnabled(ledger);
    if (!ledger)
        m_state->setText(tr("未设置账本（设置 → 账本设置）"));
    else if (!m_read.url.isEmpty())
        m_state->setText(spacesStateText(m_read));
}

void SerialSpaceChoice::choose()
{
    // A typed name is taken as it stands; one of the list's texts is its space, the first choice none.
    const QString text = m_spaces->currentText().trimmed();
    const int index = m_spaces->findText(text);
    m_chosen = index >= 0 ? m_spaces->itemData(index).toString() : text;
    fill();
}
