// The message box that production shows for every message of the tool.
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
    void Show(const std::string &text, const std::string &hint, TMessageKind kind) override;

private:
    QWidget *m_parent;
};
