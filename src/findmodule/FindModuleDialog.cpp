#include "FindModuleDialog.h"

#include "comms/RKCOMM.h"
#include "core/KindRegistry.h"
#include "core/ModuleCodes.h"
#include "core/Registers.h"
#include "module/WidgetConnectPage.h"
#include "widgets/WidgetBuilders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int HighestAddress = 247;

QString durationText(std::chrono::microseconds time)
{
    const long long seconds = (time.count() + 999'999) / 1'000'000;
    if (seconds >= 3600)
        return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds / 60 % 60);
    if (seconds >= 60)
        return QStringLiteral("%1 min %2 s")
            .arg(seconds / 60)
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 s").arg(seconds);
}

QString settingText(const modbus::LineSetting &setting)
{
    return QStringLiteral("%1 baud, parity %2, %3 stop bit%4")
        .arg(TRKComm::BaudRate(setting.baudIndex))
        .arg(ParityTexts().value(setting.parity))
        .arg(StopBitsTexts().value(setting.stopBits))
        .arg(setting.stopBits ? QStringLiteral("s") : QString());
}

QString hex(unsigned value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

QString kindText(const modbus::ScanAnswer &answer)
{
    if (!answer.kind)
        return QStringLiteral("Not a ZUL module (exception %1)").arg(hex(answer.exceptionCode, 2));
    const zul::TKindRow *kind = zul::findKind(*answer.kind);
    if (!kind)
        return QStringLiteral("0x%1 (no module detected)").arg(hex(*answer.kind, 4));
    const auto text = [](std::string_view view) {
        return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
    };
    return QStringLiteral("%1 (%2)").arg(text(kind->Name), text(kind->TypeText));
}

QString serialText(const modbus::ScanAnswer &answer)
{
    if (!answer.serial)
        return answer.kind ? QStringLiteral("not read") : QString();
    return QString::fromStdString(zul::pcbSerialText(
        static_cast<std::uint16_t>(*answer.serial >> 16), *answer.serial & 0xFFFF));
}

// The Connect page reaches only the addresses its box offers, and only a ZUL module connects.
bool usable(const modbus::ScanAnswer &answer, int highestConnectAddress)
{
    return answer.kind && answer.address <= highestConnectAddress;
}

// "Com3" for a port of the list, the device path for one given by path.
QString portName(const TPortSelection &port)
{
    return port.DevicePath.empty() ? QStringLiteral("Com%1").arg(port.PortIndex + 1)
                                   : QString::fromStdString(port.DevicePath);
}

template<std::size_t N>
std::vector<std::uint8_t> ticked(const std::array<QCheckBox *, N> &boxes)
{
    std::vector<std::uint8_t> codes;
    for (std::size_t n = 0; n < N; ++n)
        if (boxes[n]->isChecked())
            codes.push_back(static_cast<std::uint8_t>(n));
    return codes;
}

} // namespace

FindModuleDialog::FindModuleDialog(TConnectPage &page, QWidget *parent)
    : QDialog(parent)
    , m_page(page)
{
    setObjectName(QStringLiteral("FindModuleDialog"));
    setWindowTitle(QStringLiteral("Find module"));

    // The widgets are made top to bottom, which is also their tab order.
    auto *portLabel =
        new QLabel(QStringLiteral("Port: %1").arg(portName(page.SelectedPort())), this);
    QHBoxLayout *addressRow = buildAddressRow();
    QGroupBox *settingsGroup = buildSettingsGroup();
    QHBoxLayout *runRow = buildRunRow();
    ScanStatusLabel = MakeLabel(QStringLiteral("FindStatusLabel"), QString(), this);
    ScanStatusLabel->setWordWrap(true);
    buildAnswersTable();
    QHBoxLayout *bottomRow = buildBottomRow();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(portLabel);
    layout->addLayout(addressRow);
    layout->addWidget(settingsGroup);
    layout->addLayout(runRow);
    layout->addWidget(ScanStatusLabel);
    layout->addWidget(AnswersTable, 1);
    layout->addLayout(bottomRow);

    tickEverySetting();
    connectControls();
    setScanning(false);
    showEstimate();
    resize(sizeHint().expandedTo(QSize(640, 480)));
}

QHBoxLayout *FindModuleDialog::buildAddressRow()
{
    FromAddressBox = new QSpinBox(this);
    FromAddressBox->setObjectName(QStringLiteral("FindFromAddressBox"));
    ToAddressBox = new QSpinBox(this);
    ToAddressBox->setObjectName(QStringLiteral("FindToAddressBox"));
    for (QSpinBox *box : { FromAddressBox, ToAddressBox })
        box->setRange(1, HighestAddress);
    ToAddressBox->setValue(HighestAddress);
    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(new QLabel(QStringLiteral("Slave addresses from"), this));
    addressRow->addWidget(FromAddressBox);
    addressRow->addWidget(new QLabel(QStringLiteral("to"), this));
    addressRow->addWidget(ToAddressBox);
    addressRow->addStretch();
    return addressRow;
}

