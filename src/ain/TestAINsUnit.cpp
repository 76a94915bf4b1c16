#include "TestAINsUnit.h"

#include "AINCore.h"
#include "core/AnalogTestArithmetic.h"
#include "core/ModuleCodes.h"
#include "core/NumberFormat.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/SafeSlot.h"
#include "widgets/WidgetBuilders.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

const TTestDialogNames Names { "AIN", zul::KindAIN, "Analog Input module", "Results record",
    "$0080", "" };

constexpr int Channels = zul::ain::ChannelCount;

} // namespace

TTestAINsForm::TTestAINsForm(
    TSession &session, QTimer &pollTimer, TAnalogResults &results, QWidget *owner)
    : TTestAnalogsDialog(Names, session, pollTimer, results, owner)
{
    setObjectName(QStringLiteral("TestAINsForm"));
    QGridLayout *grid = ChannelGrid();
    grid->addWidget(MakeLabel(QStringLiteral("Label19"), QStringLiteral("Live input"), this), 0, 2);
    for (int n = 0; n < Channels; ++n) {
        LiveTexts[n] =
            MakeLabel(QStringLiteral("LiveAIN%1").arg(n + 1), QStringLiteral("$0000"), this);
        LiveTexts[n]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        FitLabelTo(LiveTexts[n], TNumberField::Word);
        CopyButtons[n] = MakeCopyArrowButton(QStringLiteral("CopyBtn%1").arg(n + 1),
            QStringLiteral("Copy the live value into the results record"), this);
        grid->addWidget(LiveTexts[n], n + 1, 2);
        grid->addWidget(CopyButtons[n], n + 1, 3);
        zul::SafeConnect(CopyButtons[n], &QToolButton::clicked, this, *session.Messages,
            [this, n] { AINTestCopyButClick(n + 1); });
    }
}

void TTestAINsForm::AINTestCopyButClick(int channel)
{
    SetRecordText(channel - 1, LiveTexts[channel - 1]->text());
}

void TTestAINsForm::showHardware(std::uint16_t hardwareCode)
{
    const zul::CodeTexts texts = zul::HardwareText(hardwareCode);
    m_hardwareName = QString::fromStdString(texts.first);
    m_hardwareMode = QString::fromStdString(texts.second);
    HWLabel->setText(m_hardwareName + m_hardwareMode);
    // The second input of each differential pair is not a measurement of its own.
    const bool differential = m_hardwareMode == QStringLiteral(", differential");
    for (int n = 1; n < Channels; n += 2) {
        ExpectedTexts[n]->setHidden(differential);
        PassBoxes[n]->setHidden(differential);
        PassBoxes[n]->setChecked(differential);
    }
    if (m_hardwareName == QStringLiteral("Voltage"))
        StimLabel->setText(QStringLiteral("0V, 3.3V, 5V"));
    else if (m_hardwareName == QStringLiteral("Current"))
        StimLabel->setText(QStringLiteral("0mA, 8mA, 12mA"));
    else
        StimLabel->setText(QStringLiteral("?"));
}

void TTestAINsForm::liveTick()
{
    bool read = false;
    const TWordArrayDynamic words =
        zul::ReadInputsOrZeros(Session().Modbus, zul::ain::ScaledValues, Channels, &read);
    // Always hexadecimal: the expected values and the tolerance are given that way.
    for (int n = 0; n < Channels; ++n)
        LiveTexts[n]->setText(QString::fromStdString(zul::formatWord(words[n], true)));
    if (read)
        publishLive(words, false);
}

QString TTestAINsForm::expectedText(int channel) const
{
    const auto expected = zul::inputExpected(
        zul::inputTestRange(ScaleCode(channel)), TestStimEdit->text().toStdString());
    return expected ? QString::fromStdString(zul::formatLong(*expected, true)) : QString();
}

std::optional<zul::Band> TTestAINsForm::band(int channel) const
{
    const auto counts =
        zul::inputBand(TolEdit->text().toStdString(), expectedText(channel).toStdString());
    if (!counts)
        return std::nullopt;
    const std::uint16_t scale = ScaleCode(channel);
    return zul::Band { zul::ScaledValue(scale, false, counts->first),
        zul::ScaledValue(scale, false, counts->second) };
}

bool TTestAINsForm::passes(int channel) const
{
    return zul::inputPasses(TolEdit->text().toStdString(), expectedText(channel).toStdString(),
        RecordText(channel).toStdString());
}

QString TTestAINsForm::typeMark() const
{
    // A blank mark would leave the column free for the next test to overwrite; "?" keeps it
    // taken and is no test kind at save time.
    if (m_hardwareMode.isEmpty())
        return QStringLiteral("?");
    QString mark;
    if (m_hardwareName == QStringLiteral("Voltage"))
        mark = QStringLiteral("V");
    else if (m_hardwareName == QStringLiteral("Current"))
        mark = QStringLiteral("I");
    if (m_hardwareMode == QStringLiteral(", single-ended"))
        mark += QStringLiteral("-SE");
    else if (m_hardwareMode == QStringLiteral(", differential"))
        mark += QStringLiteral("-D");
    return mark;
}
