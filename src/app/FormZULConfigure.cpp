#include "FormZULConfigure.h"

#include "KindFactories.h"
#include "ThemeMenu.h"
#include "certificate/RowCertificate.h"
#include "comms/RKCOMM.h"
#include "core/CommsSettings.h"
#include "core/Edition.h"
#include "findmodule/FindModuleDialog.h"
#include "history/CertificateSettingsDialog.h"
#include "history/ResultsHistoryDialog.h"
#include "module/PulsedOutputs.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetCommsPage.h"
#include "module/WidgetConnectPage.h"
#include "module/WidgetPoutSetupPage.h"
#include "module/WidgetStatusPanel.h"
#include "ports/AdapterReconnect.h"
#include "ports/PortList.h"
#include "ports/PortOpenHints.h"
#include "records/DataRecords.h"
#include "records/ResultsTarget.h"
#include "records/ZUL_Database.h"
#include "rundock/RunDock.h"
#include "traffic/TrafficView.h"
#include "trend/LiveLogControl.h"
#include "trend/TrendDock.h"
#include "widgets/BusyCursor.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/SafeSlot.h"
#include "widgets/TabScrollArrows.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace {

using namespace zul;

const QString ApplicationTitle = QStringLiteral("ZUL Module Configuration");
const QString ProductionTitle =
    QStringLiteral("ZUL Module Configuration - Production test version");
constexpr int WindowWidth = 764;
constexpr int WindowHeight = 569;

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString AboutText(const zul::ToolVersion &version)
{
    QString text =
        QStringLiteral("%1 %2.%3").arg(ApplicationTitle).arg(version.major).arg(version.minor);
    if (version.release != 0)
        text += QStringLiteral(".%1").arg(version.release);
    if (version.build != 0)
        text += QStringLiteral(" build %1").arg(version.build);
    return text;
}

TForm_ZULConfigure::TForm_ZULConfigure(
    const QString &executablePath, TMessageSink *messages, QWidget *parent)
    : QMainWindow(parent)
    , m_ownMessages(messages ? nullptr : std::make_unique<TMessageBoxSink>(this))
    , m_session(messages ? *messages : *m_ownMessages)
{
    FormCreate(executablePath);
}

TForm_ZULConfigure::~TForm_ZULConfigure()
{
    // Handlers connected to this window stay connected until QObject's destructor, which runs
    // after the members are gone; so the pages go here, while the general unit still exists.
    // The kind units go just before them, so that they may still touch their pages on the way.
    m_modbusTimer.stop();
    m_session.OnLiveSample = {};
    m_session.RowSaved = {};
    for (auto &unit : m_units)
        unit.reset();
    delete takeCentralWidget();
    m_session.Modbus.setCoilStatusReporter({});
    m_session.Modbus.setFrameHook({});
}

