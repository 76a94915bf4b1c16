#include "AdapterReconnect.h"

#include "module/WidgetConnectPage.h"
#include "module/WidgetStatusPanel.h"

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
    QTabWidget &pages, TStatusPanel &status, QObject *parent, std::filesystem::path devRoot)
    : QObject(parent)
    , m_connectPage(connectPage)
    , m_pollTimer(pollTimer)
    , m_pages(pages)
    , m_status(status)
    , m_watcher(
          std::move(devRoot), [this] { portsChanged(); }, this)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(ReturnSettleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] { reconnect(); });
    connect(m_connectPage.ConnectButt, &QPushButton::clicked, this, [this] { connectFinished(); });
}

void TAdapterReconnect::connectFinished()
{
    // A connect that failed leaves the poll timer stopped. A failed reconnect keeps what is
    // remembered, so that the adapter's next return is tried as well.
    const TPortSelection port = m_connectPage.SelectedPort();
    if (!m_pollTimer.isActive() || port.DevicePath.empty()) {
        if (!m_reconnecting)
            m_last.reset();
        return;
    }
    const QString serial = m_status.PCBNumLabel->text();
    if (m_reconnecting && m_last)
        moduleReturned(serial);
    const TAdapterIdentity adapter = IdentifyAdapter(port.DevicePath, m_watcher.DevRoot());
    m_last = TLastConnect { adapter, m_connectPage.BaudRateBox->currentIndex(),
        m_connectPage.ParityBox->currentIndex(), m_connectPage.StopBitsBox->currentIndex(),
        m_connectPage.SpinEdit_SlaveAddress->value(), m_pages.currentIndex(), serial };
    m_away = false;
    m_watcher.WatchFolderOf(adapter.Path.empty() ? port.DevicePath : adapter.Path);
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
    QComboBox *ports = m_connectPage.CommsPortBox;
    // The entry of the list that leads there, as the user would pick it.
    int index = ports->count() - 1;
    while (index >= 0 && !SameDevice(ports->itemData(index).toString().toStdString(), path))
        --index;
    if (index >= 0)
        ports->setCurrentIndex(index);
    else
        ports->setEditText(QString::fromStdString(path));
    m_connectPage.BaudRateBox->setCurrentIndex(m_last->Baud);
    m_connectPage.ParityBox->setCurrentIndex(m_last->Parity);
    m_connectPage.StopBitsBox->setCurrentIndex(m_last->StopBits);
    m_connectPage.SpinEdit_SlaveAddress->setValue(m_last->Slave);
    // The very operation of the Connect button, with its messages and its handlers after it.
    m_reconnecting = true;
    m_connectPage.ConnectButt->click();
    m_reconnecting = false;
}
