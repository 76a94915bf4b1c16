// The message sink of the tests: answers at once and keeps every text, so a test asserts the
// exact messages without a box blocking it. hints() runs beside texts(): an empty entry for a
// message shown without a hint.
#pragma once

#include "core/MessageSink.h"

#include <QString>
#include <QStringList>

class TMessageRecorder : public TMessageSink
{
public:
    void ShowMessageWithHint(const std::string &text, const std::string &hint) override
    {
        m_texts.append(QString::fromStdString(text));
        m_hints.append(QString::fromStdString(hint));
    }
    const QStringList &texts() const { return m_texts; }
    const QStringList &hints() const { return m_hints; }
    QString last() const { return m_texts.isEmpty() ? QString() : m_texts.last(); }
    QString lastHint() const { return m_hints.isEmpty() ? QString() : m_hints.last(); }
    void clear()
    {
        m_texts.clear();
        m_hints.clear();
    }

private:
    QStringList m_texts;
    QStringList m_hints;
};
