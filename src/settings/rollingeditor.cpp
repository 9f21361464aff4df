#include "rollingeditor.h"

#include "boxes/boxes.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QDebug>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextEdit>

namespace {

QString warningText()
{
    return QCoreApplication::translate("settings", "警告");
}

void setComboText(QComboBox *combo, const QString &text)
{
    const QSignalBlocker block(combo);
    combo->setEditText(text);
}

void setComboIndex(QComboBox *combo, int index)
{
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index);
}

void setRadio(QRadioButton *button)
{
    const QSignalBlocker block(button);
    button->setChecked(true);
}

} // namespace

bool RollingControls::complete() const
{
    return group && radix10 && radix16 && countUp && countDown && bitSize && startAddress && startValue && step
        && area;
}

RollingEditor::RollingEditor(QWidget *boxParent, const RollingControls &controls, rolling_seting_t *record,
                             rolling::Editor editor)
    : m_boxParent(boxParent), m_c(controls), m_record(record), m_editor(editor)
{
}

RollingLimits RollingEditor::currentLimits()
{
    RollingLimits l;
    l.flashBytes = g_currentMcu.nFlashSizeKB * 1024u;
    l.sectorSize = g_currentMcu.nSectorSize;
    l.bootSectors = g_currentMcu.nBootSectors;
    l.eepromSize = g_currentMcu.nEepromSize;
    l.binEnabled = g_bEnBin;
    l.binSize = g_nBinSize;
    l.blEnabled = g_bEnBL;
    l.blSize = g_nNVRBinSize;
    return l;
}

void RollingEditor::warn(const QString &text) const
{
    boxes::inform(m_boxParent, warningText(), text);
}

void RollingEditor::showAddress(const QString &text) const
{
    setComboText(m_c.startAddress, text);
}

void RollingEditor::noteInLog(const rolling::Outcome &outcome) const
{
    if (!m_c.logPane)
        return;
    if (!outcome.logNote.isEmpty()) {
        if (auto *edit = qobject_cast<QTextEdit *>(m_c.logPane))
            edit->append(outcome.logNote);
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_c.logPane))
            plain->appendPlainText(outcome.logNote);
    } else if (outcome.clearLog) {
        if (auto *edit = qobject_cast<QTextEdit *>(m_c.logPane))
            edit->clear();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_c.logPane))
            plain->clear();
    }
}

void RollingEditor::enable()
{
    m_record->setArea(RollingAreaNvr);
    m_record->bitSize = static_cast<uint8_t>(m_record->bitSize & ~0x07);
    m_record->startAdd = currentLimits().nvrLastAddress();
    setComboIndex(m_c.area, 0);
    setComboIndex(m_c.bitSize, 0);
    showAddress(rolling::addressText(m_record->startAdd));
}

void RollingEditor::applyRadix(bool hex)
{
    m_record->radix = static_cast<uint8_t>((m_record->radix & ~0x03) | (hex ? 1 : 0));
    m_record->step = static_cast<uint8_t>(qMin<uint32_t>(rolling::parseInRadix(m_c.step->currentText(), hex), 0xFF));
    m_record->startVal = rolling::parseInRadix(m_c.startValue->currentText(), hex);
    if (rolling::startValueTooLarge(*m_record))
        warn(QCoreApplication::translate("settings", "初始值大于位宽"));
}

void RollingEditor::radix10Clicked(bool checked)
{
    if (checked)
        applyRadix(false);
}

void RollingEditor::radix16Clicked(bool checked)
{
    if (checked)
        applyRadix(true);
}

void RollingEditor::countUpClicked(bool checked)
{
    if (checked)
        m_record->setIncDec(true);
}

void RollingEditor::countDownClicked(bool checked)
{
    if (checked)
        m_record->setIncDec(false);
}

void RollingEditor::startAddressChanged(const QString &text)
{
    const rolling::Outcome o = rolling::checkStartAddress(text, *m_record, currentLimits(), m_editor);
    switch (o.verdict) {
    case rolling::Verdict::Ignore:
        return;
    case rolling::Verdict::Refuse:
        if (o.warning == rolling::notHexWarning())
            qDebug() << "addr error : " << text;
        warn(o.warning);
        qDebug() << "addr error";
        showAddress(rolling::refusedAddressText(m_record->startAdd));
        return;
    case rolling::Verdict::Store:
        if (m_editor == rolling::Editor::Window)
            noteInLog(o);
        else if (!o.logNote.isEmpty())
            qDebug() << o.logNote;
        m_record->startAdd = static_cast<uint32_t>(o.value);
        qDebug() << "rolling start addr = " << m_record->startAdd;
        return;
    }
}

