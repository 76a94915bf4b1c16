// The pulsed outputs that every module kind has: the update times of the "Pulsed Outputs Setup"
// page and the targets dialog. Created once with that page by the page factory; the DIO, AIN
// and AOT units run ReadUpdateTimes at the end of their set-up and register their "Edit
// Targets" buttons with TargetsDialog().
#pragma once

#include <QObject>
#include <QPointer>

class TForm_ZULPulsedOut;
class TPoutSetupPage;
class TZULGeneral;
class QWidget;
struct TSession;

class TPulsedOutputs : public QObject
{
public:
    // Lives as long as the page (its QObject parent); the dialog is owned by dialogOwner, the
    // main window, so that it centres on it.
    TPulsedOutputs(
        TSession &session, TZULGeneral &general, TPoutSetupPage &page, QWidget *dialogOwner);
    ~TPulsedOutputs() override;

    // Handlers of PoutSetupReadZULButton and PoutSetupSaveButton.
    void ReadUpdateTimes();
    void SaveUpdateTimes();

    TForm_ZULPulsedOut &TargetsDialog();
    TPoutSetupPage &Page() { return m_page; }

private:
    TSession &m_session;
    TZULGeneral &m_general;
    TPoutSetupPage &m_page;
    QPointer<TForm_ZULPulsedOut> m_dialog;
};
