#include "AOTPages.h"

#include "AOTCore.h"
#include "widgets/WidgetBuilders.h"

namespace zul::aot {

namespace {

const QStringList Channels = ChannelCaptions(QStringLiteral("AOT"), ChannelCount);

} // namespace

const std::array<TScaleConfigPageInfo, 2> &ConfigPages()
{
    static const std::array<TScaleConfigPageInfo, 2> pages { {
        { "VoutputSheet", "VOT", "GroupBox18", "VOTScaleBox", { VoltageSwitches, VoltageSwitches },
            Voltage, ScalePageKind::Voltage, VoltageScaleBase, false, Channels,
            { "VoltageScaleMatrix", { "0 to 5V", "0 to 10V", "1 to 5V" },
                { { 124, 125, 126 }, { 145, 146, 147 }, { 127, 128, 129 }, { 130, 131, 132 },
                    { 133, 134, 135 }, { 139, 140, 141 }, { 136, 137, 138 }, { 142, 143, 144 } },
                { 216, 217, 218 } },
            std::nullopt, true },
        { "IoutputSheet", "IOT", "GroupBox_AOT_DipC", "IOTScaleBox",
            { CurrentSwitches, CurrentSwitches }, Current, ScalePageKind::OutputCurrent, 0, false,
            Channels,
            { "CurrentRangeMatrix", { "0 to 10mA", "0 to 20mA", "4 to 20mA" },
                { { 148, 149, 150 }, { 169, 170, 171 }, { 151, 152, 153 }, { 154, 155, 156 },
                    { 157, 158, 159 }, { 163, 164, 165 }, { 160, 161, 162 }, { 166, 167, 168 } },
                { 219, 220, 221 } },
            TMatrixNames { "SourceSinkMatrix", { "Source", "Sink" },
                { { 172, 173, 0 }, { 174, 175, 0 }, { 176, 177, 0 }, { 178, 179, 0 },
                    { 180, 181, 0 }, { 182, 183, 0 }, { 184, 185, 0 }, { 186, 187, 0 } },
                { 222, 223, 0 } },
            true },
    } };
    return pages;
}

const TCalibrationPageNames CalibrationPage { "AOTCalSheet", "AOT", { 5, 6, 7, 8, 13, 14, 15, 16 },
    53, 17, 61, 69, 25, 77, 85, 93 };

const TAnalogCheckPageNames CheckPage { "AOTCheckSheet", "AOT", "Analog Outputs", true, 116, -1,
    221, 189, 188, "Button4", "AOTCheck_DOUTEditCheckBox", 49, 57, "AOTCheckEditButton" };

const TAnalogResultsPageNames ResultsPage { "AOTResultsSheet", "GroupBox33",
    { { { "Digital inputs", 8, "CheckBox", 72, -1, 64 },
        { "Digital outputs", 8, "CheckBox", 55, 1, 63 },
        { "Pulsed outputs", 8, "CheckBox", 46, 1, 54 },
        { "Pulsed out counts", 8, "CheckBox", 37, 1, 45 } } },
    "AOTResultsDateBox", "Button_DBResultsSave", "AOTResultsTestButton", "AOTResultsGrid" };

} // namespace zul::aot
