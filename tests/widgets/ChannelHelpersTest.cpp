// The helpers shared by the module pages: radio rows from codes, value display and entry, group
// enabling, the catching connect, and the guarded configuration writes against a simulator.
#include "MessageRecorder.h"
#include "ui/UiFixture.h"

#include "widgets/ChannelHelpers.h"
#include "widgets/RadioMatrix.h"
#include "widgets/SafeSlot.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include <stdexcept>

using zulsim::Kind;

namespace {

// A matrix named like the scale matrices: RadioButton<row><column>, ALL row RadioButtonA<column>.
std::unique_ptr<TRadioMatrix> matrix(int rows, const QStringList &columns, bool allRow = false)
{
    TRadioMatrixLayout layout;
    layout.ColumnCaptions = columns;
    for (int r = 0; r < rows; ++r)
        layout.RowCaptions << QStringLiteral("AIN%1").arg(r + 1);
    layout.ButtonName = [](int r, int c) {
        return QStringLiteral("RadioButton%1%2").arg(r).arg(c);
    };
    if (allRow)
        layout.AllButtonName = [](int c) { return QStringLiteral("RadioButtonA%1").arg(c); };
    return std::make_unique<TRadioMatrix>(layout);
}

std::vector<int> columns(const TRadioMatrix &m)
{
    std::vector<int> checked;
    for (int r = 0; r < m.RowCount(); ++r)
        checked.push_back(m.Column(r));
    return checked;
}

} // namespace

TEST(ChannelHelpers, RadioMatricesFollowTheCodesAndTheAllRow)
{
    const QStringList ranges { "0 to 5V", "0 to 10V", "1 to 5V" };
    auto scales = matrix(7, ranges, true);
    scales->SetColumn(6, 0);
    const std::array<std::uint16_t, 7> codes { 0x1101, 0x1103, 0, 0xFFFF, 0x1100, 0x0202, 0x0102 };
    SetRangeButtons(*scales, codes, 6); // the seventh row is left alone
    EXPECT_EQ(columns(*scales), (std::vector<int> { 0, 2, -1, -1, -1, 1, 0 }));
    EXPECT_EQ(scales->Button(1, 2)->objectName(), "RadioButton12");

    // A row emptied from a code stays exclusive: a click still checks only one button.
    SetRangeButtons(*scales, std::array<std::uint16_t, 1> { 0xFFFF }, 1);
    EXPECT_EQ(scales->Row(0)->checkedId(), -1);
    EXPECT_TRUE(scales->Row(0)->exclusive());
    scales->Button(0, 1)->click();
    scales->Button(0, 2)->click();
    EXPECT_EQ(scales->Column(0), 2);
    EXPECT_FALSE(scales->Button(0, 1)->isChecked());

    // ALL sets its column in every channel row and stays selected until cleared.
    scales->AllButton(1)->click();
    EXPECT_EQ(columns(*scales), std::vector<int>(7, 1));
    EXPECT_TRUE(scales->AllButton(1)->isChecked());
    scales->ClearAllRow();
    EXPECT_FALSE(scales->AllButton(1)->isChecked());

    auto sourceSink = matrix(4, { "Source", "Sink" });
    const std::array<std::uint16_t, 4> sinkCodes { 0x0101, 0x0203, 0xFFFF, 0x1101 };
    SetSourceSinkButtons(*sourceSink, sinkCodes, 4);
    EXPECT_EQ(columns(*sourceSink), (std::vector<int> { 0, 1, -1, -1 }));
    EXPECT_EQ(sourceSink->AllButton(0), nullptr);
}

TEST(ChannelHelpers, ValuesShowAndParseInBothFormats)
{
    QLabel a, b;
    const std::array<QLabel *, 2> labels { &a, &b };
    const std::array<std::uint16_t, 2> words { 255, 65535 };
    ShowWords(labels, words, true);
    EXPECT_EQ(a.text(), "$00FF");
    EXPECT_EQ(b.text(), "$FFFF");
    ShowWords(labels, words, false);
    EXPECT_EQ(a.text(), "255");
    const std::array<std::int16_t, 2> signedWords { -10, 7 };
    ShowSignedWords(labels, signedWords, true);
    EXPECT_EQ(a.text(), "$FFFFFFF6");
    const std::array<std::int32_t, 2> longs { 65538, -1 };
    ShowLongsHex8(labels, longs, true);
    EXPECT_EQ(a.text(), "$00010002");
    ShowLongs(labels, longs, false);
    EXPECT_EQ(b.text(), "-1");

    QLineEdit e1("70000"), e2("$FFFF"), e3("x");
    const std::array<QLineEdit *, 3> edits { &e1, &e2, &e3 };
    std::array<std::uint16_t, 3> values { 9, 9, 9 };
    EXPECT_FALSE(ReadWordEdits(edits, values));
    EXPECT_EQ(values, (std::array<std::uint16_t, 3> { 0, 65535, 0 }));
    e1.setText("12");
    e3.setText("0x10");
    EXPECT_TRUE(ReadWordEdits(edits, values));
    EXPECT_EQ(values, (std::array<std::uint16_t, 3> { 12, 65535, 16 }));

    e1.setText("-32768");
    e2.setText("32768");
    std::array<std::int16_t, 3> signedValues {};
    EXPECT_FALSE(ReadSignedWordEdits(edits, signedValues));
    EXPECT_EQ(signedValues[0], -32768);
    EXPECT_EQ(signedValues[1], 0);

    e1.setText("70000");
    std::array<std::uint16_t, 3> shorts {};
    ReadShortEdits(edits, shorts);
    EXPECT_EQ(shorts[0], 70000 & 0xFFFF);
    std::array<std::int32_t, 3> longValues {};
    e3.setText("abc");
    ReadLongEdits(edits, longValues);
    EXPECT_EQ(longValues, (std::array<std::int32_t, 3> { 70000, 32768, 0 }));
}

