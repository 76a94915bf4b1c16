// Ports that follow the hardware: the Connect page's list while adapters come and go, and the
// window connecting again by itself when the adapter of its connection returns. Real ptys and
// the real simulator; the adapters live under a temporary device folder or a link of the test's.
#include "UiFixture.h"

#include "module/WidgetConnectPage.h"
#include "module/WidgetStatusPanel.h"
#include "ports/AdapterReconnect.h"
#include "ports/PortList.h"
#include "ports/PortWatcher.h"
#include "ports/SerialAdapters.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using zulsim::Kind;

namespace {

// Runs the event loop until `done` holds; false after `ms`.
template<typename Condition>
bool within(int ms, Condition done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(5);
    }
    return true;
}

// Points XDG_RUNTIME_DIR, and with it the simulators' folder, elsewhere for one test.
class RuntimeFolder
{
public:
    explicit RuntimeFolder(const QString &path)
        : m_had(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        , m_previous(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
    }
    ~RuntimeFolder()
    {
        if (m_had)
            qputenv("XDG_RUNTIME_DIR", m_previous);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }

private:
    bool m_had;
    QByteArray m_previous;
};

QString qpath(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

} // namespace

TEST(SerialAdapters, ShowTheirStableNameAndAreFoundAgainUnderAnotherNumber)
{
    QTemporaryDir root;
    const fs::path dev = root.path().toStdString();
    const fs::path byId = dev / "serial" / "by-id";
    fs::create_directories(byId);
    for (const char *name : { "ttyUSB0", "ttyUSB1" })
        std::ofstream(dev / name).put('x');
    const std::string stable = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    fs::create_symlink("../../ttyUSB1", byId / stable);
    fs::create_symlink("../../ttyUSB9", byId / "usb-Gone_Adapter-if00-port0"); // device gone

    const std::vector<TPortChoice> ports = AvailablePortsIn(dev);
    ASSERT_GE(ports.size(), 2u);
    EXPECT_EQ(ports[0].Label, qpath(dev / "ttyUSB0"));
    EXPECT_EQ(ports[1].Label, qpath(dev / "ttyUSB1") + " - FTDI FT232R USB UART A50285BI");
    EXPECT_EQ(ports[1].DevicePath, qpath(dev / "ttyUSB1"));
    EXPECT_EQ(SerialDevicePaths(dev),
        (std::vector<std::string> { (dev / "ttyUSB0").string(), (dev / "ttyUSB1").string() }));

    // Known by the stable name whether chosen by device or by that name; by path without one.
    const TAdapterIdentity adapter = IdentifyAdapter((dev / "ttyUSB1").string(), dev);
    EXPECT_EQ(adapter, (TAdapterIdentity { stable, {} }));
    EXPECT_EQ(IdentifyAdapter((byId / stable).string(), dev), adapter);
    const TAdapterIdentity plain = IdentifyAdapter((dev / "ttyUSB0").string(), dev);
    EXPECT_EQ(plain, (TAdapterIdentity { {}, (dev / "ttyUSB0").string() }));

    // Pulled: both are away. Back in another socket, the stable name finds it as ttyUSB2.
    fs::remove(dev / "ttyUSB0");
    fs::remove(dev / "ttyUSB1");
    EXPECT_EQ(LocateAdapter(adapter, dev), "");
    EXPECT_EQ(LocateAdapter(plain, dev), "");
    std::ofstream(dev / "ttyUSB2").put('x');
    fs::remove(byId / stable);
    fs::create_symlink("../../ttyUSB2", byId / stable);
    EXPECT_EQ(LocateAdapter(adapter, dev), (dev / "ttyUSB2").string());
    EXPECT_EQ(LocateAdapter(plain, dev), "");
    EXPECT_EQ(AdapterDescription("usb-Arduino__www.arduino.cc__0043_95333-if00"),
        "Arduino  www.arduino.cc  0043 95333");
}

TEST(PortWatch, ListFollowsAdaptersComingAndGoingAndKeepsTheChoice)
{
    QTemporaryDir root;
    const fs::path dev = root.path().toStdString();
    // No simulator ever ran here: the simulators' folder comes with the first.
    QTemporaryDir runtime;
    const RuntimeFolder runtimeFolder(runtime.path());
    TConnectPage page;
    page.SetPortSource([dev] { return AvailablePortsIn(dev); });
    TPortWatcher watcher(dev, [&page] { page.RefreshPorts(); });
    // Without a udev daemon (containers, CI) the folder watch alone must serve.
    if (!QFileInfo::exists(QStringLiteral("/run/udev/control"))) {
        EXPECT_FALSE(watcher.HearsUdev());
    }
    QComboBox *box = page.CommsPortBox;
    const QString first = qpath(dev / "ttyUSB0");
    const QString second = qpath(dev / "ttyUSB1");
    auto listed = [box](const QString &path) { return box->findData(path) >= 0; };
    constexpr int PromptMs = 500; // never opening the list

    zulsim::Options firstOptions;
    firstOptions.link = first.toStdString();
    zulsim::Simulator firstSim(firstOptions);
    firstSim.start();
    ASSERT_TRUE(within(PromptMs, [&] { return listed(first); }));
    box->setCurrentIndex(box->findData(first));

    // The second adapter brings the by-id folder with it, and its stable name a moment later,
    // as udev makes them.
    fs::create_directories(dev / "serial" / "by-id");
    zulsim::Options secondOptions;
    secondOptions.link = second.toStdString();
    zulsim::Simulator secondSim(secondOptions);
    secondSim.start();
    const fs::path stable = dev / "serial" / "by-id" / "usb-ZUL_RS485_Bench_B7-if00-port0";
    fs::create_symlink("../../ttyUSB1", stable);
    EXPECT_TRUE(within(PromptMs, [&] {
        const int index = box->findData(second);
        return index >= 0 && box->itemText(index) == second + " - ZUL RS485 Bench B7";
    }));
    EXPECT_EQ(box->currentData().toString(), first);

    EXPECT_EQ(secondSim.command("unplug"), "ok unplug");
    fs::remove(stable);
    EXPECT_TRUE(within(PromptMs, [&] { return !listed(second); }));
    EXPECT_EQ(box->currentData().toString(), first);

    // The chosen adapter itself goes: its name stays in the box, and it is chosen again when it
    // returns.
    firstSim.command("unplug");
    EXPECT_TRUE(within(PromptMs, [&] { return !listed(first); }));
    EXPECT_EQ(box->currentText(), first);
    EXPECT_EQ(firstSim.command("replug"), "ok replug " + first.toStdString());
    EXPECT_TRUE(within(PromptMs, [&] { return listed(first); }));
    EXPECT_EQ(box->currentIndex(), box->findData(first));

    zulsim::Options announced;
    announced.announce = true;
    zulsim::Simulator thirdSim(announced);
    const QString third = QString::fromStdString(thirdSim.start());
    EXPECT_TRUE(within(PromptMs, [&] { return listed(third); }));
    thirdSim.stop();
    EXPECT_TRUE(within(PromptMs, [&] { return !listed(third); }));
    EXPECT_EQ(box->currentIndex(), box->findData(first));
}

namespace {

class Reconnect : public UiFixture
{
protected:
    // A module on a link of the test's own, which the window watches once it connected there.
    std::string startOnLink(zulsim::Options options)
    {
        options.link = linkFolder.filePath(QStringLiteral("module")).toStdString();
        sim = std::make_unique<zulsim::Simulator>(options);
        return sim->start();
    }

