#include "TestAOTsUnit.h"

#include "AOTCore.h"
#include "core/AnalogTestArithmetic.h"
#include "core/ModuleCodes.h"
#include "module/Session.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const TTestDialogNames Names { "AOT", zul::KindAOT, "Analog Output module", "Measured results",
    "5%", "$4000, $8000, $C000" };

} // namespace

TTestAOTsForm::TTestAOTsForm(
    TSession &session, QTimer &pollTimer, TAnalogResults &results, QWidget *owner)
    : TTestAnalogsDialog(Names, session, pollTimer, results, owner)
{
    setObjectName(QStringLiteral("TestAOTsForm"));
}

void TTestAOTsForm::showHardware(std::uint16_t hardwareCode)
{
    // Only the kind: every output configuration is single-ended.
    m_hardwareName = QString::fromStdString(zul::HardwareText(hardwareCode).first);
    HWLabel->setText(m_hardwareName);
}

void TTestAOTsForm::liveTick()
{
    const auto stimulus = zul::outputStimulus(TestStimEdit->text().toStdString());
    if (!stimulus)
        return;
    const TWordArrayDynamic words(zul::aot::ChannelCount, static_cast<std::uint16_t>(*stimulus));
    Session().Modbus.WriteHoldingRegisters(zul::aot::Outputs, zul::aot::ChannelCount, words);
    publishLive(words, true);
}

QString TTestAOTsForm::expectedText(int channel) const
{
    return QString::fromStdString(zul::outputExpectedText(
        zul::outputTestRange(ScaleCode(channel)), TestStimEdit->text().toStdString()));
}

std::optional<zul::Band> TTestAOTsForm::band(int channel) const
{
    return zul::outputBand(zul::outputTestRange(ScaleCode(channel)), TolEdit->text().toStdString(),
        expectedText(channel).toStdString());
}

bool TTestAOTsForm::passes(int channel) const
{
    return zul::outputPasses(zul::outputTestRange(ScaleCode(channel)),
        TolEdit->text().toStdString(), expectedText(channel).toStdString(),
        RecordText(channel).toStdString());
}

QString TTestAOTsForm::typeMark() const
{
    if (m_hardwareName == QStringLiteral("Voltage"))
        return QStringLiteral("V");
    if (m_hardwareName == QStringLiteral("Current"))
        return QStringLiteral("I");
    // A blank mark would leave the column free for the next test to overwrite; "?" keeps it
    // taken and is no test kind at save time.
    return QStringLiteral("?");
}
