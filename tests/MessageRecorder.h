// The message sink of the tests: answers at once and keeps every text, so a test asserts the
// exact messages without a box blocking it. hints() runs beside texts(): an empty entry for a
// message shown without a hint.
#pragma once

#include "core/MessageSink.h"

#include <QList>
#include <QString>
#include <QStringList>

class TMessageRecorder : public TMessageSink
{
public:
    void Show(const std::string &text, const std::string &hint, TMessageKind kind) override
    {
        m_texts.append(QString::fromStdString(text));
        m_hints.append(QString::fromStdString(hint));
        m_kinds.append(kind);
    }
    const QStringList &texts() const { return m_texts; }
    const QStringList &hints() const { return m_hints; }
    QString last() const { return m_texts.isEmpty() ? QString() : m_texts.last(); }
    QString lastHint() const { return m_hints.isEmpty() ? QString() : m_hints.last(); }
    TMessageKind lastKind() const
    {
        return m_kinds.isEmpty() ? TMessageKind::Warning : m_kinds.last();
    }
    void clear()
    {
        m_texts.clear();
        m_hints.clear();
        m_kinds.clear();
    }

private:
    QStringList m_texts;
    QStringList m_hints;
    QList<TMessageKind> m_kinds;
};
