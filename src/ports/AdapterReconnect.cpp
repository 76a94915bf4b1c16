#include "AdapterReconnect.h"

#include "module/Session.h"
#include "module/WidgetConnectPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

namespace {

// A freshly plugged adapter gets its permissions from udev a moment after its device appears.
constexpr int ReturnSettleMs = 300;

} // namespace

TAdapterReconnect::TAdapterReconnect(TConnectPage &connectPage, QTimer &pollTimer,
    QTabWidget &pages, const TSession &session, ConnectFunction connect, QObject *parent,
    std::filesystem::path devRoot)
    : QObject(parent)
    , m_connectPage(connectPage)
    , m_pollTimer(pollTimer)
    , m_pages(pages)
    , m_session(session)
    , m_connect(std::move(connect))
    , m_watcher(
          std::move(devRoot), [this] { portsChanged(); }, this)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(ReturnSettleMs);
    QObject::connect(&m_settle, &QTimer::timeout, this, [this] { reconnect(); });
}

void TAdapterReconnect::ConnectFinished()
{
    // A connect that failed leaves the poll timer stopped. A failed reconnect keeps what is
    // remembered, so that the adapter's next return is tried as well.
    const zul::ConnectionSettings &used = m_session.Connection;
    if (!m_pollTimer.isActive() || used.devicePath.empty()) {
        if (!m_reconnecting)
            m_last.reset();
        return;
    }
    const QString serial = QString::fromStdString(m_session.Module.serialText());
    if (m_reconnecting && m_last)
        moduleReturned(serial);
    const TAdapterIdentity adapter = IdentifyAdapter(used.devicePath, m_watcher.DevRoot());
    m_last = TLastConnect { adapter, used, m_pages.currentIndex(), serial };
    m_away = false;
    m_watcher.WatchFolderOf(adapter.Path.empty() ? used.devicePath : adapter.Path);
}

void TAdapterReconnect::moduleReturned(const QString &serial)
{
    if (serial == m_last->Serial) {
        if (m_pages.isTabVisible(m_last->Page))
            m_pages.setCurrentIndex(m_last->Page);
        return;
    }
    if (OnAnotherModule)
        OnAnotherModule(serial);
}

void TAdapterReconnect::portsChanged()
{
    m_connectPage.RefreshPorts();
    if (!m_last)
        return;
    if (LocateAdapter(m_last->Adapter, m_watcher.DevRoot()).empty()) {
        if (!m_away) {
            // What the user was looking at when the cable went.
            m_away = true;
            m_last->Page = m_pages.currentIndex();
            m_settle.stop();
        }
        return;
    }
    if (m_away && m_connectPage.ReconnectCheckBox->isChecked())
        m_settle.start();
    m_away = false;
}

void TAdapterReconnect::reconnect()
{
    const std::string path =
        m_last ? LocateAdapter(m_last->Adapter, m_watcher.DevRoot()) : std::string();
    if (path.empty())
        return;
    zul::ConnectionSettings settings = m_last->Settings;
    settings.devicePath = path;
    // The entry of the list that leads there, as the user would pick it.
    const QComboBox *ports = m_connectPage.CommsPortBox;
    for (int index = ports->count() - 1; index >= 0; --index)
        if (const std::string entry = ports->itemData(index).toString().toStdString();
            !entry.empty() && SameDevice(entry, path)) {
            settings.devicePath = entry;
            break;
        }
    // The very operation of the Connect button, with its messages and its handlers after it.
    m_reconnecting = true;
    m_connect(settings);
    m_reconnecting = false;
}
