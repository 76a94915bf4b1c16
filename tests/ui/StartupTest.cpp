// What a start builds: the Connect page, the status panel and the menus, and nothing the
// technician cannot see yet; the rest comes with the first connect or the first opening, and then
// works as if it had always been there.
#include "ModuleFixture.h"

#include "app/KindFactories.h"
#include "core/PageTable.h"
#include "traffic/TrafficView.h"

#include <QAction>
#include <QDockWidget>
#include <QTableView>

// The plug-ins come from the kind folders' zul_kind() lines by registry name: a name that is no
// row would leave its kind without pages, a name twice would install one over the other.
TEST(KindFactories, EveryRegistryRowHasExactlyOnePlugIn)
{
    for (const zul::TKindRow &row : zul::ModuleKinds) {
        int found = 0;
        for (const TKindFactoryEntry &entry : KindFactories())
            found += entry.Name == row.Name && entry.Create ? 1 : 0;
        EXPECT_EQ(found, 1) << row.Name;
    }
    for (const TKindFactoryEntry &entry : KindFactories())
        EXPECT_NE(zul::findKindNamed(entry.Name), nullptr) << entry.Name;
}

TEST_F(ModuleFixture, PagesNotShownBeforeConnectAreBuiltByTheFirstConnect)
{
    const std::string dio = startSim(zulsim::Kind::named("DIO"));
    openWindow();
    window->show();
    auto *tabs = find<QTabWidget>("PageControl_ZUL");
    EXPECT_EQ(visiblePages(), QStringList { "ConnectSheet" });
    // Stand-ins hold the tabs' places and names, with no controls in them.
    for (const char *control : { "CommsBaudBox", "SetCommsBtn", "PoutSetupSaveButton" })
        EXPECT_EQ(window->findChild<QWidget *>(control), nullptr) << control;
    const int comms = zul::pageIndex("CommsSheet");
    EXPECT_EQ(tabs->widget(comms)->objectName(), "CommsSheet");
    EXPECT_TRUE(tabs->widget(comms)->children().isEmpty());

    connectTo(dio, "19200");
    window->ModbusTimer().stop();
    ASSERT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(tabs->count(), zul::PageCount);
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(window->Page(i), tabs->widget(i));
    EXPECT_TRUE(visiblePages().contains("CommsSheet"));
    EXPECT_TRUE(visiblePages().contains("PoutSetupSheet"));
    EXPECT_EQ(tabs->currentIndex(), zul::ConnectPage);
    // The Comms page that came with the connect was filled by it.
    EXPECT_EQ(find<QComboBox>("CommsBaudBox")->currentText(), "19200");
    EXPECT_NE(find<QPushButton>("PoutSetupSaveButton"), nullptr);

    // A second kind's connect keeps the shared pages the first one built.
    QWidget *commsPage = window->Page(comms);
    connectTo(startSim(zulsim::Kind::named("AIN")));
    window->ModbusTimer().stop();
    EXPECT_EQ(text("ModelNameLabel"), "472K-12 (AIN)");
    EXPECT_EQ(window->Page(comms), commsPage);
    EXPECT_EQ(window->findChildren<QPushButton *>("SetCommsBtn").size(), 1);
}

// The general unit and its Comms page come with the first connect; a handler that uses them and is
// reached before it (a click on a button not yet shown) builds them itself instead of reaching
// for nothing, and the connect then goes on with what it built.
TEST_F(ModuleFixture, HandlersBeforeTheFirstConnectBuildTheGeneralUnit)
{
    const std::string dio = startSim(zulsim::Kind::named("DIO"));
    openWindow();
    EXPECT_EQ(window->findChild<QWidget *>("SetCommsBtn"), nullptr);
    find<QPushButton>("UpdateStatusBut")->click();
    auto *setComms = find<QPushButton>("SetCommsBtn");
    ASSERT_NE(setComms, nullptr);
    setComms->click();
    QWidget *commsPage = window->Page(zul::pageIndex("CommsSheet"));

    messages.clear();
    connectTo(dio, "19200");
    window->ModbusTimer().stop();
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(window->Page(zul::pageIndex("CommsSheet")), commsPage);
    EXPECT_EQ(find<QComboBox>("CommsBaudBox")->currentText(), "19200");
    EXPECT_TRUE(visiblePages().contains("PoutSetupSheet"));
}

TEST_F(UiFixture, TrafficDockIsBuiltWhenFirstOpenedAndTheMenuFollowsIt)
{
    openWindow();
    window->show();
    EXPECT_EQ(window->findChild<QDockWidget *>("TrafficDock"), nullptr);
    EXPECT_EQ(window->findChild<QTableView *>("TrafficTable"), nullptr);
    auto *toggle = find<QAction>("CommsTraffic1");
    EXPECT_FALSE(toggle->isChecked());

    toggle->trigger();
    auto *dock = window->findChild<QDockWidget *>("TrafficDock");
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->isVisible());
    EXPECT_EQ(window->Traffic().Table(), window->findChild<QTableView *>("TrafficTable"));
    EXPECT_EQ(window->Traffic().Table()->model(), &window->Traffic().Model());

    dock->close(); // its title bar's close button
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(dock->isHidden());
    EXPECT_EQ(window->findChildren<QDockWidget *>().size(), 1);
}
