// The Comms page (module serial settings and output time-out) and the poll timer's tick.
#include "ui/UiFixture.h"

#include "widgets/WidgetTimePicker.h"

#include <QLabel>
#include <QPalette>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <map>

using zulsim::Kind;

namespace {

// Single-register writes (function 6) the simulator received: register number -> value.
std::map<int, std::uint16_t> singleWrites(const zulsim::Simulator &sim)
{
    std::map<int, std::uint16_t> writes;
    for (const zulsim::RequestRecord &request : sim.requestLog())
        if (request.function == 6 && !request.values.empty())
            writes[request.address + 1] = request.values[0];
    return writes;
}

} // namespace

TEST_F(UiFixture, SetCommsWritesTheModuleSettings)
{
    const std::string path = startSim(Kind::named("AIN"));
    sim->model().setHoldingRegister(204, 31);
    connectTo(path);
    auto *picker = find<QTimeEdit>("ModbusDropOutputTime");
    EXPECT_FALSE(picker->isHidden());
    EXPECT_EQ(picker->time(), QTime(0, 0, 1)); // 31 steps of 32 ms

    find<QComboBox>("CommsBaudBox")->setCurrentText("115200");
    find<QComboBox>("CommsParityBox")->setCurrentIndex(2);
    find<QComboBox>("CommsStopBox")->setCurrentIndex(1);
    picker->setTime(QTime(0, 59, 59)); // clamped at once
    EXPECT_EQ(picker->time(), QTime(0, 34, 57));
    sim->clearRequestLog();
    find<QPushButton>("SetCommsBtn")->click();

    const std::map<int, std::uint16_t> expected { { 202, 1152 }, { 203, 0x2222 }, { 204, 65531 } };
    EXPECT_EQ(singleWrites(*sim), expected);
    EXPECT_EQ(messages.texts(),
        QStringList { "Module comms set. \r\nYou must reset the module for the new settings to "
                      "take effect." });
}

TEST_F(UiFixture, CommsPageStartsFromTheConnectSettings)
{
    const std::string path = startSim(Kind::named("DIO"));
    openWindow();
    find<QComboBox>("ParityBox")->setCurrentIndex(1);
    connectTo(path, QStringLiteral("19200"));
    EXPECT_EQ(find<QComboBox>("CommsBaudBox")->currentText(), "19200");
    EXPECT_EQ(find<QComboBox>("CommsParityBox")->currentText(), "Odd");
    EXPECT_EQ(find<QComboBox>("CommsStopBox")->currentText(), "1");
}

TEST_F(UiFixture, ModuleWithoutOutputTimeoutWritesOnlyBaudAndParity)
{
    const std::string path = startSim(Kind::named("DIO"));
    sim->model().removeHoldingRegister(204);
    connectTo(path);
    EXPECT_TRUE(find<QTimeEdit>("ModbusDropOutputTime")->isHidden());
    EXPECT_TRUE(find<QLabel>("Label146")->isHidden());
    EXPECT_TRUE(find<QLabel>("Label158")->isHidden());
    sim->clearRequestLog();
    find<QPushButton>("SetCommsBtn")->click();
    const std::map<int, std::uint16_t> expected { { 202, 96 }, { 203, 0x0011 } };
    EXPECT_EQ(singleWrites(*sim), expected);
}

TEST_F(UiFixture, PollTickChecksTheModuleOnlyOnLivePages)
{
    const std::string path = startSim(Kind::named("AIN"));
    connectTo(path);
    window->ModbusTimer().stop();
    find<QSpinBox>("SpinEdit_SlaveAddress")->setValue(7);
    sim->clearRequestLog();
    window->ModbusTimerTimer(); // Connect page: nothing to refresh
    EXPECT_TRUE(sim->requestLog().empty());
    EXPECT_EQ(window->Session().Modbus.slaveAddress(), 7);

    find<QSpinBox>("SpinEdit_SlaveAddress")->setValue(100);
    find<QTabWidget>("PageControl_ZUL")->setCurrentIndex(zul::pageIndex("AINCheckSheet"));
    window->ModbusTimerTimer();
    ASSERT_FALSE(sim->requestLog().empty());
    EXPECT_EQ(sim->requestLog().front().function, 4);
    EXPECT_EQ(sim->requestLog().front().address, 194); // the kind check, register 195
}

TEST_F(UiFixture, ValuesOfASilentModuleKeepTheirTextButAreGreyedUntilTheNextGoodTick)
{
    const std::string path = startSim(Kind::named("AIN"));
    connectTo(path);
    window->ModbusTimer().stop();
    find<QTabWidget>("PageControl_ZUL")->setCurrentIndex(zul::pageIndex("AINCheckSheet"));
    sim->model().setAnalogStimulus(1, 10);
    window->ModbusTimerTimer();
    auto *value =
        window->Page(zul::pageIndex("AINCheckSheet"))->findChild<QLabel *>("StaticText25");
    ASSERT_NE(value, nullptr);
    const QString live = value->text();
    const QPalette normal = value->palette();
    const auto greyed = [&] {
        const QPalette shown = value->palette();
        return shown.color(QPalette::Active, QPalette::WindowText)
            == shown.color(QPalette::Disabled, QPalette::WindowText);
    };
    ASSERT_FALSE(greyed());

    sim->setFault(zulsim::Fault::Silent, 1);
    window->ModbusTimerTimer();
    EXPECT_EQ(value->text(), live);
    EXPECT_TRUE(greyed());
    window->ModbusTimerTimer();
    EXPECT_FALSE(greyed());
    EXPECT_EQ(value->palette().color(QPalette::Active, QPalette::WindowText),
        normal.color(QPalette::Active, QPalette::WindowText));
}

TEST_F(UiFixture, PollTickStopsTheTimerWhenThePortDisappears)
{
    const std::string path = startSim(Kind::named("AIN"), true); // gone for good once stopped
    connectTo(path);
    find<QTabWidget>("PageControl_ZUL")->setCurrentIndex(zul::pageIndex("AINCheckSheet"));
    ASSERT_TRUE(window->ModbusTimer().isActive());
    sim->stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->ModbusTimer().isActive(); }, 10000));
    EXPECT_EQ(messages.texts(), QStringList { "Modbus error! Try connecting again." });
    // What went wrong is said under it, as for the other messages.
    EXPECT_FALSE(messages.lastHint().isEmpty());
}

TEST(TimePicker, ConvertsAndClampsModuleTimes)
{
    TTimePicker picker(QStringLiteral("picker"));
    EXPECT_EQ(picker.displayFormat(), "mm:ss");
    picker.setTime(QTime(0, 0, 5));
    EXPECT_EQ(PickerTimeWord(&picker), 156);
    picker.setTime(QTime(0, 34, 57));
    EXPECT_EQ(picker.time(), QTime(0, 34, 57));
    EXPECT_EQ(PickerTimeWord(&picker), 65531);
    picker.setTime(QTime(0, 40, 0));
    EXPECT_EQ(picker.time(), QTime(0, 34, 57));
    SetPickerTimeWord(&picker, 0xFFFF);
    EXPECT_EQ(picker.time(), QTime(0, 34, 57));
    SetPickerTimeWord(&picker, 156);
    EXPECT_EQ(picker.time(), QTime(0, 0, 5));
}
