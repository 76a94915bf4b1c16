#include "WidgetDipSwitches.h"

#include <QColor>
#include <QPainter>
#include <QStringList>

namespace {

constexpr int SwitchWidth = 14;
constexpr int SwitchHeight = 30;
constexpr int GroupGap = 8;
constexpr int Margin = 4;
constexpr int LabelHeight = 14;
constexpr int BankHeight = SwitchHeight + LabelHeight + 2 * Margin;

// The switch is drawn as the part looks, whatever the window's palette: a light body with a dark
// lever, which sits at the top when the switch is ON. Drawn in palette colours, a dark theme
// showed light levers in dark slots, and every OFF switch read as ON.
const QColor BankColour(0xC8, 0x3C, 0x3C);
const QColor SlotColour(0xF2, 0xF2, 0xF2);
const QColor LeverColour(0x30, 0x30, 0x30);
const QColor EdgeColour(0x50, 0x50, 0x50);

} // namespace

TDipSwitchPicture::TDipSwitchPicture(std::vector<std::uint16_t> words, QWidget *parent)
    : QWidget(parent)
    , m_words(std::move(words))
{
    setObjectName(QStringLiteral("DipSwitchPicture"));
    setToolTip(Description());
    setAccessibleDescription(Description());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool TDipSwitchPicture::isOn(int switchIndex) const
{
    const std::uint16_t word = m_words[static_cast<std::size_t>(switchIndex / SwitchesPerWord)];
    return (word >> (switchIndex % SwitchesPerWord)) & 1;
}

QString TDipSwitchPicture::Description() const
{
    QStringList groups;
    const int count = static_cast<int>(m_words.size()) * SwitchesPerWord;
    for (int first = 0; first < count; first += GroupSize) {
        QStringList positions;
        for (int n = first; n < first + GroupSize; ++n)
            positions << (isOn(n) ? QStringLiteral("ON") : QStringLiteral("OFF"));
        groups << QStringLiteral("%1-%2: %3")
                      .arg(first + 1)
                      .arg(first + GroupSize)
                      .arg(positions.join(QLatin1Char(' ')));
    }
    return groups.join(QStringLiteral(", "));
}

QSize TDipSwitchPicture::sizeHint() const
{
    constexpr int groups = SwitchesPerWord / GroupSize;
    const int width = 2 * Margin + SwitchesPerWord * SwitchWidth + (groups - 1) * GroupGap;
    return { width, static_cast<int>(m_words.size()) * BankHeight };
}

void TDipSwitchPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &colours = palette();
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    for (std::size_t bank = 0; bank < m_words.size(); ++bank) {
        const int top = static_cast<int>(bank) * BankHeight + Margin;
        painter.setPen(EdgeColour);
        painter.setBrush(BankColour);
        painter.drawRect(
            QRect(Margin - 2, top - 2, sizeHint().width() - 2 * Margin + 4, SwitchHeight + 4));
        for (int n = 0; n < SwitchesPerWord; ++n) {
            const int index = static_cast<int>(bank) * SwitchesPerWord + n;
            const int left = Margin + n * SwitchWidth + (n / GroupSize) * GroupGap;
            const QRect slot(left + 2, top, SwitchWidth - 4, SwitchHeight);
            painter.setPen(EdgeColour);
            painter.setBrush(SlotColour);
            painter.drawRect(slot);
            const int leverTop = isOn(index) ? slot.top() : slot.center().y();
            painter.setBrush(LeverColour);
            painter.drawRect(QRect(slot.left(), leverTop, slot.width(), slot.height() / 2));
            painter.setPen(colours.color(QPalette::WindowText));
            painter.drawText(QRect(left, top + SwitchHeight + 2, SwitchWidth, LabelHeight),
                Qt::AlignHCenter | Qt::AlignTop, QString::number(index + 1));
        }
    }
}
