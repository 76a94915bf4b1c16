#include "PageFactory.h"

#include "dio/PulsedOutputs.h"
#include "dio/UnitZUL_DIO.h"
#include "dio/WidgetDIOCheckPage.h"
#include "dio/WidgetDIOResultsPage.h"
#include "dio/WidgetDIOSetupPage.h"
#include "dio/WidgetPoutSetupPage.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "records/ZUL_Database.h"

#include <QWidget>

namespace {

using namespace zul;

constexpr TPageInfo Pages[PageCount] = {
    { "ConnectSheet", "Connect", -1, false },
    { "CommsSheet", "Comms", -1, false },
    { "DIOSetupSheet", "Pulse Inputs Setup", DIOList, false },
    { "PoutSetupSheet", "Pulsed Outputs Setup", DIOList, false },
    { "DIOCheckSheet", "DIO Check", DIOList, false },
    { "DIOResultsSheet", "DIO Results", DIOList, true },
    { "S_VinputSheet", "Single-ended Voltage input", AINList, false },
    { "D_VinputSheet", "Differential Voltage input", AINList, false },
    { "S_IinputSheet", "Single-ended Current Input", AINList, false },
    { "D_IinputSheet", "Differential Current Input", AINList, false },
    { "AINCalSheet", "AIN Calibration", AINList, true },
    { "AINCheckSheet", "AIN Check", AINList, false },
    { "AINResultsSheet", "AIN Results", AINList, true },
    { "VoutputSheet", "Voltage Output", AOTList, false },
    { "IoutputSheet", "Current Output", AOTList, false },
    { "AOTCalSheet", "AOT Calibration", AOTList, true },
    { "AOTCheckSheet", "AOT Check", AOTList, false },
    { "AOTResultsSheet", "AOT Results", AOTList, true },
};

// An empty page that stands in until its kind's page class exists.
QWidget *placeholder(int index)
{
    auto *page = new QWidget;
    page->setObjectName(QString::fromLatin1(Pages[index].ObjectName));
    return page;
}

} // namespace

const TPageInfo &PageInfo(int index)
{
    return Pages[index];
}

void ConnectServices(TPageContext &context)
{
    // Connect tries the results database once: fresh records only when it opens now. The warning
    // belongs to the production test version, the only one with results pages.
    TSession &session = context.Session;
    session.ResultsDatabase = std::make_shared<TDataModule_Results>();
    context.General.ResultsDatabaseHook = [&session] {
        if (session.ResultsDatabase->testConnection()) {
            TestRecords records;
            TDataModule_Results::CreateTestRecords(records);
            session.AINRecord = std::move(records.ain);
            session.AOTRecord = std::move(records.aot);
            session.DIORecord = std::move(records.dio);
        } else if (session.ProductionTestVersion) {
            session.Message(QStringLiteral("Unable to connect to test reports database\r\n"
                                           "You will not be able to save your results."));
        }
    };
}

QWidget *CreateModulePage(int index, TPageContext &context)
{
    switch (index) {
    case DIOSetupPage:
        return new TDIOSetupPage;
    case PoutSetupPage: {
        auto *page = new TPoutSetupPage;
        context.PulsedOutputs =
            new TPulsedOutputs(context.Session, context.General, *page, context.Window);
        return page;
    }
    case DIOCheckPage:
        return new TDIOCheckPage;
    case DIOResultsPage:
        return new TDIOResultsPage;
    case S_VinputPage:
        return placeholder(index);
    case D_VinputPage:
        return placeholder(index);
    case S_IinputPage:
        return placeholder(index);
    case D_IinputPage:
        return placeholder(index);
    case AINCalPage:
        return placeholder(index);
    case AINCheckPage:
        return placeholder(index);
    case AINResultsPage:
        return placeholder(index);
    case VoutputPage:
        return placeholder(index);
    case IoutputPage:
        return placeholder(index);
    case AOTCalPage:
        return placeholder(index);
    case AOTCheckPage:
        return placeholder(index);
    case AOTResultsPage:
        return placeholder(index);
    default:
        return nullptr;
    }
}

std::unique_ptr<TModuleKindUnit> CreateKindUnit(
    int kindList, const TPageArray &pages, TPageContext &context)
{
    switch (kindList) {
    case DIOList:
        return std::make_unique<TZULDIO>(context.Session, context.General, context.Host,
            TDIOPages { *static_cast<TDIOSetupPage *>(pages[DIOSetupPage]),
                *static_cast<TDIOCheckPage *>(pages[DIOCheckPage]),
                *static_cast<TDIOResultsPage *>(pages[DIOResultsPage]) },
            *context.PulsedOutputs);
    case AINList:
        return nullptr;
    case AOTList:
        return nullptr;
    default:
        return nullptr;
    }
}
