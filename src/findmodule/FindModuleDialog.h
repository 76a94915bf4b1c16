// "Find module" (FindModuleDialog), opened by the Connect page's FindModuleButton: scans the
// page's port for modules whose address or line settings nobody knows, in a thread of its own so
// that the window stays alive, lists every answer, and "Use" puts one answer's settings into the
// Connect page and connects as the page's own button does.
#pragma once

#include "comms/ModuleScan.h"
#include "core/ConnectionSettings.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TConnectPage;

class FindModuleDialog : public QDialog
{
public:
    FindModuleDialog(TConnectPage &page, QWidget *parent = nullptr);

    // "Use": connects with the page's port and the chosen answer's settings and address.
    using UseFunction = std::function<void(const zul::ConnectionSettings &)>;
    UseFunction OnUse;
    // Stops the scan and waits for its thread: at most one probe.
    ~FindModuleDialog() override;

    void startScan();
    // The dialog is idle again at once; the thread ends after the probe under way.
    void cancelScan();
    void useSelected();
    bool scanning() const { return m_running; }

    void done(int result) override;

    QSpinBox *FromAddressBox;
    QSpinBox *ToAddressBox;
    std::array<QCheckBox *, 11> BaudBoxes; // TRKComm's table order
    std::array<QCheckBox *, 3> ParityBoxes; // none, odd, even
    std::array<QCheckBox *, 2> StopBitsBoxes;
    QPushButton *StartButton;
    QPushButton *CancelButton;
    QProgressBar *ScanProgressBar;
    QLabel *TimeLeftLabel;
    QLabel *ScanStatusLabel;
    QTableWidget *AnswersTable;
    QPushButton *UseButton;

private:
    enum class Ending { Finished, Cancelled, Failed };

    // The constructor's parts, each making its widgets in the dialog's tab order.
    QHBoxLayout *buildAddressRow();
    QGroupBox *buildSettingsGroup();
    QHBoxLayout *buildRunRow();
    void buildAnswersTable();
    QHBoxLayout *buildBottomRow();
    void tickEverySetting();
    void connectControls();

    modbus::ScanPlan currentPlan() const;
    void showEstimate();
    void setScanning(bool running);
    void joinWorker();
    void addAnswer(int generation, const modbus::ScanAnswer &answer);
    void showProgress(int generation, const modbus::ScanProgress &progress);
    void scanEnded(int generation, Ending ending, const QString &error);
    void updateUseButton();

    TConnectPage &m_page;
    std::unique_ptr<modbus::ModuleScan> m_scan;
    std::thread m_worker;
    // Reports of a scan that was cancelled or replaced still arrive; they carry their scan's
    // number and are ignored.
    int m_generation = 0;
    bool m_running = false;
    int m_addresses = 0;
    std::vector<modbus::LineSetting> m_settings;
    std::vector<modbus::ScanAnswer> m_answers; // one per table row
};

// Opens the dialog from the page's FindModuleButton.
void InstallFindModule(TConnectPage &page, const FindModuleDialog::UseFunction &use);
