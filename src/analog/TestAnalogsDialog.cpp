#include "TestAnalogsDialog.h"

#include "AnalogResults.h"
#include "core/ModuleCodes.h"
#include "core/Registers.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/SafeSlot.h"
#include "widgets/WidgetBuilders.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Tab and Shift+Tab in a record keep what was typed and leave the grid, which is one stop in
// the dialog's tab order, instead of walking its cells for ever; the arrow keys move inside it.
class TRecordDelegate : public QStyledItemDelegate
{
public:
    explicit TRecordDelegate(QAbstractItemView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *editor = qobject_cast<QWidget *>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                QKeyEvent leave(QEvent::KeyPress, key->key(), key->modifiers());
                QCoreApplication::sendEvent(m_view, &leave);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    QAbstractItemView *m_view;
};

constexpr int Channels = zul::reg::AnalogChannelCount;
constexpr int TickMs = 1000;

} // namespace

TTestAnalogsDialog::TTestAnalogsDialog(const TTestDialogNames &names, TSession &session,
    QTimer &pollTimer, TAnalogResults &results, QWidget *owner)
    : QDialog(owner)
    , m_names(names)
    , m_session(session)
    , m_pollTimer(pollTimer)
    , m_results(results)
{
    setObjectName(QStringLiteral("TestAnalogs%1Form").arg(QLatin1String(names.Kind)));
    setWindowTitle(QStringLiteral("Test Analogs"));

    // Built in this order, so that Tab runs stimulus, tolerance, records, buttons.
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buildHead());
    buildResultGrid();
    layout->addLayout(buildChannelGrid());
    layout->addLayout(buildButtons());

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Test%1ModbusTimer").arg(QLatin1String(names.Kind)));
    Timer->setInterval(TickMs);
    connectHandlers();
    ScaleFormToScreen(this);
}

QGridLayout *TTestAnalogsDialog::buildHead()
{
    TypeLabel = MakeLabel(QStringLiteral("TypeLabel"), QString(), this);
    HWLabel = MakeLabel(QStringLiteral("HWLabel"), QString(), this);
    StimLabel =
        MakeLabel(QStringLiteral("StimLabel"), QString::fromLatin1(m_names.SuggestedTests), this);
    TestStimEdit = new QLineEdit(this);
    TestStimEdit->setObjectName(QStringLiteral("TestStimEdit"));
    TolEdit = new QLineEdit(QString::fromLatin1(m_names.InitialTolerance), this);
    TolEdit->setObjectName(QStringLiteral("TolEdit"));

    auto *head = new QGridLayout;
    head->addWidget(
        MakeLabel(QStringLiteral("Label1"), QStringLiteral("ZUL Detected:"), this), 0, 0);
    head->addWidget(TypeLabel, 0, 1);
    head->addWidget(HWLabel, 0, 2);
    head->addWidget(
        MakeLabel(QStringLiteral("Label4"), QStringLiteral("Suggested tests: "), this), 1, 0);
    head->addWidget(StimLabel, 1, 1, 1, 2);
    head->addWidget(
        MakeLabel(QStringLiteral("Label14"), QStringLiteral("Test Stimulus"), this), 2, 0);
    auto *stimulus = new QHBoxLayout;
    // The output stimulus is typed as hexadecimal digits behind a fixed "$".
    if (m_names.KindCode == zul::KindAOT)
        stimulus->addWidget(MakeLabel(QStringLiteral("Label2"), QStringLiteral("$"), this));
    stimulus->addWidget(TestStimEdit);
    head->addLayout(stimulus, 2, 1);
    head->addWidget(MakeLabel(QStringLiteral("Label17"), QStringLiteral("Tolerance"), this), 3, 0);
    head->addWidget(TolEdit, 3, 1);
    return head;
}

void TTestAnalogsDialog::buildResultGrid()
{
    ResultGrid = new QTableWidget(Channels, 1, this);
    ResultGrid->setObjectName(QLatin1String(m_names.Kind) + QStringLiteral("TestResultGrid"));
    ResultGrid->horizontalHeader()->hide();
    ResultGrid->verticalHeader()->hide();
    QStringList widest = WidestTexts(TNumberField::Word, ResultGrid->fontMetrics());
    widest << QStringLiteral("-32768") << QStringLiteral("-10.000");
    GrowColumnsWithTheirTexts(ResultGrid, CellWidthFor(ResultGrid, widest));
    // A row as high as the channel's row beside it, so that records and channels line up.
    ResultGrid->verticalHeader()->setDefaultSectionSize(
        std::max(RowHeightFor(ResultGrid), QLineEdit().sizeHint().height()));
    ResultGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ResultGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ResultGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    ResultGrid->setTabKeyNavigation(false);
    ResultGrid->setItemDelegate(new TRecordDelegate(ResultGrid));
    ResultGrid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    ResultGrid->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    for (int n = 0; n < Channels; ++n)
        ResultGrid->setItem(n, 0, new QTableWidgetItem);
}

