// "Pulse Inputs Setup" and "Pulsed Outputs Setup": what the module receives for each save and
// how its words show again.
#include "DIOFixture.h"

#include "widgets/WidgetTimePicker.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QTimeEdit>

using zul::DIOSetupPage;
using zul::PoutSetupPage;

namespace {

struct RateEntry
{
    const char *text;
    bool div10;
};

} // namespace

class PulseSetup : public DIOFixture
{
protected:
    QLineEdit *edit(int n) { return on<QLineEdit>(DIOSetupPage, QString("Edit%1").arg(n)); }
    QCheckBox *div10(int n)
    {
        return on<QCheckBox>(DIOSetupPage, QString("CheckBox_DIOPulseDiv10_%1").arg(n));
    }
    QTimeEdit *picker(int n)
    {
        return on<QTimeEdit>(PoutSetupPage, QString("DateTimePicker_DIO%1").arg(n));
    }

    void saveRates(const std::array<RateEntry, 4> &entries)
    {
        for (int n = 1; n <= 4; ++n) {
            edit(n)->setText(QString::fromLatin1(entries[n - 1].text));
            div10(n)->setChecked(entries[n - 1].div10);
        }
        sim->clearRequestLog();
        on<QPushButton>(DIOSetupPage, "DIOSetupSaveButton")->click();
    }

    void expectShown(int n, const char *text, bool div10Ticked)
    {
        EXPECT_EQ(edit(n)->text(), text) << "DIO" << n;
        EXPECT_EQ(div10(n)->isChecked(), div10Ticked) << "DIO" << n;
    }
};

TEST_F(PulseSetup, MaxRatesAreConvertedWrittenStoredAndReadBack)
{
    connectDIO();
    // Power-on words are 60000 (1000 Hz), read by the set-up at connect.
    expectShown(1, "1000", false);
    EXPECT_TRUE(on<QPushButton>(DIOSetupPage, "DIOSetupSaveButton")->isEnabled());

    saveRates({ { { "abc", false }, { "0.5", true }, { "2.5", true }, { "-3", false } } });
    EXPECT_EQ(blockWrite(101), (std::vector<std::uint16_t> { 60000, 60001, 60002, 0 }));
    EXPECT_TRUE(storeRan(191));
    expectShown(1, "1000", false);
    expectShown(2, "1", true);
    expectShown(3, "2", true);
    expectShown(4, "0.00", false);

    saveRates({ { { "5000", false }, { "5000", true }, { "16.67", false }, { "12.5", false } } });
    EXPECT_EQ(blockWrite(101), (std::vector<std::uint16_t> { 60000, 61000, 1000, 750 }));
    expectShown(2, "1000", true);
    expectShown(3, "16.67", false);
    expectShown(4, "12.50", false);
    EXPECT_EQ(unit().MaxRateWords, (std::array<std::uint16_t, 4> { 60000, 61000, 1000, 750 }));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
}

TEST_F(PulseSetup, UpdateTimesAreReadAtConnectAndSavedWithTheStoreCommand)
{
    const std::string path = startSim(zulsim::Kind::named("DIO"));
    sim->model().setHoldingRegister(109, 31);
    sim->model().setHoldingRegister(110, 0xFFFF);
    openWindow();
    connectTo(path);
    EXPECT_EQ(picker(1)->time(), QTime(0, 0, 1)); // 992 ms
    EXPECT_EQ(picker(2)->time(), QTime(0, 34, 57)); // 2097.12 s
    EXPECT_EQ(picker(3)->time(), QTime(0, 0, 0));

    picker(1)->setTime(QTime(0, 0, 1));
    picker(2)->setTime(QTime(0, 0, 2));
    picker(3)->setTime(QTime(0, 0, 6));
    picker(4)->setTime(QTime(0, 34, 57));
    picker(5)->setTime(QTime(0, 40, 0));
    EXPECT_EQ(picker(5)->time(), QTime(0, 34, 57)); // clamped at once
    sim->clearRequestLog();
    on<QPushButton>(PoutSetupPage, "PoutSetupSaveButton")->click();
    // 31.25 -> 31, 62.5 -> 62 and 187.5 -> 188 (halves to even), 34:57 -> 65531
    EXPECT_EQ(blockWrite(109), (std::vector<std::uint16_t> { 31, 62, 188, 65531, 65531, 0, 0, 0 }));
    EXPECT_TRUE(storeRan(194));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();

    sim->model().removeHoldingRegister(194);
    on<QPushButton>(PoutSetupPage, "PoutSetupSaveButton")->click();
    EXPECT_EQ(messages.texts(), QStringList { "Error saving update times" });
}

TEST_F(PulseSetup, ShowingThePageWithTheModuleGoneReportsAndKeepsTheEdits)
{
    connectDIO();
    edit(1)->setText("123");
    sim->setFault(zulsim::Fault::Silent);
    showPage(DIOSetupPage); // the show handler reads the rates
    EXPECT_EQ(messages.texts(), QStringList { "Modbus communications lost!" });
    EXPECT_EQ(edit(1)->text(), "123");
}

TEST_F(PulseSetup, SavingToAModuleThatBecameAnotherKindWritesNothing)
{
    connectDIO();
    sim->model().setKind(zulsim::Kind::named("AOT"));
    saveRates({ { { "5", false }, { "6", false }, { "7", false }, { "8", false } } });
    EXPECT_EQ(messages.texts(), QStringList { "Wrong module type." });
    EXPECT_TRUE(requests(16, 101).empty());
    EXPECT_TRUE(requests(6, 191).empty());
}

TEST_F(PulseSetup, RatesShowTheLocaleSeparatorAndAcceptBoth)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    connectDIO();
    saveRates({ { { "12,5", false }, { "16.67", false }, { "1000", false }, { "0,5", true } } });
    QLocale::setDefault(previous);
    EXPECT_EQ(blockWrite(101), (std::vector<std::uint16_t> { 750, 1000, 60000, 60001 }));
    expectShown(1, "12,50", false);
    expectShown(2, "16,67", false);
    expectShown(3, "1000", false);
}
