#include "WidgetDIOResultsPage.h"

#include "module/WidgetBuilders.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct ColumnInfo
{
    const char *caption;
    int boxes;
    const char *boxPrefix;
    int allBox; // number of its "ALL" check box
};

constexpr ColumnInfo Columns[TDIOResultsPage::ColumnCount] = {
    { "Digital inputs", 16, "DINResult", 100 },
    { "Digital outputs", 16, "DOUTResult", 99 },
    { "Pulsed outputs", 8, "POUTResult", 90 },
    { "Pulsed out counts", 8, "POUTCntResult", 81 },
    { "Pulse input count", 4, "PINCntResult", 109 },
    { "Pulse Input Rate", 4, "PINRateResult", 110 },
};

constexpr int AllRow = 17; // below the longest column

} // namespace

TDIOResultsPage::TDIOResultsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DIOResultsSheet"));

    auto *group = new QGroupBox(QStringLiteral("PASS / FAIL Grid"), this);
    auto *grid = new QGridLayout(group);
    grid->setVerticalSpacing(0);
    for (int c = 0; c < ColumnCount; ++c) {
        const ColumnInfo &info = Columns[c];
        auto *caption = new QLabel(QString::fromLatin1(info.caption), group);
        caption->setWordWrap(true);
        grid->addWidget(caption, 0, c);
        for (int n = 1; n <= info.boxes; ++n) {
            auto *box = new QCheckBox(QStringLiteral("DIO%1").arg(n), group);
            box->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(info.boxPrefix)).arg(n));
            DIOResultGrid[c].push_back(box);
            grid->addWidget(box, n, c);
        }
        auto *all = new QCheckBox(QStringLiteral("ALL"), group);
        all->setObjectName(QStringLiteral("CheckBox%1").arg(info.allBox));
        DIOResultAllBoxes[c] = all;
        grid->addWidget(all, AllRow, c);
    }

    DIOResultsDateBox = new QDateEdit(QDate::currentDate(), this);
    DIOResultsDateBox->setObjectName(QStringLiteral("DIOResultsDateBox"));
    DIOResultsDateBox->setCalendarPopup(true);
    Button1 = MakeButton(QStringLiteral("Button1"), QStringLiteral("Save"), this);

    auto *saveRow = new QHBoxLayout;
    saveRow->addWidget(new QLabel(QStringLiteral("Date"), this));
    saveRow->addWidget(DIOResultsDateBox);
    saveRow->addSpacing(24);
    saveRow->addWidget(new QLabel(QStringLiteral("Save results to database"), this));
    saveRow->addWidget(Button1);
    saveRow->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(saveRow);
    layout->addStretch();
}
