// Tells when serial devices come or go, without the port list being opened: udev's news where a
// udev daemon runs (TUdevMonitor), and in any case inotify watches
// (through QFileSystemWatcher) on the device folder, its serial and serial/by-id folders, the
// running simulators' folder and any folder a device was opened from. Changes close together are
// told once. Built by TAdapterReconnect for the main window's Connect page.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <string>

class TUdevMonitor;

class TPortWatcher : public QObject
{
public:
    TPortWatcher(
        std::filesystem::path devRoot, std::function<void()> changed, QObject *parent = nullptr);

    // Also watches the folder that holds `path`, e.g. a link typed into the port box.
    void WatchFolderOf(const std::string &path);
    const std::filesystem::path &DevRoot() const { return m_devRoot; }
    // udev's news is heard too (a udev daemon runs and the build has libudev).
    bool HearsUdev() const;

private:
    // serial/by-id comes with the first adapter and goes with the last: folders are watched as
    // they appear.
    void rewatch();

    std::filesystem::path m_devRoot;
    std::function<void()> m_changed;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QStringList m_wanted;
    TUdevMonitor *m_udev = nullptr;
};
