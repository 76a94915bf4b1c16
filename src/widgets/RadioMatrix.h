// A matrix of radio buttons built once for every page that needs one: the scale matrices of the
// analog configuration pages and the ON/OFF pairs of the check pages. Rows x columns of buttons
// named from the caller's table, one exclusive QButtonGroup per row whose ids are the columns,
// captions above and beside, and an optional ALL row whose click sets that column in every row.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

struct TRadioMatrixLayout
{
    QStringList ColumnCaptions; // above the columns; may be empty
    QStringList RowCaptions; // one per row, beside it
    std::function<QString(int row, int column)> ButtonName;
    // The ALL row's button names; no ALL row without it.
    std::function<QString(int column)> AllButtonName;
};

class TRadioMatrix : public QWidget
{
public:
    TRadioMatrix(const TRadioMatrixLayout &layout, QWidget *parent = nullptr);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const { return m_columns; }
    QRadioButton *Button(int row, int column) const;
    QRadioButton *AllButton(int column) const; // nullptr without an ALL row
    QButtonGroup *Row(int row) const { return m_rows[row]; }

    // The checked column of a row, -1 when none is.
    int Column(int row) const;
    // Checks one button of a row; -1 empties the row, which a click never can.
    void SetColumn(int row, int column);
    // What a click on the ALL row does: that column in every row.
    void SetEveryRow(int column);
    void ClearAllRow();
    // The buttons themselves, not the matrix: a disabled parent would hide that they are.
    void SetButtonsEnabled(bool enabled);

private:
    QButtonGroup *addRow(QGridLayout *grid, int gridRow, const QString &caption,
        const std::function<QString(int)> &name);

    int m_columns;
    std::vector<QButtonGroup *> m_rows;
    QButtonGroup *m_all = nullptr;
};

// Names "RadioButtonN" from a table of button numbers, one row of numbers per matrix row.
template<typename Table>
std::function<QString(int, int)> RadioButtonNames(const Table &numbers)
{
    return [&numbers](int row, int column) {
        return QStringLiteral("RadioButton%1").arg(numbers[row][column]);
    };
}
