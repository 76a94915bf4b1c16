// udev's own news of tty devices coming and going, where a udev daemon runs: it tells of an
// adapter as soon as udev has made its node and links. Built with libudev when the build finds
// it; without it, or where no udev daemon runs (containers, CI), it stays inactive and the folder
// watch of TPortWatcher alone serves.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class TUdevMonitor : public QObject
{
public:
    explicit TUdevMonitor(std::function<void()> changed, QObject *parent = nullptr);
    ~TUdevMonitor() override;
    TUdevMonitor(const TUdevMonitor &) = delete;
    TUdevMonitor &operator=(const TUdevMonitor &) = delete;

    bool Active() const { return m_notifier != nullptr; }

private:
    void receive();

    std::function<void()> m_changed;
    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
