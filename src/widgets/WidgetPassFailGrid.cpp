#include "WidgetPassFailGrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

TPassFailGrid::TPassFailGrid(std::span<const TPassFailColumn> columns, QWidget *parent)
    : QGroupBox(QStringLiteral("PASS / FAIL Grid"), parent)
{
    int longest = 0;
    for (const TPassFailColumn &info : columns)
        longest = std::max(longest, info.Boxes);
    const int allRow = longest + 1;

    auto *grid = new QGridLayout(this);
    grid->setVerticalSpacing(0);
    for (const TPassFailColumn &info : columns) {
        const int c = static_cast<int>(m_columns.size());
        m_captions.push_back(QString::fromLatin1(info.Caption));
        auto *caption = new QLabel(m_captions.back(), this);
        caption->setWordWrap(true);
        grid->addWidget(caption, 0, c);
        std::vector<QCheckBox *> boxes;
        for (int n = 0; n < info.Boxes; ++n) {
            auto *box = new QCheckBox(QStringLiteral("DIO%1").arg(n + 1), this);
            box->setObjectName(QStringLiteral("%1%2")
                                   .arg(QLatin1String(info.BoxPrefix))
                                   .arg(info.FirstNumber + info.Step * n));
            boxes.push_back(box);
            grid->addWidget(box, n + 1, c);
        }
        m_columns.push_back(std::move(boxes));

        auto *all = new QCheckBox(QStringLiteral("ALL"), this);
        all->setObjectName(QStringLiteral("CheckBox%1").arg(info.AllBox));
        m_allBoxes.push_back(all);
        grid->addWidget(all, allRow, c);
        // Nothing here talks to the module, so the plain connect cannot see an exception.
        connect(all, &QCheckBox::clicked, this, [this, all] { ColumnAll(all); });
    }
}

void TPassFailGrid::ColumnAll(QCheckBox *allBox)
{
    const auto found = std::find(m_allBoxes.begin(), m_allBoxes.end(), allBox);
    if (found == m_allBoxes.end())
        return;
    const bool ticked = allBox->isChecked();
    for (QCheckBox *cell : m_columns[found - m_allBoxes.begin()])
        cell->setChecked(ticked);
}

bool TPassFailGrid::isTicked(const QCheckBox *box)
{
    return box->isChecked();
}
