#include "PageFactory.h"

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
    (void)context;
}

QWidget *CreateModulePage(int index, TPageContext &context)
{
    (void)context;
    switch (index) {
    case DIOSetupPage:
        return placeholder(index);
    case PoutSetupPage:
        return placeholder(index);
    case DIOCheckPage:
        return placeholder(index);
    case DIOResultsPage:
        return placeholder(index);
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
    (void)pages;
    (void)context;
    switch (kindList) {
    case DIOList:
        return nullptr;
    case AINList:
        return nullptr;
    case AOTList:
        return nullptr;
    default:
        return nullptr;
    }
}
