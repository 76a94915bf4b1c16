#include "ChannelHelpers.h"

#include "RadioMatrix.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

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

void SetRangeButtons(TRadioMatrix &matrix, std::span<const std::uint16_t> codes, int count)
{
    for (int n = 0; n < count && n < static_cast<int>(codes.size()); ++n)
        matrix.SetColumn(n, RangeColumn(codes[n]));
}

void SetSourceSinkButtons(TRadioMatrix &matrix, std::span<const std::uint16_t> codes, int count)
{
    for (int n = 0; n < count && n < static_cast<int>(codes.size()); ++n)
        matrix.SetColumn(n, SourceSinkColumn(codes[n]));
}

void EnableGroupBox(QWidget *group, bool enabled)
{
    group->setEnabled(enabled);
    for (QWidget *child : group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->setEnabled(enabled);
}

void EnableGroup(QWidget *group, TRadioMatrix &matrix, bool enabled)
{
    EnableGroupBox(group, enabled);
    matrix.setEnabled(enabled);
    matrix.SetButtonsEnabled(enabled);
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
