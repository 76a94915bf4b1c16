// The "PASS / FAIL Grid" of every results page: columns of check boxes (ticked = passed), each
// with an "ALL" box under it that ticks or clears the whole column. Built from a table of
// columns by the DIO, AIN and AOT results pages.
#pragma once

#include <QGroupBox>

#include <array>
#include <span>
#include <vector>

class QCheckBox;

struct TPassFailColumn
{
    const char *Caption;
    int Boxes;
    // Box n (0-based) is named BoxPrefix + (FirstNumber + Step * n): "DINResult1".., or
    // "CheckBox18" counting down.
    const char *BoxPrefix;
    int FirstNumber;
    int Step;
    int AllBox; // number of its "ALL" box, CheckBoxN
};

class TPassFailGrid : public QGroupBox
{
public:
    TPassFailGrid(std::span<const TPassFailColumn> columns, QWidget *parent = nullptr);

    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    const std::vector<QCheckBox *> &Column(int column) const { return m_columns[column]; }
    QCheckBox *AllBox(int column) const { return m_allBoxes[column]; }
    const QString &Caption(int column) const { return m_captions[column]; }

    // The ALL box's click: its column follows it.
    void ColumnAll(QCheckBox *allBox);
    // The ticks of a column, element 0 = channel 1.
    template<std::size_t N>
    void Ticks(int column, std::array<bool, N> &ticks) const
    {
        for (std::size_t n = 0; n < N && n < m_columns[column].size(); ++n)
            ticks[n] = isTicked(m_columns[column][n]);
    }

private:
    static bool isTicked(const QCheckBox *box);

    std::vector<std::vector<QCheckBox *>> m_columns;
    std::vector<QCheckBox *> m_allBoxes;
    std::vector<QString> m_captions;
};
