#include "WidgetScaleConfigPage.h"

#include "widgets/RadioMatrix.h"
#include "widgets/WidgetBuilders.h"
#include "widgets/WidgetDipSwitches.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString name(const char *prefix, const char *suffix)
{
    return QString::fromLatin1(prefix) + QString::fromLatin1(suffix);
}

TRadioMatrix *makeMatrix(const TMatrixNames &names, const QStringList &rows, QWidget *parent)
{
    TRadioMatrixLayout layout;
    layout.ColumnCaptions = names.Columns;
    layout.RowCaptions = rows;
    layout.ButtonName = RadioButtonNames(names.Rows);
    layout.AllButtonName = [&names](int column) {
        return QStringLiteral("RadioButton%1").arg(names.All[column]);
    };
    auto *matrix = new TRadioMatrix(layout, parent);
    matrix->setObjectName(QString::fromLatin1(names.Name));
    return matrix;
}

} // namespace

TScaleConfigPage::TScaleConfigPage(const TScaleConfigPageInfo &info, QWidget *parent)
    : TSheet(parent)
    , m_info(info)
{
    setObjectName(QString::fromLatin1(info.PageName));
    QGroupBox *dipGroup = buildDipGroup();
    QVBoxLayout *scaleColumn = buildScaleColumn();

    // Nothing on the scale side can be used before the switches are confirmed.
    for (QWidget *control : { static_cast<QWidget *>(ScaleBox), static_cast<QWidget *>(ReadButton),
             static_cast<QWidget *>(ScaleSaveButton) })
        control->setEnabled(false);
    RangeMatrix->SetButtonsEnabled(false);
    if (SourceSinkMatrix)
        SourceSinkMatrix->SetButtonsEnabled(false);

    auto *layout = new QHBoxLayout(ScrollingBody(this));
    layout->addWidget(dipGroup);
    layout->addLayout(scaleColumn);
    layout->addStretch();
}

QGroupBox *TScaleConfigPage::buildDipGroup()
{
    auto *dipGroup = new QGroupBox(QStringLiteral("DIP switches"), this);
    dipGroup->setObjectName(QString::fromLatin1(m_info.DipGroupName));
    auto *picture = new TDipSwitchPicture(m_info.SwitchWords, dipGroup);
    auto *positions = new QLabel(picture->Description(), dipGroup);
    positions->setObjectName(QStringLiteral("DipSwitchPositions"));
    positions->setWordWrap(true);
    DipTickBox = new QCheckBox(QStringLiteral("DIP switches set?"), dipGroup);
    DipTickBox->setObjectName(name(m_info.Prefix, "DipTickBox"));
    CfgSaveButton = MakeButton(
        name(m_info.Prefix, "CfgSaveButton"), QStringLiteral("Save configuration"), dipGroup);
    CfgSaveButton->setEnabled(m_info.ConfigSaveAlwaysEnabled);
    auto *dipLayout = new QVBoxLayout(dipGroup);
    dipLayout->addWidget(
        new QLabel(QStringLiteral("Set the switches as shown (ON = up):"), dipGroup));
    dipLayout->addWidget(picture);
    dipLayout->addWidget(positions);
    dipLayout->addWidget(DipTickBox);
    dipLayout->addWidget(CfgSaveButton);
    dipLayout->addStretch();
    return dipGroup;
}

QVBoxLayout *TScaleConfigPage::buildScaleColumn()
{
    ScaleBox = new QGroupBox(QStringLiteral("Scale"), this);
    ScaleBox->setObjectName(QString::fromLatin1(m_info.ScaleBoxName));
    auto *matrices = new QHBoxLayout(ScaleBox);
    RangeMatrix = makeMatrix(m_info.Range, m_info.RowCaptions, ScaleBox);
    matrices->addWidget(RangeMatrix);
    if (m_info.SourceSink) {
        // The rows line up with the range matrix, so their captions would only repeat.
        const QStringList blank(m_info.RowCaptions.size(), QString());
        SourceSinkMatrix = makeMatrix(*m_info.SourceSink, blank, ScaleBox);
        SourceSinkMatrix->SetEveryRow(0); // "Source" until the module says otherwise
        matrices->addSpacing(16);
        matrices->addWidget(SourceSinkMatrix);
    }
    ReadButton =
        MakeButton(name(m_info.Prefix, "_ReadZULButton"), QStringLiteral("Read from module"), this);
    ScaleSaveButton = MakeButton(
        name(m_info.Prefix, "ScaleSaveButton"), QStringLiteral("Save scales to module"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ReadButton);
    buttons->addWidget(ScaleSaveButton);
    buttons->addStretch();
    auto *column = new QVBoxLayout;
    column->addWidget(ScaleBox);
    column->addLayout(buttons);
    column->addStretch();
    return column;
}

int TScaleConfigPage::RowCount() const
{
    return RangeMatrix->RowCount();
}
