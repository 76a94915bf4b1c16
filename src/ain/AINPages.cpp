#include "AINPages.h"

#include "AINCore.h"
#include "widgets/WidgetBuilders.h"

namespace zul::ain {

namespace {

const QStringList Channels = ChannelCaptions(QStringLiteral("AIN"), ChannelCount);

const QStringList Pairs { "AIN1 - AIN2", "AIN3 - AIN4", "AIN5 - AIN6", "AIN7 - AIN8" };
const QStringList VoltageRanges { "0 to 5V", "0 to 10V", "1 to 5V" };
const QStringList CurrentRanges { "0 to 10mA", "0 to 20mA", "4 to 20mA" };

} // namespace

const std::array<TScaleConfigPageInfo, 4> &ConfigPages()
{
    static const std::array<TScaleConfigPageInfo, 4> pages { {
        { "S_VinputSheet", "S_VIN", "S_VINDipBox", "VINScaleBox", { VoltageSwitches },
            VoltageSingleEnded, ScalePageKind::Voltage, VoltageScaleBase, false, Channels,
            { "S_VINScaleMatrix", VoltageRanges,
                { { 21, 22, 23 }, { 20, 24, 25 }, { 26, 27, 28 }, { 29, 30, 31 }, { 32, 33, 34 },
                    { 38, 39, 40 }, { 35, 36, 37 }, { 41, 42, 43 } },
                { 204, 205, 206 } },
            std::nullopt, false },
        { "D_VinputSheet", "D_VIN", "D_VINDipBox", "D_VINScaleBox", { VoltageSwitches },
            VoltageDifferential, ScalePageKind::Voltage, VoltageScaleBase, true, Pairs,
            { "D_VINScaleMatrix", VoltageRanges,
                { { 76, 77, 78 }, { 79, 80, 81 }, { 85, 86, 87 }, { 88, 89, 90 } },
                { 207, 208, 209 } },
            std::nullopt, false },
        { "S_IinputSheet", "S_IIN", "S_IINDipBox", "IINScaleBox", { CurrentSingleEndedSwitches },
            CurrentSingleEnded, ScalePageKind::InputCurrent, CurrentScaleBase, false, Channels,
            { "S_IINScaleMatrix", CurrentRanges,
                { { 82, 83, 84 }, { 109, 110, 111 }, { 91, 92, 93 }, { 94, 95, 96 }, { 97, 98, 99 },
                    { 103, 104, 105 }, { 100, 101, 102 }, { 106, 107, 108 } },
                { 210, 211, 212 } },
            std::nullopt, false },
        { "D_IinputSheet", "D_IIN", "D_IINDipBox", "D_IINScaleBox", { CurrentDifferentialSwitches },
            CurrentDifferential, ScalePageKind::InputCurrent, CurrentScaleBase, true, Pairs,
            { "D_IINScaleMatrix", CurrentRanges,
                { { 112, 113, 114 }, { 115, 116, 117 }, { 118, 119, 120 }, { 121, 122, 123 } },
                { 213, 214, 215 } },
            std::nullopt, false },
    } };
    return pages;
}

const TCalibrationPageNames CalibrationPage { "AINCalSheet", "AIN",
    { 17, 18, 19, 20, 21, 22, 23, 24 }, 5, 1, 13, 21, 9, 29, 37, 45 };

const TAnalogCheckPageNames CheckPage { "AINCheckSheet", "AIN", "Analog Inputs", false, 25, 1, 92,
    45, 44, "Button3", "AINCheck_DOUTEditCheckBox", 65, 73, "AINCheckEditButton" };

const TAnalogResultsPageNames ResultsPage { "AINResultsSheet", "GroupBox31",
    { { { "Digital inputs", 8, "CheckBox", 1, 1, 9 },
        { "Digital outputs", 8, "CheckBox", 18, -1, 10 },
        { "Pulsed outputs", 8, "CheckBox", 27, -1, 19 },
        { "Pulsed out counts", 8, "CheckBox", 36, -1, 28 } } },
    "AINResultsDateBox", "AINResultsSaveDBBut", "AINResultsTestButton", "AINResultsGrid" };

} // namespace zul::ain
