// The AOT configuration and calibration pages: the Source/Sink rules of the current page, the two
// switch words, the output drive of the calibration page and its own texts and defaults.
#include "aot/UnitZUL_AOT.h"
#include "ui/ModuleFixture.h"

#include "analog/WidgetScaleConfigPage.h"
#include "widgets/RadioMatrix.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using namespace zul;

class AOTPages : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        connectKind(zulsim::Kind::named("AOT"), QStringLiteral("zulconfigt"));
    }
    QRadioButton *radio(int page, int number)
    {
        return on<QRadioButton>(page, QString("RadioButton%1").arg(number));
    }
    void click(int page, const char *name) { on<QAbstractButton>(page, name)->click(); }
    QLineEdit *edit(int number) { return on<QLineEdit>(AOTCalPage, QString("Edit%1").arg(number)); }
    TRadioMatrix *matrix(int page, int n)
    {
        auto &config = dynamic_cast<TScaleConfigPage &>(*window->Page(page));
        return n == 0 ? config.RangeMatrix : config.SourceSinkMatrix;
    }
    std::vector<int> columns(int page, int matrix)
    {
        const TRadioMatrix *m = this->matrix(page, matrix);
        std::vector<int> checked;
        for (int r = 0; r < m->RowCount(); ++r)
            checked.push_back(m->Column(r));
        return checked;
    }
};

TEST_F(AOTPages, CurrentPageWritesSourceOrSinkPerChannelAndReadsOnlyCurrentCodes)
{
    EXPECT_EQ(columns(VoutputPage, 0), std::vector<int>(8, 1)); // 0 to 10V at connect
    EXPECT_TRUE(on<QPushButton>(IoutputPage, "IOTCfgSaveButton")->isEnabled()); // always
    EXPECT_FALSE(on<QPushButton>(IoutputPage, "IOTScaleSaveButton")->isEnabled());

    click(IoutputPage, "IOTDipTickBox");
    click(IoutputPage, "IOT_ReadZULButton");
    EXPECT_EQ(columns(IoutputPage, 0), std::vector<int>(8, -1)); // voltage codes: nothing shown
    EXPECT_EQ(columns(IoutputPage, 1), std::vector<int>(8, -1));

    sim->clearRequestLog();
    click(VoutputPage, "VOTCfgSaveButton");
    EXPECT_EQ(blockWrite(141), (std::vector<std::uint16_t> { 0x0249, 0x0249 }));
    sim->clearRequestLog();
    click(IoutputPage, "IOTCfgSaveButton");
    EXPECT_EQ(blockWrite(141), (std::vector<std::uint16_t> { 0x0DB6, 0x0DB6 }));
    EXPECT_EQ(blockWrite(133), std::vector<std::uint16_t>(8, 0x0101));
    EXPECT_TRUE(storeRan(193));
    EXPECT_EQ(text("ZULHWLabel"), "Current");

    radio(IoutputPage, 221)->click(); // every channel 4 to 20mA
    radio(IoutputPage, 223)->click(); // every channel sink
    radio(IoutputPage, 174)->click(); // AOT2 source
    TRadioMatrix *ranges = matrix(IoutputPage, 0);
    ranges->SetColumn(2, -1); // AOT3 without a range
    click(IoutputPage, "IOTScaleSaveButton");
    EXPECT_EQ(blockWrite(101),
        (std::vector<std::uint16_t> {
            0x0203, 0x0103, 0xFFFF, 0x0203, 0x0203, 0x0203, 0x0203, 0x0203 }));
    EXPECT_EQ(text("Label171"), "AOT2: 4 to 20mA, source");

    // Neither source nor sink: written as source, and the page shows it.
    TRadioMatrix *sourceSink = matrix(IoutputPage, 1);
    sourceSink->SetColumn(4, -1);
    sim->clearRequestLog();
    click(IoutputPage, "IOTScaleSaveButton");
    EXPECT_EQ(blockWrite(101).at(4), 0x0103);
    EXPECT_TRUE(radio(IoutputPage, 180)->isChecked());

    click(IoutputPage, "IOT_ReadZULButton");
    EXPECT_EQ(columns(IoutputPage, 0), (std::vector<int> { 2, 2, -1, 2, 2, 2, 2, 2 }));
    EXPECT_EQ(columns(IoutputPage, 1), (std::vector<int> { 1, 0, -1, 1, 0, 1, 1, 1 }));
    click(VoutputPage, "VOTDipTickBox");
    EXPECT_FALSE(on<QCheckBox>(IoutputPage, "IOTDipTickBox")->isChecked());
    click(VoutputPage, "VOT_ReadZULButton");
    EXPECT_EQ(columns(VoutputPage, 0), std::vector<int>(8, -1));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
}

