#include "nvroptionspage.h"

#include "nvroptionmaps.h"

#include "boxes/boxes.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QDebug>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextEdit>

namespace {

QString warningText()
{
    return QCoreApplication::translate("options", "警告");
}
QString notHexText()
{
    return QCoreApplication::translate("options", "您输入的数据不是16进制,请重新输入");
}
QString lockQuestionText()
{
    return QCoreApplication::translate("options", "不可访问将无法读写擦此NVR,确定开启?");
}

const char *boolText(bool b)
{
    return b ? "true" : "false";
}

template <typename W> void setCheckedQuietly(W *w, bool on)
{
    if (!w)
        return;
    const QSignalBlocker block(w);
    w->setChecked(on);
}

void setTextQuietly(QLineEdit *edit, const QString &text)
{
    if (!edit)
        return;
    const QSignalBlocker block(edit);
    edit->setText(text);
}

} // namespace

template <typename T> T *NvrOptionsPage::child(const char *name) const
{
    T *w = m_window->findChild<T *>(QLatin1String(name));
    if (!w)
        qWarning() << "NVR options page: no control" << name;
    return w;
}

NvrOptionsPage::NvrOptionsPage(QWidget *window) : QObject(window), m_window(window)
{
    m_nvr2Group = child<QGroupBox>("groupBox_NVR2");
    m_idcode = child<QCheckBox>("checkBox_IDCODE");
    m_idcodeBytes[0] = child<QLineEdit>("lineEdit_idcode0");
    m_idcodeBytes[1] = child<QLineEdit>("lineEdit_idcode1");
    m_idcodeBytes[2] = child<QLineEdit>("lineEdit_idcode2");
    m_readProtect = child<QCheckBox>("checkBox_codeReadProtect");
    m_resetPin = child<QRadioButton>("radioButton_rst_rst");
    m_highZ = child<QRadioButton>("radioButton_Z");
    m_porDelay = child<QCheckBox>("checkBox_POR_delay");
    m_nvrStart = child<QCheckBox>("checkBox_NVR_Start");
    m_userNvrLock = child<QCheckBox>("checkBox_UserNVRCanNotWrite");
    m_nvr3Group = child<QGroupBox>("groupBox_NVR3");
    m_madr = child<QLineEdit>("lineEdit_MADR");
    m_chip = child<QLineEdit>("lineEdit_CHIP");
    m_nvr2Sum = child<QLabel>("label_nvr2");
    m_userCfgState = child<QLabel>("label_userCfgState");
    m_factory = child<QTableWidget>("tableWidgetNVRFac");
    m_log = child<QWidget>("textEdit_ErorLog");

    if (m_nvr2Group)
        connect(m_nvr2Group, &QGroupBox::clicked, this, &NvrOptionsPage::on_groupBox_NVR2_clicked);
    if (m_idcode)
        connect(m_idcode, &QCheckBox::clicked, this, &NvrOptionsPage::on_checkBox_IDCODE_clicked);
    void (NvrOptionsPage::*idSlots[3])() = {&NvrOptionsPage::on_lineEdit_idcode0_editingFinished,
                                            &NvrOptionsPage::on_lineEdit_idcode1_editingFinished,
                                            &NvrOptionsPage::on_lineEdit_idcode2_editingFinished};
    for (int i = 0; i < 3; ++i)
        if (m_idcodeBytes[i])
            connect(m_idcodeBytes[i], &QLineEdit::editingFinished, this, idSlots[i]);
    if (m_readProtect)
        connect(m_readProtect, &QCheckBox::clicked, this, &NvrOptionsPage::on_checkBox_codeReadProtect_clicked);
    if (m_resetPin)
        connect(m_resetPin, &QRadioButton::clicked, this, &NvrOptionsPage::on_radioButton_rst_rst_clicked);
    if (m_highZ)
        connect(m_highZ, &QRadioButton::clicked, this, &NvrOptionsPage::on_radioButton_Z_clicked);
    if (m_porDelay)
        connect(m_porDelay, &QCheckBox::clicked, this, &NvrOptionsPage::on_checkBox_POR_delay_clicked);
    if (m_nvrStart)
        connect(m_nvrStart, &QCheckBox::clicked, this, &NvrOptionsPage::on_checkBox_NVR_Start_clicked);
    if (m_userNvrLock)
        connect(m_userNvrLock, &QCheckBox::clicked, this, &NvrOptionsPage::on_checkBox_UserNVRCanNotWrite_clicked);
    if (m_nvr3Group)
        connect(m_nvr3Group, &QGroupBox::clicked, this, &NvrOptionsPage::on_groupBox_NVR3_clicked);
    for (const nvropt::Nvr3Marker &m : nvropt::kNvr3Markers)
        if (auto *box = child<QCheckBox>(m.objectName))
            connect(box, &QCheckBox::clicked, this, &NvrOptionsPage::slt_NVR3_CheckBox_click);
    if (m_chip)
        connect(m_chip, &QLineEdit::textChanged, this, &NvrOptionsPage::on_lineEdit_CHIP_textChanged);
    if (m_madr)
        connect(m_madr, &QLineEdit::textChanged, this, &NvrOptionsPage::on_lineEdit_MADR_textChanged);
}

