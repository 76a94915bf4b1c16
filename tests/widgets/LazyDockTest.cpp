// The docks built on first show: nothing exists until the dock is asked for, the View menu's
// action and the dock's own close button agree, and an open dock opens again at the next start.
#include "widgets/LazyDock.h"

#include "SettingsFolder.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString ShownKey = QStringLiteral("Test/LazyDockShown");

class LazyDockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        UseSettingsFolder(m_dir.path());
    }

    // A window with its View action and the dock, as the traffic and trend docks make them.
    struct Window
    {
        QMainWindow main;
        QAction *toggle = new QAction(QStringLiteral("Test dock"), &main);
        TLazyDock *dock = nullptr;
        int bodiesMade = 0;

        Window()
        {
            toggle->setCheckable(true);
            dock = new TLazyDock(
                main, *toggle,
                { QStringLiteral("Test dock"), QStringLiteral("TestDock"), ShownKey },
                [this](QDockWidget &parent) {
                    ++bodiesMade;
                    return new QLabel(QStringLiteral("body"), &parent);
                },
                &main);
            main.show();
        }
    };

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(LazyDockTest, NothingIsBuiltUntilTheDockIsAskedFor)
{
    Window window;
    EXPECT_EQ(window.bodiesMade, 0);
    EXPECT_EQ(window.dock->Built(), nullptr);
    EXPECT_TRUE(window.main.findChildren<QDockWidget *>().isEmpty());

    QDockWidget *dock = window.dock->Dock();
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(window.dock->Built(), dock);
    EXPECT_EQ(window.bodiesMade, 1);
    EXPECT_EQ(dock->objectName(), "TestDock");
    EXPECT_EQ(dock->windowTitle(), "Test dock");
    EXPECT_EQ(window.main.dockWidgetArea(dock), Qt::BottomDockWidgetArea);
    ASSERT_NE(qobject_cast<QLabel *>(dock->widget()), nullptr);
    // Asked for, not shown: it waits hidden, and the menu says so.
    EXPECT_TRUE(dock->isHidden());
    EXPECT_FALSE(window.toggle->isChecked());

    EXPECT_EQ(window.dock->Dock(), dock);
    EXPECT_EQ(window.bodiesMade, 1);
}

TEST_F(LazyDockTest, TheMenuAndTheDocksCloseButtonAgree)
{
    Window window;
    window.toggle->trigger();
    QDockWidget *dock = window.dock->Built();
    ASSERT_NE(dock, nullptr);
    EXPECT_FALSE(dock->isHidden());
    EXPECT_TRUE(window.toggle->isChecked());

    // The title bar's close button: the menu follows.
    dock->close();
    EXPECT_FALSE(window.toggle->isChecked());

    window.toggle->trigger();
    EXPECT_FALSE(dock->isHidden());
    window.toggle->trigger();
    EXPECT_TRUE(dock->isHidden());
    EXPECT_EQ(window.bodiesMade, 1);
}

TEST_F(LazyDockTest, ADockOpenAtExitOpensAtTheNextStart)
{
    {
        Window first;
        first.toggle->trigger();
        // The whole window closing at exit leaves the dock's own state as it was.
        first.main.hide();
    }
    {
        Window second;
        second.dock->ShowIfShownBefore();
        ASSERT_NE(second.dock->Built(), nullptr);
        EXPECT_FALSE(second.dock->Built()->isHidden());
        EXPECT_TRUE(second.toggle->isChecked());
        second.dock->Built()->close();
    }
    Window third;
    third.dock->ShowIfShownBefore();
    EXPECT_EQ(third.dock->Built(), nullptr);
    EXPECT_EQ(third.bodiesMade, 0);
}
