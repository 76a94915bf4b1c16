// "AIN Calibration": the grid calculation, what "Save to module" checks before it writes, the
// defaults and the full-range conversion, the live raw column and the Dec/Hex re-display.
#include "ain/UnitZUL_AIN.h"
#include "ui/ModuleFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace zul;

class AINCalibration : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt"));
        showPage(AINCalPage);
    }
    QLineEdit *edit(int number) { return on<QLineEdit>(AINCalPage, QString("Edit%1").arg(number)); }
    // Channel n (1-based) of a column whose first edit is `first`.
    QLineEdit *cell(int first, int channel) { return edit(first + channel - 1); }
    void click(const char *name) { on<QPushButton>(AINCalPage, name)->click(); }
    void setRow(int channel, const char *rawLow, const char *readingLow, const char *rawHigh,
        const char *readingHigh)
    {
        cell(5, channel)->setText(rawLow);
        cell(13, channel)->setText(readingLow);
        cell(21, channel)->setText(rawHigh);
        cell(29, channel)->setText(readingHigh);
    }
    QString span(int channel) { return cell(37, channel)->text(); }
    QString offset(int channel) { return cell(45, channel)->text(); }
    void setAll(int first, const QString &text)
    {
        for (int n = 1; n <= 8; ++n)
            cell(first, n)->setText(text);
    }
};

TEST_F(AINCalibration, GridGivesSpanAndOffsetAndNamesTheBadChannelsOnce)
{
    setRow(1, "32", "0", "2352", "10");
    setRow(2, "1000", "4", "500", "20"); // -31.25 -> -31, offset from the signed span
    setRow(3, "0", "200", "10", "1");
    setRow(4, "100", "2.5", "1100", "5.5"); // 333.33 -> 333; 100 - round(832.5) = -732
    setRow(5, "abc", "1", "2000", "");
    setRow(6, "500", "2", "900", "2"); // equal readings
    setRow(7, "0", "0", "-32769", "1");
    setRow(8, "-32768", "-128", "32767", "127");
    click("AINCalCalcButton");
    EXPECT_EQ(messages.texts(), QStringList { "Data out of range: Channel  3 7" });
    const QStringList spans { "232", "31", "65535", "333", "2000", "65535", "65535", "257" };
    const QStringList offsets { "32", "1124", "0", "-732", "2000", "-130570", "0", "128" };
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(span(n), spans[n - 1]) << "AIN" << n;
        EXPECT_EQ(offset(n), offsets[n - 1]) << "AIN" << n;
    }
    EXPECT_EQ(cell(5, 5)->text(), "0");
    EXPECT_EQ(cell(29, 5)->text(), "0");
    EXPECT_EQ(cell(13, 4)->text(), "2.5"); // numbers stay as typed

    find<QToolButton>("HexButton")->click();
    click("AINCalCalcButton");
    EXPECT_EQ(span(3), "$FFFF");
    EXPECT_EQ(offset(4), "$FFFFFD24");
}

TEST_F(AINCalibration, SaveChecksEveryValueBeforeWritingSpansOffsetsAndStore)
{
    setAll(37, "232");
    setAll(45, "32");
    cell(37, 8)->setText("70000");
    sim->clearRequestLog();
    click("AINCalSaveButton");
    EXPECT_EQ(messages.texts(), QStringList { "Span data invalid. Nothing written to module" });
    cell(37, 8)->setText("232");
    cell(45, 2)->setText("x");
    click("AINCalSaveButton");
    EXPECT_EQ(messages.last(), "Offset data invalid. Nothing written to module");
    EXPECT_TRUE(requests(16, 125).empty());
    EXPECT_TRUE(requests(16, 117).empty());

    // Hex shows -32768 as eight digits; the text is read back as the same offset.
    find<QToolButton>("HexButton")->click();
    cell(45, 2)->setText("-32768");
    showPage(pageIndex("AINCheckSheet"));
    showPage(AINCalPage);
    EXPECT_EQ(cell(45, 2)->text(), "$FFFF8000");
    messages.clear();
    click("AINCalSaveButton");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(blockWrite(125), std::vector<std::uint16_t>(8, 232));
    std::vector<std::uint16_t> offsets(8, 32);
    offsets[1] = 0x8000;
    EXPECT_EQ(blockWrite(117), offsets);
    EXPECT_TRUE(storeRan(192));
    EXPECT_EQ(sim->model().inputRegister(151 + 1), 0x8000); // the voltage set holds it now

    sim->model().removeHoldingRegister(192);
    click("AINCalSaveButton");
    EXPECT_EQ(messages.last(), "Error saving calibration data to module");

    // A module of another kind plugged in meanwhile gets nothing.
    sim->model().setKind(zulsim::Kind::named("AOT"));
    sim->clearRequestLog();
    click("AINCalSaveButton");
    EXPECT_EQ(messages.last(), "Wrong module type.");
    EXPECT_TRUE(requests(16, 125).empty());
}

