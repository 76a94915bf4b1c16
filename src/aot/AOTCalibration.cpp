#include "AOTCalibration.h"

#include "AOTCore.h"
#include "analog/WidgetCalibrationPage.h"
#include "module/Session.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/FieldWidths.h"
#include "widgets/SafeSlot.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <array>
#include <span>

namespace {

const TCalibrationInfo Info { zul::aot::LiveRaw, "Error writing offset to ZUL",
    "Error saving calibration data to ZUL", false, zul::aot::calibrationDefaults };

} // namespace

TAOTCalibration::TAOTCalibration(TSession &session, TZULGeneral &general, TCalibrationPage &page)
    : m_session(session)
    , m_common(session, general, page, Info)
{
    auto *drive = new QGroupBox(QStringLiteral("Analog output"), &page);
    auto *grid = new QGridLayout(drive);
    Edit101 = new QLineEdit(drive);
    Edit101->setObjectName(QStringLiteral("Edit101"));
    FitLineEditTo(Edit101, TNumberField::Word);
    AOTCalLowButton = new QRadioButton(QStringLiteral("Low"), drive);
    AOTCalLowButton->setObjectName(QStringLiteral("AOTCalLowButton"));
    AOTCalHighButton = new QRadioButton(QStringLiteral("High"), drive);
    AOTCalHighButton->setObjectName(QStringLiteral("AOTCalHighButton"));
    auto *lowHigh = new QButtonGroup(drive);
    lowHigh->addButton(AOTCalLowButton);
    lowHigh->addButton(AOTCalHighButton);
    grid->addWidget(new QLabel(QStringLiteral("All AOT"), drive), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Scaled"), drive), 0, 1);
    grid->addWidget(Edit101, 1, 1);
    grid->addWidget(AOTCalLowButton, 1, 2);
    grid->addWidget(AOTCalHighButton, 1, 3);
    grid->setColumnStretch(4, 1);
    page.AddBelowGrid(drive);

    TMessageSink &sink = *session.Messages;
    page.SetShowHandler(sink, [this] { AOTCalRefreshFormat(); });
    for (QRadioButton *button : { AOTCalLowButton, AOTCalHighButton })
        zul::SafeConnect(
            button, &QRadioButton::clicked, &page, sink, [this] { AOTCalSetLowHigh(); });
}

void TAOTCalibration::AOTCalLiveTick()
{
    m_common.LiveRaw();
    std::array<std::int32_t, 1> value {};
    ReadLongEdits(std::array<QLineEdit *, 1> { Edit101 }, std::span<std::int32_t>(value));
    // One value for every output; the answer shows in the live raw values of the next tick.
    const auto word = static_cast<std::uint16_t>(value[0]);
    m_session.Modbus.WriteHoldingRegisters(
        zul::aot::Outputs, zul::aot::ChannelCount, TWordArrayDynamic(zul::aot::ChannelCount, word));
}

void TAOTCalibration::AOTCalRefreshFormat()
{
    m_common.RefreshFormat();
    const std::array<QLineEdit *, 1> edits { Edit101 };
    std::array<std::int32_t, 1> value {};
    ReadLongEdits(edits, std::span<std::int32_t>(value));
    ShowLongs(edits, std::span<const std::int32_t>(value), m_session.HexDisplay);
}

void TAOTCalibration::AOTCalSetLowHigh()
{
    const std::uint16_t value =
        AOTCalLowButton->isChecked() ? zul::aot::OutputLow : zul::aot::OutputHigh;
    Edit101->setText(QString::fromStdString(zul::formatWord(value, m_session.HexDisplay)));
}
