#include "WidgetDigitalOutputs.h"

#include "RadioMatrix.h"
#include "WidgetBuilders.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

TDigitalOutputsPanel::TDigitalOutputsPanel(const TDigitalOutputsNames &names, QWidget *page)
    : QGroupBox(QStringLiteral("Digital outputs"), page)
{
    TRadioMatrixLayout layout;
    layout.ColumnCaptions = QStringList { QStringLiteral("ON"), QStringLiteral("OFF") };
    for (int n = 1; n <= names.Count; ++n)
        layout.RowCaptions << QStringLiteral("DIO%1").arg(n);
    layout.ButtonName = names.RadioName;
    Outputs = new TRadioMatrix(layout, this);
    SendButton = MakeButton(names.SendName, QStringLiteral("Send"), this);

    // Shown, not editable, until "Edit" is ticked; the group and its captions stay enabled.
    Outputs->SetEveryRow(OFF);
    Outputs->SetButtonsEnabled(false);
    SendButton->setEnabled(false);

    EditBox = new QCheckBox(QStringLiteral("Edit"), page);
    EditBox->setObjectName(names.EditName);

    auto *column = new QVBoxLayout(this);
    column->addWidget(Outputs);
    column->addWidget(SendButton);
}
