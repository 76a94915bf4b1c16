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
};

class TMessageRecorder : public TMessageSink
{
public:
    void ShowMessage(const QString &text) override { m_texts.append(text); }
    const QStringList &texts() const { return m_texts; }
    QString last() const { return m_texts.isEmpty() ? QString() : m_texts.last(); }
    void clear() { m_texts.clear(); }

private:
    QStringList m_texts;
};
