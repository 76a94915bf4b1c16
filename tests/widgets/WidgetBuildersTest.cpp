// The page builders that several kinds share: channel captions and the pulsed-output column of
// the check pages, whose controls the units and the targets dialog find by number.
#include "widgets/WidgetBuilders.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

TEST(WidgetBuilders, ChannelCaptionsCountFromOne)
{
    EXPECT_EQ(ChannelCaptions(QStringLiteral("AOT"), 3), (QStringList { "AOT1", "AOT2", "AOT3" }));
    EXPECT_TRUE(ChannelCaptions(QStringLiteral("AIN"), 0).isEmpty());
}

TEST(WidgetBuilders, PulseOutputColumnNumbersCountsAndTargetsInOutputOrder)
{
    QWidget page;
    TPulseOutputColumn column;
    QVBoxLayout *layout =
        MakePulseOutputColumn(column, 65, 73, QStringLiteral("AINCheckEditButton"), &page);
    page.setLayout(layout);

    for (int n = 0; n < 8; ++n) {
        const auto index = static_cast<std::size_t>(n);
        EXPECT_EQ(
            column.CountTexts[index]->objectName(), QStringLiteral("StaticText%1").arg(65 + n));
        EXPECT_EQ(
            column.TargetTexts[index]->objectName(), QStringLiteral("StaticText%1").arg(73 + n));
        EXPECT_EQ(column.CountTexts[index]->text(), "0");
        EXPECT_EQ(page.findChild<QLabel *>(QStringLiteral("StaticText%1").arg(73 + n)),
            column.TargetTexts[index]);
    }
    auto *counts = qobject_cast<QGroupBox *>(column.CountTexts[0]->parentWidget());
    auto *targets = qobject_cast<QGroupBox *>(column.TargetTexts[0]->parentWidget());
    ASSERT_NE(counts, nullptr);
    ASSERT_NE(targets, nullptr);
    EXPECT_EQ(counts->title(), "Pulse Output count");
    EXPECT_EQ(targets->title(), "Pulse Output Target");
    // The rows are the pulsed outputs' points, DIO1 to DIO8.
    QStringList rows;
    for (const QLabel *label : counts->findChildren<QLabel *>())
        if (label->objectName().isEmpty())
            rows << label->text();
    EXPECT_EQ(rows, ChannelCaptions(QStringLiteral("DIO"), 8));

    ASSERT_NE(column.EditTargetsButton, nullptr);
    EXPECT_EQ(column.EditTargetsButton->objectName(), "AINCheckEditButton");
    EXPECT_EQ(column.EditTargetsButton->text(), "Edit Targets");
    EXPECT_EQ(column.EditTargetsButton->parentWidget(), &page);
}
