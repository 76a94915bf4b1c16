// Small factories for the named controls that every page builds in code: each control gets its
// objectName at birth, so tests and units can find it.
#pragma once

#include "FieldWidths.h"
#include "core/Registers.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <span>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class QWidget;

QComboBox *MakeComboBox(
    const QString &name, const QStringList &items, int current, QWidget *parent);
QLabel *MakeLabel(const QString &name, const QString &text, QWidget *parent);
QPushButton *MakeButton(const QString &name, const QString &caption, QWidget *parent);

// The widget a page lays its controls out on: it fills the page and scrolls when the window is
// smaller than the page's controls, so that a page never forces the window off a small screen.
QWidget *ScrollingBody(QWidget *page);

// A small right-arrow button that copies a live value into the cell beside it.
QToolButton *MakeCopyArrowButton(const QString &name, const QString &toolTip, QWidget *parent);

// A read-only value box "StaticTextN", as wide as the widest value of its field.
QLabel *MakeStaticText(int number, TNumberField field, const QString &text, QWidget *parent);

// A group with one captioned row per static text, numbered from firstNumber: rows
// rowPrefix + 1, rowPrefix + 2, ... ("DIO1", "AIN1").
QGroupBox *MakeValueGroup(const QString &caption, std::span<QLabel *> texts, int firstNumber,
    TNumberField field, const QString &rowPrefix, QWidget *parent);

// "Digital inputs": one label per input, named by labelName(n) for n = 1.., captioned "DIOn" and
// disabled (an enabled label means the input is on); in columns of eight.
QGroupBox *MakeInputLabelsGroup(
    std::span<QLabel *> labels, const std::function<QString(int)> &labelName, QWidget *parent);

// prefix + 1 .. prefix + count: the row captions of a kind's channels ("AIN1" .. "AIN8").
QStringList ChannelCaptions(const QString &prefix, int count);

// The pulsed-output column of every check page: "Pulse Output count" and "Pulse Output Target"
// side by side, one "StaticTextN" per output numbered from countsFirst and targetsFirst, and
// "Edit Targets" under them.
struct TPulseOutputColumn
{
    std::array<QLabel *, zul::reg::PulseOutputCount> CountTexts {};
    std::array<QLabel *, zul::reg::PulseOutputCount> TargetTexts {};
    QPushButton *EditTargetsButton = nullptr;
};
QVBoxLayout *MakePulseOutputColumn(TPulseOutputColumn &column, int countsFirst, int targetsFirst,
    const QString &editTargetsName, QWidget *page);