QGroupBox *FindModuleDialog::buildSettingsGroup()
{
    auto *settingsGroup = new QGroupBox(QStringLiteral("Try"), this);
    auto *settingsGrid = new QGridLayout(settingsGroup);
    const QStringList bauds = BaudRateTexts();
    settingsGrid->addWidget(new QLabel(QStringLiteral("Baud rates:"), settingsGroup), 0, 0);
    for (int n = 0; n < static_cast<int>(BaudBoxes.size()); ++n) {
        auto *box = new QCheckBox(bauds.value(n), settingsGroup);
        box->setObjectName(QStringLiteral("FindBaud%1").arg(bauds.value(n)));
        settingsGrid->addWidget(box, n / 6, 1 + n % 6);
        BaudBoxes[static_cast<std::size_t>(n)] = box;
    }
    const auto addRow = [&](auto &boxes, const QStringList &texts, const QString &caption,
                            const QString &prefix, int row) {
        settingsGrid->addWidget(new QLabel(caption, settingsGroup), row, 0);
        for (int n = 0; n < static_cast<int>(boxes.size()); ++n) {
            auto *box = new QCheckBox(texts.value(n), settingsGroup);
            box->setObjectName(prefix + texts.value(n));
            settingsGrid->addWidget(box, row, 1 + n);
            boxes[static_cast<std::size_t>(n)] = box;
        }
    };
    addRow(ParityBoxes, ParityTexts(), QStringLiteral("Parity:"), QStringLiteral("FindParity"), 2);
    addRow(StopBitsBoxes, StopBitsTexts(), QStringLiteral("Stop bits:"),
        QStringLiteral("FindStopBits"), 3);
    return settingsGroup;
}

QHBoxLayout *FindModuleDialog::buildRunRow()
{
    StartButton = MakeButton(QStringLiteral("FindStartButton"), QStringLiteral("Start"), this);
    CancelButton = MakeButton(QStringLiteral("FindCancelButton"), QStringLiteral("Cancel"), this);
    ScanProgressBar = new QProgressBar(this);
    ScanProgressBar->setObjectName(QStringLiteral("FindProgressBar"));
    TimeLeftLabel = MakeLabel(QStringLiteral("FindTimeLeftLabel"), QString(), this);
    auto *runRow = new QHBoxLayout;
    runRow->addWidget(StartButton);
    runRow->addWidget(CancelButton);
    runRow->addWidget(ScanProgressBar, 1);
    runRow->addWidget(TimeLeftLabel);
    return runRow;
}

void FindModuleDialog::buildAnswersTable()
{
    AnswersTable = new QTableWidget(0, 6, this);
    AnswersTable->setObjectName(QStringLiteral("FindAnswersTable"));
    AnswersTable->setHorizontalHeaderLabels(
        { QStringLiteral("Address"), QStringLiteral("Baud rate"), QStringLiteral("Parity"),
            QStringLiteral("Stop bits"), QStringLiteral("Kind"), QStringLiteral("Serial number") });
    AnswersTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    AnswersTable->setSelectionMode(QAbstractItemView::SingleSelection);
    AnswersTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AnswersTable->verticalHeader()->hide();
    AnswersTable->setWordWrap(false);
    AnswersTable->horizontalHeader()->setStretchLastSection(true);
}

QHBoxLayout *FindModuleDialog::buildBottomRow()
{
    UseButton = MakeButton(QStringLiteral("FindUseButton"), QStringLiteral("Use"), this);
    UseButton->setToolTip(QStringLiteral("Put these settings on the Connect page and connect"));
    auto *closeButton =
        MakeButton(QStringLiteral("FindCloseButton"), QStringLiteral("Close"), this);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *bottomRow = new QHBoxLayout;
    bottomRow->addStretch();
    bottomRow->addWidget(UseButton);
    bottomRow->addWidget(closeButton);
    return bottomRow;
}

void FindModuleDialog::tickEverySetting()
{
    // What the Connect page offers, every box ticked: narrowing is the technician's choice.
    for (QCheckBox *box : BaudBoxes)
        box->setChecked(true);
    for (QCheckBox *box : ParityBoxes)
        box->setChecked(true);
    for (QCheckBox *box : StopBitsBoxes)
        box->setChecked(true);
}

