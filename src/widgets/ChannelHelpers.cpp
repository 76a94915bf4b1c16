#include "ChannelHelpers.h"

#include "RadioMatrix.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
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

void KeepOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen || window->isMaximized() || window->isFullScreen())
        return;
    const QRect available = screen->availableGeometry();
    const QSize decoration = window->frameGeometry().size() - window->size();
    const QSize fitting =
        window->size().boundedTo(available.size() - decoration).expandedTo(window->minimumSize());
    if (fitting != window->size())
        window->resize(fitting);
    const QRect frame = window->frameGeometry();
    QPoint topLeft = frame.topLeft();
    topLeft.rx() -= std::max(0, frame.right() - available.right());
    topLeft.ry() -= std::max(0, frame.bottom() - available.bottom());
    topLeft.rx() = std::max(topLeft.x(), available.left());
    topLeft.ry() = std::max(topLeft.y(), available.top());
    if (topLeft != frame.topLeft())
        window->move(topLeft);
}
