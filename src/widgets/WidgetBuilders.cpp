#include "WidgetBuilders.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

QComboBox *MakeComboBox(const QString &name, const QStringList &items, int current, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(current);
    return box;
}

QLabel *MakeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton *MakeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QWidget *ScrollingBody(QWidget *page)
{
    auto *scroll = new QScrollArea(page);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *body = new QWidget(scroll);
    scroll->setWidget(body);
    auto *fill = new QVBoxLayout(page);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroll);
    return body;
}

QToolButton *MakeCopyArrowButton(const QString &name, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(Qt::RightArrow);
    button->setToolTip(toolTip);
    return button;
}

QLabel *MakeStaticText(int number, TNumberField field, const QString &text, QWidget *parent)
{
    auto *label = MakeLabel(QStringLiteral("StaticText%1").arg(number), text, parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FitLabelTo(label, field);
    return label;
}

QGroupBox *MakeValueGroup(const QString &caption, std::span<QLabel *> texts, int firstNumber,
    TNumberField field, const QString &rowPrefix, QWidget *parent)
{
    auto *group = new QGroupBox(caption, parent);
    auto *grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    for (std::size_t n = 0; n < texts.size(); ++n) {
        const int row = static_cast<int>(n);
        texts[n] = MakeStaticText(firstNumber + row, field, QStringLiteral("0"), group);
        grid->addWidget(new QLabel(rowPrefix + QString::number(row + 1), group), row, 0);
        grid->addWidget(texts[n], row, 1);
    }
    return group;
}

QGroupBox *MakeInputLabelsGroup(
    std::span<QLabel *> labels, const std::function<QString(int)> &labelName, QWidget *parent)
{
    auto *group = new QGroupBox(QStringLiteral("Digital inputs"), parent);
    auto *grid = new QGridLayout(group);
    for (std::size_t n = 0; n < labels.size(); ++n) {
        const int input = static_cast<int>(n) + 1;
        labels[n] = MakeLabel(labelName(input), QStringLiteral("DIO%1").arg(input), group);
        labels[n]->setEnabled(false);
        grid->addWidget(labels[n], static_cast<int>(n % 8), static_cast<int>(n / 8));
    }
    return group;
}

QStringList ChannelCaptions(const QString &prefix, int count)
{
    QStringList captions;
    for (int n = 1; n <= count; ++n)
        captions << prefix + QString::number(n);
    return captions;
}

QVBoxLayout *MakePulseOutputColumn(TPulseOutputColumn &column, int countsFirst, int targetsFirst,
    const QString &editTargetsName, QWidget *page)
{
    const QString dio = QStringLiteral("DIO");
    QGroupBox *counts = MakeValueGroup(QStringLiteral("Pulse Output count"), column.CountTexts,
        countsFirst, TNumberField::Word, dio, page);
    QGroupBox *targets = MakeValueGroup(QStringLiteral("Pulse Output Target"), column.TargetTexts,
        targetsFirst, TNumberField::Word, dio, page);
    column.EditTargetsButton = MakeButton(editTargetsName, QStringLiteral("Edit Targets"), page);

    auto *groups = new QHBoxLayout;
    groups->addWidget(counts);
    groups->addWidget(targets);
    auto *layout = new QVBoxLayout;
    layout->addLayout(groups);
    layout->addWidget(column.EditTargetsButton);
    layout->addStretch();
    return layout;
}
