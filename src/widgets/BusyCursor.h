// The hourglass for every operation that talks to the module: set on construction, the previous
// cursor restored on every way out of the scope. Nested guards stack.
#pragma once

#include <QCursor>
#include <QGuiApplication>

class TBusyCursor
{
public:
    TBusyCursor()
        : m_active(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~TBusyCursor()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;

private:
    bool m_active;
};
