// The calibration page of an analog kind ("AIN Calibration", "AOT Calibration"), built from a
// table of control numbers: the "Calculation Grid" (live raw, Raw Low with its copy buttons,
// Reading low, Raw High with its copy buttons, Reading high, one row per channel), "Clear grid",
// and the "Calibration" box (SPAN, OFFSET, "Calculate from grid", "Save to module", "Read from
// module", "Default values"). A kind adds its own controls beside the box (AddToCalibrationBox,
// AddBelowGrid); TCalibration runs the common part.
#pragma once

#include "widgets/WidgetSheet.h"

#include <QStringList>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

struct TCalibrationPageNames
{
    const char *PageName; // "AINCalSheet"
    const char *Kind; // "AIN": rows "AIN1".., buttons "AINCalCalcButton"..
    std::array<int, 8> LiveRawTexts; // StaticTextN per row
    // First numbers of eight consecutive controls each.
    int RawLowEdits, LowCopyButtons, ReadingLowEdits, RawHighEdits, HighCopyButtons,
        ReadingHighEdits, SpanEdits, OffsetEdits;
};

class TCalibrationPage : public TSheet
{
public:
    explicit TCalibrationPage(const TCalibrationPageNames &names, QWidget *parent = nullptr);

    void AddToCalibrationBox(QWidget *control);
    void AddBelowGrid(QWidget *control);
    // "AIN" or "AOT".
    const char *Kind() const { return m_kind; }

    std::array<QLabel *, 8> LiveRawTexts;
    std::array<QLineEdit *, 8> RawLowEdits;
    std::array<QToolButton *, 8> LowCopyButtons;
    std::array<QLineEdit *, 8> ReadingLowEdits;
    std::array<QLineEdit *, 8> RawHighEdits;
    std::array<QToolButton *, 8> HighCopyButtons;
    std::array<QLineEdit *, 8> ReadingHighEdits;
    std::array<QLineEdit *, 8> SpanEdits;
    std::array<QLineEdit *, 8> OffsetEdits;
    QPushButton *CalcButton;
    QPushButton *SaveButton;
    QPushButton *ReadButton;
    QPushButton *DefaultsButton;
    QPushButton *ClearGridButton;

private:
    QGroupBox *buildCalculationGrid(
        const TCalibrationPageNames &names, const QStringList &channels);
    QGroupBox *buildCalibrationBox(const TCalibrationPageNames &names, const QStringList &channels);

    const char *m_kind;
    QVBoxLayout *m_calibrationButtons;
    QVBoxLayout *m_belowGrid;
};
