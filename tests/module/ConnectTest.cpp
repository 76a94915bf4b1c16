// Connecting to each kind of module: status panel, visible pages per kind and edition, the poll
// timer, and the failures a technician meets (silent module, wrong kind, missing port).
#include "ui/UiFixture.h"

#include <QFileInfo>
#include <QSet>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>

using zulsim::Kind;

namespace {

const QStringList DIOPages = { "ConnectSheet", "CommsSheet", "DIOSetupSheet", "PoutSetupSheet",
    "DIOCheckSheet" };
const QStringList AINPages = { "ConnectSheet", "CommsSheet", "PoutSetupSheet", "S_VinputSheet",
    "D_VinputSheet", "S_IinputSheet", "D_IinputSheet", "AINCheckSheet" };
const QStringList AOTPages = { "ConnectSheet", "CommsSheet", "PoutSetupSheet", "VoutputSheet",
    "IoutputSheet", "AOTCheckSheet" };

} // namespace

TEST_F(UiFixture, StartsWithOnlyTheConnectPageAndNoTimer)
{
    openWindow();
    EXPECT_EQ(visiblePages(), QStringList { "ConnectSheet" });
    EXPECT_FALSE(window->ModbusTimer().isActive());
    EXPECT_TRUE(find<QPushButton>("UpdateStatusBut")->isHidden());
    EXPECT_EQ(window->windowTitle(), "ZUL Module Configuration");
    EXPECT_EQ(window->Session().Module.kind, 0xFFFF);
}

TEST_F(UiFixture, ConnectDIOShowsItsStatusAndPages)
{
    const std::string path = startSim(Kind::named("DIO"));
    connectTo(path);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(window->Session().Module.kind, 0x0101);
    EXPECT_EQ(text("ModelNameLabel"), "472K-11 (DIO)");
    EXPECT_EQ(text("ZULTypeLabel"), "Digital I/O module");
    EXPECT_EQ(text("ZULHWLabel"), "");
    EXPECT_EQ(text("Label170"), "");
    EXPECT_EQ(text("FirmwareLabel"), "01.02");
    EXPECT_EQ(text("PCBRevLabel"), "1.2A");
    EXPECT_EQ(text("PCBNumLabel"), "00123456");
    EXPECT_EQ(visiblePages(), DIOPages);
    EXPECT_FALSE(find<QPushButton>("UpdateStatusBut")->isHidden());
    EXPECT_TRUE(window->ModbusTimer().isActive());
    EXPECT_EQ(window->ModbusTimer().interval(), 1000);
}

TEST_F(UiFixture, ConnectAINShowsHardwareAndRanges)
{
    const std::string path = startSim(Kind::named("AIN"));
    sim->model().setInputRegister(133, 0x0101);
    sim->model().setInputRegister(101, 0x0203);
    sim->model().setInputRegister(108, 0xFFFF);
    connectTo(path);
    EXPECT_EQ(text("ModelNameLabel"), "472K-12 (AIN)");
    EXPECT_EQ(text("ZULTypeLabel"), "Analog input module");
    EXPECT_EQ(text("ZULHWLabel"), "Current, single-ended");
    EXPECT_EQ(text("Label170"), "AIN1: 4 to 20mA");
    EXPECT_EQ(text("Label177"), "AIN8: Scale not set");
    EXPECT_EQ(visiblePages(), AINPages);
}

TEST_F(UiFixture, ConnectAOTShowsKindTextAndSuffixes)
{
    const std::string path = startSim(Kind::named("AOT"));
    sim->model().setInputRegister(133, 0x0101);
    sim->model().setInputRegister(101, 0x0203);
    sim->model().setInputRegister(102, 0x0103);
    sim->model().setInputRegister(103, 0x1103);
    connectTo(path);
    EXPECT_EQ(text("ModelNameLabel"), "472K-13 (AOT)");
    EXPECT_EQ(text("ZULTypeLabel"), "Analog output module");
    EXPECT_EQ(text("ZULHWLabel"), "Current");
    EXPECT_EQ(text("Label170"), "AOT1: 4 to 20mA, sink");
    EXPECT_EQ(text("Label171"), "AOT2: 4 to 20mA, source");
    EXPECT_EQ(text("Label172"), "AOT3: 1 to 5V");
    EXPECT_EQ(visiblePages(), AOTPages);
}

