// The main window's connect sequence and poll: Connect's button and its settings, the general
// unit's connect, the found kind's pages, the poll timer and the results database, and what a
// module that stops answering ends.
#include "FormZULConfigure.h"

#include "comms/RKCOMM.h"
#include "core/CommsSettings.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetConnectPage.h"
#include "module/WidgetStatusPanel.h"
#include "ports/AdapterReconnect.h"
#include "ports/PortOpenHints.h"
#include "records/DataRecords.h"
#include "records/ZUL_Database.h"
#include "rundock/RunDock.h"
#include "trend/LiveLogControl.h"
#include "widgets/BusyCursor.h"

#include <QPushButton>

using namespace zul;

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
    // The button shows only after a connect, but a click may come first: it builds what it uses.
    buildGeneral().ShowModuleStatus();
}

void TForm_ZULConfigure::SetCommsBtnClick()
{
    // The button is on the Comms page, which comes with the general unit; built here all the
    // same, as a call may come from elsewhere first.
    buildGeneral().SetModuleComms();
}

void TForm_ZULConfigure::ModbusTimerTimer()
{
    try {
        const bool answered = PollActivePage();
        // A run step that waits for settled values goes on with what this tick read.
        if (m_runDock)
            m_runDock->Tick(answered);
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

bool TForm_ZULConfigure::PollActivePage()
{
    const int index = ActivePageIndex();
    if (index < 0 || !PageTable[index].Polled)
        return true;
    // The values of a module that stopped answering keep their text but are greyed until the
    // next good tick, so that nobody reads them as live.
    // Normally after a connect; a poll asked for before one builds the unit it checks with.
    const bool live = buildGeneral().CheckModule(false);
    ShowValuesStale(*m_pages[index], !live);
    if (!live)
        return false;
    if (TModuleKindUnit *unit = m_units[PageTable[index].Owner].get())
        unit->Poll(index);
    return true;
}
