#include "emulatormenu.h"

#include "boxes/boxes.h"
#include "emulator/linkemulator.h"

#include <QCoreApplication>
#include <QActionGroup>

EmulatorMenu::EmulatorMenu(LinkEmulator &emulator, const QVector<McuInfo> &chips, QWidget *parent)
    : QMenu(tr("模拟器(&E)"), parent), m_emulator(emulator)
{
    setObjectName(QStringLiteral("menu_emulator"));
    m_chipPresent = addAction(tr("插座中有芯片"));
    m_chipPresent->setObjectName(QStringLiteral("action_emulator_chip"));
    m_chipPresent->setCheckable(true);
    connect(m_chipPresent, &QAction::triggered, this, [this](bool present) { m_emulator.setChipPresent(present); });

    // Each model's id, so a wrong chip is one click away.
    m_models = addMenu(tr("芯片型号"));
    m_models->setObjectName(QStringLiteral("menu_emulator_model"));
    auto *group = new QActionGroup(this);
    for (const McuInfo &chip : chips) {
        QAction *a = m_models->addAction(QStringLiteral("%1 (%2)").arg(chip.strName).arg(
            QString::asprintf("%04X", unsigned(chip.nID))));
        a->setCheckable(true);
        a->setData(int(chip.nID));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { m_emulator.setChipId(uint16_t(a->data().toInt())); });
    }
    QAction *other = addAction(tr("设置芯片ID..."));
    other->setObjectName(QStringLiteral("action_emulator_chip_id"));
    connect(other, &QAction::triggered, this, &EmulatorMenu::askChipId);

    addSeparator();
    m_failNext = addAction(tr("下一片烧写失败"));
    m_failNext->setObjectName(QStringLiteral("action_emulator_fail_next"));
    m_failNext->setCheckable(true);
    connect(m_failNext, &QAction::triggered, this, [this] { m_emulator.failNextPass(); });

    connect(this, &QMenu::aboutToShow, this, &EmulatorMenu::showState);
    showState();
}

void EmulatorMenu::showState()
{
    m_chipPresent->setChecked(m_emulator.chipPresent());
    const int id = m_emulator.chipId();
    for (QAction *a : m_models->actions())
        a->setChecked(a->data().toInt() == id);
    // Once armed it stays checked until a pass used it up; it cannot be taken back.
    m_failNext->setChecked(m_emulator.failNextPassArmed());
    m_failNext->setEnabled(!m_emulator.failNextPassArmed());
}

void EmulatorMenu::askChipId()
{
    bool ok = false;
    const QString text = boxes::askText(parentWidget(), tr("芯片ID"), tr("输入4位16进制芯片ID"),
                                        QString::asprintf("%04X", unsigned(m_emulator.chipId())), &ok);
    if (!ok)
        return;
    bool parsed = false;
    const uint id = text.trimmed().toUInt(&parsed, 16);
    if (!parsed || id > 0xFFFF) {
        boxes::inform(parentWidget(), QCoreApplication::translate("mcu_writer", "提示"),
                      QCoreApplication::translate("mcu_writer", "输入错误"));
        return;
    }
    m_emulator.setChipId(uint16_t(id));
    showState();
}
