#include "RadioMatrix.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

#include <vector>

TRadioMatrix::TRadioMatrix(const TRadioMatrixLayout &layout, QWidget *parent)
    : QWidget(parent)
    , m_columns(static_cast<int>(layout.ColumnCaptions.size()))
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    for (int column = 0; column < m_columns; ++column)
        grid->addWidget(new QLabel(layout.ColumnCaptions[column], this), 0, column + 1);
    for (int row = 0; row < layout.RowCaptions.size(); ++row)
        m_rows.push_back(addRow(grid, row + 1, layout.RowCaptions[row],
            [&](int column) { return layout.ButtonName(row, column); }));
    if (layout.AllButtonName) {
        m_all = addRow(grid, RowCount() + 1, QStringLiteral("ALL"), layout.AllButtonName);
        connect(m_all, &QButtonGroup::idClicked, this, &TRadioMatrix::SetEveryRow);
    }
}

QButtonGroup *TRadioMatrix::addRow(
    QGridLayout *grid, int gridRow, const QString &caption, const std::function<QString(int)> &name)
{
    auto *group = new QButtonGroup(this);
    grid->addWidget(new QLabel(caption, this), gridRow, 0);
    for (int column = 0; column < m_columns; ++column) {
        auto *button = new QRadioButton(this);
        button->setObjectName(name(column));
        group->addButton(button, column);
        grid->addWidget(button, gridRow, column + 1);
    }
    return group;
}

QRadioButton *TRadioMatrix::Button(int row, int column) const
{
    return static_cast<QRadioButton *>(m_rows[row]->button(column));
}

QRadioButton *TRadioMatrix::AllButton(int column) const
{
    return m_all ? static_cast<QRadioButton *>(m_all->button(column)) : nullptr;
}

int TRadioMatrix::Column(int row) const
{
    return m_rows[row]->checkedId();
}

namespace {

// Programmatic, like a refresh from the module: nothing that listens for a technician's click
// hears it.
void checkColumn(QButtonGroup *group, int column)
{
    const QList<QAbstractButton *> buttons = group->buttons();
    std::vector<QSignalBlocker> blockers(buttons.begin(), buttons.end());
    if (QAbstractButton *button = group->button(column)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; only a lifted exclusivity lets it go.
    if (QAbstractButton *checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
}

} // namespace

void TRadioMatrix::SetColumn(int row, int column)
{
    checkColumn(m_rows[row], column);
}

void TRadioMatrix::SetEveryRow(int column)
{
    for (QButtonGroup *row : m_rows)
        checkColumn(row, column);
}

void TRadioMatrix::ClearAllRow()
{
    if (m_all)
        checkColumn(m_all, -1);
}

void TRadioMatrix::SetButtonsEnabled(bool enabled)
{
    for (QButtonGroup *row : m_rows)
        for (QAbstractButton *button : row->buttons())
            button->setEnabled(enabled);
    if (m_all)
        for (QAbstractButton *button : m_all->buttons())
            button->setEnabled(enabled);
}
