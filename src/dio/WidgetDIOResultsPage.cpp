#include "WidgetDIOResultsPage.h"

#include "widgets/ResultsTargetLabel.h"
#include "widgets/WidgetBuilders.h"
#include "widgets/WidgetPassFailGrid.h"

#include <QDate>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr TPassFailColumn Columns[TDIOResultsPage::ColumnCount] = {
    { "Digital inputs", 16, "DINResult", 1, 1, 100 },
    { "Digital outputs", 16, "DOUTResult", 1, 1, 99 },
    { "Pulsed outputs", 8, "POUTResult", 1, 1, 90 },
    { "Pulsed out counts", 8, "POUTCntResult", 1, 1, 81 },
    { "Pulse input count", 4, "PINCntResult", 1, 1, 109 },
    { "Pulse Input Rate", 4, "PINRateResult", 1, 1, 110 },
};

} // namespace

TDIOResultsPage::TDIOResultsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DIOResultsSheet"));

    DIOResultGrid = new TPassFailGrid(Columns, this);
    DIOResultsDateBox = new QDateEdit(QDate::currentDate(), this);
    DIOResultsDateBox->setObjectName(QStringLiteral("DIOResultsDateBox"));
    DIOResultsDateBox->setCalendarPopup(true);
    Button1 = MakeButton(QStringLiteral("Button1"), QStringLiteral("Save"), this);
    ResultsTargetLabel = new TResultsTargetLabel(this);

    auto *saveRow = new QHBoxLayout;
    saveRow->addWidget(new QLabel(QStringLiteral("Date"), this));
    saveRow->addWidget(DIOResultsDateBox);
    saveRow->addSpacing(24);
    saveRow->addWidget(new QLabel(QStringLiteral("Save results to database"), this));
    saveRow->addWidget(Button1);
    saveRow->addStretch();

    auto *layout = new QVBoxLayout(ScrollingBody(this));
    layout->addWidget(DIOResultGrid);
    layout->addLayout(saveRow);
    layout->addWidget(ResultsTargetLabel);
    layout->addStretch();
}