TEST_F(AOTPages, CalibrationDrivesTheOutputsAndSavesWithItsOwnTexts)
{
    showPage(AOTCalPage);
    EXPECT_EQ(edit(101)->text(), "0"); // empty until the page is shown
    click(AOTCalPage, "AOTCalHighButton");
    EXPECT_EQ(edit(101)->text(), "49152");
    sim->clearRequestLog();
    poll();
    EXPECT_EQ(blockWrite(1), std::vector<std::uint16_t>(8, 0xC000));
    poll(); // the raw values follow the outputs: 10 V x span 3000
    EXPECT_EQ(on<QLabel>(AOTCalPage, "StaticText16")->text(), "30000");
    on<QToolButton>(AOTCalPage, "BitBtn32")->click();
    EXPECT_EQ(edit(76)->text(), "30000");

    find<QToolButton>("HexButton")->click();
    EXPECT_EQ(edit(101)->text(), "$C000");
    EXPECT_EQ(edit(76)->text(), "$7530");
    click(AOTCalPage, "AOTCalLowButton");
    EXPECT_EQ(edit(101)->text(), "$4000");
    edit(76)->setText("70000");
    find<QToolButton>("DecButton")->click();
    EXPECT_EQ(edit(76)->text(), "70000"); // outputs keep 32-bit values on Dec/Hex

    click(AOTCalPage, "AOTCalDefButton");
    EXPECT_EQ(edit(85)->text(), "160");
    EXPECT_EQ(edit(93)->text(), "2048");
    sim->model().removeHoldingRegister(117);
    click(AOTCalPage, "AOTCalSaveButton");
    EXPECT_EQ(messages.texts(), QStringList { "Error writing offset to ZUL" });
    sim->model().setKind(zulsim::Kind::named("AOT")); // a fresh module
    click(AOTCalPage, "AOTCalSaveButton");
    EXPECT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(storeRan(192));
    sim->model().removeHoldingRegister(192);
    click(AOTCalPage, "AOTCalSaveButton");
    EXPECT_EQ(messages.last(), "Error saving calibration data to ZUL");

    // Defaults for a module in current configuration.
    for (int n = 0; n < 8; ++n)
        sim->model().setHoldingRegister(133 + n, 0x0101);
    click(AOTCalPage, "AOTCalDefButton");
    EXPECT_EQ(edit(92)->text(), "80");
    EXPECT_EQ(edit(100)->text(), "2304");

    // An AIN module has the same calibration registers; it must not take an output calibration.
    sim->model().setKind(zulsim::Kind::named("AIN"));
    sim->clearRequestLog();
    click(AOTCalPage, "AOTCalSaveButton");
    EXPECT_EQ(messages.last(), "Wrong module type.");
    EXPECT_TRUE(requests(16, 125).empty());
}

TEST_F(AOTPages, AFailedCalibrationReadLeavesBlanksThatAreNeverWritten)
{
    showPage(AOTCalPage);
    sim->setFault(zulsim::Fault::ExceptionReply);
    click(AOTCalPage, "AOTCalReadZULButton");
    sim->clearFault();
    // Dec/Hex and showing the page again re-display every field; a blank is no value to show.
    find<QToolButton>("HexButton")->click();
    showPage(pageIndex("AOTCheckSheet"));
    showPage(AOTCalPage);
    EXPECT_EQ(edit(85)->text(), "");
    EXPECT_EQ(edit(100)->text(), "");
    messages.clear();
    sim->clearRequestLog();
    click(AOTCalPage, "AOTCalSaveButton");
    EXPECT_EQ(messages.texts(), QStringList { "Span data invalid. Nothing written to module" });
    EXPECT_TRUE(requests(16, 125).empty());
    EXPECT_TRUE(requests(16, 117).empty());
}
