// One configuration page of an analog kind, built from a table row: the "DIP switches" group
// (a drawing of the expected switch positions, "DIP switches set?", "Save configuration") and the
// scale group with its radio matrix (and, for current outputs, the Source/Sink matrix), "Read from
// module" and "Save scales to module". The four AIN input pages and the two AOT output pages are
// this one class; TScaleConfigUnit runs them.
#pragma once

#include "core/ModuleCodes.h"
#include "widgets/WidgetSheet.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QVBoxLayout;
class TRadioMatrix;

// Button numbers "RadioButtonN" of a matrix: one row of numbers per channel row, then ALL.
struct TMatrixNames
{
    const char *Name; // "S_VINScaleMatrix"
    QStringList Columns;
    std::vector<std::array<int, 3>> Rows;
    std::array<int, 3> All;
};

struct TScaleConfigPageInfo
{
    const char *PageName; // "S_VinputSheet"
    // Prefix of the page's controls: <P>DipTickBox, <P>CfgSaveButton, <P>ScaleSaveButton,
    // <P>_ReadZULButton ("S_VIN", "VOT").
    const char *Prefix;
    const char *DipGroupName;
    const char *ScaleBoxName; // "VINScaleBox"
    std::vector<std::uint16_t> SwitchWords; // from register 141 on
    std::uint16_t HardwareCode; // all eight channels
    zul::ScalePageKind Kind;
    std::uint16_t KindBase; // range codes are KindBase | column + 1 (not for current outputs)
    bool Pairs; // differential: row k is channels 2k - 1 and 2k
    QStringList RowCaptions;
    TMatrixNames Range;
    std::optional<TMatrixNames> SourceSink; // current outputs only
    bool ConfigSaveAlwaysEnabled; // the output pages let it be pressed without the tick
};

class TScaleConfigPage : public TSheet
{
public:
    explicit TScaleConfigPage(const TScaleConfigPageInfo &info, QWidget *parent = nullptr);

    const TScaleConfigPageInfo &Info() const { return m_info; }
    // The channel rows a matrix has: 8, or 4 pairs.
    int RowCount() const;

    QCheckBox *DipTickBox;
    QPushButton *CfgSaveButton;
    QGroupBox *ScaleBox;
    TRadioMatrix *RangeMatrix;
    TRadioMatrix *SourceSinkMatrix = nullptr;
    QPushButton *ReadButton;
    QPushButton *ScaleSaveButton;

private:
    QGroupBox *buildDipGroup();
    QVBoxLayout *buildScaleColumn();

    const TScaleConfigPageInfo &m_info;
};