void NvrOptionsPage::appendLog(const QString &text) const
{
    if (auto *edit = qobject_cast<QTextEdit *>(m_log))
        edit->append(text);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_log))
        plain->appendPlainText(text);
}

void NvrOptionsPage::warn(const QString &text) const
{
    boxes::inform(m_window, warningText(), text);
}

void NvrOptionsPage::nvr2Changed()
{
    calcNVR2CheckSum();
    if (m_nvr2Sum)
        m_nvr2Sum->setText(QString::asprintf("%04X", g_nNVRCheckSum2));
}

// ---- NVR2 ----

void NvrOptionsPage::on_checkBox_IDCODE_clicked(bool checked)
{
    qDebug() << "on_checkBox_IDCODE_clicked " << boolText(checked);
    nvropt::setIdcode(g_ucNVRBuf2, checked);
    nvr2Changed();
}

void NvrOptionsPage::idcodeFinished(int which)
{
    QLineEdit *edit = m_idcodeBytes[which];
    if (!edit)
        return;
    uint8_t value = 0;
    bool showWarning = false;
    if (nvropt::parseIdcode(edit->text(), &value, &showWarning)) {
        nvropt::setIdcodeByte(g_ucNVRBuf2, which, value);
        qDebug().noquote() << QStringLiteral("g_ucNVRBuf2[0x1%1] = ").arg(which + 1) << value;
    } else if (showWarning) {
        warn(notHexText());
    }
    nvr2Changed();
}

void NvrOptionsPage::on_lineEdit_idcode0_editingFinished() { idcodeFinished(0); }
void NvrOptionsPage::on_lineEdit_idcode1_editingFinished() { idcodeFinished(1); }
void NvrOptionsPage::on_lineEdit_idcode2_editingFinished() { idcodeFinished(2); }

void NvrOptionsPage::on_checkBox_codeReadProtect_clicked(bool checked)
{
    nvropt::setCodeReadProtect(g_ucNVRBuf2, checked);
    nvr2Changed();
}

void NvrOptionsPage::on_radioButton_rst_rst_clicked(bool checked)
{
    if (checked)
        nvropt::setResetPinHighZ(g_ucNVRBuf2, false);
    nvr2Changed();
}

void NvrOptionsPage::on_radioButton_Z_clicked(bool checked)
{
    if (checked)
        nvropt::setResetPinHighZ(g_ucNVRBuf2, true);
    nvr2Changed();
}

void NvrOptionsPage::on_checkBox_POR_delay_clicked(bool checked)
{
    if (checked) {
        if (!boxes::ask(m_window, QCoreApplication::translate("options", "提示"),
                        QCoreApplication::translate("options", "关闭上电延时后可能导致无法下载,确定开启?"),
                        QMessageBox::Warning)) {
            setCheckedQuietly(m_porDelay, false);
            qDebug() << "no";
            return;
        }
        qDebug() << "yes";
    }
    nvropt::setPorDelayOff(g_ucNVRBuf2, checked);
    nvr2Changed();
}

