// Run > Production run...: the dock that takes one module from plug-in to saved row by a plan.
// The operator picks a plan and presses Start; each step says what to do (RunPromptLabel) and
// Next runs it; a failed step may be retried (F5) or skipped; Esc aborts. Steps that wait for
// settled values are moved on by the window's poll ticks. The pages' buttons are not touched by
// the run: it calls their operations, shows the page each step works on, and keeps the pages
// disabled only while a step runs. Messages of the operations a step calls go into the step's
// result instead of a box. The run's record file is written after every attempt and the record
// stored at every end; "Next module" reconnects on the same port and starts the same plan for the
// next module. The class is spread by concern: RunDockBuild.cpp builds the dock, RunDockShow.cpp
// shows the run, RunDock.cpp operates it; StepMessages.h keeps a step's messages and RunEndRecord.h
// stores the run's record at its end.
#pragma once

#include "RunEndRecord.h"
#include "core/LiveValues.h"
#include "core/ModuleState.h"
#include "module/KindRun.h"
#include "run/Plan.h"
#include "run/RunEngine.h"
#include "runsteps/RunLiveValues.h"
#include "runsteps/RunSteps.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QDockWidget;
class QFont;
class QLabel;
class QLayout;
class QLineEdit;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWidget;
class TModuleKindUnit;
class TRunIdentity;
class TRunReadingsTable;
class TZULGeneral;
struct TSession;

// What the run needs of the main window.
struct TRunHost
{
    TSession &Session;
    // Asked for only once the connected kind's unit exists, so after a connect built it.
    std::function<TZULGeneral &()> General;
    std::function<TModuleKindUnit *(int kindList)> KindUnit;
    // The kind's production run (its plug-in's maker); null when it has none.
    std::function<TRunStepsMaker(int kindList)> KindRunSteps;
    std::function<void(int page)> ShowPage;
    std::function<void(bool enabled)> SetPagesEnabled;
    // Connect again with the Connect page's settings, as its button does.
    std::function<void()> Reconnect;
};

class TRunDock : public QObject
{
public:
    TRunDock(QMainWindow &window, QMenu &runMenu, TRunHost host);
    ~TRunDock() override;

    QDockWidget *Dock() const { return m_dock; }
    // Every poll tick: the live values the page published, then the tick itself.
    void LiveValues(const zul::LiveSample &sample) { m_live.Add(sample); }
    // `answered`: the module answered the tick's check. A step that waits on a module that
    // stopped answering ends in Error, not as values that never settled.
    void Tick(bool answered = true);
    // The plans for the connected kind again (after a connect).
    void RefreshPlans();

    // The module or its adapter went away while a run goes: the step ends in Error with the
    // reason, in the dock, instead of a message box. False when no run is going.
    bool ModuleLost(const QString &reason);
    // Another module came back on the adapter: after a run it is the next module, and the same
    // plan starts; a run under way is interrupted, for the operator to decide.
    void AnotherModule(const QString &serial);

    bool Start();
    void Next();
    void Retry();
    void Skip();
    // Asks first when `confirm`.
    void Abort(bool confirm);
    void NextModule();

    const zul::run::Run *CurrentRun() const { return m_run.get(); }
    TRunReadingsTable &ReadingsTable() const { return *m_readingsTable; }
    // Where the last run's record went, as said to the operator.
    const QString &RecordNote() const { return m_recordNote; }
    // The current run's id and record file (empty until its first attempt ended).
    const TRunRecordKeeper &Record() const { return m_record; }

protected:
    // Closing the dock ends a run in progress.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building (RunDockBuild.cpp).
    void buildMenuAction(QMenu &runMenu);
    void buildDock(QMainWindow &window);
    QLayout *buildChoice(QWidget &body);
    void buildStepTable(QWidget &body);
    // The prompt's font, which the verdict shares.
    QFont buildPrompt(QWidget &body);
    void buildButtons(QWidget &body);
    void buildProgress(QWidget &body, const QFont &large);
    void layOut(QWidget &body, QLayout *choose);
    void connectButtons();
    void buildShortcuts();
    // Operating (RunDock.cpp).
    template<typename Operation>
    void operate(Operation operation);
    void wrapStepMessages(std::vector<zul::run::Step> &steps);
    // Showing (RunDockShow.cpp).
    void showState();
    void showControls();
    void showOutcome();
    void showCurrentStep();
    // The page of the step that comes up, and once per step its preparation and readings.
    void comeUpStep(const TRunStepEntry &entry);
    void showStepRows();
    QString promptText() const;
    bool noPlanForKind() const;
    void finished();
    void endRun();
    // The typed readings into m_readings when the current step asks for them; false (the step
    // waits, the cell marked) when one is not a number.
    bool takeReadings();
    bool readingsWanted() const;
    void storeRecord();
    // The module as the run's Identify read it, for the record, the certificate and Next module.
    const zul::ModuleState &identifiedModule() const;
    // After every attempt's end: the record file written again.
    void recordProgress();

    TRunHost m_host;
    QDockWidget *m_dock = nullptr;
    QComboBox *m_planBox = nullptr;
    QLineEdit *m_operatorEdit = nullptr;
    QPushButton *m_startButton = nullptr;
    QTableWidget *m_stepTable = nullptr;
    QLabel *m_promptLabel = nullptr;
    QPushButton *m_nextButton = nullptr;
    QPushButton *m_retryButton = nullptr;
    QPushButton *m_skipButton = nullptr;
    QPushButton *m_abortButton = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_outcomeLabel = nullptr;
    QLabel *m_recordLabel = nullptr;
    QPushButton *m_nextModuleButton = nullptr;
    std::unique_ptr<TRunReadingsTable> m_readingsTable;

    std::vector<zul::run::Plan> m_plans; // all, the combo box lists the connected kind's
    zul::run::Plan m_plan; // the plan of the current run
    // Each step's page, preparation and readings; their Step has moved into the run.
    std::vector<TRunStepEntry> m_entries;
    std::function<void()> m_end; // what the run does at its end, once
    std::size_t m_prepared = 0; // the step prepared last, plus one; 0: none
    TRunReadings m_readings;
    std::unique_ptr<zul::run::Run> m_run;
    std::unique_ptr<TRunIdentity> m_identity; // of the current run
    TRunLiveValues m_live;
    std::vector<std::string> m_captured; // messages of the current step call
    QString m_serial; // of the module the last run tested
    QString m_recordNote;
    TRunRecordKeeper m_record; // the run's id and record file
    bool m_awaitingSwap = false;
    int m_silentTicks = 0; // in a row, while a step waits
    bool m_recordStored = false;
};
