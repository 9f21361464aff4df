#pragma once

#include "production/rollingrules.h"

class QComboBox;
class QGroupBox;
class QRadioButton;
class QWidget;

// The controls that edit one rolling-number record; the window's writer-settings page and serialNoDialog
// carry the same set.
struct RollingControls
{
    QGroupBox *group = nullptr;
    QRadioButton *radix10 = nullptr;
    QRadioButton *radix16 = nullptr;
    QRadioButton *countUp = nullptr;
    QRadioButton *countDown = nullptr;
    QComboBox *bitSize = nullptr;
    QComboBox *startAddress = nullptr;
    QComboBox *startValue = nullptr;
    QComboBox *step = nullptr;
    QComboBox *area = nullptr;
    QWidget *logPane = nullptr;  // the window's error log; none in the dialog

    bool complete() const;
};

// The slot logic of a rolling-number editor on one record: the window edits g_rollingSet in place, the
// dialog a copy it commits on OK. Boxes go through the box module with `boxParent` as their parent.
class RollingEditor
{
public:
    RollingEditor(QWidget *boxParent, const RollingControls &controls, rolling_seting_t *record,
                  rolling::Editor editor);

    // The group became checked: area NVR, width 8, start address at the NVR area's last byte.
    void enable();
    void radix10Clicked(bool checked);
    void radix16Clicked(bool checked);
    void countUpClicked(bool checked);
    void countDownClicked(bool checked);
    void startAddressChanged(const QString &text);
    void bitSizeChanged(int index);
    void startValueChanged(const QString &text);
    void stepChanged(const QString &text);
    void areaChanged(int index);

    // Sets every control from the record without running any check.
    void showRecord();

    static RollingLimits currentLimits();

private:
    void warn(const QString &text) const;
    void showAddress(const QString &text) const;
    void noteInLog(const rolling::Outcome &outcome) const;
    void applyRadix(bool hex);

    QWidget *m_boxParent;
    RollingControls m_c;
    rolling_seting_t *m_record;
    rolling::Editor m_editor;
};
