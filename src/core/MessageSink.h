// The one way every operation shows a message to the technician. The main window installs the
// message-box sink (Messages.h); tests install the recorder, which answers at once and keeps the
// texts. Only QtCore here, so the records library, which has no widgets, takes the same sink as
// the pages.
#pragma once

#include <QString>
#include <QStringList>

class TMessageSink
{
public:
    virtual ~TMessageSink() = default;
    virtual void ShowMessage(const QString &text) = 0;
    // The same text with a short hint of what to check beside it (the message box's informative
    // text). The text itself stays as it is; a sink that has no room for hints shows it alone.
    virtual void ShowMessageWithHint(const QString &text, const QString &hint)
    {
        Q_UNUSED(hint);
        ShowMessage(text);
    }
};

// hints() runs beside texts(): an empty entry for a message shown without a hint.
class TMessageRecorder : public TMessageSink
{
public:
    void ShowMessage(const QString &text) override { ShowMessageWithHint(text, QString()); }
    void ShowMessageWithHint(const QString &text, const QString &hint) override
    {
        m_texts.append(text);
        m_hints.append(hint);
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