void NvrOptionsPage::on_checkBox_NVR_Start_clicked(bool checked)
{
    qDebug() << "on_checkBox_NVR_Start = " << boolText(checked);
    nvropt::setNvrStart(g_ucNVRBuf2, checked);
    nvr2Changed();
}

void NvrOptionsPage::on_checkBox_UserNVRCanNotWrite_clicked(bool checked)
{
    if (checked) {
        if (!boxes::ask(m_window, warningText(), lockQuestionText(), QMessageBox::Warning)) {
            setCheckedQuietly(m_userNvrLock, false);
            qDebug() << "no";
            return;
        }
        qDebug() << "yes";
    }
    nvropt::setUserNvrLocked(g_ucNVRBuf2, checked);
    nvr2Changed();
}

void NvrOptionsPage::on_groupBox_NVR2_clicked(bool checked)
{
    g_bEnNVR2 = checked;
    if (checked) {
        const uint32_t sector = g_currentMcu.nSectorSize;
        if (nvropt::rollingInNvrRange((g_currentMcu.nNvr2Page - 1) * sector, g_currentMcu.nNvr2Page * sector))
            warn(QCoreApplication::translate("options", "序列号超过NVR空间,可能覆盖NVR2数据"));
        nvropt::fillBytes(g_ucNVRBuf2, 0, NVR_BUF_SIZE, nvropt::Off);
        showNvr2();
        nvr2Changed();
    } else if (m_nvr2Sum) {
        m_nvr2Sum->setText(QStringLiteral("****"));
    }
    emit sg_summary_changed();
}

void NvrOptionsPage::showNvr2()
{
    const nvropt::Nvr2Options o = nvropt::readNvr2Options(g_ucNVRBuf2);
    setCheckedQuietly(m_idcode, o.idcode);
    const uint8_t bytes[3] = {o.idcode0, o.idcode1, o.idcode2};
    for (int i = 0; i < 3; ++i)
        setTextQuietly(m_idcodeBytes[i], QString::asprintf("%02X", bytes[i]));
    setCheckedQuietly(m_readProtect, o.codeReadProtect);
    setCheckedQuietly(o.highZ ? m_highZ : m_resetPin, true);
    setCheckedQuietly(m_porDelay, o.porDelayOff);
    setCheckedQuietly(m_nvrStart, o.nvrStart);
    setCheckedQuietly(m_userNvrLock, o.userNvrLocked);
}

bool NvrOptionsPage::applyNvr2Visibility(const QString &options)
{
    const nvropt::Nvr2Visibility v = nvropt::nvr2Visibility(options);
    if (!v.wellFormed)
        appendLog(QStringLiteral("initNVR2 string error"));
    const QList<QWidget *> groups[5] = {
        {m_idcode, m_idcodeBytes[0], m_idcodeBytes[1], m_idcodeBytes[2]},
        {m_readProtect},
        {m_resetPin, m_highZ},
        {m_porDelay},
        {m_nvrStart}};
    for (int i = 0; i < 5; ++i)
        for (QWidget *w : groups[i])
            if (w)
                w->setVisible(v.show[i]);
    return v.wellFormed;
}

// ---- NVR3 ----

void NvrOptionsPage::on_groupBox_NVR3_clicked(bool checked)
{
    g_bEnNVR3 = checked;
    if (checked) {
        const uint32_t sector = g_currentMcu.nSectorSize;
        if (nvropt::rollingInNvrRange(g_currentMcu.nNvr2Page * sector, g_currentMcu.nNvr3Page * sector))
            warn(QCoreApplication::translate("options", "序列号超过NVR空间,可能覆盖NVR3数据"));
    }
    showNvr3();
    calcNVR3CheckSum();
    emit sg_summary_changed();
}

