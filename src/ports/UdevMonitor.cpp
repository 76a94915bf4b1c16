#include "UdevMonitor.h"

#include <QSocketNotifier>

#include <utility>

#ifdef ZUL_HAVE_UDEV
#include <libudev.h>
#include <unistd.h>
#endif

TUdevMonitor::TUdevMonitor(std::function<void()> changed, QObject *parent)
    : QObject(parent)
    , m_changed(std::move(changed))
{
#ifdef ZUL_HAVE_UDEV
    // Without the daemon a monitor can be made but never hears anything.
    if (::access("/run/udev/control", F_OK) != 0)
        return;
    m_udev = udev_new();
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0
        || udev_monitor_enable_receiving(m_monitor) < 0)
        return;
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { receive(); });
#endif
}

TUdevMonitor::~TUdevMonitor()
{
#ifdef ZUL_HAVE_UDEV
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
#endif
}

void TUdevMonitor::receive()
{
#ifdef ZUL_HAVE_UDEV
    // Every device the monitor has queued, then one word to the watcher.
    while (udev_device *device = udev_monitor_receive_device(m_monitor))
        udev_device_unref(device);
    m_changed();
#endif
}