TEST_F(UiFixture, ProductionEditionShowsResultsAndCalibrationPages)
{
    const std::string path = startSim(Kind::named("AIN"));
    openWindow(QStringLiteral("/opt/zul/CFG_ZULT.EXE"));
    EXPECT_EQ(window->windowTitle(), "ZUL Module Configuration - Production test version");
    connectTo(path);
    QStringList expected = AINPages;
    expected.insert(7, "AINCalSheet");
    expected << "AINResultsSheet";
    EXPECT_EQ(visiblePages(), expected);

    // A later connect to another kind hides the first kind's pages and keeps the shared ones.
    sim->model().setKind(Kind::named("DIO"));
    connectTo(path);
    EXPECT_EQ(visiblePages(), (DIOPages + QStringList { "DIOResultsSheet" }));
    sim->model().setKind(Kind::named("AOT"));
    connectTo(path);
    EXPECT_EQ(visiblePages(),
        (QStringList { "ConnectSheet", "CommsSheet", "PoutSetupSheet", "VoutputSheet",
            "IoutputSheet", "AOTCalSheet", "AOTCheckSheet", "AOTResultsSheet" }));
}

TEST_F(UiFixture, CtrlTabTheWheelAndTheArrowKeysReachEveryShownPageAndNoHiddenOne)
{
    const std::string path = startSim(Kind::named("AIN"));
    openWindow(QStringLiteral("zulconfigt"));
    // Another kind first, so that its pages are built and hidden again behind the AIN ones.
    sim->model().setKind(Kind::named("AOT"));
    connectTo(path);
    sim->model().setKind(Kind::named("AIN"));
    connectTo(path);
    auto *tabs = find<QTabWidget>("PageControl_ZUL");
    const QStringList shown = visiblePages();
    const auto current = [&] { return tabs->currentWidget()->objectName(); };
    const auto walk = [&](const std::function<void()> &step) {
        tabs->setCurrentIndex(0);
        QStringList reached { current() };
        for (int n = 1; n < shown.size(); ++n) {
            step();
            reached << current();
        }
        step(); // and round to the first again, or stay on the last
        return reached;
    };
    EXPECT_EQ(walk([&] { QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier); }), shown);
    EXPECT_EQ(current(), shown.first());
    EXPECT_EQ(walk([&] { QTest::keyClick(tabs->tabBar(), Qt::Key_Right); }), shown);
    EXPECT_EQ(current(), shown.last());
    const auto wheelDown = [&] {
        const QPointF at(5, 5);
        QWheelEvent wheel(at, tabs->tabBar()->mapToGlobal(at), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(tabs->tabBar(), &wheel);
    };
    EXPECT_EQ(walk(wheelDown), shown);
}

TEST_F(UiFixture, TheTabBarsScrollArrowsBringEveryShownTabIntoSight)
{
    const std::string path = startSim(Kind::named("AOT"));
    openWindow(QStringLiteral("zulconfigt"));
    connectTo(path);
    sim->model().setKind(Kind::named("AIN"));
    connectTo(path);
    window->show();
    // Narrower than the shown tabs, and wider than the widest tab and both arrows.
    window->resize(640, window->height());
    auto *tabs = find<QTabWidget>("PageControl_ZUL");
    QTabBar *bar = tabs->tabBar();
    tabs->setCurrentIndex(0);
    QCoreApplication::processEvents();
    auto *right = bar->findChild<QToolButton *>(QStringLiteral("ScrollRightButton"));
    ASSERT_NE(right, nullptr);
    const auto inSight = [&](int index) {
        const QRect tab = bar->tabRect(index);
        return tab.isValid() && tab.left() >= 0 && tab.right() <= bar->width() - 2 * right->width();
    };
    QSet<int> seen;
    for (int step = 0; step < 40; ++step) {
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->isTabVisible(i) && inSight(i))
                seen.insert(i);
        if (!right->isVisible() || !right->isEnabled())
            break;
        right->click();
        QCoreApplication::processEvents();
    }
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->isTabVisible(i)) {
            EXPECT_TRUE(seen.contains(i)) << tabs->widget(i)->objectName().toStdString();
        }
    }
}

