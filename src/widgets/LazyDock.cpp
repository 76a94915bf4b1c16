#include "LazyDock.h"

#include "ToolSettings.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>

TLazyDock::TLazyDock(QMainWindow &window, QAction &toggle, Names names, Body body, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_toggle(toggle)
    , m_names(std::move(names))
    , m_body(std::move(body))
{
    connect(&m_toggle, &QAction::triggered, this, [this](bool shown) { Show(shown); });
}

QDockWidget *TLazyDock::Dock()
{
    if (!m_dock)
        build();
    return m_dock;
}

void TLazyDock::Show(bool shown)
{
    QDockWidget *dock = Dock();
    if (shown == dock->isHidden()) {
        if (shown)
            dock->show();
        else
            dock->close();
    }
}

void TLazyDock::ShowIfShownBefore()
{
    if (zul::toolSettings().value(m_names.shownKey, false).toBool())
        Show(true);
}

void TLazyDock::build()
{
    m_dock = new QDockWidget(m_names.title, &m_window);
    m_dock->setObjectName(m_names.objectName);
    m_dock->setWidget(m_body(*m_dock));
    m_window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    m_dock->hide();
    // isHidden() is the dock's own state: hiding the whole window at exit does not change it.
    connect(m_dock, &QDockWidget::visibilityChanged, this,
        [this] { zul::toolSettings().setValue(m_names.shownKey, !m_dock->isHidden()); });
    // The menu follows the title bar's close button too.
    connect(m_dock->toggleViewAction(), &QAction::toggled, &m_toggle, &QAction::setChecked);
}
