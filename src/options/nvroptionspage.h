#pragma once

#include <QObject>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QWidget;

// Controller of the window's NVR2 and NVR3 option controls (pages nvr1_tab and nvr2_tab), of the factory
// table after a factory-parameter read, and of the user-configuration state labels.
//
// Integration (mcu_writer):
//   - construct once after setupUi: m_nvrPage = new NvrOptionsPage(this); it finds its controls by object
//     name and connects them itself (groupBox_NVR2, checkBox_IDCODE, lineEdit_idcode0/1/2,
//     checkBox_codeReadProtect, radioButton_rst_rst, radioButton_Z, checkBox_POR_delay, checkBox_NVR_Start,
//     checkBox_UserNVRCanNotWrite, groupBox_NVR3, the thirteen NVR3 check boxes, lineEdit_CHIP, lineEdit_MADR),
//     so the window declares no on_<control>_<signal> slots and no slt_NVR3_CheckBox_click for them;
//   - connect sg_summary_changed() to the settings-summary routine;
//   - chip selection: applyNvr2Visibility(g_currentMcu.strNvr2Options) (it appends "initNVR2 string error"
//     to textEdit_ErorLog itself), then showNvr2() once the images are in line;
//   - after a chip read, file opening and project loading: showNvr2();
//   - slt_read_fac_done(nRt): the window's message routine, then on nRt == 0 showFactoryParameters(), then
//     enable-all;
//   - slt_user_cfg_done(nRt) → userCfgDone(nRt).
class NvrOptionsPage : public QObject
{
    Q_OBJECT

public:
    explicit NvrOptionsPage(QWidget *window);

    // Controls from g_ucNVRBuf2 / g_ucNVRBuf3, without writing the images.
    void showNvr2();
    void showNvr3();

    // Shows or hides the NVR2 option controls from the chip's strNvr2Options; false (and the log line) when
    // the string has fewer than six fields.
    bool applyNvr2Visibility(const QString &options);

    // Factory clock line in the log pane and the whole NVR3 image in tableWidgetNVRFac.
    void showFactoryParameters();

    // The user-configuration dialog's result: checksum label and state label.
    void userCfgDone(int nRt);

signals:
    void sg_summary_changed();

public slots:
    void on_checkBox_IDCODE_clicked(bool checked);
    void on_lineEdit_idcode0_editingFinished();
    void on_lineEdit_idcode1_editingFinished();
    void on_lineEdit_idcode2_editingFinished();
    void on_checkBox_codeReadProtect_clicked(bool checked);
    void on_radioButton_rst_rst_clicked(bool checked);
    void on_radioButton_Z_clicked(bool checked);
    void on_checkBox_POR_delay_clicked(bool checked);
    void on_checkBox_NVR_Start_clicked(bool checked);
    void on_checkBox_UserNVRCanNotWrite_clicked(bool checked);
    void on_groupBox_NVR2_clicked(bool checked);
    void on_groupBox_NVR3_clicked(bool checked);
    void slt_NVR3_CheckBox_click(bool checked);
    void on_lineEdit_CHIP_textChanged(const QString &arg1);
    void on_lineEdit_MADR_textChanged(const QString &arg1);

private:
    template <typename T> T *child(const char *name) const;
    void idcodeFinished(int which);
    void nvr2Changed();
    void appendLog(const QString &text) const;
    void warn(const QString &text) const;

    QWidget *m_window;
    QGroupBox *m_nvr2Group = nullptr;
    QCheckBox *m_idcode = nullptr;
    QLineEdit *m_idcodeBytes[3] = {};
    QCheckBox *m_readProtect = nullptr;
    QRadioButton *m_resetPin = nullptr;
    QRadioButton *m_highZ = nullptr;
    QCheckBox *m_porDelay = nullptr;
    QCheckBox *m_nvrStart = nullptr;
    QCheckBox *m_userNvrLock = nullptr;
    QGroupBox *m_nvr3Group = nullptr;
    QLineEdit *m_madr = nullptr;
    QLineEdit *m_chip = nullptr;
    QLabel *m_nvr2Sum = nullptr;
    QLabel *m_userCfgState = nullptr;
    QTableWidget *m_factory = nullptr;
    QWidget *m_log = nullptr;
};
