// The window shell: page order and captions, the number-format switch, the menu and the About
// text.
#include "UiFixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

TEST_F(UiFixture, PagesStandInPageOrderWithTheirCaptions)
{
    openWindow();
    auto *tabs = find<QTabWidget>("PageControl_ZUL");
    ASSERT_EQ(tabs->count(), 18);
    EXPECT_EQ(tabs->widget(0)->objectName(), "ConnectSheet");
    EXPECT_EQ(tabs->widget(4)->objectName(), "DIOCheckSheet");
    EXPECT_EQ(tabs->tabText(9), "Differential Current Input");
    EXPECT_EQ(tabs->widget(15)->objectName(), "AOTCalSheet");
    EXPECT_EQ(tabs->tabText(17), "AOT Results");
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(window->Page(i), tabs->widget(i));
}

TEST_F(UiFixture, DecAndHexSwitchTogether)
{
    openWindow();
    auto *dec1 = find<QAction>("Dec1");
    auto *hex1 = find<QAction>("Hex1");
    auto *decButton = find<QToolButton>("DecButton");
    auto *hexButton = find<QToolButton>("HexButton");
    EXPECT_TRUE(dec1->isChecked());
    EXPECT_TRUE(decButton->isChecked());
    EXPECT_FALSE(window->Session().HexDisplay);

    hexButton->click();
    EXPECT_TRUE(window->Session().HexDisplay);
    EXPECT_TRUE(hex1->isChecked());
    EXPECT_FALSE(dec1->isChecked());

    dec1->trigger();
    EXPECT_FALSE(window->Session().HexDisplay);
    EXPECT_TRUE(decButton->isChecked());
    EXPECT_FALSE(hexButton->isChecked());

    hex1->trigger();
    EXPECT_TRUE(window->Session().HexDisplay);
    EXPECT_TRUE(hexButton->isChecked());
}

TEST_F(UiFixture, HelpMenuIsHiddenAndClosingReturnsToConnect)
{
    openWindow();
    auto *about = find<QAction>("About1");
    bool helpShown = false;
    for (QAction *menu : window->menuBar()->actions())
        if (menu->menu() && menu->menu()->actions().contains(about))
            helpShown = menu->isVisible();
    EXPECT_FALSE(helpShown);
    about->trigger();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.last().startsWith("ZUL Module Configuration "))
        << messages.last().toStdString();

    auto *tabs = find<QTabWidget>("PageControl_ZUL");
    tabs->setTabVisible(1, true);
    tabs->setCurrentIndex(1);
    window->show();
    window->close();
    EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST(AboutText, ShowsReleaseAndBuildOnlyWhenSet)
{
    EXPECT_EQ(AboutText({ 1, 12, 0, 3 }), "ZUL Module Configuration 1.12 build 3");
    EXPECT_EQ(AboutText({ 1, 0, 0, 0 }), "ZUL Module Configuration 1.0");
    EXPECT_EQ(AboutText({ 2, 3, 4, 0 }), "ZUL Module Configuration 2.3.4");
    EXPECT_EQ(AboutText({ 2, 3, 4, 5 }), "ZUL Module Configuration 2.3.4 build 5");
}
