// The line under a results page's Save that names where Save writes ("Saved to local file
// ~/.local/share/zul/ZUL_472K_Log.sqlite"), so that a station whose alias is missing does not
// fill a private file unnoticed. It reads its text afresh each time the page is shown, as the
// alias file may be edited while the tool runs. Each kind's results page holds one; the kind's
// results code, which knows the session, gives it its source.
#pragma once

#include <QLabel>
#include <QString>

#include <functional>
#include <utility>

class TResultsTargetLabel : public QLabel
{
public:
    explicit TResultsTargetLabel(QWidget *parent = nullptr)
        : QLabel(parent)
    {
        setObjectName(QStringLiteral("ResultsTargetLabel"));
        setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    // Answers the target's description, e.g. describeResultsTarget(paths).
    void SetSource(std::function<QString()> source)
    {
        m_source = std::move(source);
        Refresh();
    }

    void Refresh()
    {
        if (m_source)
            setText(QStringLiteral("Saved to ") + m_source());
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        Refresh();
        QLabel::showEvent(event);
    }

private:
    std::function<QString()> m_source;
};
