// The main window TForm_ZULConfigure: menu, number-format buttons, the eighteen pages of the
// page table in PageControl_ZUL with the page lists of each module kind, the status panel and
// the poll timer. It owns the session, registers the three kinds' plug-ins, runs Connect's
// sequence, and dispatches polls and Dec/Hex refreshes to the unit that owns the active page.
// Created by main() and by the widget tests. Its member functions are spread by concern:
// FormZULConfigure.cpp builds the window, FormZULConfigureMenus.cpp the menus and tool bar,
// FormZULConfigurePages.cpp the pages and page sets, FormZULConfigureConnect.cpp the connect
// sequence and the poll.
#pragma once

#include "core/ToolVersion.h"
#include "module/KindPlugin.h"
#include "module/Session.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QTabWidget;
class QToolButton;
class TCommsPage;
class TConnectPage;
class TPulsedOutputs;
class TStatusPanel;
class TAdapterReconnect;
class TLiveLogControl;
class TRunDock;
class TTrafficView;
class TTrendDock;
class TZULGeneral;

class TTabSheetSet
{
public:
    QWidget *Sheet = nullptr;
    bool ProductionOnly = false;
};

// "ZUL Module Configuration 1.12 build 3": release only when not 0, build only when not 0.
QString AboutText(const zul::ToolVersion &version);

class TForm_ZULConfigure : public QMainWindow, public TZULHost
{
public:
    // executablePath: argv[0], whose name chooses the edition and the model-name variant.
    // messages: where message texts go; nullptr shows message boxes.
    explicit TForm_ZULConfigure(
        const QString &executablePath, TMessageSink *messages = nullptr, QWidget *parent = nullptr);
    ~TForm_ZULConfigure() override;

    void ShowPageSet(int kind, int count, bool visible);
    int PageSetCount(int kind) const;
    void ShowOnlyPageSet(int kind) override;
    // Hands over to the kind's set-up after Connect read the kind code; any other code shows
    // nothing.
    void ShowModulePages(std::uint16_t kindCode);
    int ActivePageIndex() const;
    // One poll of the active page, only after CheckModule(false); may raise.
    // False when the module did not answer the tick's check.
    bool PollActivePage();
    // A live page's values greyed while the module does not answer, or shown as usual again.
    static void ShowValuesStale(QWidget &page, bool stale);
    QTimer &ModbusTimer() { return m_modbusTimer; }

    void SetDecimal();
    void SetHex();
    void RefreshActivePage();

    // Connect to Module: the general unit's connect, then the found kind's pages and set-up,
    // the status panel, the Comms page, the poll timer and the results database, in that order.
    void ConnectButtClick();
    // The Connect page shows the settings, then the connect sequence runs with them: what Find
    // module's "Use", Reconnect and the run's next module do, without typing into the page.
    void ConnectWith(const zul::ConnectionSettings &settings);
    void UpdateStatusButClick();
    void SetCommsBtnClick();
    // Never lets an exception out: a port that cannot be opened stops the timer.
    void ModbusTimerTimer();

    TSession &Session() { return m_session; }
    // Built with the Comms page by the first connect (connectModule's buildGeneral()); only
    // returns it, so it is not to be called before a connect. Every caller comes after one.
    TZULGeneral &General();
    QWidget *Page(int index) const { return m_pages[index]; }
    // A kind's unit, once a module of that kind connected (the tests reach it here).
    TModuleKindUnit *KindUnit(int kindList) const { return m_units[kindList].get(); }
    // The comms traffic dock and the line counters.
    TTrafficView &Traffic() const { return *m_traffic; }
    TTrendDock &Trend() const { return *m_trend; }
    TLiveLogControl &LiveLog() const { return *m_liveLog; }
    // The production test version's run dock; nullptr in the other edition.
    TRunDock *RunDock() const { return m_runDock; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Construction, window events (FormZULConfigure.cpp).
    void FormCreate(const QString &executablePath);
    // The edition the program's name chooses, and the window title it brings.
    void applyEdition(const QString &executablePath);
    void buildReconnect();
    void buildDocks();
    void connectSessionHooks();
    void placeWindow();
    void FormShow();
    void FormClose();

    // Menus, tool bar, run dock and the window's own handlers (FormZULConfigureMenus.cpp).
    void buildMenu();
    void buildToolBar();
    void buildRunDock();
    void connectHandlers();
    void About1Click();
    void ResultsHistory1Click();

    // Pages and page sets (FormZULConfigurePages.cpp).
    void buildPages();
    QWidget *statusPanelScroller(QWidget *parent);
    // Puts a built page in place of its stand-in.
    void replacePage(int index, QWidget *page);
    // Builds the general unit with the Comms page the first time; answers it.
    TZULGeneral &buildGeneral();
    // What the kinds share, with the Pulsed Outputs Setup page: built when the first kind is
    // installed, together with the general unit if no connect built that yet.
    TKindContext &buildKindContext();
    // Builds a kind's pages and unit the first time a module of that kind connects.
    void installKind(int kindList);
    void buildPageSets();
    void showTab(int index, bool shown);

    // Connect sequence and poll (FormZULConfigureConnect.cpp).
    void connectModule(const zul::ConnectionSettings &settings);
    void TryResultsDatabase();
    void stopPolling(const QString &hint);

    std::unique_ptr<TMessageSink> m_ownMessages;
    TSession m_session;
    QTimer m_modbusTimer;
    QTabWidget *PageControl_ZUL = nullptr;
    TConnectPage *m_connectPage = nullptr;
    TCommsPage *m_commsPage = nullptr;
    TStatusPanel *m_statusPanel = nullptr;
    QAction *Dec1 = nullptr;
    QAction *Hex1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *About1 = nullptr;
    QToolButton *HexButton = nullptr;
    QToolButton *DecButton = nullptr;
    std::array<QWidget *, zul::PageCount> m_pages {};
    TPulsedOutputs *m_pulsedOutputs = nullptr;
    std::array<std::vector<TTabSheetSet>, zul::KindListCount> PageSets;
    std::unique_ptr<TZULGeneral> m_general;
    std::unique_ptr<TKindContext> m_kindContext;
    std::array<TKindFactory, zul::KindListCount> m_kindFactories {};
    std::array<std::unique_ptr<TModuleKindUnit>, zul::KindListCount> m_units;
    std::array<TRunStepsMaker, zul::KindListCount> m_runSteps {};
    TTrafficView *m_traffic = nullptr;
    TTrendDock *m_trend = nullptr;
    TLiveLogControl *m_liveLog = nullptr;
    TRunDock *m_runDock = nullptr;
    TAdapterReconnect *m_reconnect = nullptr;
};
