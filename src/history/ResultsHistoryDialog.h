// File > "Results history...": the saved test records of this station's results database in
// a table, filtered by kind, serial number and test date, sorted by any column with each
// module's retests kept together, and "Export CSV..." of exactly what the table shows; beside
// them, in the "Runs" tab, the production runs under the same filter. Reads only; opened beside
// the main window so a technician can look up a module while testing.
#pragma once

#include "records/DatabaseAlias.h"
#include "records/ResultsHistory.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class TMessageSink;
class TResultsHistoryModel;
class TRunsView;

class TResultsHistoryDialog : public QDialog
{
public:
    TResultsHistoryDialog(DatabasePaths paths, TMessageSink &messages, QWidget *parent = nullptr);
    ~TResultsHistoryDialog() override;
    TResultsHistoryDialog(const TResultsHistoryDialog &) = delete;
    TResultsHistoryDialog &operator=(const TResultsHistoryDialog &) = delete;

    // Opens the database afresh (an edited alias applies) and shows the rows and runs again.
    void Refresh();
    // Shows the rows and runs for the filter controls as they are now.
    void ApplyFilter();
    // Writes what the table shows, in its column order; false after telling the user why.
    bool ExportCsv(const QString &fileName);
    // "Certificate...": the certificate of the current row written again; false after telling
    // the user why not.
    bool WriteCertificate();

    TResultsHistoryModel &Model() { return *m_model; }
    // Asks where "Export CSV..." writes; empty cancels. A file dialog unless replaced (tests).
    std::function<QString()> AskExportFile;
    // Shows the certificates' folder; the desktop's file manager unless replaced (tests).
    std::function<void(const QString &folder)> OpenFolder;

    QLabel *TargetLabel;
    QComboBox *KindBox; // All kinds, DIO, AIN, AOT
    QLineEdit *SerialEdit;
    QCheckBox *FromCheck;
    QDateEdit *FromDate;
    QCheckBox *ToCheck;
    QDateEdit *ToDate;
    QPushButton *RefreshButton;
    QTabWidget *HistoryTabs; // "Results": HistoryView, "Runs": RunsView
    QTableView *HistoryView;
    TRunsView *RunsView;
    QLabel *CountLabel;
    QPushButton *CertificateButton; // enabled while a row is current
    QPushButton *OpenFolderButton;
    QPushButton *ExportButton;
    QPushButton *CloseButton;

private:
    void buildControls();
    QHBoxLayout *buildFilterRow();
    void buildHistoryView();
    QHBoxLayout *buildButtonRow();
    void connectControls();
    void rememberColumnOrder();
    void applyColumns();
    void showRows(bool ok);
    void exportClicked();
    void updateCertificateButton();
    QList<int> shownColumns() const;
    HistoryKind chosenKind() const;

    DatabasePaths m_paths;
    TMessageSink &m_messages;
    TResultsHistoryModel *m_model;
    QTimer m_typingPause; // the serial filter waits until typing pauses
    QStringList m_columnOrder; // field names in the order the user arranged the columns
    const QList<HistoryChoice> m_kinds = historyChoices(); // the Kind box's items, in order
};
