// "Reconnect when the adapter returns": remembers the adapter, line settings, slave address, page
// and module serial number of the last good connect; when that adapter is pulled and plugged back
// in, selects it again (under whatever device it returns), puts the settings back and presses
// Connect, then tells whether the same module is there. It also keeps the Connect page's port
// list following the hardware. Built by the main window after its own Connect handler, so that
// it sees each connect's outcome.
#pragma once

#include "PortWatcher.h"
#include "SerialAdapters.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <optional>

class QTabWidget;
class TConnectPage;
class TStatusPanel;

class TAdapterReconnect : public QObject
{
public:
    TAdapterReconnect(TConnectPage &connectPage, QTimer &pollTimer, QTabWidget &pages,
        TStatusPanel &status, QObject *parent, std::filesystem::path devRoot = "/dev");

    // Called when the returning adapter brought a module with another serial number, after the
    // connect read its status panel afresh; the place where a production run is to go on to its
    // next module.
    std::function<void(const QString &serial)> OnAnotherModule;

private:
    struct TLastConnect
    {
        TAdapterIdentity Adapter;
        int Baud = 0;
        int Parity = 0;
        int StopBits = 0;
        int Slave = 0;
        int Page = 0;
        QString Serial;
    };

    void connectFinished();
    void portsChanged();
    void reconnect();
    // The same module continues where it was; another one is announced.
    void moduleReturned(const QString &serial);

    TConnectPage &m_connectPage;
    QTimer &m_pollTimer;
    QTabWidget &m_pages;
    TStatusPanel &m_status;
    TPortWatcher m_watcher;
    QTimer m_settle;
    std::optional<TLastConnect> m_last;
    bool m_away = false;
    bool m_reconnecting = false;
};
