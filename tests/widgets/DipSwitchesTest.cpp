// The DIP switch drawing reads the same in a light and a dark window: an ON switch shows its dark
// lever at the top of the slot, an OFF switch the light slot.
#include "widgets/WidgetDipSwitches.h"

#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

// Switch n (0-based) of the first bank, sampled in the upper half of its slot.
QColor upperHalfOf(const QImage &image, int n)
{
    constexpr int margin = 4, switchWidth = 14, groupGap = 8, groupSize = 3;
    const int left = margin + n * switchWidth + (n / groupSize) * groupGap + 2;
    return image.pixelColor(left + (switchWidth - 4) / 2, margin + 7);
}

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Base, QColor(0x18, 0x18, 0x18));
    dark.setColor(QPalette::Mid, QColor(0x40, 0x40, 0x40));
    return dark;
}

} // namespace

TEST(DipSwitchPicture, OnAndOffReadTheSameUnderALightAndADarkPalette)
{
    TDipSwitchPicture picture({ 0x0001 }); // switch 1 ON, switch 2 OFF
    QColor onColour[2], offColour[2];
    const QPalette palettes[2] = { QPalette(Qt::white), darkPalette() };
    for (int p = 0; p < 2; ++p) {
        picture.setPalette(palettes[p]);
        picture.resize(picture.sizeHint());
        QImage image(picture.sizeHint(), QImage::Format_ARGB32);
        image.fill(palettes[p].color(QPalette::Window));
        picture.render(&image);
        onColour[p] = upperHalfOf(image, 0);
        offColour[p] = upperHalfOf(image, 1);
        // The lever is dark, the empty slot light, clearly apart.
        EXPECT_LT(onColour[p].lightness() + 100, offColour[p].lightness()) << "palette " << p;
    }
    EXPECT_EQ(onColour[0], onColour[1]);
    EXPECT_EQ(offColour[0], offColour[1]);
}
