// Keeps the page tab bar's right scroll arrow true to the tabs that are shown. Qt 6.4 enables it
// only while the last tab of the bar reaches past the edge, hidden or not; with another kind's
// hidden pages at the end, the arrow stayed disabled while shown tabs remained out of sight.
#pragma once

#include <QObject>

class QTabBar;
class QToolButton;

class TTabScrollArrows : public QObject
{
public:
    // Watches `bar`'s right arrow; does nothing when the style draws no arrows.
    explicit TTabScrollArrows(QTabBar &bar);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool tabsBeyondTheEdge() const;
    void putRight();

    QTabBar &m_bar;
    QToolButton *m_right;
    bool m_setting = false;
};
