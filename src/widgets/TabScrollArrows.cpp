#include "TabScrollArrows.h"

#include <QEvent>
#include <QTabBar>
#include <QToolButton>

TTabScrollArrows::TTabScrollArrows(QTabBar &bar)
    : QObject(&bar)
    , m_bar(bar)
    , m_right(bar.findChild<QToolButton *>(QStringLiteral("ScrollRightButton")))
{
    if (!m_right)
        return;
    m_right->installEventFilter(this);
    bar.installEventFilter(this);
}

void TTabScrollArrows::putRight()
{
    const bool beyond = tabsBeyondTheEdge();
    if (m_right->isEnabled() == beyond)
        return;
    m_setting = true;
    m_right->setEnabled(beyond);
    m_setting = false;
}

bool TTabScrollArrows::tabsBeyondTheEdge() const
{
    for (int index = m_bar.count() - 1; index >= 0; --index) {
        if (!m_bar.isTabVisible(index))
            continue;
        // Both arrows sit at the bar's right end; the tabs scroll in the room before them.
        const int room = m_bar.width() - 2 * m_right->width();
        return m_bar.tabRect(index).right() > room;
    }
    return false;
}

bool TTabScrollArrows::eventFilter(QObject *watched, QEvent *event)
{
    // Qt sets the arrow's state after every layout and every scroll step: it is put right at
    // once when Qt changes it, and after the bar has laid its tabs out anew.
    const QEvent::Type type = event->type();
    if (watched == m_right && !m_setting && (type == QEvent::EnabledChange || type == QEvent::Show))
        putRight();
    else if (watched == &m_bar
        && (type == QEvent::Resize || type == QEvent::Show || type == QEvent::LayoutRequest))
        QMetaObject::invokeMethod(
            this, [this] { putRight(); }, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}