void FindModuleDialog::connectControls()
{
    for (QSpinBox *box : { FromAddressBox, ToAddressBox })
        connect(box, &QSpinBox::valueChanged, this, &FindModuleDialog::showEstimate);
    for (QCheckBox *box : findChildren<QCheckBox *>())
        connect(box, &QCheckBox::toggled, this, &FindModuleDialog::showEstimate);
    connect(StartButton, &QPushButton::clicked, this, &FindModuleDialog::startScan);
    connect(CancelButton, &QPushButton::clicked, this, &FindModuleDialog::cancelScan);
    connect(UseButton, &QPushButton::clicked, this, &FindModuleDialog::useSelected);
    connect(AnswersTable, &QTableWidget::itemSelectionChanged, this,
        &FindModuleDialog::updateUseButton);
    connect(AnswersTable, &QTableWidget::cellDoubleClicked, this, [this] { useSelected(); });
}

FindModuleDialog::~FindModuleDialog()
{
    joinWorker();
}

void FindModuleDialog::done(int result)
{
    cancelScan();
    QDialog::done(result);
}

modbus::ScanPlan FindModuleDialog::currentPlan() const
{
    modbus::ScanPlan plan;
    const TPortSelection port = m_page.SelectedPort();
    plan.portIndex = port.PortIndex;
    plan.devicePath = port.DevicePath;
    plan.firstAddress = FromAddressBox->value();
    plan.lastAddress = ToAddressBox->value();
    std::vector<int> bauds;
    for (const std::uint8_t index : ticked(BaudBoxes))
        bauds.push_back(index);
    plan.baudIndices = modbus::baudScanOrder(bauds);
    plan.parities = modbus::parityScanOrder(ticked(ParityBoxes));
    plan.stopBits = modbus::stopBitsScanOrder(ticked(StopBitsBoxes));
    plan.kindRegister = zul::reg::ModuleKind;
    plan.serialRegister = zul::reg::Identity + 2;
    plan.localEcho = m_page.LocalEchoBox->isChecked();
    return plan;
}

void FindModuleDialog::showEstimate()
{
    if (m_running)
        return;
    const modbus::ModuleScan preview(currentPlan());
    StartButton->setEnabled(preview.probeCount() > 0);
    TimeLeftLabel->setText(preview.probeCount() > 0
            ? QStringLiteral("At most %1").arg(durationText(preview.estimatedTime()))
            : QString());
    if (preview.probeCount() == 0)
        ScanStatusLabel->setText(FromAddressBox->value() > ToAddressBox->value()
                ? QStringLiteral("The first address is above the last.")
                : QStringLiteral("Tick at least one baud rate, parity and number of stop bits."));
    else if (ScanStatusLabel->text().startsWith(QStringLiteral("Tick"))
        || ScanStatusLabel->text().startsWith(QStringLiteral("The first")))
        ScanStatusLabel->clear();
}

void FindModuleDialog::setScanning(bool running)
{
    m_running = running;
    CancelButton->setEnabled(running);
    StartButton->setEnabled(!running);
    for (QWidget *control : std::initializer_list<QWidget *> { FromAddressBox, ToAddressBox })
        control->setEnabled(!running);
    for (QCheckBox *box : findChildren<QCheckBox *>())
        box->setEnabled(!running);
}

void FindModuleDialog::joinWorker()
{
    if (m_scan)
        m_scan->cancel();
    if (m_worker.joinable())
        m_worker.join();
}

void FindModuleDialog::startScan()
{
    joinWorker(); // a cancelled scan may still be in its last probe
    const modbus::ScanPlan plan = currentPlan();
    m_scan = std::make_unique<modbus::ModuleScan>(plan);
    if (m_scan->probeCount() == 0)
        return;
    m_settings = modbus::scanSettings(plan);
    m_addresses = plan.lastAddress - plan.firstAddress + 1;
    m_answers.clear();
    AnswersTable->setRowCount(0);
    ScanProgressBar->setRange(0, m_scan->probeCount());
    ScanProgressBar->setValue(0);
    TimeLeftLabel->setText(durationText(m_scan->estimatedTime()));
    ScanStatusLabel->setText(QStringLiteral("Scanning at %1...").arg(settingText(m_settings[0])));
    setScanning(true);
    updateUseButton();

    const int generation = ++m_generation;
    modbus::ModuleScan *scan = m_scan.get();
    // Reports go to this thread's event loop; posted to a dialog that is gone, Qt drops them.
    m_worker = std::thread([this, scan, generation] {
        Ending ending = Ending::Finished;
        QString error;
        try {
            const bool finished = scan->run(
                [this, generation](const modbus::ScanAnswer &answer) {
                    QMetaObject::invokeMethod(
                        this, [this, generation, answer] { addAnswer(generation, answer); },
                        Qt::QueuedConnection);
                },
                [this, generation](const modbus::ScanProgress &progress) {
                    QMetaObject::invokeMethod(
                        this, [this, generation, progress] { showProgress(generation, progress); },
                        Qt::QueuedConnection);
                });
            ending = finished ? Ending::Finished : Ending::Cancelled;
        } catch (const std::exception &failure) {
            ending = Ending::Failed;
            error = QString::fromStdString(failure.what());
        }
        QMetaObject::invokeMethod(
            this, [this, generation, ending, error] { scanEnded(generation, ending, error); },
            Qt::QueuedConnection);
    });
}