TEST(ChannelHelpers, EnableGroupCoversChildrenAndGrid)
{
    QWidget owner;
    auto *group = new QGroupBox(&owner);
    auto *send = new QPushButton(group);
    auto outputs = matrix(2, { "ON", "OFF" });
    EnableGroup(group, *outputs, false);
    EXPECT_FALSE(group->isEnabled());
    EXPECT_FALSE(send->isEnabled());
    EXPECT_FALSE(outputs->Button(1, 1)->isEnabled());
    EnableGroup(group, *outputs, true);
    EXPECT_TRUE(send->isEnabled());
    EXPECT_TRUE(outputs->Button(1, 1)->isEnabled());
}

TEST(ChannelHelpers, ScaleFormGrowsOnlyForOtherDensities)
{
    QWidget form;
    form.resize(764, 569);
    ScaleFormToScreen(&form, 1.0);
    EXPECT_EQ(form.size(), QSize(764, 569));
    ScaleFormToScreen(&form, 1.25);
    EXPECT_EQ(form.size(), QSize(975, 726)); // x 1.275, rounded up
}

TEST(SafeSlot, EscapedExceptionIsShown)
{
    TMessageRecorder messages;
    QPushButton button;
    zul::SafeConnect(&button, &QPushButton::clicked, &button, messages,
        [] { throw std::runtime_error("COM4- This port may be already in use or not present."); });
    button.click();
    EXPECT_EQ(
        messages.texts(), QStringList { "COM4- This port may be already in use or not present." });
}

TEST_F(UiFixture, ScaleWriteRefusedSkipsTheStoreCommand)
{
    const std::string path = startSim(Kind::named("AIN"));
    connectTo(path);
    sim->model().removeHoldingRegister(101);
    sim->clearRequestLog();
    const std::array<std::uint16_t, 8> scales { 0x1101, 0x1101, 0x1101, 0x1101, 0x1101, 0x1101,
        0x1101, 0x1101 };
    EXPECT_FALSE(window->General().SaveScales(scales));
    EXPECT_EQ(messages.texts(),
        QStringList {
            "Error writing scales!\r\nCheck DIP switches.\r\nClick Save Configuration.\r\n"
            "Check scales are valid." });
    for (const zulsim::RequestRecord &request : sim->requestLog())
        EXPECT_NE(request.address, 190) << "store command sent";
}

TEST_F(UiFixture, HardwareConfigurationIsWrittenAndStored)
{
    const std::string path = startSim(Kind::named("AIN"));
    connectTo(path);
    sim->clearRequestLog();
    const std::array<std::uint16_t, 1> switches { 0x06DB };
    const std::array<std::uint16_t, 8> hardware { 0x0101, 0x0101, 0x0101, 0x0101, 0x0101, 0x0101,
        0x0101, 0x0101 };
    EXPECT_TRUE(window->General().SaveHardwareConfiguration(switches, hardware));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(sim->model().holdingRegister(141), 0x06DB);
    EXPECT_EQ(sim->model().holdingRegister(140), 0x0101);
    bool stored = false;
    for (const zulsim::RequestRecord &request : sim->requestLog())
        stored = stored || (request.function == 6 && request.address == 192);
    EXPECT_TRUE(stored);

    // Codes that differ between channels count as "not configured".
    sim->model().setInputRegister(133, 0x1101);
    sim->model().setInputRegister(134, 0x1102);
    const zul::ModuleState &config = window->General().ShowConfiguration({});
    EXPECT_EQ(config.commonHardware(), 0);
    EXPECT_EQ(config.hardware.words[1], 0x1102);
}
