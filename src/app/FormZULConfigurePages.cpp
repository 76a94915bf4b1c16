// The main window's pages: the tab widget with its stand-ins, the pages built as they are first
// needed (the general unit with Comms, the kinds' shared context with Pulsed Outputs Setup, a
// kind's own pages), the page sets of each kind, and what the active page shows.
#include "FormZULConfigure.h"

#include "KindFactories.h"
#include "module/PulsedOutputs.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetCommsPage.h"
#include "module/WidgetConnectPage.h"
#include "module/WidgetPoutSetupPage.h"
#include "module/WidgetStatusPanel.h"
#include "ports/PortList.h"
#include "records/ZUL_Database.h"
#include "widgets/SafeSlot.h"
#include "widgets/TabScrollArrows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

namespace {

using namespace zul;

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

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
    // Outputs Setup come with the first connect (buildGeneral(), buildKindContext()), a kind's own
    // pages when a module of that kind first connects (installKind).
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
    // Built by the first connect's buildGeneral(); whoever may come before it builds explicitly.
    Q_ASSERT(m_general);
    return *m_general;
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

TKindContext &TForm_ZULConfigure::buildKindContext()
{
    if (!m_kindContext) {
        // The kinds share the general unit: a connect built it already, but a kind's pages may
        // also be asked for directly (ShowModulePages), so it is built here if need be.
        TZULGeneral &general = buildGeneral();
        auto *poutSetupPage = new TPoutSetupPage;
        replacePage(PoutSetupPage, poutSetupPage);
        m_pulsedOutputs = new TPulsedOutputs(m_session, general, *poutSetupPage, this);
        m_kindContext = std::make_unique<TKindContext>(
            TKindContext { m_session, general, *this, this, m_modbusTimer, *m_pulsedOutputs });
    }
    return *m_kindContext;
}

void TForm_ZULConfigure::installKind(int kindList)
{
    if (m_units[kindList] || !m_kindFactories[kindList])
        return;
    TKindPlugin plugin = m_kindFactories[kindList](buildKindContext());
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

void TForm_ZULConfigure::RefreshActivePage()
{
    const int index = ActivePageIndex();
    if (index < 0 || !PageTable[index].Refreshed)
        return;
    if (TModuleKindUnit *unit = m_units[PageTable[index].Owner].get())
        unit->Refresh(index);
}
