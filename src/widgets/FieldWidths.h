// Field and column sizes taken from the font in use for the widest value they can show, so that
// no number is cut off whatever the font, its size or the screen's scale factor.
#pragma once

#include <QStringList>

class QAbstractItemView;
class QFontMetrics;
class QLabel;
class QLineEdit;
class QTableWidget;

// What a number field shows, in Dec or in Hex.
enum class TNumberField {
    Word, // 0..65535, "$" and 4 hex digits
    SignedWord, // -32768..32767; negative in Hex as "$" and 8 digits
    Long, // 32 bits signed, "$" and 8 hex digits
};

// Stand-ins at least as wide as any value of the field, made of the font's widest digits.
QStringList WidestTexts(TNumberField field, const QFontMetrics &metrics);

// A value box that fits the widest of texts, one line high.
void FitLabelTo(QLabel *label, const QStringList &texts);
void FitLabelTo(QLabel *label, TNumberField field);

// An entry field wide enough to show the widest of texts without scrolling.
void FitLineEditTo(QLineEdit *edit, const QStringList &texts);
void FitLineEditTo(QLineEdit *edit, TNumberField field);

// The width an item view needs to show texts in one cell, margins included.
int CellWidthFor(const QAbstractItemView *view, const QStringList &texts);
// One line of the view's font with the cell's margins.
int RowHeightFor(const QAbstractItemView *view);

// Columns of a grid that people type into: each at least `width`, and growing when a text
// typed or filed into it is wider.
void GrowColumnsWithTheirTexts(QTableWidget *grid, int width);