TEST_F(UiFixture, EditionAndVariantComeFromTheExecutableName)
{
    openWindow(QStringLiteral("C:\\TOOLS\\VAQ_CFG.EXE"));
    EXPECT_FALSE(window->Session().ProductionTestVersion);
    EXPECT_EQ(window->Session().Module.modelVariant, 2);
    EXPECT_EQ(window->windowTitle(), "ZUL Module Configuration");
    const std::string path = startSim(Kind::named("AIN"));
    connectTo(path);
    EXPECT_EQ(text("ModelNameLabel"), "VAQ 7402");

    openWindow(QStringLiteral("/usr/local/bin/cfg_zult"));
    EXPECT_TRUE(window->Session().ProductionTestVersion);
    EXPECT_EQ(window->Session().Module.modelVariant, 0);
    openWindow(QStringLiteral("CFG_ZULT.EXE"));
    EXPECT_TRUE(window->Session().ProductionTestVersion);
}

TEST_F(UiFixture, KindZeroConnectsWithoutModulePages)
{
    const std::string path = startSim(Kind::named("AIN"));
    sim->model().setKindCode(0);
    connectTo(path);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(text("ZULTypeLabel"), "Error: Module not detected");
    EXPECT_EQ(text("ModelNameLabel"), "");
    EXPECT_EQ(visiblePages(), QStringList { "ConnectSheet" });
    EXPECT_TRUE(window->ModbusTimer().isActive());
    EXPECT_FALSE(find<QPushButton>("UpdateStatusBut")->isHidden());
}

TEST_F(UiFixture, PollIntervalFollowsTheBaudRate)
{
    const std::string path = startSim(Kind::named("DIO"));
    connectTo(path, QStringLiteral("1200"));
    EXPECT_EQ(window->ModbusTimer().interval(), 2500);
    connectTo(path, QStringLiteral("115200"));
    EXPECT_EQ(window->ModbusTimer().interval(), 1000);
    EXPECT_TRUE(window->ModbusTimer().isActive());
}

TEST_F(UiFixture, SilentModuleIsReportedAndShowsNoPages)
{
    const std::string path = startSim(Kind::named("AIN"));
    sim->setFault(zulsim::Fault::Silent);
    connectTo(path);
    EXPECT_EQ(messages.texts(),
        QStringList { "Error connecting to module! Check slave address and Modbus connection. " });
    EXPECT_EQ(visiblePages(), QStringList { "ConnectSheet" });
    EXPECT_FALSE(window->ModbusTimer().isActive());
    EXPECT_EQ(window->Session().Module.kind, 0xFFFF);
}

TEST_F(UiFixture, SwappedModuleIsRefused)
{
    const std::string path = startSim(Kind::named("AIN"));
    connectTo(path);
    sim->model().setKind(Kind::named("DIO"));
    find<QPushButton>("UpdateStatusBut")->click();
    EXPECT_EQ(messages.texts(), QStringList { "Wrong module type." });
    EXPECT_EQ(text("ModuleTypeInfoLabel"), "Wrong module type!");
    // The timer's check stays quiet but marks the label as well.
    messages.clear();
    EXPECT_FALSE(window->General().CheckModule(false));
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(text("ModuleTypeInfoLabel"), "Wrong module type!");
}

TEST_F(UiFixture, MissingPortShowsTheExceptionMessage)
{
    openWindow();
    connectTo("/dev/zul-no-such-port");
    EXPECT_EQ(messages.texts(),
        QStringList { "/dev/zul-no-such-port- This port may be already in use or not present." });
    EXPECT_EQ(visiblePages(), QStringList { "ConnectSheet" });

    // "Com4" is /dev/ttyS3, which machines without a fourth serial port lack.
    if (QFileInfo::exists(QStringLiteral("/dev/ttyS3")))
        GTEST_SKIP() << "this machine has a COM4";
    messages.clear();
    find<QComboBox>("CommsPortBox")->setCurrentIndex(3);
    find<QPushButton>("ConnectButt")->click();
    EXPECT_EQ(
        messages.texts(), QStringList { "COM4- This port may be already in use or not present." });
}