void TForm_ZULConfigure::FormCreate(const QString &executablePath)
{
    setObjectName(QStringLiteral("Form_ZULConfigure"));
    m_modbusTimer.setParent(this);
    m_modbusTimer.setObjectName(QStringLiteral("ModbusTimer"));

    const Edition edition = chooseEdition(executablePath.toStdString());
    m_session.ProductionTestVersion = edition.productionTestVersion;
    m_session.Module.modelVariant = edition.modelVariant;
    const QString title = m_session.ProductionTestVersion ? ProductionTitle : ApplicationTitle;
    QGuiApplication::setApplicationDisplayName(title);
    setWindowTitle(title);

    buildMenu();
    buildToolBar();
    buildPages();
    buildPageSets();
    for (int kind = 0; kind < KindListCount; ++kind)
        ShowPageSet(kind, PageSetCount(kind), false);
    m_session.HexDisplay = false;
    m_session.Module.kind = KindUnknown;
    connectHandlers();
    m_reconnect = new TAdapterReconnect(
        *m_connectPage, m_modbusTimer, *PageControl_ZUL, m_session,
        [this](const zul::ConnectionSettings &settings) { ConnectWith(settings); }, this);
    // A changed slave address applies to the polls at once, as the spin edit is turned.
    connect(
        m_connectPage->SpinEdit_SlaveAddress, &QSpinBox::valueChanged, this, [this](int address) {
            m_session.Connection.address = address;
            if (m_general)
                m_general->TakeSlaveAddress();
        });
    m_traffic = new TTrafficView(*this, m_session.Modbus, *m_session.Messages);
    if (auto *view = menuBar()->findChild<QMenu *>(QStringLiteral("View1"))) {
        new TThemeMenu(*view);
        m_trend = new TTrendDock(*this, *view);
    }
    if (auto *file = menuBar()->findChild<QMenu *>(QStringLiteral("File1")))
        m_liveLog = new TLiveLogControl(*this, *file, m_session);
    if (m_session.ProductionTestVersion) {
        buildRunDock();
        m_reconnect->OnAnotherModule = [this](const QString &serial) {
            m_runDock->AnotherModule(serial);
        };
    }
    // Every results save writes its row's certificate beside the row.
    m_session.RowSaved = [this](const TConfigRecord &record, std::optional<qint64> rowId,
                             const TSaveContext &who) {
        const TCertificateNote note =
            WriteRowCertificate(m_session.Module, record, rowId, who.Plan);
        return TSaveNote { note.hint, note.failed };
    };
    m_session.OnLiveSample = [this](const zul::LiveSample &sample) {
        if (m_trend)
            m_trend->Add(sample, QDateTime::currentMSecsSinceEpoch());
        if (m_liveLog)
            m_liveLog->Add(sample);
        if (m_runDock)
            m_runDock->LiveValues(sample);
    };

    resize(WindowWidth, WindowHeight);
    ScaleFormToScreen(this);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm_ZULConfigure::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // Pages and docks that need more room grow the window; it stays on its screen.
    if (isVisible())
        KeepOnScreen(this);
}

void TForm_ZULConfigure::buildRunDock()
{
    QMenu *run = menuBar()->addMenu(QStringLiteral("Run"));
    run->setObjectName(QStringLiteral("Run1"));
    m_runDock = new TRunDock(*this, *run,
        TRunHost { m_session, [this]() -> TZULGeneral & { return General(); },
            [this](int list) { return KindUnit(list); },
            [this](int list) { return m_runSteps[static_cast<std::size_t>(list)]; },
            [this](int page) { PageControl_ZUL->setCurrentIndex(page); },
            [this](bool enabled) { PageControl_ZUL->setEnabled(enabled); },
            [this] { ConnectWith(m_session.Connection); } });
}

void TForm_ZULConfigure::buildMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction *history = file->addAction(QStringLiteral("Results history..."));
    history->setObjectName(QStringLiteral("ResultsHistory1"));
    SafeConnect(history, &QAction::triggered, this, &TForm_ZULConfigure::ResultsHistory1Click,
        *m_session.Messages);
    if (m_session.ProductionTestVersion) {
        QAction *certificates = file->addAction(QStringLiteral("Certificates..."));
        certificates->setObjectName(QStringLiteral("Certificates1"));
        SafeConnect(certificates, &QAction::triggered, this, *m_session.Messages,
            [this] { TCertificateSettingsDialog(this).exec(); });
    }
    Exit1 = file->addAction(QStringLiteral("E&xit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));

    QMenu *format = menuBar()->addMenu(QStringLiteral("Format"));
    format->setObjectName(QStringLiteral("Format1"));
    auto *formats = new QActionGroup(this);
    Dec1 = format->addAction(QStringLiteral("Dec"));
    Hex1 = format->addAction(QStringLiteral("Hex"));
    Dec1->setObjectName(QStringLiteral("Dec1"));
    Hex1->setObjectName(QStringLiteral("Hex1"));
    for (QAction *item : { Dec1, Hex1 }) {
        item->setCheckable(true);
        formats->addAction(item);
    }
    Dec1->setChecked(true);

    // Present but hidden: the About box is reachable only once the menu is made visible.
    QMenu *help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    About1 = help->addAction(QStringLiteral("About..."));
    About1->setObjectName(QStringLiteral("About1"));
    help->menuAction()->setVisible(false);
}

void TForm_ZULConfigure::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Number format"));
    bar->setObjectName(QStringLiteral("FormatToolBar"));
    bar->setMovable(false);
    auto *buttons = new QButtonGroup(this);
    auto makeButton = [&](const char *name, const char *caption, const char *tip) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(QString::fromLatin1(caption));
        button->setToolTip(QString::fromLatin1(tip));
        button->setCheckable(true);
        buttons->addButton(button);
        bar->addWidget(button);
        return button;
    };
    HexButton = makeButton("HexButton", "Hex", "Show numbers in hexadecimal");
    DecButton = makeButton("DecButton", "Dec", "Show numbers in decimal");
    DecButton->setChecked(true);
}