QGridLayout *TTestAnalogsDialog::buildChannelGrid()
{
    // Columns: 0 channel, 1 scale, 2 and 3 the kind's own, 4 record, 5 expected, 6 pass mark.
    m_channels = new QGridLayout;
    m_channels->setVerticalSpacing(0);
    m_channels->addWidget(
        MakeLabel(QStringLiteral("Label20"), QStringLiteral("Scale"), this), 0, 1);
    m_channels->addWidget(MakeLabel(QStringLiteral("Label18"),
                              QString::fromLatin1(m_names.ResultColumnCaption), this),
        0, 4);
    m_channels->addWidget(
        MakeLabel(QStringLiteral("Label15"), QStringLiteral("Expected results"), this), 0, 5);
    m_channels->addWidget(
        MakeLabel(QStringLiteral("Label16"), QStringLiteral("Pass?"), this), 0, 6);
    m_channels->addWidget(ResultGrid, 1, 4, Channels, 1);
    const QStringList captions = ChannelCaptions(QString::fromLatin1(m_names.Kind), Channels);
    for (int n = 0; n < Channels; ++n) {
        const int row = n + 1;
        // The form numbers its channel captions downwards from Label108.
        m_channels->addWidget(
            MakeLabel(QStringLiteral("Label%1").arg(108 - n), captions[n], this), row, 0);
        ScaleLabels[n] = MakeLabel(QStringLiteral("ScaleLabel%1").arg(row), QString(), this);
        ExpectedTexts[n] = MakeLabel(QStringLiteral("ExRes%1").arg(row), QString(), this);
        ExpectedTexts[n]->setMinimumWidth(ResultGrid->horizontalHeader()->defaultSectionSize());
        PassBoxes[n] = new QCheckBox(this);
        PassBoxes[n]->setObjectName(QStringLiteral("PassChk%1").arg(row));
        m_channels->addWidget(ScaleLabels[n], row, 1);
        m_channels->addWidget(ExpectedTexts[n], row, 5);
        m_channels->addWidget(PassBoxes[n], row, 6);
    }
    return m_channels;
}

QHBoxLayout *TTestAnalogsDialog::buildButtons()
{
    const QString kind = QString::fromLatin1(m_names.Kind);
    ClearButton = MakeButton(kind + QStringLiteral("TestClearBtn"), QStringLiteral("Clear"), this);
    CopyButton = MakeButton(QStringLiteral("Button2"), QStringLiteral("Copy results"), this);
    CloseButton = MakeButton(kind + QStringLiteral("TestCloseBtn"), QStringLiteral("Close"), this);
    // Enter in "Test Stimulus" must not press the first button, "Clear", and lose the records:
    // no button of this dialog is a default one.
    for (QPushButton *button : { ClearButton, CopyButton, CloseButton }) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ClearButton);
    buttons->addStretch();
    buttons->addWidget(CopyButton);
    buttons->addWidget(CloseButton);
    return buttons;
}

void TTestAnalogsDialog::connectHandlers()
{
    TMessageSink &sink = *m_session.Messages;
    zul::SafeConnect(Timer, &QTimer::timeout, this, sink, [this] { TimerTick(); });
    zul::SafeConnect(TestStimEdit, &QLineEdit::textChanged, this, sink, [this] {
        UpdateExpected();
        UpdatePassMarks();
    });
    zul::SafeConnect(TolEdit, &QLineEdit::textChanged, this, sink, [this] { UpdatePassMarks(); });
    zul::SafeConnect(
        ResultGrid, &QTableWidget::cellChanged, this, sink, [this] { UpdatePassMarks(); });
    // A pass mark says what the record and the tolerance say; a box toggled by hand, by the
    // keyboard or by click() is put back at once, so it can never file a PASS of its own.
    for (QCheckBox *box : PassBoxes)
        zul::SafeConnect(box, &QCheckBox::toggled, this, sink, [this] { UpdatePassMarks(); });
    zul::SafeConnect(CopyButton, &QPushButton::clicked, this, sink, [this] { CopyResults(); });
    zul::SafeConnect(ClearButton, &QPushButton::clicked, this, sink, [this] { ClearResults(); });
    zul::SafeConnect(CloseButton, &QPushButton::clicked, this, sink, [this] { close(); });
}

bool TTestAnalogsDialog::event(QEvent *event)
{
    // Platforms differ in whether and when activation reaches a dialog (offscreen, Wayland, a
    // message box shown inside it), so activation only re-runs the take-over while the dialog is
    // open and has given polling back meanwhile; showing it is what starts the take-over.
    if (event->type() == QEvent::WindowActivate) {
        if (isVisible() && (m_activationPending || !Timer->isActive()))
            activateSafely();
    } else if (event->type() == QEvent::WindowDeactivate) {
        FormDeactivate();
    }
    return QDialog::event(event);
}

void TTestAnalogsDialog::activateSafely()
{
    auto activate = [this] { FormActivate(); };
    zul::RunSafely(*m_session.Messages, activate);
}

void TTestAnalogsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Queued: closing the dialog from inside show() (another kind found) would leave exec()
    // waiting on a dialog that is already gone.
    m_activationPending = true;
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && m_activationPending)
            activateSafely();
    });
}

