// The four AIN configuration pages: what the module receives for each save, which page shows the
// module's scales, the exclusive "DIP switches set?" boxes and the ALL rows.
#include "ain/UnitZUL_AIN.h"
#include "ui/ModuleFixture.h"

#include "analog/WidgetScaleConfigPage.h"
#include "widgets/RadioMatrix.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace zul;

class AINConfig : public ModuleFixture
{
protected:
    void connectAIN() { connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt")); }
    QCheckBox *tick(int page, const char *prefix)
    {
        return on<QCheckBox>(page, QString("%1DipTickBox").arg(prefix));
    }
    QPushButton *button(int page, const char *prefix, const char *suffix)
    {
        return on<QPushButton>(page, QString(prefix) + suffix);
    }
    QRadioButton *radio(int page, int number)
    {
        return on<QRadioButton>(page, QString("RadioButton%1").arg(number));
    }
    TScaleConfigPage &config(int page)
    {
        return dynamic_cast<TScaleConfigPage &>(*window->Page(page));
    }
    // The checked column of each row of a page's matrix, -1 for none.
    std::vector<int> columns(int page)
    {
        const TRadioMatrix *matrix = config(page).RangeMatrix;
        std::vector<int> checked;
        for (int r = 0; r < matrix->RowCount(); ++r)
            checked.push_back(matrix->Column(r));
        return checked;
    }
};

TEST_F(AINConfig, SetupShowsTheMatrixOfTheModulesConfigurationWithEveryPageLocked)
{
    const std::string path = startSim(zulsim::Kind::named("AIN"));
    // Current, differential; channel 3 differs from channel 4, and only channels 1, 3, 5, 7 show.
    for (int n = 0; n < 8; ++n) {
        sim->model().setHoldingRegister(133 + n, 0x0102);
        sim->model().setHoldingRegister(101 + n, n == 2 ? 0x0201 : 0x0203);
    }
    openWindow(QStringLiteral("zulconfigt"));
    connectTo(path);
    EXPECT_EQ(columns(D_IinputPage), (std::vector<int> { 2, 0, 2, 2 }));
    EXPECT_EQ(columns(S_IinputPage), std::vector<int>(8, -1));
    EXPECT_EQ(columns(S_VinputPage), std::vector<int>(8, -1));
    EXPECT_EQ(text("ZULHWLabel"), "Current, differential");
    EXPECT_EQ(text("Label172"), "AIN3: 0 to 10mA");
    for (auto [page, prefix] : { std::pair { S_VinputPage, "S_VIN" }, { D_IinputPage, "D_IIN" } }) {
        EXPECT_FALSE(tick(page, prefix)->isChecked());
        EXPECT_FALSE(button(page, prefix, "CfgSaveButton")->isEnabled());
        EXPECT_FALSE(button(page, prefix, "ScaleSaveButton")->isEnabled());
        EXPECT_FALSE(button(page, prefix, "_ReadZULButton")->isEnabled());
    }
    EXPECT_FALSE(radio(D_IinputPage, 112)->isEnabled());
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();

    // Hardware codes that differ leave every matrix alone.
    sim->model().setHoldingRegister(140, 0x0101);
    connectTo(path);
    EXPECT_EQ(columns(D_IinputPage), (std::vector<int> { 2, 0, 2, 2 })); // as before
}

TEST_F(AINConfig, OneTickedBoxUnlocksItsPageAndLocksTheOthers)
{
    connectAIN();
    tick(S_VinputPage, "S_VIN")->click();
    EXPECT_TRUE(button(S_VinputPage, "S_VIN", "CfgSaveButton")->isEnabled());
    EXPECT_TRUE(on<QGroupBox>(S_VinputPage, "VINScaleBox")->isEnabled());
    EXPECT_TRUE(radio(S_VinputPage, 21)->isEnabled());
    EXPECT_TRUE(radio(S_VinputPage, 204)->isEnabled());

    tick(D_IinputPage, "D_IIN")->click();
    EXPECT_TRUE(tick(D_IinputPage, "D_IIN")->isChecked());
    EXPECT_FALSE(tick(S_VinputPage, "S_VIN")->isChecked());
    EXPECT_FALSE(button(S_VinputPage, "S_VIN", "ScaleSaveButton")->isEnabled());
    EXPECT_FALSE(radio(S_VinputPage, 21)->isEnabled());
    EXPECT_TRUE(button(D_IinputPage, "D_IIN", "_ReadZULButton")->isEnabled());

    tick(D_IinputPage, "D_IIN")->click();
    EXPECT_FALSE(button(D_IinputPage, "D_IIN", "CfgSaveButton")->isEnabled());
}

TEST_F(AINConfig, SavingAConfigurationWritesSwitchesHardwareAndStoreThenClearsTheGrid)
{
    connectAIN();
    auto *rawLow = on<QLineEdit>(AINCalPage, "Edit5");
    auto *readingLow = on<QLineEdit>(AINCalPage, "Edit13");
    rawLow->setText("1234");
    readingLow->setText("4.5");
    tick(S_IinputPage, "S_IIN")->click();
    sim->clearRequestLog();
    button(S_IinputPage, "S_IIN", "CfgSaveButton")->click();
    EXPECT_EQ(blockWrite(141), (std::vector<std::uint16_t> { 0x06DB }));
    EXPECT_EQ(blockWrite(133), std::vector<std::uint16_t>(8, 0x0101));
    EXPECT_TRUE(storeRan(193));
    EXPECT_EQ(rawLow->text(), "0");
    EXPECT_EQ(readingLow->text(), "0");
    EXPECT_EQ(text("ZULHWLabel"), "Current, single-ended");

    // A refused write reports the first failing step and leaves the grid alone.
    rawLow->setText("1234");
    tick(D_IinputPage, "D_IIN")->click();
    sim->model().removeHoldingRegister(193);
    sim->clearRequestLog();
    button(D_IinputPage, "D_IIN", "CfgSaveButton")->click();
    EXPECT_EQ(blockWrite(141), (std::vector<std::uint16_t> { 0x0924 }));
    EXPECT_EQ(blockWrite(133), std::vector<std::uint16_t>(8, 0x0102));
    EXPECT_EQ(messages.texts(), QStringList { "Error saving hardware and switch configuration" });
    EXPECT_EQ(rawLow->text(), "1234");
}

TEST_F(AINConfig, ScalesAreReadForTheRightConfigurationAndSavedPerChannelOrPair)
{
    connectAIN(); // voltage, single-ended, every channel 0 to 10V
    tick(D_IinputPage, "D_IIN")->click();
    button(D_IinputPage, "D_IIN", "_ReadZULButton")->click();
    EXPECT_EQ(columns(D_IinputPage), std::vector<int>(4, -1)); // a current page, voltage codes

    tick(D_VinputPage, "D_VIN")->click();
    sim->model().setHoldingRegister(101, 0x1101);
    sim->model().setHoldingRegister(103, 0x0203); // only the low two bits choose the column
    sim->model().setHoldingRegister(105, 0x1100); // no column
    radio(D_VinputPage, 207)->click(); // ALL, checked until the next read
    button(D_VinputPage, "D_VIN", "_ReadZULButton")->click();
    EXPECT_EQ(columns(D_VinputPage), (std::vector<int> { 0, 2, -1, 1 }));
    EXPECT_FALSE(radio(D_VinputPage, 207)->isChecked());

    // Only "AIN3 - AIN4" set: both channels of the pair carry its code.
    radio(D_VinputPage, 207)->click();
    EXPECT_EQ(columns(D_VinputPage), std::vector<int>(4, 0));
    TRadioMatrix *matrix = config(D_VinputPage).RangeMatrix;
    for (int row : { 0, 2, 3 })
        matrix->SetColumn(row, -1);
    radio(D_VinputPage, 81)->click();
    sim->clearRequestLog();
    button(D_VinputPage, "D_VIN", "ScaleSaveButton")->click();
    EXPECT_EQ(blockWrite(101),
        (std::vector<std::uint16_t> {
            0xFFFF, 0xFFFF, 0x1103, 0x1103, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF }));
    EXPECT_TRUE(storeRan(191));
    EXPECT_EQ(text("Label172"), "AIN3: 1 to 5V");

    // A single-ended current save: channel n from row n, base 0x0200.
    tick(S_IinputPage, "S_IIN")->click();
    radio(S_IinputPage, 212)->click();
    radio(S_IinputPage, 109)->click();
    sim->clearRequestLog();
    button(S_IinputPage, "S_IIN", "ScaleSaveButton")->click();
    EXPECT_EQ(blockWrite(101),
        (std::vector<std::uint16_t> {
            0x0203, 0x0201, 0x0203, 0x0203, 0x0203, 0x0203, 0x0203, 0x0203 }));

    sim->model().setKind(zulsim::Kind::named("AOT"));
    button(S_IinputPage, "S_IIN", "ScaleSaveButton")->click();
    EXPECT_EQ(messages.texts(), QStringList { "Wrong module type." });

    // "Read from module" reads no scales from a module of another kind or a silent one.
    sim->clearRequestLog();
    button(S_IinputPage, "S_IIN", "_ReadZULButton")->click();
    EXPECT_TRUE(requests(4, 101).empty());
    sim->model().setKind(zulsim::Kind::named("AIN"));
    sim->setFault(zulsim::Fault::Silent);
    button(S_IinputPage, "S_IIN", "_ReadZULButton")->click();
    sim->clearFault();
    EXPECT_TRUE(requests(4, 101).empty());
}
