#include "PortWatcher.h"

#include "UdevMonitor.h"

#include "sim/Discovery.h"

#include <QFileInfo>

namespace {

// udev makes the device and then its by-id link: one refresh for both.
constexpr int SettleMs = 60;

QString qpath(const std::filesystem::path &path)
{
    return QString::fromStdString(path.string());
}

} // namespace

TPortWatcher::TPortWatcher(
    std::filesystem::path devRoot, std::function<void()> changed, QObject *parent)
    : QObject(parent)
    , m_devRoot(std::move(devRoot))
    , m_changed(std::move(changed))
{
    m_wanted = { qpath(m_devRoot), qpath(m_devRoot / "serial"),
        qpath(m_devRoot / "serial" / "by-id"),
        QString::fromStdString(zulsim::discoveryDirectory()) };
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] { m_changed(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        rewatch();
        m_settle.start();
    });
    // Where udev runs it tells of adapters too; both lead to the one refresh.
    m_udev = new TUdevMonitor([this] { m_settle.start(); }, this);
    rewatch();
}

bool TPortWatcher::HearsUdev() const
{
    return m_udev->Active();
}

void TPortWatcher::WatchFolderOf(const std::string &path)
{
    const QString folder = QFileInfo(QString::fromStdString(path)).absolutePath();
    if (!m_wanted.contains(folder))
        m_wanted << folder;
    rewatch();
}

void TPortWatcher::rewatch()
{
    // A folder that is not there yet is waited for in the nearest folder above it that is, e.g.
    // the simulators' folder, made by the first simulator that starts.
    QStringList desired;
    for (QString folder : m_wanted) {
        while (!QFileInfo(folder).isDir() && QFileInfo(folder).absolutePath() != folder)
            folder = QFileInfo(folder).absolutePath();
        if (!desired.contains(folder))
            desired << folder;
    }
    const QStringList watched = m_watcher.directories();
    for (const QString &folder : watched)
        if (!desired.contains(folder))
            m_watcher.removePath(folder);
    for (const QString &folder : desired)
        if (!watched.contains(folder) && QFileInfo(folder).isDir())
            m_watcher.addPath(folder);
}