void TForm_ZULConfigure::buildPages()
{
    auto *central = new QWidget(this);
    PageControl_ZUL = new QTabWidget(central);
    PageControl_ZUL->setObjectName(QStringLiteral("PageControl_ZUL"));
    PageControl_ZUL->setUsesScrollButtons(true);
    new TTabScrollArrows(*PageControl_ZUL->tabBar());
    m_statusPanel = new TStatusPanel(central);
    m_connectPage = new TConnectPage;
    m_connectPage->SetPortSource(AvailablePorts);
    m_session.ResultsDatabase = std::make_shared<TDataModule_Results>();
    // Each kind's plug-in at its registry row's list; a row without one has no pages of its own.
    for (const TKindFactoryEntry &entry : KindFactories())
        if (const zul::TKindRow *row = zul::findKindNamed(entry.Name))
            m_kindFactories[static_cast<std::size_t>(row->List)] = entry.Create;

    // Only the Connect page shows before the first connect. Every other page is an empty
    // stand-in until then, so that a start builds no more than it shows: Comms and Pulsed
    // Outputs Setup come with the first connect (General(), kindContext()), a kind's own pages
    // when a module of that kind first connects (installKind).
    m_pages[ConnectPage] = m_connectPage;
    for (int index = 0; index < PageCount; ++index) {
        if (!m_pages[index])
            m_pages[index] = new QWidget;
        if (m_pages[index]->objectName().isEmpty())
            m_pages[index]->setObjectName(latin1(PageTable[index].ObjectName));
        PageControl_ZUL->addTab(m_pages[index], latin1(PageTable[index].Caption));
    }

    auto *layout = new QHBoxLayout(central);
    layout->addWidget(PageControl_ZUL, 1);
    layout->addWidget(statusPanelScroller(central));
    setCentralWidget(central);

    QLabel *modbusInfo = m_statusPanel->ModbusInfoLabel;
    m_session.Modbus.setCoilStatusReporter([modbusInfo](const std::string &text) {
        modbusInfo->setText(QString::fromStdString(text));
    });
}

QWidget *TForm_ZULConfigure::statusPanelScroller(QWidget *parent)
{
    // The panel is taller than a small screen leaves beside a dock: it scrolls, and never widens.
    auto *scroll = new QScrollArea(parent);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_statusPanel);
    scroll->setFixedWidth(
        m_statusPanel->width() + scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    return scroll;
}

void TForm_ZULConfigure::replacePage(int index, QWidget *page)
{
    // The page takes its stand-in's place, tab state and all.
    const bool visible = PageControl_ZUL->isTabVisible(index);
    const int current = PageControl_ZUL->currentIndex();
    delete m_pages[index];
    m_pages[index] = page;
    if (page->objectName().isEmpty())
        page->setObjectName(latin1(PageTable[index].ObjectName));
    PageControl_ZUL->insertTab(index, page, latin1(PageTable[index].Caption));
    showTab(index, visible);
    PageControl_ZUL->setCurrentIndex(current);
    buildPageSets();
}

TZULGeneral &TForm_ZULConfigure::General()
{
    return m_general ? *m_general : buildGeneral();
}