    int pageNamed(const char *name) const
    {
        auto *tabs = find<QTabWidget>("PageControl_ZUL");
        return tabs->indexOf(tabs->findChild<QWidget *>(QString::fromLatin1(name)));
    }

    TAdapterReconnect &reconnecter() const
    {
        for (QObject *child : window->children())
            if (auto *found = dynamic_cast<TAdapterReconnect *>(child))
                return *found;
        throw std::runtime_error("no reconnecter");
    }

    // Pulls the module's cable and waits until the poll has noticed.
    void unplug()
    {
        messages.clear();
        ASSERT_EQ(sim->command("unplug"), "ok unplug");
        // The next tick notices; on a loaded machine (a sanitizer build, tests in parallel) that
        // may be some seconds away.
        ASSERT_TRUE(within(10000, [&] { return !window->ModbusTimer().isActive(); }));
        EXPECT_EQ(messages.texts(), QStringList { "Modbus error! Try connecting again." });
        messages.clear();
        sim->clearRequestLog();
    }

    // Reads the module received since, as (function, first register number).
    std::vector<std::pair<int, int>> reads() const
    {
        std::vector<std::pair<int, int>> seen;
        for (const zulsim::RequestRecord &request : sim->requestLog())
            if (request.function == 4)
                seen.emplace_back(request.function, request.address + 1);
        return seen;
    }

    bool readAt(int number) const
    {
        const auto seen = reads();
        return std::find(seen.begin(), seen.end(), std::make_pair(4, number)) != seen.end();
    }

