#include "serialnodialog.h"
#include "ui_serialnodialog.h"

#include "appdir/appdir.h"
#include "boxes/boxes.h"
#include "files/passwordcodec.h"

#include <QDebug>
#include <QIcon>

namespace {
constexpr int kValueDigits = 11;
}

serialNoDialog::serialNoDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::serialNoDialog>()), m_rolling(g_rollingSet)
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(appDir() + QStringLiteral("/logo.png")));
    m_ui->pushButton_pswCheck->hide();

    RollingControls c;
    c.group = m_ui->groupBox_rolling;
    c.radix10 = m_ui->radioButton_10;
    c.radix16 = m_ui->radioButton_16;
    c.countUp = m_ui->radioButton_inc;
    c.countDown = m_ui->radioButton_dec;
    c.bitSize = m_ui->comboBox_bitsize;
    c.startAddress = m_ui->comboBox_start_addr;
    c.startValue = m_ui->comboBox_start_val;
    c.step = m_ui->comboBox_step;
    c.area = m_ui->comboBox_start_AreaSel;
    m_editor = std::make_unique<RollingEditor>(this, c, &m_rolling, rolling::Editor::Dialog);
    // Wide enough for the largest value (ten decimal digits): a narrow field scrolls and shows "234" for 1234.
    for (QComboBox *field : {m_ui->comboBox_start_addr, m_ui->comboBox_start_val, m_ui->comboBox_step}) {
        field->setMinimumContentsLength(kValueDigits);
        field->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }

    m_ui->groupBox_rolling->setChecked(g_bEnRollCode);
    m_editor->showRecord();
    m_ui->groupBox_encode->setChecked(g_bEnEncryption);
    m_ui->lineEditpsw->setMaxLength(PASSWORD_MAX_LENGTH);
    // Masked, as others stand at a production line; shown on demand to check what was typed.
    connect(m_ui->checkBox_showPsw, &QCheckBox::toggled, this, [this](bool show) {
        m_ui->lineEditpsw->setEchoMode(show ? QLineEdit::Normal : QLineEdit::Password);
    });
    if (g_bEnEncryption)
        m_ui->lineEditpsw->setText(g_strPsw);
}

serialNoDialog::~serialNoDialog() = default;

void serialNoDialog::on_groupBox_rolling_clicked(bool checked)
{
    if (checked)
        m_editor->enable();
}

void serialNoDialog::on_radioButton_10_clicked(bool checked) { m_editor->radix10Clicked(checked); }
void serialNoDialog::on_radioButton_16_clicked(bool checked) { m_editor->radix16Clicked(checked); }
void serialNoDialog::on_radioButton_inc_clicked(bool checked) { m_editor->countUpClicked(checked); }
void serialNoDialog::on_radioButton_dec_clicked(bool checked) { m_editor->countDownClicked(checked); }

void serialNoDialog::on_comboBox_start_addr_currentTextChanged(const QString &text)
{
    m_editor->startAddressChanged(text);
}

void serialNoDialog::on_comboBox_bitsize_currentIndexChanged(int index)
{
    m_editor->bitSizeChanged(index);
}

void serialNoDialog::on_comboBox_start_val_currentTextChanged(const QString &text)
{
    m_editor->startValueChanged(text);
}

void serialNoDialog::on_comboBox_step_currentTextChanged(const QString &text)
{
    m_editor->stepChanged(text);
}

void serialNoDialog::on_comboBox_start_AreaSel_currentIndexChanged(int index)
{
    // The dialog's own switch decides: a number switched on in this dialog follows the choice as well, so
    // what the dialog shows is what 确定 stores.
    if (m_ui->groupBox_rolling->isChecked())
        m_editor->areaChanged(index);
}

void serialNoDialog::on_lineEditpsw_inputRejected()
{
    if (m_ui->lineEditpsw->text().size() >= m_ui->lineEditpsw->maxLength())
        boxes::inform(this, passwordBoxTitle(), passwordEntryMessage(PasswordEntry::TooLong));
}

bool serialNoDialog::passwordAccepted()
{
    if (!m_ui->groupBox_encode->isChecked())
        return true;
    const PasswordEntry entry = checkPasswordEntry(m_ui->lineEditpsw->text());
    if (entry == PasswordEntry::Accepted)
        return true;
    boxes::inform(this, passwordBoxTitle(), passwordEntryMessage(entry));
    return false;
}

void serialNoDialog::on_pushButton_dialog_ok_released()
{
    if (!passwordAccepted())
        return;
    if (m_ui->groupBox_encode->isChecked() && m_ui->groupBox_rolling->isChecked()
        && m_rolling.area() == RollingAreaNvr) {
        const QString conflict = rolling::passwordConflict(m_rolling, RollingEditor::currentLimits());
        if (!conflict.isEmpty()) {
            boxes::inform(this, QCoreApplication::translate("settings", "警告"), conflict);
            return;
        }
    }
    g_bEnRollCode = m_ui->groupBox_rolling->isChecked();
    g_rollingSet = m_rolling;
    emit sg_serial_no_done(g_bEnRollCode ? 1 : 0);
    commitPassword(m_ui->groupBox_encode->isChecked(), m_ui->lineEditpsw->text());
    emit sg_password_done(g_bEnEncryption ? 1 : 0);
    close();
}

void serialNoDialog::on_pushButton_dialog_canccel_released()
{
    close();
}
