#include "FormZULConfigure.h"

#include "ThemeMenu.h"
#include "certificate/RowCertificate.h"
#include "core/Edition.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetConnectPage.h"
#include "ports/AdapterReconnect.h"
#include "rundock/RunDock.h"
#include "traffic/TrafficView.h"
#include "trend/LiveLogControl.h"
#include "trend/TrendDock.h"
#include "widgets/ChannelHelpers.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>

namespace {

using namespace zul;

const QString ApplicationTitle = QStringLiteral("ZUL Module Configuration");
const QString ProductionTitle =
    QStringLiteral("ZUL Module Configuration - Production test version");
constexpr int WindowWidth = 764;
constexpr int WindowHeight = 569;

} // namespace

QString AboutText(const zul::ToolVersion &version)
{
    QString text =
        QStringLiteral("%1 %2.%3").arg(ApplicationTitle).arg(version.major).arg(version.minor);
    if (version.release != 0)
        text += QStringLiteral(".%1").arg(version.release);
    if (version.build != 0)
        text += QStringLiteral(" build %1").arg(version.build);
    return text;
}

TForm_ZULConfigure::TForm_ZULConfigure(
    const QString &executablePath, TMessageSink *messages, QWidget *parent)
    : QMainWindow(parent)
    , m_ownMessages(messages ? nullptr : std::make_unique<TMessageBoxSink>(this))
    , m_session(messages ? *messages : *m_ownMessages)
{
    FormCreate(executablePath);
}

TForm_ZULConfigure::~TForm_ZULConfigure()
{
    // Handlers connected to this window stay connected until QObject's destructor, which runs
    // after the members are gone; so the pages go here, while the general unit still exists.
    // The kind units go just before them, so that they may still touch their pages on the way.
    m_modbusTimer.stop();
    m_session.OnLiveSample = {};
    m_session.RowSaved = {};
    for (auto &unit : m_units)
        unit.reset();
    delete takeCentralWidget();
    m_session.Modbus.setCoilStatusReporter({});
    m_session.Modbus.setFrameHook({});
}

void TForm_ZULConfigure::FormCreate(const QString &executablePath)
{
    setObjectName(QStringLiteral("Form_ZULConfigure"));
    m_modbusTimer.setParent(this);
    m_modbusTimer.setObjectName(QStringLiteral("ModbusTimer"));
    applyEdition(executablePath);

    buildMenu();
    buildToolBar();
    buildPages();
    buildPageSets();
    for (int kind = 0; kind < KindListCount; ++kind)
        ShowPageSet(kind, PageSetCount(kind), false);
    m_session.HexDisplay = false;
    m_session.Module.kind = KindUnknown;
    connectHandlers();
    buildReconnect();
    buildDocks();
    connectSessionHooks();
    placeWindow();
}

void TForm_ZULConfigure::applyEdition(const QString &executablePath)
{
    const Edition edition = chooseEdition(executablePath.toStdString());
    m_session.ProductionTestVersion = edition.productionTestVersion;
    m_session.Module.modelVariant = edition.modelVariant;
    const QString title = m_session.ProductionTestVersion ? ProductionTitle : ApplicationTitle;
    QGuiApplication::setApplicationDisplayName(title);
    setWindowTitle(title);
}

void TForm_ZULConfigure::buildReconnect()
{
    m_reconnect = new TAdapterReconnect(
        *m_connectPage, m_modbusTimer, *PageControl_ZUL, m_session,
        [this](const zul::ConnectionSettings &settings) { ConnectWith(settings); }, this);
    // A changed slave address applies to the polls at once, as the spin edit is turned.
    connect(
        m_connectPage->SpinEdit_SlaveAddress, &QSpinBox::valueChanged, this, [this](int address) {
            m_session.Connection.address = address;
            if (m_general)
                m_general->TakeSlaveAddress();
        });
}

void TForm_ZULConfigure::buildDocks()
{
    m_traffic = new TTrafficView(*this, m_session.Modbus, *m_session.Messages);
    if (auto *view = menuBar()->findChild<QMenu *>(QStringLiteral("View1"))) {
        new TThemeMenu(*view);
        m_trend = new TTrendDock(*this, *view);
    }
    if (auto *file = menuBar()->findChild<QMenu *>(QStringLiteral("File1")))
        m_liveLog = new TLiveLogControl(*this, *file, m_session);
    if (m_session.ProductionTestVersion) {
        buildRunDock();
        m_reconnect->OnAnotherModule = [this](const QString &serial) {
            m_runDock->AnotherModule(serial);
        };
    }
}

void TForm_ZULConfigure::connectSessionHooks()
{
    // Every hand save writes its row's certificate beside the row. A run's save (it names its
    // plan) writes none: the run's end writes it once, with the run's record, so that one number
    // never stands for two contents.
    m_session.RowSaved = [this](const TConfigRecord &record, std::optional<qint64> rowId,
                             const TSaveContext &who) {
        if (!who.Plan.isEmpty())
            return TSaveNote {};
        const TCertificateNote note =
            WriteRowCertificate(m_session.Module, record, rowId, who.Plan);
        return TSaveNote { note.hint, note.failed };
    };
    m_session.OnLiveSample = [this](const zul::LiveSample &sample) {
        if (m_trend)
            m_trend->Add(sample, QDateTime::currentMSecsSinceEpoch());
        if (m_liveLog)
            m_liveLog->Add(sample);
        if (m_runDock)
            m_runDock->LiveValues(sample);
    };
}

void TForm_ZULConfigure::placeWindow()
{
    resize(WindowWidth, WindowHeight);
    ScaleFormToScreen(this);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm_ZULConfigure::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // Pages and docks that need more room grow the window; it stays on its screen.
    if (isVisible())
        KeepOnScreen(this);
}

void TForm_ZULConfigure::FormShow()
{
    // Before the first connect nothing has filled the panel.
    if (m_general)
        m_general->ClearModuleStatus();
}

void TForm_ZULConfigure::FormClose()
{
    PageControl_ZUL->setCurrentIndex(ConnectPage);
}

void TForm_ZULConfigure::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm_ZULConfigure::closeEvent(QCloseEvent *event)
{
    // A run under way ends as aborted: the module is left safe (outputs at the plan's safe
    // value) and the run's record is kept.
    if (m_runDock)
        m_runDock->Abort(false);
    FormClose();
    QMainWindow::closeEvent(event);
}
