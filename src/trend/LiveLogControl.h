// File > Log live values...: asks for a CSV file, then hands every tick's live values to the log
// (one flushed line each, a new file every rotation period), until the same menu item stops it
// or the module goes (a new connect, or polling stopped). A status-bar label says where it writes.
#pragma once

#include "core/LiveLog.h"

#include <QObject>
#include <QString>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
struct TSession;

class TLiveLogControl : public QObject
{
public:
    // The setting "Log/RotateMinutes" (default 60, 0: never) sets the rotation period.
    TLiveLogControl(QMainWindow &window, QMenu &file, TSession &session);

    // Logging into path from now on; false (and a message) when the file cannot be written.
    bool StartTo(const QString &path);
    void Stop();
    bool Active() const { return m_log.Active(); }
    void Add(const zul::LiveSample &sample);

private:
    void chooseFile();
    void showState();
    // The scales the session's module holds now, as the log's header names them.
    std::array<std::string, zul::LiveChannels> moduleScales() const;

    TSession &m_session;
    QAction *m_action;
    QLabel *m_label;
    zul::LiveLog m_log;
};
