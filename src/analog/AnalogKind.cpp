#include "AnalogKind.h"

#include "WidgetAnalogCheckPage.h"
#include "WidgetAnalogResultsPage.h"
#include "WidgetCalibrationPage.h"
#include "WidgetScaleConfigPage.h"
#include "module/FormZULPulsedOut.h"
#include "module/PulsedOutputs.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/SafeSlot.h"

#include <QDialog>
#include <QPushButton>

namespace {

int pageOf(const QWidget *page)
{
    return zul::findPage(page->objectName().toStdString());
}

} // namespace

TAnalogKindPages::TAnalogKindPages(const TAnalogKindTables &tables)
    : Calibration(new TCalibrationPage(tables.Calibration))
    , Check(new TAnalogCheckPage(tables.Check))
    , Results(new TAnalogResultsPage(tables.Results))
{
    for (const TScaleConfigPageInfo &info : tables.ConfigPages)
        Config.push_back(new TScaleConfigPage(info));
}

std::vector<std::pair<int, QWidget *>> TAnalogKindPages::PageList() const
{
    std::vector<std::pair<int, QWidget *>> pages;
    for (TScaleConfigPage *page : Config)
        pages.emplace_back(pageOf(page), page);
    for (QWidget *page : std::initializer_list<QWidget *> { Calibration, Check, Results })
        pages.emplace_back(pageOf(page), page);
    return pages;
}

TAnalogKindUnit::TAnalogKindUnit(TKindContext &context, int kindList, const TAnalogKindPages &pages,
    TAnalogResultsKind resultsKind)
    : m_session(context.Session)
    , m_general(context.General)
    , m_host(context.Host)
    , m_pulsedOutputs(context.PulsedOutputs)
    , m_kindList(kindList)
    , m_calibrationPage(pageOf(pages.Calibration))
    , m_checkPage(pageOf(pages.Check))
    , m_config(context.Session, context.General, pages.Config, [this] { clearCalibrationGrid(); })
    , m_check(context.Session, context.General, *pages.Check, m_pulsedOutputs.TargetsDialog())
    , m_results(context.Session, context.General, *pages.Results, std::move(resultsKind))
{
}

void TAnalogKindUnit::useTestDialog(QDialog *dialog)
{
    TAnalogResultsPage &page = m_results.Page();
    zul::SafeConnect(page.TestButton, &QPushButton::clicked, &page, *m_session.Messages,
        [dialog] { dialog->exec(); });
}

void TAnalogKindUnit::ResetResultsDate()
{
    m_results.ResetDate();
}

void TAnalogKindUnit::Setup()
{
    ResetResultsDate();
    m_host.ShowOnlyPageSet(m_kindList);
    m_config.DipTickExclusive(nullptr);
    m_general.ShowConfiguration([this](const zul::ModuleState &codes) {
        calibrationRead();
        m_config.ShowConfiguration(codes);
    });
    m_pulsedOutputs.ReadUpdateTimes();
    afterSetup();
}

void TAnalogKindUnit::Poll(int pageIndex)
{
    if (pageIndex == m_calibrationPage)
        calibrationPoll();
    else if (pageIndex == m_checkPage)
        m_check.Poll();
}

void TAnalogKindUnit::Refresh(int pageIndex)
{
    if (pageIndex == m_calibrationPage)
        calibrationRefresh();
    else if (pageIndex == m_checkPage)
        m_check.RefreshFormat();
}
