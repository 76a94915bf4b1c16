// "Reconnect when the adapter returns": remembers the adapter, line settings, slave address, page
// and module serial number of the last good connect; when that adapter is pulled and plugged back
// in, connects again with the same settings under whatever device it returns, then tells
// whether the same module is there. It also keeps the Connect page's port
// list following the hardware. Built by the main window after its own Connect handler, so that
// it sees each connect's outcome.
#pragma once

#include "PortWatcher.h"
#include "SerialAdapters.h"
#include "core/ConnectionSettings.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <optional>

class QTabWidget;
class TConnectPage;
struct TSession;

class TAdapterReconnect : public QObject
{
public:
    using ConnectFunction = std::function<void(const zul::ConnectionSettings &)>;

    // `connect` runs the window's connect sequence with the given settings; the window calls
    // ConnectFinished after every connect, whoever asked for it.
    TAdapterReconnect(TConnectPage &connectPage, QTimer &pollTimer, QTabWidget &pages,
        const TSession &session, ConnectFunction connect, QObject *parent,
        std::filesystem::path devRoot = "/dev");

    // A connect ended: a good one is remembered with its adapter, settings, page and module.
    void ConnectFinished();

    // Called when the returning adapter brought a module with another serial number, after the
    // connect read its status panel afresh; the place where a production run is to go on to its
    // next module.
    std::function<void(const QString &serial)> OnAnotherModule;

private:
    struct TLastConnect
    {
        TAdapterIdentity Adapter;
        zul::ConnectionSettings Settings;
        int Page = 0;
        QString Serial;
    };

    void portsChanged();
    void reconnect();
    // The same module continues where it was; another one is announced.
    void moduleReturned(const QString &serial);

    TConnectPage &m_connectPage;
    QTimer &m_pollTimer;
    QTabWidget &m_pages;
    const TSession &m_session;
    ConnectFunction m_connect;
    TPortWatcher m_watcher;
    QTimer m_settle;
    std::optional<TLastConnect> m_last;
    bool m_away = false;
    bool m_reconnecting = false;
};