    QTemporaryDir linkFolder;
    QStringList otherModules;
};

} // namespace

TEST_F(Reconnect, SameModuleContinuesOnItsPageWithTheSettingsOfItsConnect)
{
    // The module hears only its own address and settings, so a reconnect at other settings would
    // find nothing.
    zulsim::Options options;
    options.kind = Kind::named("DIO");
    options.slave = 17;
    options.baud = 19200;
    options.strictLine = true;
    const std::string path = startOnLink(options);
    openWindow();
    window->show();
    reconnecter().OnAnotherModule = [this](const QString &serial) { otherModules << serial; };
    find<QCheckBox>("ReconnectCheckBox")->setChecked(true);
    find<QSpinBox>("SpinEdit_SlaveAddress")->setValue(17);
    connectTo(path, QStringLiteral("19200"));
    ASSERT_TRUE(window->ModbusTimer().isActive()) << messages.texts().join('|').toStdString();
    const int checkPage = pageNamed("DIOCheckSheet");
    find<QTabWidget>("PageControl_ZUL")->setCurrentIndex(checkPage);

    unplug();
    // Settings touched while the cable is out are not the connection's.
    find<QComboBox>("BaudRateBox")->setCurrentText("9600");
    find<QSpinBox>("SpinEdit_SlaveAddress")->setValue(100);
    QSignalSpy pressed(find<QPushButton>("ConnectButt"), &QPushButton::clicked);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(sim->command("replug"), "ok replug " + path);
    ASSERT_TRUE(within(2000, [&] { return window->ModbusTimer().isActive(); }))
        << messages.texts().join('|').toStdString();
    EXPECT_LE(clock.elapsed(), 2000);

    EXPECT_TRUE(readAt(195)) << "the module kind was read again";
    EXPECT_TRUE(readAt(801)) << "the identity was read again";
    EXPECT_EQ(find<QComboBox>("BaudRateBox")->currentText(), "19200");
    EXPECT_EQ(find<QSpinBox>("SpinEdit_SlaveAddress")->value(), 17);
    EXPECT_EQ(find<QTabWidget>("PageControl_ZUL")->currentIndex(), checkPage);
    EXPECT_EQ(text("PCBNumLabel"), "00123456");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_TRUE(otherModules.isEmpty());
    // The connection's own settings came back, not the page's; nothing pressed Connect.
    EXPECT_EQ(pressed.count(), 0);
    EXPECT_EQ(window->Session().Connection.address, 17);
}

TEST_F(Reconnect, AnotherModuleRefreshesThePanelAndAnUncheckedBoxStaysAway)
{
    // Picked from the list as a running simulator, whose device number changes on its return.
    zulsim::Options options;
    options.kind = Kind::named("DIO");
    options.announce = true;
    sim = std::make_unique<zulsim::Simulator>(options);
    const QString firstDevice = QString::fromStdString(sim->start());
    openWindow();
    window->show();
    reconnecter().OnAnotherModule = [this](const QString &serial) { otherModules << serial; };
    auto *box = find<QCheckBox>("ReconnectCheckBox");
    box->setChecked(true);
    auto *ports = find<QComboBox>("CommsPortBox");
    ASSERT_TRUE(within(500, [&] { return ports->findData(firstDevice) >= 0; }));
    ports->setCurrentIndex(ports->findData(firstDevice));
    const QString label = ports->currentText();
    find<QPushButton>("ConnectButt")->click();
    ASSERT_EQ(text("PCBNumLabel"), "00123456");
    find<QTabWidget>("PageControl_ZUL")->setCurrentIndex(pageNamed("DIOCheckSheet"));

    unplug();
    // Another module of the same kind on the returning adapter, which finds its old device
    // number taken.
    sim->command("input 803 0x0077");
    sim->command("input 804 0x8899");
    // Other tests open and close pseudo-terminals meanwhile: take numbers until the old one is
    // ours or beyond what we got, so the replug cannot be handed it back.
    std::vector<int> taken;
    const auto number = [](const std::string &device) {
        return std::stoi(device.substr(device.rfind('/') + 1));
    };
    for (int n = 0; n < 64; ++n) {
        const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd < 0)
            break;
        taken.push_back(fd);
        if (number(::ptsname(fd)) >= number(firstDevice.toStdString()))
            break;
    }
    sim->command("replug");
    for (const int fd : taken)
        ::close(fd);
    const QString secondDevice = QString::fromStdString(sim->devicePath());
    EXPECT_NE(secondDevice, firstDevice);
    ASSERT_TRUE(within(2000, [&] { return window->ModbusTimer().isActive(); }));
    EXPECT_EQ(ports->currentData().toString(), secondDevice);
    EXPECT_EQ(ports->currentText(), label);
    EXPECT_TRUE(readAt(801));
    EXPECT_EQ(text("PCBNumLabel"), "00778899");
    EXPECT_EQ(otherModules, QStringList { "00778899" });

    // Off, and remembered so: the tool stays away when the adapter returns.
    box->setChecked(false);
    find<QTabWidget>("PageControl_ZUL")->setCurrentIndex(pageNamed("DIOCheckSheet"));
    EXPECT_FALSE(TConnectPage().ReconnectCheckBox->isChecked());
    unplug();
    sim->command("replug");
    QTest::qWait(1000);
    EXPECT_FALSE(window->ModbusTimer().isActive());
    EXPECT_TRUE(sim->requestLog().empty());
    box->setChecked(true);
    EXPECT_TRUE(TConnectPage().ReconnectCheckBox->isChecked());
}
