// The one way every operation shows a message to the technician. The main window installs the
// message-box sink; tests install a recorder that answers at once and keeps the texts.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

class TMessageSink
{
public:
    virtual ~TMessageSink() = default;
    virtual void ShowMessage(const QString &text) = 0;
};

// A plain modal box captioned with the application title.
class TMessageBoxSink : public TMessageSink
{
public:
    explicit TMessageBoxSink(QWidget *parent = nullptr)
        : m_parent(parent)
    {
    }
    void ShowMessage(const QString &text) override;

private:
    QWidget *m_parent;
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
