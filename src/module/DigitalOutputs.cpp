#include "DigitalOutputs.h"

#include "Session.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/RadioMatrix.h"
#include "widgets/SafeSlot.h"
#include "widgets/WidgetDigitalOutputs.h"

#include <QCheckBox>
#include <QPushButton>

#include <vector>

namespace {

constexpr int FirstCoil = 1; // coils start at 1

} // namespace

TDigitalOutputs::TDigitalOutputs(
    TSession &session, TDigitalOutputsPanel &panel, AfterFailedRead afterFailure)
    : m_session(session)
    , m_panel(panel)
    , m_afterFailure(afterFailure)
{
    TMessageSink &sink = *session.Messages;
    zul::SafeConnect(panel.EditBox, &QCheckBox::toggled, &panel, sink, [this] { EditClick(); });
    zul::SafeConnect(panel.SendButton, &QPushButton::clicked, &panel, sink, [this] { Send(); });
}

void TDigitalOutputs::Poll()
{
    // While "Edit" is ticked the technician's choice stays until it is sent.
    if (m_panel.EditBox->isChecked())
        return;
    TRadioMatrix &outputs = *m_panel.Outputs;
    const int count = outputs.RowCount();
    std::vector<bool> bits(count, false);
    if (!m_session.Modbus.ReadCoilBits(FirstCoil, count, bits)
        || static_cast<int>(bits.size()) < count) {
        if (m_afterFailure == AfterFailedRead::KeepShown)
            return;
        bits.assign(count, false);
    }
    for (int n = 0; n < count; ++n)
        outputs.SetColumn(n, bits[n] ? TDigitalOutputsPanel::ON : TDigitalOutputsPanel::OFF);
}

void TDigitalOutputs::EditClick()
{
    EnableGroup(&m_panel, *m_panel.Outputs, m_panel.EditBox->isChecked());
}

void TDigitalOutputs::Send()
{
    const TRadioMatrix &outputs = *m_panel.Outputs;
    std::vector<bool> bits(outputs.RowCount());
    for (int n = 0; n < outputs.RowCount(); ++n)
        bits[n] = outputs.Column(n) == TDigitalOutputsPanel::ON;
    m_session.Modbus.WriteCoilBits(FirstCoil, outputs.RowCount(), bits);
}