void FindModuleDialog::cancelScan()
{
    if (!m_running)
        return;
    m_scan->cancel();
    ++m_generation;
    setScanning(false);
    TimeLeftLabel->clear();
    ScanStatusLabel->setText(QStringLiteral("Cancelled after %1 of %2 probes; %3 answered.")
                                 .arg(ScanProgressBar->value())
                                 .arg(ScanProgressBar->maximum())
                                 .arg(m_answers.size()));
    updateUseButton();
}

void FindModuleDialog::addAnswer(int generation, const modbus::ScanAnswer &answer)
{
    if (generation != m_generation)
        return;
    const int row = AnswersTable->rowCount();
    AnswersTable->insertRow(row);
    const QStringList cells { QString::number(answer.address),
        QString::number(TRKComm::BaudRate(answer.setting.baudIndex)),
        ParityTexts().value(answer.setting.parity), StopBitsTexts().value(answer.setting.stopBits),
        kindText(answer), serialText(answer) };
    const bool canUse = usable(answer, m_page.SpinEdit_SlaveAddress->maximum());
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = new QTableWidgetItem(cells[column]);
        if (!canUse)
            item->setToolTip(answer.kind
                    ? QStringLiteral("The Connect page takes slave addresses 1 to %1.")
                          .arg(m_page.SpinEdit_SlaveAddress->maximum())
                    : QStringLiteral("This device refused the module kind read."));
        AnswersTable->setItem(row, column, item);
    }
    m_answers.push_back(answer);
    // The first module found is the likely choice; a later one does not move the selection.
    if (canUse && AnswersTable->selectedItems().isEmpty())
        AnswersTable->selectRow(row);
}

void FindModuleDialog::showProgress(int generation, const modbus::ScanProgress &progress)
{
    if (generation != m_generation)
        return;
    ScanProgressBar->setValue(progress.done);
    TimeLeftLabel->setText(durationText(progress.left));
    const std::size_t next = static_cast<std::size_t>(progress.done / std::max(m_addresses, 1));
    if (progress.done < progress.total && next < m_settings.size())
        ScanStatusLabel->setText(QStringLiteral("Scanning at %1... %2 answered.")
                                     .arg(settingText(m_settings[next]))
                                     .arg(m_answers.size()));
}

void FindModuleDialog::scanEnded(int generation, Ending ending, const QString &error)
{
    if (generation != m_generation)
        return;
    setScanning(false);
    TimeLeftLabel->clear();
    if (ending == Ending::Failed)
        ScanStatusLabel->setText(error);
    else if (m_answers.empty())
        ScanStatusLabel->setText(QStringLiteral("No module answered."));
    else
        ScanStatusLabel->setText(
            QStringLiteral("Scan finished: %1 answered.").arg(m_answers.size()));
    updateUseButton();
}

void FindModuleDialog::updateUseButton()
{
    const int row = AnswersTable->currentRow();
    const bool selected = !AnswersTable->selectedItems().isEmpty() && row >= 0
        && row < static_cast<int>(m_answers.size());
    UseButton->setEnabled(selected
        && usable(
            m_answers[static_cast<std::size_t>(row)], m_page.SpinEdit_SlaveAddress->maximum()));
}

void FindModuleDialog::useSelected()
{
    if (!UseButton->isEnabled())
        return;
    const modbus::ScanAnswer answer =
        m_answers[static_cast<std::size_t>(AnswersTable->currentRow())];
    // The scan holds the port until its probe ends; Connect must find it free.
    cancelScan();
    joinWorker();
    zul::ConnectionSettings settings = m_page.Settings();
    settings.baudIndex = answer.setting.baudIndex;
    settings.parity = answer.setting.parity;
    settings.stopBits = answer.setting.stopBits;
    settings.address = answer.address;
    const UseFunction use = OnUse;
    accept();
    if (use)
        use(settings);
}

void InstallFindModule(TConnectPage &page, const FindModuleDialog::UseFunction &use)
{
    QObject::connect(page.FindModuleButton, &QPushButton::clicked, &page, [&page, use] {
        auto *dialog = new FindModuleDialog(page, page.window());
        dialog->OnUse = use;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
}
