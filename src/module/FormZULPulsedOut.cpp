#include "FormZULPulsedOut.h"

#include "Session.h"
#include "core/Registers.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/SafeSlot.h"
#include "widgets/WidgetBuilders.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr const char *EditNames[8] = { "Edit102", "Edit103", "Edit104", "Edit105", "Edit106",
    "Edit107", "Edit108", "Edit117" };

} // namespace

TForm_ZULPulsedOut::TForm_ZULPulsedOut(TSession &session, QWidget *owner)
    : QDialog(owner)
    , m_session(session)
{
    FormCreate();
}

void TForm_ZULPulsedOut::FormCreate()
{
    setObjectName(QStringLiteral("Form_ZULPulsedOut"));
    setWindowTitle(QStringLiteral("Edit Targets"));

    GroupBox1 = new QGroupBox(QStringLiteral("Pulse Output Target"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(GroupBox1);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("(decimal)"), GroupBox1), 0, 1);
    for (int n = 0; n < 8; ++n) {
        auto *edit = new QLineEdit(GroupBox1);
        edit->setObjectName(QString::fromLatin1(EditNames[n]));
        TargetEdits[n] = edit;
        grid->addWidget(new QLabel(QStringLiteral("DIO%1").arg(n + 1), GroupBox1), n + 1, 0);
        grid->addWidget(edit, n + 1, 1);
    }

    Button1 = MakeButton(QStringLiteral("Button1"), QStringLiteral("OK"), this);
    Button2 = MakeButton(QStringLiteral("Button2"), QStringLiteral("Cancel"), this);
    Button1->setDefault(true);
    Button1->setAutoDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    setFixedSize(174, 313);

    // OK closes with OK even when sending raised; the error display has shown why by then.
    TMessageSink &sink = *m_session.Messages;
    connect(Button1, &QPushButton::clicked, this, [this, &sink] {
        auto click = [this] { Button1Click(); };
        zul::RunSafely(sink, click);
        accept();
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_ZULPulsedOut::AddTargetsCaller(
    QAbstractButton *button, const TTargetTexts &texts, CallerRole role)
{
    m_callers[button] = texts;
    if (role == CallerRole::Fallback)
        m_fallback = button;
    zul::SafeConnect(button, &QAbstractButton::clicked, this, *m_session.Messages,
        [this, button] { EditTargets(button); });
}

int TForm_ZULPulsedOut::EditTargets(QAbstractButton *caller)
{
    TargetsCaller = caller;
    return exec();
}

const TTargetTexts *TForm_ZULPulsedOut::callerTexts() const
{
    const auto found = m_callers.find(TargetsCaller);
    return found == m_callers.end() ? nullptr : &found->second;
}

void TForm_ZULPulsedOut::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm_ZULPulsedOut::FormShow()
{
    std::array<std::uint16_t, 8> targets {};
    if (const TTargetTexts *texts = callerTexts())
        ReadShortEdits(*texts, std::span<std::uint16_t>(targets));
    ShowWords(TargetEdits, std::span<const std::uint16_t>(targets), m_session.HexDisplay);
}

void TForm_ZULPulsedOut::Button1Click()
{
    std::array<std::uint16_t, 8> targets {};
    // Entries out of range go out as 0 without a message, so the answer is not looked at.
    ReadWordEdits(TargetEdits, std::span<std::uint16_t>(targets));
    const TTargetTexts *texts = callerTexts();
    if (!texts && m_fallback)
        texts = &m_callers.at(m_fallback);
    if (texts)
        ShowWords(*texts, std::span<const std::uint16_t>(targets), m_session.HexDisplay);
    SendPoutTargets(targets);
}

void TForm_ZULPulsedOut::SendPoutTargets(std::span<const std::uint16_t, 8> words)
{
    const TWordArrayDynamic block(words.begin(), words.end());
    m_session.Modbus.WriteHoldingRegisters(zul::reg::PulseOutTargets, 8, block);
}