TZULGeneral &TForm_ZULConfigure::buildGeneral()
{
    if (!m_general) {
        // The general unit serves the Comms page, which only a connected module fills: both
        // are built by the first connect, which keeps start-up short.
        m_commsPage = new TCommsPage;
        replacePage(CommsPage, m_commsPage);
        m_general = std::make_unique<TZULGeneral>(m_session, *m_commsPage, *m_statusPanel);
        SafeConnect(m_commsPage->SetCommsBtn, &QPushButton::clicked, this,
            &TForm_ZULConfigure::SetCommsBtnClick, *m_session.Messages);
    }
    return *m_general;
}

TKindContext &TForm_ZULConfigure::kindContext()
{
    if (!m_kindContext) {
        auto *poutSetupPage = new TPoutSetupPage;
        replacePage(PoutSetupPage, poutSetupPage);
        m_pulsedOutputs = new TPulsedOutputs(m_session, General(), *poutSetupPage, this);
        m_kindContext = std::make_unique<TKindContext>(
            TKindContext { m_session, General(), *this, this, m_modbusTimer, *m_pulsedOutputs });
    }
    return *m_kindContext;
}

void TForm_ZULConfigure::installKind(int kindList)
{
    if (m_units[kindList] || !m_kindFactories[kindList])
        return;
    TKindPlugin plugin = m_kindFactories[kindList](kindContext());
    for (const auto &[index, page] : plugin.Pages) {
        Q_ASSERT(PageTable[index].Owner == kindList);
        replacePage(index, page);
    }
    m_units[kindList] = std::move(plugin.Unit);
    m_runSteps[static_cast<std::size_t>(kindList)] = plugin.RunSteps;
}

void TForm_ZULConfigure::buildPageSets()
{
    for (int kind = 0; kind < KindListCount; ++kind) {
        PageSets[kind].clear();
        for (int index = 0; index < PageCount; ++index)
            if (isShownFor(PageTable[index], kind))
                PageSets[kind].push_back({ m_pages[index], PageTable[index].ProductionOnly });
    }
}

void TForm_ZULConfigure::connectHandlers()
{
    TMessageSink &sink = *m_session.Messages;
    SafeConnect(m_connectPage->ConnectButt, &QPushButton::clicked, this,
        &TForm_ZULConfigure::ConnectButtClick, sink);
    InstallFindModule(
        *m_connectPage, [this](const zul::ConnectionSettings &settings) { ConnectWith(settings); });
    SafeConnect(m_statusPanel->UpdateStatusBut, &QPushButton::clicked, this,
        &TForm_ZULConfigure::UpdateStatusButClick, sink);
    SafeConnect(
        &m_modbusTimer, &QTimer::timeout, this, &TForm_ZULConfigure::ModbusTimerTimer, sink);
    SafeConnect(Dec1, &QAction::triggered, this, &TForm_ZULConfigure::SetDecimal, sink);
    SafeConnect(DecButton, &QToolButton::clicked, this, &TForm_ZULConfigure::SetDecimal, sink);
    SafeConnect(Hex1, &QAction::triggered, this, &TForm_ZULConfigure::SetHex, sink);
    SafeConnect(HexButton, &QToolButton::clicked, this, &TForm_ZULConfigure::SetHex, sink);
    SafeConnect(Exit1, &QAction::triggered, this, sink, [this] { close(); });
    SafeConnect(About1, &QAction::triggered, this, &TForm_ZULConfigure::About1Click, sink);
}

void TForm_ZULConfigure::ConnectButtClick()
{
    ConnectWith(m_connectPage->Settings());
}

void TForm_ZULConfigure::ConnectWith(const zul::ConnectionSettings &settings)
{
    TBusyCursor busy;
    m_connectPage->Show(settings);
    connectModule(settings);
    // Reconnect learns every connect's outcome, whoever asked for it.
    if (m_reconnect)
        m_reconnect->ConnectFinished();
}

