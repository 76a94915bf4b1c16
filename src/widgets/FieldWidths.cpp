#include "FieldWidths.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableWidget>

#include <algorithm>

namespace {

// Digits are usually all one width, but not in every font: take the widest one.
QChar widestOf(const QString &characters, const QFontMetrics &metrics)
{
    QChar widest = characters.front();
    for (const QChar c : characters)
        if (metrics.horizontalAdvance(c) > metrics.horizontalAdvance(widest))
            widest = c;
    return widest;
}

int widestAdvance(const QFontMetrics &metrics, const QStringList &texts)
{
    int widest = 0;
    for (const QString &text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

} // namespace

QStringList WidestTexts(TNumberField field, const QFontMetrics &metrics)
{
    const QChar digit = widestOf(QStringLiteral("0123456789"), metrics);
    const QChar hexDigit = widestOf(QStringLiteral("0123456789ABCDEF"), metrics);
    const auto decimal = [&](int digits, bool sign) {
        return (sign ? QStringLiteral("-") : QString()) + QString(digits, digit);
    };
    const auto hex = [&](int digits) { return QStringLiteral("$") + QString(digits, hexDigit); };
    switch (field) {
    case TNumberField::Word:
        return { decimal(5, false), hex(4) };
    case TNumberField::SignedWord:
        return { decimal(5, true), hex(8) };
    case TNumberField::Long:
        return { decimal(10, true), hex(8) };
    }
    return {};
}

void FitLabelTo(QLabel *label, const QStringList &texts)
{
    // The label's own size hint knows its frame, margin and indent.
    const QString shown = label->text();
    QSize size;
    for (const QString &text : texts) {
        label->setText(text);
        size = size.expandedTo(label->sizeHint());
    }
    label->setText(shown);
    label->setFixedSize(size);
}

void FitLabelTo(QLabel *label, TNumberField field)
{
    FitLabelTo(label, WidestTexts(field, label->fontMetrics()));
}

void FitLineEditTo(QLineEdit *edit, const QStringList &texts)
{
    // As QLineEdit sizes itself: the text, its 2-pixel margins either side and the cursor, in
    // the style's frame.
    constexpr int horizontalMargin = 2;
    const QMargins margins = edit->textMargins();
    const int width = widestAdvance(edit->fontMetrics(), texts) + 2 * horizontalMargin + 1
        + margins.left() + margins.right();
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame()
        ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
        : 0;
    option.state |= QStyle::State_Sunken;
    const QSize outer = edit->style()->sizeFromContents(
        QStyle::CT_LineEdit, &option, QSize(width, edit->sizeHint().height()), edit);
    edit->setFixedWidth(outer.width());
}

void FitLineEditTo(QLineEdit *edit, TNumberField field)
{
    FitLineEditTo(edit, WidestTexts(field, edit->fontMetrics()));
}

int CellWidthFor(const QAbstractItemView *view, const QStringList &texts)
{
    // The item delegate's text margin either side, and a pixel for the grid line.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return widestAdvance(view->fontMetrics(), texts) + 2 * margin + 1;
}

int RowHeightFor(const QAbstractItemView *view)
{
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameVMargin, nullptr, view) + 1;
    return view->fontMetrics().height() + 2 * margin;
}

void GrowColumnsWithTheirTexts(QTableWidget *grid, int width)
{
    grid->horizontalHeader()->setDefaultSectionSize(width);
    QObject::connect(grid, &QTableWidget::itemChanged, grid, [grid](QTableWidgetItem *item) {
        const int column = item->column();
        const int before = grid->columnWidth(column);
        grid->resizeColumnToContents(column);
        if (grid->columnWidth(column) < before)
            grid->setColumnWidth(column, before);
    });
}
