// The main window TForm_ZULConfigure: menu, number-format buttons, the eighteen pages in
// PageControl_ZUL with the page lists of each module kind, the status panel and the poll timer.
// It owns the session, forwards every handler to the general unit or a kind's unit, and offers
// them the page lists and the timer (TZULHost). Created by main() and by the widget tests.
#pragma once

#include "PageFactory.h"
#include "module/Session.h"
#include "module/UnitZUL_GeneralHooks.h"

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
class TStatusPanel;
class TZULGeneral;

class TTabSheetSet
{
public:
    QWidget *Sheet = nullptr;
    bool ProductionOnly = false;
};

// "ZUL Module Configuration 1.12 build 3": release only when not 0, build only when not 0.
QString AboutText(int major, int minor, int release, int build);

class TForm_ZULConfigure : public QMainWindow, public TZULHost
{
public:
    // executablePath: argv[0], whose name chooses the edition and the model-name variant.
    // messages: where message texts go; nullptr shows message boxes.
    explicit TForm_ZULConfigure(
        const QString &executablePath, TMessageSink *messages = nullptr, QWidget *parent = nullptr);
    ~TForm_ZULConfigure() override;

    // TZULHost
    void ShowPageSet(int kind, int count, bool visible) override;
    int PageSetCount(int kind) const override;
    void ShowModulePages(std::uint16_t kindCode) override;
    int ActivePageIndex() const override;
    void PollActivePage() override;
    QTimer &ModbusTimer() override { return m_modbusTimer; }

    void SetDecimal();
    void SetHex();
    void RefreshActivePage();

    // Handlers, each forwarding to the general unit.
    void ConnectButtClick();
    void UpdateStatusButClick();
    void SetCommsBtnClick();
    void ModbusTimerTimer();

    TSession &Session() { return m_session; }
    TZULGeneral &General() { return *m_general; }
    QWidget *Page(int index) const { return m_pages[index]; }
    // A kind's unit, once one is registered (the tests and the dialogs reach it here).
    TModuleKindUnit *KindUnit(int kindList) const { return m_units[kindList].get(); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(const QString &executablePath);
    void FormShow();
    void FormClose();
    void buildMenu();
    void buildToolBar();
    void buildPages();
    void buildPageSets();
    void connectHandlers();
    void About1Click();

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
    TPageArray m_pages {};
    std::array<std::vector<TTabSheetSet>, zul::KindListCount> PageSets;
    std::unique_ptr<TZULGeneral> m_general;
    std::array<std::unique_ptr<TModuleKindUnit>, zul::KindListCount> m_units;
};