void RollingEditor::bitSizeChanged(int index)
{
    const rolling::Outcome o = rolling::checkWidth(index, *m_record, currentLimits());
    if (o.verdict == rolling::Verdict::Ignore)
        return;
    if (o.verdict == rolling::Verdict::Refuse) {
        warn(o.warning);
        // Back to "8": the record follows the combo when 8 bits fit where 16/24/32 did not.
        setComboIndex(m_c.bitSize, 0);
        if (rolling::checkWidth(0, *m_record, currentLimits()).verdict != rolling::Verdict::Store)
            return;
        index = 0;
    }
    m_record->bitSize = static_cast<uint8_t>((m_record->bitSize & ~0x07) | index);
    qDebug() << "bitsize = " << index << "addr = " << m_record->startAdd;
}

void RollingEditor::startValueChanged(const QString &text)
{
    const rolling::Outcome o = rolling::checkStartValue(text, *m_record);
    if (o.verdict == rolling::Verdict::Store)
        m_record->startVal = static_cast<uint32_t>(o.value);
    else if (o.verdict == rolling::Verdict::Refuse)
        warn(o.warning);
}

void RollingEditor::stepChanged(const QString &text)
{
    const rolling::Outcome o = rolling::checkStep(text, *m_record);
    if (o.verdict == rolling::Verdict::Store) {
        m_record->step = static_cast<uint8_t>(o.value);
        qDebug() << "step = " << m_record->step;
    } else if (o.verdict == rolling::Verdict::Refuse) {
        qDebug() << "stepVal error";
        warn(o.warning);
    }
}

void RollingEditor::areaChanged(int index)
{
    const QString item = m_c.area->itemText(index);
    const RollingLimits limits = currentLimits();
    setComboIndex(m_c.bitSize, 0);
    m_record->bitSize = static_cast<uint8_t>(m_record->bitSize & ~0x07);
    if (item == QLatin1String("FLASH")) {
        m_record->setArea(RollingAreaFlash);
    } else if (item == QLatin1String("EEP")) {
        if (limits.eepromSize == 0) {
            // No EEPROM on this chip: back to the first item, which then takes effect.
            setComboIndex(m_c.area, 0);
            areaChanged(0);
            return;
        }
        m_record->setArea(RollingAreaEeprom);
    } else if (item == QLatin1String("NVR")) {
        m_record->setArea(RollingAreaNvr);
    } else {
        return;
    }
    m_record->startAdd = rolling::areaLastAddress(m_record->area(), limits);
    showAddress(rolling::addressText(m_record->startAdd));
}

void RollingEditor::showRecord()
{
    const bool hex = (m_record->radix & 0x03) != 0;
    setRadio(hex ? m_c.radix16 : m_c.radix10);
    setRadio(m_record->incDec() ? m_c.countUp : m_c.countDown);
    const char *format = hex ? "%x" : "%d";
    setComboText(m_c.step, QString::asprintf(format, m_record->step));
    setComboText(m_c.startValue, QString::asprintf(format, m_record->startVal));
    const QString areaName = m_record->area() == RollingAreaFlash    ? QStringLiteral("FLASH")
                             : m_record->area() == RollingAreaEeprom ? QStringLiteral("EEP")
                                                                     : QStringLiteral("NVR");
    // The dialog lists no "EEP": it then shows no area and keeps the record's until the user picks one.
    setComboIndex(m_c.area, m_c.area->findText(areaName));
    qDebug().noquote() << QString::asprintf("area select %d", m_record->area());
    setComboIndex(m_c.bitSize, qMin(m_record->bitSize & 0x07, rolling::WidthCount - 1));
    if (m_c.startAddress->count() == 0) {
        const QSignalBlocker block(m_c.startAddress);
        m_c.startAddress->addItem(QString());
    }
    {
        const QSignalBlocker block(m_c.startAddress);
        m_c.startAddress->setItemText(0, QString::asprintf("%x", m_record->startAdd));
        m_c.startAddress->setCurrentIndex(0);
    }
}
