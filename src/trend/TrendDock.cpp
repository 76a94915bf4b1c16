#include "TrendDock.h"

#include "core/TrendBuffer.h"
#include "widgets/LazyDock.h"
#include "widgets/StripChart.h"
#include "widgets/ToolSettings.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include <array>
#include <cmath>
#include <limits>

namespace {

const QString ShownKey = QStringLiteral("View/TrendShown");
const QString WindowKey = QStringLiteral("View/TrendWindowMs");
// 24 hours at ten ticks a second, the fastest the poll runs.
constexpr std::size_t TrendTicks = 864'000;

struct WindowChoice
{
    const char *text;
    std::int64_t ms;
};
constexpr std::array<WindowChoice, 6> WindowChoices { { { "10 s", 10'000 }, { "1 min", 60'000 },
    { "10 min", 600'000 }, { "1 h", 3'600'000 }, { "6 h", 21'600'000 }, { "24 h", 86'400'000 } } };

} // namespace

TTrendDock::TTrendDock(QMainWindow &window, QMenu &view)
    : QObject(&window)
{
    setObjectName(QStringLiteral("TrendView"));
    m_toggle = view.addAction(QStringLiteral("Trend"));
    m_toggle->setObjectName(QStringLiteral("ActionTrend"));
    m_toggle->setCheckable(true);
    m_toggle->setToolTip(QStringLiteral("The live values of the analog pages over time"));
    m_dock = new TLazyDock(
        window, *m_toggle, { QStringLiteral("Trend"), QStringLiteral("TrendDock"), ShownKey },
        [this](QDockWidget &dock) { return buildBody(dock); }, this);
    m_dock->ShowIfShownBefore();
}

TTrendDock::~TTrendDock() = default;

QDockWidget *TTrendDock::Dock()
{
    return m_dock->Dock();
}

QWidget *TTrendDock::buildBody(QDockWidget &dock)
{
    m_buffer = std::make_unique<zul::TrendBuffer>(TrendTicks);
    auto *body = new QWidget(&dock);
    auto *bar = new QToolBar(body);
    bar->setObjectName(QStringLiteral("TrendToolBar"));
    m_source = new QLabel(
        QStringLiteral("No live values yet: open an analog check or calibration page"), bar);
    m_source->setObjectName(QStringLiteral("TrendSourceLabel"));
    bar->addWidget(m_source);
    bar->addSeparator();
    m_windowBox = new QComboBox(bar);
    m_windowBox->setObjectName(QStringLiteral("TrendWindowBox"));
    m_windowBox->setToolTip(QStringLiteral("How much of the past the trend shows"));
    const qint64 chosen = zul::toolSettings().value(WindowKey, 60'000).toLongLong();
    for (const WindowChoice &choice : WindowChoices) {
        m_windowBox->addItem(QString::fromLatin1(choice.text), QVariant::fromValue(choice.ms));
        if (choice.ms == chosen)
            m_windowBox->setCurrentIndex(m_windowBox->count() - 1);
    }
    bar->addWidget(m_windowBox);
    QAction *pause = bar->addAction(QStringLiteral("Pause"));
    pause->setObjectName(QStringLiteral("TrendPause"));
    pause->setCheckable(true);
    pause->setToolTip(QStringLiteral("Hold the picture still; the values are still kept"));
    QAction *back = bar->addAction(QStringLiteral("Back"));
    back->setObjectName(QStringLiteral("TrendZoomBack"));
    back->setToolTip(QStringLiteral("Undo the zoom: the whole window again, following the newest"));

    m_chart = new TStripChart(*m_buffer, body);
    m_chart->setObjectName(QStringLiteral("TrendChart"));
    m_chart->SetWindowMs(m_windowBox->currentData().toLongLong());
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_chart, 1);

    connect(m_windowBox, &QComboBox::currentIndexChanged, this, [this] {
        const qint64 ms = m_windowBox->currentData().toLongLong();
        m_chart->SetWindowMs(ms);
        zul::toolSettings().setValue(WindowKey, ms);
    });
    connect(pause, &QAction::toggled, this, [this](bool on) { m_chart->SetPaused(on); });
    connect(back, &QAction::triggered, this, [this] { m_chart->ResetZoom(); });
    return body;
}

void TTrendDock::startPage(const zul::LiveSample &sample)
{
    m_buffer->clear();
    m_page = QString::fromStdString(sample.page);
    m_units = QString::fromStdString(zul::UnitsText(sample));
    QStringList names;
    for (int n = 1; n <= zul::LiveChannels; ++n)
        names << QString::fromStdString(sample.channelPrefix) + QString::number(n);
    m_chart->SetChannelNames(names);
    m_chart->SetUnit(m_units);
    m_source->setText(QStringLiteral("%1, %2").arg(m_page, m_units));
}

void TTrendDock::Add(const zul::LiveSample &sample, std::int64_t timeMs)
{
    if (!m_buffer)
        return;
    if (QString::fromStdString(sample.page) != m_page
        || QString::fromStdString(zul::UnitsText(sample)) != m_units)
        startPage(sample);
    std::array<float, zul::TrendBuffer::Channels> values {};
    for (int n = 0; n < zul::TrendBuffer::Channels; ++n)
        values[n] = static_cast<float>(sample.values[n]);
    m_buffer->append(timeMs, values);
    for (int n = 0; n < zul::LiveChannels; ++n) {
        const auto &band = sample.bands[n];
        m_chart->SetBand(n,
            band ? std::optional<std::pair<float, float>>(
                std::pair { static_cast<float>(band->first), static_cast<float>(band->second) })
                 : std::nullopt);
    }
    if (!m_dock->Dock()->isHidden())
        m_chart->Refresh();
}