void TForm_ZULConfigure::connectModule(const zul::ConnectionSettings &settings)
{
    // Whatever module comes now, a log of the last one's values ends here.
    if (m_liveLog)
        m_liveLog->Stop();
    // Hidden before the port is opened, so that a port that cannot be opened leaves them hidden.
    for (int kind = 0; kind < KindListCount; ++kind)
        ShowPageSet(kind, PageSetCount(kind), false);
    std::optional<std::uint16_t> kind;
    try {
        kind = buildGeneral().Connect(settings);
    } catch (const EOpeningPortError &error) {
        // The port's own message, with what to check under it.
        ShowPortOpenError(*m_session.Messages, error);
        return;
    }
    if (!kind)
        return;
    ShowModulePages(*kind);
    General().ShowModuleStatus();
    m_statusPanel->UpdateStatusBut->setVisible(true);
    General().PrepareCommsPage();
    m_modbusTimer.setInterval(pollIntervalMs(m_connectPage->BaudRate()));
    m_modbusTimer.start();
    TryResultsDatabase();
    if (m_runDock)
        m_runDock->RefreshPlans();
}

void TForm_ZULConfigure::TryResultsDatabase()
{
    // Fresh records only when the database opens now; they serve every save until the next
    // connect. Only the production test version saves, so the normal edition leaves the
    // database alone: trying it would create the embedded file on every configuring station.
    if (!m_session.ProductionTestVersion)
        return;
    if (m_session.ResultsDatabase->testConnection()) {
        CreateTestRecords(m_session.Records);
    } else {
        m_session.Message(QStringLiteral("Unable to connect to test reports database\r\n"
                                         "You will not be able to save your results."));
    }
}

void TForm_ZULConfigure::UpdateStatusButClick()
{
    General().ShowModuleStatus();
}

void TForm_ZULConfigure::SetCommsBtnClick()
{
    General().SetModuleComms();
}

void TForm_ZULConfigure::ModbusTimerTimer()
{
    try {
        PollActivePage();
        // A run step that waits for settled values goes on with what this tick read.
        if (m_runDock)
            m_runDock->Tick();
    } catch (const EOpeningPortError &error) {
        // Usually the adapter was pulled: the hint says what is there now.
        stopPolling(PortOpenHint(error));
    } catch (const std::exception &error) {
        stopPolling(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        stopPolling(QString());
    }
}

void TForm_ZULConfigure::stopPolling(const QString &hint)
{
    m_modbusTimer.stop();
    // The module is gone: a log of its values ends here.
    if (m_liveLog)
        m_liveLog->Stop();
    // In a production run no box stops the operator: the step under way says what happened.
    const QString lost = QStringLiteral("Modbus error! Try connecting again.");
    if (m_runDock
        && m_runDock->ModuleLost(hint.isEmpty() ? lost : lost + QStringLiteral(" ") + hint))
        return;
    m_session.Messages->ShowError(lost.toStdString(), hint.toStdString());
}

void TForm_ZULConfigure::ShowPageSet(int kind, int count, bool visible)
{
    const std::vector<TTabSheetSet> &list = PageSets[kind];
    for (int n = 0; n < count && n < static_cast<int>(list.size()); ++n) {
        const TTabSheetSet &entry = list[n];
        const bool show = visible && (m_session.ProductionTestVersion || !entry.ProductionOnly);
        showTab(PageControl_ZUL->indexOf(entry.Sheet), show);
    }
}

void TForm_ZULConfigure::showTab(int index, bool shown)
{
    // Qt 6.4's wheel, arrow keys and Ctrl+Tab step over disabled tabs but not over hidden ones,
    // and would show another kind's page with no tab selected: a hidden tab is disabled too.
    // Only the tab: the page keeps its own enabled state.
    PageControl_ZUL->setTabVisible(index, shown);
    PageControl_ZUL->tabBar()->setTabEnabled(index, shown);
}

int TForm_ZULConfigure::PageSetCount(int kind) const
{
    return static_cast<int>(PageSets[kind].size());
}

void TForm_ZULConfigure::ShowOnlyPageSet(int kind)
{
    for (int other = 0; other < KindListCount; ++other)
        if (other != kind)
            ShowPageSet(other, PageSetCount(other), false);
    ShowPageSet(kind, PageSetCount(kind), true);
}

void TForm_ZULConfigure::ShowModulePages(std::uint16_t kindCode)
{
    const int kind = kindListOf(kindCode);
    if (kind < 0)
        return;
    installKind(kind);
    // A registered kind without a plug-in still shows the pages every kind has.
    if (TModuleKindUnit *unit = m_units[kind].get())
        unit->Setup();
    else
        ShowOnlyPageSet(kind);
}

int TForm_ZULConfigure::ActivePageIndex() const
{
    return PageControl_ZUL->currentIndex();
}

void TForm_ZULConfigure::PollActivePage()
{
    const int index = ActivePageIndex();
    if (index < 0 || !PageTable[index].Polled)
        return;
    // The values of a module that stopped answering keep their text but are greyed until the
    // next good tick, so that nobody reads them as live.
    const bool live = General().CheckModule(false);
    ShowValuesStale(*m_pages[index], !live);
    if (!live)
        return;
    if (TModuleKindUnit *unit = m_units[PageTable[index].Owner].get())
        unit->Poll(index);
}

void TForm_ZULConfigure::ShowValuesStale(QWidget &page, bool stale)
{
    if (!stale) {
        page.setPalette(QPalette());
        return;
    }
    QPalette palette = page.palette();
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text })
        for (const QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive })
            palette.setColor(group, role, palette.color(QPalette::Disabled, role));
    page.setPalette(palette);
}

