#include "WidgetAnalogResultsPage.h"

#include "widgets/FieldWidths.h"
#include "widgets/ResultsTargetLabel.h"
#include "widgets/WidgetBuilders.h"

#include <QDate>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TAnalogResultsPage::TAnalogResultsPage(const TAnalogResultsPageNames &names, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QString::fromLatin1(names.PageName));

    ResultGrid = new TPassFailGrid(names.Columns, this);
    ResultGrid->setObjectName(QString::fromLatin1(names.GridGroupName));
    buildTestsGrid(names);
    DateBox = new QDateEdit(QDate::currentDate(), this);
    DateBox->setObjectName(QString::fromLatin1(names.DateBoxName));
    DateBox->setCalendarPopup(true);
    SaveButton =
        MakeButton(QString::fromLatin1(names.SaveButtonName), QStringLiteral("Save"), this);
    TestButton =
        MakeButton(QString::fromLatin1(names.TestButtonName), QStringLiteral("Test Analogs"), this);
    ResultsTargetLabel = new TResultsTargetLabel(this);

    auto *top = new QHBoxLayout;
    top->addWidget(ResultGrid);
    auto *side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Date"), this));
    side->addWidget(DateBox);
    side->addSpacing(16);
    side->addWidget(TestButton);
    side->addSpacing(16);
    side->addWidget(new QLabel(QStringLiteral("Save results to database"), this));
    side->addWidget(SaveButton);
    side->addWidget(ResultsTargetLabel);
    side->addStretch();
    top->addLayout(side);
    top->addStretch(1);

    auto *layout = new QVBoxLayout(ScrollingBody(this));
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("Analog test results"), this));
    layout->addWidget(ResultsGrid);
    layout->addStretch();
}

void TAnalogResultsPage::buildTestsGrid(const TAnalogResultsPageNames &names)
{
    ResultsGrid = new QTableWidget(GridRows, GridColumns, this);
    ResultsGrid->setObjectName(QString::fromLatin1(names.ResultsGridName));
    ResultsGrid->horizontalHeader()->hide();
    ResultsGrid->verticalHeader()->hide();
    // Wide enough for what a test files (a mark, a stimulus, eight values, a verdict), and wider
    // where a caption or a typed text needs it.
    QStringList widest = WidestTexts(TNumberField::Word, ResultsGrid->fontMetrics());
    widest << QStringLiteral("PASS") << QStringLiteral("FAIL") << QStringLiteral("V-SE")
           << QStringLiteral("I-SE") << QStringLiteral("-32768") << QStringLiteral("-10.000");
    GrowColumnsWithTheirTexts(ResultsGrid, CellWidthFor(ResultsGrid, widest));
    ResultsGrid->horizontalHeader()->setMinimumSectionSize(20);
    ResultsGrid->verticalHeader()->setDefaultSectionSize(RowHeightFor(ResultsGrid));
    // Tests may be dragged into another order; column 0 holds the row captions.
    ResultsGrid->horizontalHeader()->setSectionsMovable(true);
    ResultsGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int row = 0; row < GridRows; ++row) {
        auto *caption = new QTableWidgetItem;
        caption->setFlags(Qt::ItemIsEnabled);
        caption->setBackground(palette().button());
        ResultsGrid->setItem(row, 0, caption);
    }
    // The whole grid in sight: the page scrolls when the window is smaller.
    ResultsGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ResultsGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ResultsGrid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    ResultsGrid->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}
