#include "WidgetCalibrationPage.h"

#include "core/Registers.h"
#include "widgets/WidgetBuilders.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int Channels = zul::reg::AnalogChannelCount;

QString kindName(const char *kind, const char *suffix)
{
    return QString::fromLatin1(kind) + QString::fromLatin1(suffix);
}

QLineEdit *makeEdit(int number, const QString &text, QWidget *parent)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QStringLiteral("Edit%1").arg(number));
    // Raw values are shown as the calibration registers hold them, up to 32 bits.
    FitLineEditTo(edit, TNumberField::Long);
    return edit;
}

QToolButton *makeCopyButton(int number, QWidget *parent)
{
    return MakeCopyArrowButton(QStringLiteral("BitBtn%1").arg(number),
        QStringLiteral("Copy the live raw value into the grid"), parent);
}

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    return label;
}

} // namespace

TCalibrationPage::TCalibrationPage(const TCalibrationPageNames &names, QWidget *parent)
    : TSheet(parent)
    , m_kind(names.Kind)
{
    setObjectName(QString::fromLatin1(names.PageName));
    const QStringList channels = ChannelCaptions(QString::fromLatin1(names.Kind), Channels);
    QGroupBox *gridBox = buildCalculationGrid(names, channels);
    ClearGridButton =
        MakeButton(kindName(names.Kind, "CalClearGridButton"), QStringLiteral("Clear grid"), this);
    QGroupBox *calibrationBox = buildCalibrationBox(names, channels);

    m_belowGrid = new QVBoxLayout;
    auto *gridColumn = new QVBoxLayout;
    gridColumn->addWidget(gridBox);
    auto *clearRow = new QHBoxLayout;
    clearRow->addWidget(ClearGridButton);
    clearRow->addStretch();
    gridColumn->addLayout(clearRow);
    gridColumn->addLayout(m_belowGrid);
    gridColumn->addStretch();
    auto *layout = new QHBoxLayout(ScrollingBody(this));
    layout->addLayout(gridColumn);
    layout->addWidget(calibrationBox, 0, Qt::AlignTop);
    layout->addStretch();
}

QGroupBox *TCalibrationPage::buildCalculationGrid(
    const TCalibrationPageNames &names, const QStringList &channels)
{
    const QString zero = QStringLiteral("0");
    auto *gridBox = new QGroupBox(QStringLiteral("Calculation Grid"), this);
    auto *grid = new QGridLayout(gridBox);
    grid->setVerticalSpacing(1);
    const QString copyTo = QStringLiteral("Copy to\ngrid");
    int column = 1;
    for (const QString &caption : { QStringLiteral("Live raw"), QStringLiteral("Raw Low"), copyTo,
             QStringLiteral("Reading low\n(dec)"), QStringLiteral("Raw High"), copyTo,
             QStringLiteral("Reading high\n(dec)") })
        grid->addWidget(heading(caption, gridBox), 0, column++);
    for (int n = 0; n < Channels; ++n) {
        const int row = n + 1;
        grid->addWidget(new QLabel(channels[n], gridBox), row, 0);
        LiveRawTexts[n] =
            MakeStaticText(names.LiveRawTexts[n], TNumberField::SignedWord, zero, gridBox);
        RawLowEdits[n] = makeEdit(names.RawLowEdits + n, zero, gridBox);
        LowCopyButtons[n] = makeCopyButton(names.LowCopyButtons + n, gridBox);
        ReadingLowEdits[n] = makeEdit(names.ReadingLowEdits + n, zero, gridBox);
        RawHighEdits[n] = makeEdit(names.RawHighEdits + n, zero, gridBox);
        HighCopyButtons[n] = makeCopyButton(names.HighCopyButtons + n, gridBox);
        ReadingHighEdits[n] = makeEdit(names.ReadingHighEdits + n, zero, gridBox);
        int c = 1;
        for (QWidget *cell :
            std::initializer_list<QWidget *> { LiveRawTexts[n], RawLowEdits[n], LowCopyButtons[n],
                ReadingLowEdits[n], RawHighEdits[n], HighCopyButtons[n], ReadingHighEdits[n] })
            grid->addWidget(cell, row, c++);
    }
    return gridBox;
}

QGroupBox *TCalibrationPage::buildCalibrationBox(
    const TCalibrationPageNames &names, const QStringList &channels)
{
    auto *calibrationBox = new QGroupBox(QStringLiteral("Calibration"), this);
    auto *values = new QGridLayout;
    values->setVerticalSpacing(1);
    values->addWidget(heading(QStringLiteral("SPAN"), calibrationBox), 0, 1);
    values->addWidget(heading(QStringLiteral("OFFSET"), calibrationBox), 0, 2);
    for (int n = 0; n < Channels; ++n) {
        values->addWidget(new QLabel(channels[n], calibrationBox), n + 1, 0);
        SpanEdits[n] = makeEdit(names.SpanEdits + n, QString(), calibrationBox);
        OffsetEdits[n] = makeEdit(names.OffsetEdits + n, QString(), calibrationBox);
        values->addWidget(SpanEdits[n], n + 1, 1);
        values->addWidget(OffsetEdits[n], n + 1, 2);
    }
    CalcButton = MakeButton(kindName(names.Kind, "CalCalcButton"),
        QStringLiteral("Calculate from grid"), calibrationBox);
    SaveButton = MakeButton(
        kindName(names.Kind, "CalSaveButton"), QStringLiteral("Save to module"), calibrationBox);
    ReadButton = MakeButton(kindName(names.Kind, "CalReadZULButton"),
        QStringLiteral("Read from module"), calibrationBox);
    DefaultsButton = MakeButton(
        kindName(names.Kind, "CalDefButton"), QStringLiteral("Default values"), calibrationBox);
    m_calibrationButtons = new QVBoxLayout;
    for (QPushButton *button : { CalcButton, SaveButton, ReadButton, DefaultsButton })
        m_calibrationButtons->addWidget(button);
    auto *boxLayout = new QVBoxLayout(calibrationBox);
    boxLayout->addLayout(values);
    boxLayout->addLayout(m_calibrationButtons);
    boxLayout->addStretch();
    return calibrationBox;
}

void TCalibrationPage::AddToCalibrationBox(QWidget *control)
{
    m_calibrationButtons->addWidget(control);
}

void TCalibrationPage::AddBelowGrid(QWidget *control)
{
    m_belowGrid->addWidget(control);
}
