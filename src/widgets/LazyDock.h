// A dock of the main window that is built the first time it is shown or asked for, so that a
// start with the dock closed does not pay for it. It docks at the bottom, hidden until shown;
// whether it is open is kept in the tool's settings, and its View menu action follows it, the
// title bar's close button included. Used by the traffic and trend docks.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QDockWidget;
class QMainWindow;
class QWidget;

class TLazyDock : public QObject
{
public:
    struct Names
    {
        QString title;
        QString objectName;
        QString shownKey; // settings key: open at the last exit
    };
    // Makes the dock's contents, parented to the dock, once it exists.
    using Body = std::function<QWidget *(QDockWidget &dock)>;

    // `toggle` (checkable) shows and closes the dock; both outlive this.
    TLazyDock(QMainWindow &window, QAction &toggle, Names names, Body body, QObject *parent);

    // Builds the dock, hidden, when it does not exist yet.
    QDockWidget *Dock();
    // The dock when it has been built, nullptr before.
    QDockWidget *Built() const { return m_dock; }
    // What the dock's own toggle action does; builds the dock first.
    void Show(bool shown);
    // Shows the dock when it was open at the last exit.
    void ShowIfShownBefore();

private:
    void build();

    QMainWindow &m_window;
    QAction &m_toggle;
    Names m_names;
    Body m_body;
    QDockWidget *m_dock = nullptr;
};
