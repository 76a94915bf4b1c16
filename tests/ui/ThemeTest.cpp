// View > Theme: System, Light and Dark, the choice remembered for the next start.
#include "UiFixture.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyle>

TEST_F(UiFixture, ThemeIsChosenFromTheViewMenuAndRemembered)
{
    openWindow();
    const QString systemStyle = QApplication::style()->name();
    const QColor systemWindow = QApplication::palette().color(QPalette::Window);
    auto *dark = find<QAction>("ThemeDark");
    ASSERT_TRUE(dark);
    EXPECT_TRUE(find<QAction>("ThemeSystem")->isChecked());
    dark->trigger();
    EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
    EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 80);
    EXPECT_GT(QApplication::palette().color(QPalette::WindowText).lightness(), 180);

    openWindow(); // the next start takes the dark theme again
    EXPECT_TRUE(find<QAction>("ThemeDark")->isChecked());
    EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 80);
    find<QAction>("ThemeLight")->trigger();
    EXPECT_GT(QApplication::palette().color(QPalette::Window).lightness(), 180);

    find<QAction>("ThemeSystem")->trigger();
    EXPECT_EQ(QApplication::style()->name(), systemStyle);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), systemWindow);
}
