// The main window's menus, number-format tool bar, run dock, About box and results history, and
// the handlers of the window's own controls.
#include "FormZULConfigure.h"

#include "findmodule/FindModuleDialog.h"
#include "history/CertificateSettingsDialog.h"
#include "history/ResultsHistoryDialog.h"
#include "module/WidgetConnectPage.h"
#include "module/WidgetStatusPanel.h"
#include "records/ResultsTarget.h"
#include "records/ZUL_Database.h"
#include "rundock/RunDock.h"
#include "widgets/SafeSlot.h"

#include <QActionGroup>
#include <QButtonGroup>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

using namespace zul;

void TForm_ZULConfigure::buildRunDock()
{
    QMenu *run = menuBar()->addMenu(QStringLiteral("Run"));
    run->setObjectName(QStringLiteral("Run1"));
    m_runDock = new TRunDock(*this, *run,
        TRunHost { m_session, [this]() -> TZULGeneral & { return General(); },
            [this](int list) { return KindUnit(list); },
            [this](int list) { return m_runSteps[static_cast<std::size_t>(list)]; },
            [this](int page) { PageControl_ZUL->setCurrentIndex(page); },
            [this](bool enabled) { PageControl_ZUL->setEnabled(enabled); },
            [this] { ConnectWith(m_session.Connection); } });
}

void TForm_ZULConfigure::buildMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction *history = file->addAction(QStringLiteral("Results history..."));
    history->setObjectName(QStringLiteral("ResultsHistory1"));
    SafeConnect(history, &QAction::triggered, this, &TForm_ZULConfigure::ResultsHistory1Click,
        *m_session.Messages);
    if (m_session.ProductionTestVersion) {
        QAction *certificates = file->addAction(QStringLiteral("Certificates..."));
        certificates->setObjectName(QStringLiteral("Certificates1"));
        SafeConnect(certificates, &QAction::triggered, this, *m_session.Messages,
            [this] { TCertificateSettingsDialog(this).exec(); });
    }
    Exit1 = file->addAction(QStringLiteral("E&xit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));

    QMenu *format = menuBar()->addMenu(QStringLiteral("Format"));
    format->setObjectName(QStringLiteral("Format1"));
    auto *formats = new QActionGroup(this);
    Dec1 = format->addAction(QStringLiteral("Dec"));
    Hex1 = format->addAction(QStringLiteral("Hex"));
    Dec1->setObjectName(QStringLiteral("Dec1"));
    Hex1->setObjectName(QStringLiteral("Hex1"));
    for (QAction *item : { Dec1, Hex1 }) {
        item->setCheckable(true);
        formats->addAction(item);
    }
    Dec1->setChecked(true);

    // Present but hidden: the About box is reachable only once the menu is made visible.
    QMenu *help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    About1 = help->addAction(QStringLiteral("About..."));
    About1->setObjectName(QStringLiteral("About1"));
    help->menuAction()->setVisible(false);
}

void TForm_ZULConfigure::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Number format"));
    bar->setObjectName(QStringLiteral("FormatToolBar"));
    bar->setMovable(false);
    auto *buttons = new QButtonGroup(this);
    auto makeButton = [&](const char *name, const char *caption, const char *tip) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(QString::fromLatin1(caption));
        button->setToolTip(QString::fromLatin1(tip));
        button->setCheckable(true);
        buttons->addButton(button);
        bar->addWidget(button);
        return button;
    };
    HexButton = makeButton("HexButton", "Hex", "Show numbers in hexadecimal");
    DecButton = makeButton("DecButton", "Dec", "Show numbers in decimal");
    DecButton->setChecked(true);
}

void TForm_ZULConfigure::connectHandlers()
{
    TMessageSink &sink = *m_session.Messages;
    SafeConnect(m_connectPage->ConnectButt, &QPushButton::clicked, this,
        &TForm_ZULConfigure::ConnectButtClick, sink);
    InstallFindModule(
        *m_connectPage, [this](const zul::ConnectionSettings &settings) { ConnectWith(settings); });
    SafeConnect(m_statusPanel->UpdateStatusBut, &QPushButton::clicked, this,
        &TForm_ZULConfigure::UpdateStatusButClick, sink);
    SafeConnect(
        &m_modbusTimer, &QTimer::timeout, this, &TForm_ZULConfigure::ModbusTimerTimer, sink);
    SafeConnect(Dec1, &QAction::triggered, this, &TForm_ZULConfigure::SetDecimal, sink);
    SafeConnect(DecButton, &QToolButton::clicked, this, &TForm_ZULConfigure::SetDecimal, sink);
    SafeConnect(Hex1, &QAction::triggered, this, &TForm_ZULConfigure::SetHex, sink);
    SafeConnect(HexButton, &QToolButton::clicked, this, &TForm_ZULConfigure::SetHex, sink);
    SafeConnect(Exit1, &QAction::triggered, this, sink, [this] { close(); });
    SafeConnect(About1, &QAction::triggered, this, &TForm_ZULConfigure::About1Click, sink);
}

void TForm_ZULConfigure::SetDecimal()
{
    Dec1->setChecked(true);
    Hex1->setChecked(false);
    DecButton->setChecked(true);
    m_session.HexDisplay = false;
    RefreshActivePage();
}

void TForm_ZULConfigure::SetHex()
{
    Hex1->setChecked(true);
    Dec1->setChecked(false);
    HexButton->setChecked(true);
    m_session.HexDisplay = true;
    RefreshActivePage();
}

void TForm_ZULConfigure::About1Click()
{
    m_session.Messages->ShowInformation(
        (AboutText(zul::toolVersion()) + QStringLiteral("\r\n\r\nResults database: ")
            + describeResultsTarget(m_session.ResultsDatabase->paths()))
            .toStdString());
}

void TForm_ZULConfigure::ResultsHistory1Click()
{
    // One history window, left open beside the pages while testing goes on. Found by type with
    // dynamic_cast: the class has no meta-object of its own, so findChild<> would take any dialog.
    TResultsHistoryDialog *dialog = nullptr;
    for (QDialog *child : findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly))
        if (!dialog)
            dialog = dynamic_cast<TResultsHistoryDialog *>(child);
    if (dialog) {
        dialog->Refresh();
    } else {
        dialog = new TResultsHistoryDialog(
            m_session.ResultsDatabase->paths(), *m_session.Messages, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
