// Message sinks for the widget code: the interface and the recorder (MessageSink.h) and the
// message box that production shows.
#pragma once

#include "core/MessageSink.h"

#include <QString>

class QWidget;

// A plain modal box captioned with the application title; a hint goes under the text.
class TMessageBoxSink : public TMessageSink
{
public:
    explicit TMessageBoxSink(QWidget *parent = nullptr)
        : m_parent(parent)
    {
    }
    void ShowMessage(const QString &text) override;
    void ShowMessageWithHint(const QString &text, const QString &hint) override;

private:
    QWidget *m_parent;
};
