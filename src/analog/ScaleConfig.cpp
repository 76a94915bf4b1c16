#include "ScaleConfig.h"

#include "WidgetScaleConfigPage.h"
#include "core/ModuleCodes.h"
#include "core/Registers.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/BusyCursor.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/RadioMatrix.h"
#include "widgets/SafeSlot.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int Channels = zul::reg::AnalogChannelCount;

} // namespace

TScaleConfigUnit::TScaleConfigUnit(TSession &session, TZULGeneral &general,
    std::vector<TScaleConfigPage *> pages, std::function<void()> clearCalibrationGrid)
    : m_session(session)
    , m_general(general)
    , m_pages(std::move(pages))
    , m_clearCalibrationGrid(std::move(clearCalibrationGrid))
{
    TMessageSink &sink = *session.Messages;
    for (TScaleConfigPage *page : m_pages) {
        zul::SafeConnect(page->DipTickBox, &QCheckBox::toggled, page, sink,
            [this, page] { DipTickUpdate(*page); });
        zul::SafeConnect(page->CfgSaveButton, &QPushButton::clicked, page, sink,
            [this, page] { ConfigSave(*page); });
        zul::SafeConnect(page->ReadButton, &QPushButton::clicked, page, sink,
            [this, page] { ScalesRead(*page); });
        zul::SafeConnect(page->ScaleSaveButton, &QPushButton::clicked, page, sink,
            [this, page] { ScalesSave(*page); });
    }
}

void TScaleConfigUnit::DipTickExclusive(QCheckBox *keep)
{
    // A programmatic untick runs the box's handler like a click, so its page is disabled too.
    for (TScaleConfigPage *page : m_pages)
        if (page->DipTickBox != keep)
            page->DipTickBox->setChecked(false);
}

void TScaleConfigUnit::DipTickUpdate(TScaleConfigPage &page)
{
    const bool ticked = page.DipTickBox->isChecked();
    EnableGroup(page.ScaleBox, *page.RangeMatrix, ticked);
    if (page.SourceSinkMatrix)
        page.SourceSinkMatrix->SetButtonsEnabled(ticked);
    page.ScaleSaveButton->setEnabled(ticked);
    page.ReadButton->setEnabled(ticked);
    if (!page.Info().ConfigSaveAlwaysEnabled)
        page.CfgSaveButton->setEnabled(ticked);
    if (ticked)
        DipTickExclusive(page.DipTickBox);
}

void TScaleConfigUnit::ConfigSave(TScaleConfigPage &page)
{
    const TScaleConfigPageInfo &info = page.Info();
    std::array<std::uint16_t, Channels> hardware {};
    hardware.fill(info.HardwareCode);
    if (!m_general.SaveHardwareConfiguration(info.SwitchWords, hardware))
        return;
    if (m_clearCalibrationGrid)
        m_clearCalibrationGrid();
    m_general.ShowModuleStatus();
}

void TScaleConfigUnit::ScalesRead(TScaleConfigPage &page)
{
    TBusyCursor busy;
    if (!m_general.CheckModule(true))
        return;
    zul::ChannelWords codes {};
    const bool read = m_general.ReadScales(&codes);
    if (!read || !zul::scalePageShows(page.Info().Kind, codes[0]))
        codes.fill(zul::ScaleNotSet);
    showScales(page, codes);
    page.RangeMatrix->ClearAllRow();
    if (page.SourceSinkMatrix)
        page.SourceSinkMatrix->ClearAllRow();
}

void TScaleConfigUnit::showScales(
    TScaleConfigPage &page, const std::array<std::uint16_t, Channels> &codes)
{
    // A differential row is the pair's first channel.
    std::array<std::uint16_t, Channels> rows {};
    const std::size_t step = page.Info().Pairs ? 2 : 1;
    for (std::size_t row = 0; row < static_cast<std::size_t>(page.RowCount()); ++row)
        rows[row] = codes[row * step];
    SetRangeButtons(*page.RangeMatrix, rows, page.RowCount());
    if (page.SourceSinkMatrix)
        SetSourceSinkButtons(*page.SourceSinkMatrix, rows, page.RowCount());
}

std::array<std::uint16_t, 8> TScaleConfigUnit::EncodeScales(TScaleConfigPage &page) const
{
    const TScaleConfigPageInfo &info = page.Info();
    std::array<std::uint16_t, Channels> codes {};
    for (int channel = 0; channel < Channels; ++channel) {
        const int row = info.Pairs ? channel / 2 : channel;
        const int range = page.RangeMatrix->Column(row);
        if (!page.SourceSinkMatrix) {
            codes[static_cast<std::size_t>(channel)] = zul::rangeCode(info.KindBase, range);
            continue;
        }
        // Neither source nor sink chosen: the output is a source, and the page says so.
        if (page.SourceSinkMatrix->Column(row) < 0)
            page.SourceSinkMatrix->SetColumn(row, 0);
        codes[static_cast<std::size_t>(channel)] =
            zul::outputCurrentCode(range, page.SourceSinkMatrix->Column(row));
    }
    return codes;
}

void TScaleConfigUnit::ScalesSave(TScaleConfigPage &page)
{
    const std::array<std::uint16_t, Channels> codes = EncodeScales(page);
    if (m_general.SaveScales(codes))
        m_general.FillModuleStatus();
}

void TScaleConfigUnit::ShowConfiguration(const zul::ModuleState &module)
{
    for (TScaleConfigPage *page : m_pages)
        if (module.commonHardware() != 0 && page->Info().HardwareCode == module.commonHardware()) {
            showScales(*page, module.scaleCodes());
            return;
        }
}