void NvrOptionsPage::slt_NVR3_CheckBox_click(bool checked)
{
    auto *box = qobject_cast<QCheckBox *>(sender());
    const nvropt::Nvr3Marker *marker = box ? nvropt::nvr3Marker(box->objectName()) : nullptr;
    if (marker)
        qDebug() << boolText(checked) << box->objectName();
    else
        qDebug() << boolText(checked);
    if (!marker)
        return;
    if (checked && marker->length == 32) {
        if (!boxes::ask(m_window,
                        QCoreApplication::translate("options", "提示"), lockQuestionText(), QMessageBox::Warning)) {
            setCheckedQuietly(box, false);
            qDebug() << "no";
            return;
        }
        qDebug() << "yes";
    }
    nvropt::setNvr3Marker(g_ucNVRBuf3, *marker, checked);
    calcNVR3CheckSum();
}

void NvrOptionsPage::on_lineEdit_CHIP_textChanged(const QString &arg1)
{
    qDebug() << arg1;
    uint16_t value = 0;
    bool showWarning = false;
    if (nvropt::parseChip(arg1, &value, &showWarning)) {
        g_ucNVRBuf3[nvropt::ChipOffset] = static_cast<uint8_t>(value & 0xFF);
        g_ucNVRBuf3[nvropt::ChipOffset + 1] = static_cast<uint8_t>(value >> 8);
        qDebug() << "val= " << value << "g_ucNVRBuf3[0x50]= " << g_ucNVRBuf3[nvropt::ChipOffset]
                 << "g_ucNVRBuf3[0x51]= " << g_ucNVRBuf3[nvropt::ChipOffset + 1];
    } else if (showWarning) {
        warn(notHexText());
    }
    calcNVR3CheckSum();
}

void NvrOptionsPage::on_lineEdit_MADR_textChanged(const QString &arg1)
{
    uint8_t value = 0;
    bool showWarning = false;
    if (nvropt::parseMadr(arg1, &value, &showWarning)) {
        g_ucNVRBuf3[nvropt::MadrOffset] = value;
        qDebug() << "g_ucNVRBuf3[0x23]= " << value;
    } else if (showWarning) {
        warn(QCoreApplication::translate("options", "您输入的数据不是10进制或大于0x80,请重新输入"));
    }
    calcNVR3CheckSum();
}

void NvrOptionsPage::showNvr3()
{
    for (const nvropt::Nvr3Marker &m : nvropt::kNvr3Markers)
        setCheckedQuietly(m_window->findChild<QCheckBox *>(QLatin1String(m.objectName)),
                          nvropt::nvr3MarkerOn(g_ucNVRBuf3, m));
    setTextQuietly(m_madr, nvropt::madrText(g_ucNVRBuf3));
    setTextQuietly(m_chip, nvropt::chipText(g_ucNVRBuf3));
}

// ---- factory parameters, user configuration ----

void NvrOptionsPage::showFactoryParameters()
{
    appendLog(nvropt::factoryClockLine(g_ucNVRBuf3));
    if (!m_factory)
        return;
    const int rows = qMin<int>(m_factory->rowCount(), static_cast<int>(NVR_BUF_SIZE));
    for (int r = 0; r < rows; ++r) {
        const nvropt::FactoryRow row = nvropt::factoryRow(g_currentMcu, g_ucNVRBuf3, r);
        const QString texts[3] = {row.address, row.value, row.description};
        for (int c = 0; c < qMin(3, m_factory->columnCount()); ++c) {
            QTableWidgetItem *item = m_factory->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                m_factory->setItem(r, c, item);
            }
            item->setText(texts[c]);
        }
    }
}

void NvrOptionsPage::userCfgDone(int nRt)
{
    qDebug() << "slt_user_cfg_done";
    if (nRt == 1) {
        nvr2Changed();
        if (m_userCfgState)
            m_userCfgState->setText(QCoreApplication::translate("options", "Enable"));
    } else {
        if (m_userCfgState)
            m_userCfgState->setText(QCoreApplication::translate("options", "Disable"));
        if (m_nvr2Sum)
            m_nvr2Sum->setText(QStringLiteral("****"));
    }
    emit sg_summary_changed();
}
