// What the AIN and AOT kinds share as plug-ins: their pages built from the kind's tables (the
// configuration pages, calibration, check and results), and a unit base that runs the common
// set-up after connect (page list, DIP boxes unticked, configuration shown, update times) and the
// poll and Dec/Hex dispatch. A kind derives from TAnalogKindUnit and adds its calibration extras,
// its test dialog and its record.
#pragma once

#include "AnalogCheck.h"
#include "AnalogResults.h"
#include "ScaleConfig.h"
#include "module/KindPlugin.h"

#include <span>
#include <utility>
#include <vector>

class QDialog;
class TAnalogCheckPage;
class TAnalogResultsPage;
class TCalibrationPage;
class TScaleConfigPage;
struct TAnalogCheckPageNames;
struct TAnalogResultsPageNames;
struct TCalibrationPageNames;
struct TScaleConfigPageInfo;

struct TAnalogKindTables
{
    std::span<const TScaleConfigPageInfo> ConfigPages; // in page order
    const TCalibrationPageNames &Calibration;
    const TAnalogCheckPageNames &Check;
    const TAnalogResultsPageNames &Results;
};

struct TAnalogKindPages
{
    explicit TAnalogKindPages(const TAnalogKindTables &tables);

    // Every page with its index in the page table, for the kind's plug-in.
    std::vector<std::pair<int, QWidget *>> PageList() const;

    std::vector<TScaleConfigPage *> Config;
    TCalibrationPage *Calibration;
    TAnalogCheckPage *Check;
    TAnalogResultsPage *Results;
};

class TAnalogKindUnit : public TModuleKindUnit
{
public:
    TAnalogKindUnit(TKindContext &context, int kindList, const TAnalogKindPages &pages,
        TAnalogResultsKind resultsKind);

    void Setup() override;
    void Poll(int pageIndex) override;
    void Refresh(int pageIndex) override;
    // The results page's date to today: the first step of every set-up.
    void ResetResultsDate();
    // The arrays are fixed members of the pages; rebuilding them comes down to a fresh date.
    void BuildControlArrays() { ResetResultsDate(); }

    TScaleConfigUnit &Configuration() { return m_config; }
    TAnalogCheck &Check() { return m_check; }
    TAnalogResults &Results() { return m_results; }

protected:
    // The kind's calibration page: read at set-up, its live tick, its Dec/Hex re-display, and
    // the grid that a configuration save clears.
    virtual void calibrationRead() = 0;
    virtual void calibrationPoll() = 0;
    virtual void calibrationRefresh() = 0;
    virtual void clearCalibrationGrid() = 0;
    virtual void afterSetup() { }
    // "Test Analogs" on the results page opens it modally.
    void useTestDialog(QDialog *dialog);

    TSession &m_session;
    TZULGeneral &m_general;

private:
    TZULHost &m_host;
    TPulsedOutputs &m_pulsedOutputs;
    int m_kindList;
    int m_calibrationPage;
    int m_checkPage;
    TScaleConfigUnit m_config;
    TAnalogCheck m_check;
    TAnalogResults m_results;
};
