#include "ChannelHelpers.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QWidget>

#include <cmath>
#include <vector>

int RangeColumn(std::uint16_t code)
{
    if (code == 0 || code == 0xFFFF)
        return -1;
    const int column = code & 3;
    return column == 0 ? -1 : column - 1;
}

int SourceSinkColumn(std::uint16_t code)
{
    if (code == 0 || code == 0xFFFF)
        return -1;
    const int kind = code >> 8;
    return kind == 1 || kind == 2 ? kind - 1 : -1;
}

namespace {

// An exclusive row refuses to uncheck its checked button; lift the exclusivity for the moment.
void uncheck(QAbstractButton *button)
{
    if (!button->isChecked())
        return;
    QButtonGroup *group = button->group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = button->autoExclusive();
    if (groupExclusive)
        group->setExclusive(false);
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(autoExclusive);
    if (groupExclusive)
        group->setExclusive(true);
}

} // namespace

void CheckRowColumn(std::span<QAbstractButton *const> row, int column)
{
    std::vector<QSignalBlocker> blockers;
    blockers.reserve(row.size());
    for (QAbstractButton *button : row)
        blockers.emplace_back(button);
    for (int n = 0; n < static_cast<int>(row.size()); ++n) {
        if (n == column)
            row[n]->setChecked(true);
        else
            uncheck(row[n]);
    }
}

void EnableGroupBox(QWidget *group, bool enabled)
{
    group->setEnabled(enabled);
    for (QWidget *child : group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->setEnabled(enabled);
}

bool IsBlankText(const QString &text)
{
    return zul::IsBlankText(text.toStdString());
}

double ScreenScaleFactor()
{
    static const double factor = [] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        return screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
    }();
    return factor;
}

void ScaleFormToScreen(QWidget *form, double factor)
{
    if (factor == 1.0)
        return;
    const double grow = factor * 1.02;
    const int height = static_cast<int>(std::ceil(form->height() * grow));
    const int width = static_cast<int>(std::ceil(form->width() * grow));
    form->resize(width, height);
}
