// Small factories for the named controls that every page builds in code: each control gets its
// objectName at birth, so tests and units can find it.
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

QComboBox *MakeComboBox(
    const QString &name, const QStringList &items, int current, QWidget *parent);
QLabel *MakeLabel(const QString &name, const QString &text, QWidget *parent);
QPushButton *MakeButton(const QString &name, const QString &caption, QWidget *parent);