void TTestAnalogsDialog::hideEvent(QHideEvent *event)
{
    // However the dialog goes, the main window's polling comes back.
    m_activationPending = false;
    FormDeactivate();
    QDialog::hideEvent(event);
}

void TTestAnalogsDialog::FormActivate()
{
    m_activationPending = false;
    m_pollTimer.stop();
    Timer->start();
    if (!ReadModuleSetup()) {
        // Closed before the message, so that the message box taking the focus cannot activate
        // the dialog again.
        FormDeactivate();
        done(QDialog::Rejected);
        m_session.Message(QStringLiteral("Error! %1 not detected")
                              .arg(QString::fromStdString(zul::modelName(
                                  m_names.KindCode, m_session.Module.modelVariant))));
    }
}

bool TTestAnalogsDialog::ReadModuleSetup()
{
    ZUL_Modbus &modbus = m_session.Modbus;
    TWordArrayDynamic words(1);
    if (!modbus.ReadInputRegisters(zul::reg::ModuleKind, 1, words) || words[0] != m_names.KindCode)
        return false;
    TypeLabel->setText(QString::fromLatin1(m_names.TypeText));
    const TWordArrayDynamic hardware = zul::ReadInputsOrZeros(modbus, zul::reg::HardwareCodes, 1);
    showHardware(hardware[0]);
    bool read = false;
    const TWordArrayDynamic scales =
        zul::ReadInputsOrZeros(modbus, zul::reg::ScaleCodes, Channels, &read);
    if (read)
        std::copy_n(scales.begin(), Channels, m_scales.begin());
    for (int n = 0; n < Channels; ++n)
        ScaleLabels[n]->setText(QString::fromStdString(zul::ScaleText(m_scales[n]).first));
    // Expectations of the old ranges would judge new records against the wrong scale.
    UpdateExpected();
    UpdatePassMarks();
    return true;
}

void TTestAnalogsDialog::FormDeactivate()
{
    if (!Timer->isActive())
        return;
    Timer->stop();
    m_pollTimer.start();
}

QString TTestAnalogsDialog::RecordText(int channel) const
{
    const QTableWidgetItem *item = ResultGrid->item(channel, 0);
    return item ? item->text() : QString();
}

void TTestAnalogsDialog::SetRecordText(int channel, const QString &text)
{
    ResultGrid->item(channel, 0)->setText(text);
}

void TTestAnalogsDialog::UpdateExpected()
{
    for (int n = 0; n < Channels; ++n)
        ExpectedTexts[n]->setText(expectedText(n));
}

void TTestAnalogsDialog::UpdatePassMarks()
{
    for (int n = 0; n < Channels; ++n) {
        const QSignalBlocker blocker(PassBoxes[n]);
        PassBoxes[n]->setChecked(passes(n));
    }
}

void TTestAnalogsDialog::ClearResults()
{
    for (int n = 0; n < Channels; ++n)
        SetRecordText(n, QString());
}

void TTestAnalogsDialog::publishLive(const std::vector<std::uint16_t> &words, bool outputs) const
{
    std::array<std::uint16_t, Channels> values {};
    std::copy_n(words.begin(), std::min<std::size_t>(words.size(), Channels), values.begin());
    zul::LiveSample sample =
        zul::ScaledSample("Test Analogs", m_names.Kind, values, m_scales, outputs);
    for (int n = 0; n < Channels; ++n)
        if (!ExpectedTexts[n]->isHidden())
            sample.bands[n] = band(n);
    m_session.PublishLive(sample);
}

zul::FiledTest TTestAnalogsDialog::JudgedTest(zul::FiledBy by)
{
    UpdatePassMarks();
    zul::FiledTest test;
    test.type = typeMark().toStdString();
    test.stimulus = TestStimEdit->text().toStdString();
    test.tolerance = TolEdit->text().toStdString();
    test.by = by;
    test.passed = true;
    for (int n = 0; n < Channels; ++n) {
        zul::FiledChannel &channel = test.channels[static_cast<std::size_t>(n)];
        channel.judged = !PassBoxes[n]->isHidden();
        channel.scaleCode = m_scales[static_cast<std::size_t>(n)];
        channel.expected = expectedText(n).toStdString();
        channel.measured = RecordText(n).toStdString();
        channel.band = band(n);
        // The pass mark as the dialog shows it is the verdict the grid and the row carry.
        channel.passed = PassBoxes[n]->isChecked();
        if (channel.judged)
            test.passed = test.passed && channel.passed;
    }
    return test;
}

int TTestAnalogsDialog::CopyResults(zul::FiledBy by, int over)
{
    const zul::FiledTest test = JudgedTest(by);
    if (TestStimEdit->text().isEmpty()) {
        m_session.Message(QStringLiteral("Please enter the test stimulus"));
        return -1;
    }
    const int column = m_results.File(test, over);
    if (column < 0)
        m_session.Message(
            QStringLiteral("No space in results grid! Delete some results to store more."));
    return column;
}
