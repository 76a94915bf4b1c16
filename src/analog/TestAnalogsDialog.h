// The frame of the two "Test Analogs" dialogs (TTestAINsForm, TTestAOTsForm): module type,
// hardware and stimulus, tolerance, one row per channel with its scale, expected result,
// recorded result and pass mark, "Clear", "Copy results" and "Close", and the dialog's own
// one-second timer, which takes over from the main window's poll timer while the dialog is
// active (the two never run together). The kinds supply the live tick, the expected value, the
// pass rule and the hardware line.
#pragma once

#include "core/AnalogTestArithmetic.h"
#include "core/FiledTest.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class TAnalogResults;
struct TSession;

struct TTestDialogNames
{
    const char *Kind; // "AIN": row captions, control names
    std::uint16_t KindCode; // what input register 195 must answer
    const char *TypeText; // "Analog Input module"
    const char *ResultColumnCaption; // "Results record"
    const char *InitialTolerance;
    const char *SuggestedTests; // fixed suggestion, or empty when the hardware decides
};

class TTestAnalogsDialog : public QDialog
{
public:
    TTestAnalogsDialog(const TTestDialogNames &names, TSession &session, QTimer &pollTimer,
        TAnalogResults &results, QWidget *owner);

    void FormActivate();
    // The module's kind, hardware and scales read and the expected values updated; false when
    // no module of the dialog's kind answers. The production run files its verifications
    // through the dialog this way, without showing it.
    bool ReadModuleSetup();
    void FormDeactivate();
    void UpdateExpected();
    void UpdatePassMarks();
    // What the dialog shows, judged: the test "Copy results" files.
    zul::FiledTest JudgedTest(zul::FiledBy by);
    // Answers the column filed (-1 when nothing was); `over` names the column a retried test
    // replaces.
    int CopyResults(zul::FiledBy by = zul::FiledBy::Hand, int over = -1);
    void ClearResults();
    // What the dialog's timer runs every second.
    void TimerTick() { liveTick(); }

    QString RecordText(int channel) const; // channel 0-based
    void SetRecordText(int channel, const QString &text);

    QLabel *TypeLabel;
    QLabel *HWLabel;
    QLabel *StimLabel;
    QLineEdit *TestStimEdit;
    QLineEdit *TolEdit;
    std::array<QLabel *, 8> ScaleLabels;
    std::array<QLabel *, 8> ExpectedTexts; // ExRes1..8
    std::array<QCheckBox *, 8> PassBoxes; // PassChk1..8
    QTableWidget *ResultGrid;
    QPushButton *ClearButton;
    QPushButton *CopyButton; // Button2
    QPushButton *CloseButton;
    QTimer *Timer;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

    // Kind parts. The hardware line after activation read channel 1's hardware code.
    virtual void showHardware(std::uint16_t hardwareCode) = 0;
    virtual void liveTick() = 0;
    virtual QString expectedText(int channel) const = 0;
    virtual bool passes(int channel) const = 0;
    virtual QString typeMark() const = 0;
    // Lowest and highest value that pass, in the channel's unit; nothing when the stimulus or
    // the tolerance is no number.
    virtual std::optional<zul::Band> band(int channel) const = 0;

    // The live values of a tick (read, or written to the outputs), with the bands, to whoever
    // watches them: the trend draws them in a run too.
    void publishLive(const std::vector<std::uint16_t> &words, bool outputs) const;

    // The channel grid, for the kind's own columns 2 and 3 (the AIN live inputs); row n + 1 is
    // channel n + 1.
    QGridLayout *ChannelGrid() const { return m_channels; }
    std::uint16_t ScaleCode(int channel) const
    {
        return m_scales[static_cast<std::size_t>(channel)];
    }
    TSession &Session() const { return m_session; }

private:
    QGridLayout *buildHead();
    void buildResultGrid();
    QGridLayout *buildChannelGrid();
    QHBoxLayout *buildButtons();
    void connectHandlers();
    void activateSafely();

    const TTestDialogNames &m_names;
    TSession &m_session;
    QTimer &m_pollTimer;
    TAnalogResults &m_results;
    QGridLayout *m_channels;
    std::array<std::uint16_t, 8> m_scales {};
    bool m_activationPending = false; // shown, and the take-over has not run since
};
