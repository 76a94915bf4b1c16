// The helpers shared by the module pages: radio rows from codes, value display and entry, group
// enabling, the catching connect, and the guarded configuration writes against a simulator.
#include "UiFixture.h"

#include "module/ChannelHelpers.h"
#include "module/SafeSlot.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include <stdexcept>

using zulsim::Kind;

namespace {

// Rows of radio buttons, each row in its own panel like the scale matrices.
template<std::size_t Columns>
std::vector<std::array<QRadioButton *, Columns>> radioRows(QWidget &owner, int rows)
{
    std::vector<std::array<QRadioButton *, Columns>> matrix(rows);
    for (auto &row : matrix) {
        auto *panel = new QWidget(&owner);
        for (auto &button : row) {
            button = new QRadioButton(panel);
        }
        row[0]->setChecked(true);
    }
    return matrix;
}

template<std::size_t Columns>
int checkedColumn(const std::array<QRadioButton *, Columns> &row)
{
    for (std::size_t c = 0; c < Columns; ++c)
        if (row[c]->isChecked())
            return static_cast<int>(c);
    return -1;
}

} // namespace

TEST(ChannelHelpers, RadioRowsFollowTheCodes)
{
    QWidget owner;
    auto ranges = radioRows<3>(owner, 7);
    const std::array<std::uint16_t, 7> codes { 0x1101, 0x1103, 0, 0xFFFF, 0x1100, 0x0202, 0x0102 };
    SetRangeButtons(ranges, codes, 6); // the seventh row is left alone
    const int expected[] = { 0, 2, -1, -1, -1, 1, 0 };
    for (int r = 0; r < 7; ++r)
        EXPECT_EQ(checkedColumn(ranges[r]), expected[r]) << "row " << r;

    auto sourceSink = radioRows<2>(owner, 4);
    const std::array<std::uint16_t, 4> sinkCodes { 0x0101, 0x0203, 0xFFFF, 0x1101 };
    SetSourceSinkButtons(sourceSink, sinkCodes, 4);
    EXPECT_EQ(checkedColumn(sourceSink[0]), 0);
    EXPECT_EQ(checkedColumn(sourceSink[1]), 1);
    EXPECT_EQ(checkedColumn(sourceSink[2]), -1);
    EXPECT_EQ(checkedColumn(sourceSink[3]), -1);

    // A row held by an exclusive button group can be emptied too.
    QButtonGroup group;
    for (int c = 0; c < 3; ++c)
        group.addButton(ranges[0][c], c);
    const std::array<std::uint16_t, 1> notSet { 0xFFFF };
    SetRangeButtons(ranges, notSet, 1);
    EXPECT_EQ(group.checkedId(), -1);
    EXPECT_TRUE(group.exclusive());
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
    auto grid = radioRows<2>(owner, 2);
    EnableGroup(group, grid, 2, false, 2);
    EXPECT_FALSE(group->isEnabled());
    EXPECT_FALSE(send->isEnabled());
    EXPECT_FALSE(grid[1][1]->isEnabled());
    EnableGroup(group, grid, 2, true, 2);
    EXPECT_TRUE(send->isEnabled());
    EXPECT_TRUE(grid[1][1]->isEnabled());
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
    const std::string path = startSim(Kind::AIN);
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
    const std::string path = startSim(Kind::AIN);
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
    const TConfigurationCodes &config = window->General().ShowConfiguration({});
    EXPECT_EQ(config.CommonHardware, 0);
    EXPECT_EQ(config.Hardware[1], 0x1102);
}