void TForm_ZULConfigure::SetDecimal()
{
    Dec1->setChecked(true);
    Hex1->setChecked(false);
    DecButton->setChecked(true);
    m_session.HexDisplay = false;
    RefreshActivePage();
}

void TForm_ZULConfigure::SetHex()
{
    Hex1->setChecked(true);
    Dec1->setChecked(false);
    HexButton->setChecked(true);
    m_session.HexDisplay = true;
    RefreshActivePage();
}

void TForm_ZULConfigure::RefreshActivePage()
{
    const int index = ActivePageIndex();
    if (index < 0 || !PageTable[index].Refreshed)
        return;
    if (TModuleKindUnit *unit = m_units[PageTable[index].Owner].get())
        unit->Refresh(index);
}

void TForm_ZULConfigure::About1Click()
{
    m_session.Messages->ShowInformation(
        (AboutText(zul::toolVersion()) + QStringLiteral("\r\n\r\nResults database: ")
            + describeResultsTarget(m_session.ResultsDatabase->paths()))
            .toStdString());
}

void TForm_ZULConfigure::ResultsHistory1Click()
{
    // One history window, left open beside the pages while testing goes on. Found by type with
    // dynamic_cast: the class has no meta-object of its own, so findChild<> would take any dialog.
    TResultsHistoryDialog *dialog = nullptr;
    for (QDialog *child : findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly))
        if (!dialog)
            dialog = dynamic_cast<TResultsHistoryDialog *>(child);
    if (dialog) {
        dialog->Refresh();
    } else {
        dialog = new TResultsHistoryDialog(
            m_session.ResultsDatabase->paths(), *m_session.Messages, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TForm_ZULConfigure::FormShow()
{
    // Before the first connect nothing has filled the panel.
    if (m_general)
        m_general->ClearModuleStatus();
}

void TForm_ZULConfigure::FormClose()
{
    PageControl_ZUL->setCurrentIndex(ConnectPage);
}

void TForm_ZULConfigure::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm_ZULConfigure::closeEvent(QCloseEvent *event)
{
    // A run under way ends as aborted: the module is left safe (outputs at the plan's safe
    // value) and the run's record is kept.
    if (m_runDock)
        m_runDock->Abort(false);
    FormClose();
    QMainWindow::closeEvent(event);
}