TEST_F(AINCalibration, DefaultsFullRangeReadAndTheConvertButtonFollowTheModule)
{
    click("AINCalDefButton"); // voltage configuration
    EXPECT_EQ(span(1), "2304");
    EXPECT_EQ(offset(8), "32");
    auto *convert = on<QPushButton>(AINCalPage, "SpecialScaleBut");
    EXPECT_FALSE(convert->isEnabled());

    for (int n = 0; n < 8; ++n) {
        sim->model().setHoldingRegister(133 + n, 0x0101);
        sim->model().setHoldingRegister(101 + n, 0x0203);
    }
    click("AINCalDefButton");
    EXPECT_EQ(span(1), "232");
    EXPECT_EQ(offset(1), "32");
    showPage(pageIndex("AINCheckSheet"));
    showPage(AINCalPage);
    EXPECT_TRUE(convert->isEnabled());
    cell(37, 1)->setText("233");
    convert->click();
    EXPECT_EQ(span(1), "116");
    EXPECT_EQ(offset(1), "1424");
    EXPECT_EQ(span(2), "116");

    click("AINCalReadZULButton");
    EXPECT_EQ(span(1), "3000");
    EXPECT_EQ(offset(1), "0");
    // A read that fails leaves nothing that could be saved back as the module's calibration.
    sim->setFault(zulsim::Fault::ExceptionReply);
    click("AINCalReadZULButton");
    EXPECT_EQ(span(1), "");
    EXPECT_EQ(offset(8), "");
    // ... and the blanks stay blank through Dec/Hex and showing the page again, so "Save to
    // module" refuses them instead of writing span 0 to every channel.
    sim->clearFault();
    find<QToolButton>("HexButton")->click();
    find<QToolButton>("DecButton")->click();
    showPage(pageIndex("AINCheckSheet"));
    showPage(AINCalPage);
    EXPECT_EQ(span(1), "");
    EXPECT_EQ(offset(8), "");
    messages.clear();
    sim->clearRequestLog();
    click("AINCalSaveButton");
    EXPECT_EQ(messages.texts(), QStringList { "Span data invalid. Nothing written to module" });
    setAll(37, "232");
    click("AINCalSaveButton");
    EXPECT_EQ(messages.last(), "Offset data invalid. Nothing written to module");
    EXPECT_TRUE(requests(16, 125).empty());
}

TEST_F(AINCalibration, LiveRawCopiesAndClearFollowTheNumberFormat)
{
    sim->model().setHoldingRegister(117, static_cast<std::uint16_t>(-100)); // offset -100
    poll();
    auto *live = on<QLabel>(AINCalPage, "StaticText17");
    EXPECT_EQ(live->text(), "-100");
    on<QToolButton>(AINCalPage, "BitBtn9")->click();
    EXPECT_EQ(cell(21, 1)->text(), "-100");

    find<QToolButton>("HexButton")->click();
    EXPECT_EQ(cell(21, 1)->text(), "$FFFFFF9C");
    poll();
    EXPECT_EQ(live->text(), "$FFFFFF9C");
    on<QToolButton>(AINCalPage, "BitBtn1")->click();
    EXPECT_EQ(cell(5, 1)->text(), "$FFFFFF9C");
    cell(13, 1)->setText("4.25");
    click("AINCalClearGridButton");
    EXPECT_EQ(cell(5, 1)->text(), "$0000");
    EXPECT_EQ(cell(21, 8)->text(), "$0000");
    EXPECT_EQ(cell(13, 1)->text(), "0");
    EXPECT_EQ(span(1), "$0BB8"); // the calibration box is left alone
}
