// A module page that tells its unit when it is shown, which is how the page-show handlers run
// (DIOSetupSheet -> ReadMaxRates, DIOCheckSheet -> DIOCheckShow). The DIO pages derive from it,
// and so can the AIN and AOT pages that have show handlers of their own.
#pragma once

#include "SafeSlot.h"

#include <QShowEvent>
#include <QWidget>

#include <functional>
#include <utility>

class TSheet : public QWidget
{
public:
    using QWidget::QWidget;

    // The handler runs through the catching helper like every other handler: it talks to the
    // module, and opening the port may raise.
    void SetShowHandler(TMessageSink &sink, std::function<void()> handler)
    {
        m_sink = &sink;
        m_onShow = std::move(handler);
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QWidget::showEvent(event);
        // Spontaneous shows come from the window system (a window restored from the task bar),
        // not from the technician turning to this page.
        if (!event->spontaneous() && m_onShow)
            zul::RunSafely(*m_sink, m_onShow);
    }

private:
    TMessageSink *m_sink = nullptr;
    std::function<void()> m_onShow;
};
