#include "LiveLogControl.h"

#include "module/Session.h"
#include "widgets/ToolSettings.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

namespace {

const QString RotateKey = QStringLiteral("Log/RotateMinutes");

} // namespace

TLiveLogControl::TLiveLogControl(QMainWindow &window, QMenu &file, TSession &session)
    : QObject(&window)
    , m_session(session)
{
    setObjectName(QStringLiteral("LiveLogControl"));
    m_action = new QAction(QStringLiteral("Log live values..."), &file);
    m_action->setObjectName(QStringLiteral("ActionLogLiveValues"));
    m_action->setCheckable(true);
    m_action->setToolTip(QStringLiteral("Write every tick's live values to a CSV file"));
    // First, so that "Results history..." keeps its place right above Exit.
    file.insertAction(file.actions().isEmpty() ? nullptr : file.actions().constFirst(), m_action);
    connect(m_action, &QAction::triggered, this, [this](bool on) {
        if (on)
            chooseFile();
        else
            Stop();
    });
    m_label = new QLabel(window.statusBar());
    m_label->setObjectName(QStringLiteral("LiveLogLabel"));
    window.statusBar()->addWidget(m_label);
    showState();
}

void TLiveLogControl::chooseFile()
{
    const QString suggested = QDir::home().filePath(
        QStringLiteral("live-values-%1.csv")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    const QString path =
        QFileDialog::getSaveFileName(m_label->window(), QStringLiteral("Log live values"),
            suggested, QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty() || !StartTo(path))
        showState();
}

bool TLiveLogControl::StartTo(const QString &path)
{
    zul::LiveLog::Module module;
    const zul::TKindRow *kind = zul::findKind(m_session.Module.kind);
    module.kind = kind ? std::string(kind->Name) : std::string("?");
    module.serial = m_session.Module.serialText();
    module.scales = moduleScales();
    const auto rotation = std::chrono::minutes(zul::toolSettings().value(RotateKey, 60).toInt());
    std::string error;
    const bool started =
        m_log.Start(path.toStdString(), module, zul::LiveLog::Clock::now(), rotation, &error);
    if (!started)
        m_session.Messages->ShowError(QStringLiteral("Could not write %1: %2")
                                          .arg(path, QString::fromStdString(error))
                                          .toStdString(),
            "Choose a folder you may write to.");
    showState();
    return started;
}

void TLiveLogControl::Stop()
{
    m_log.Stop();
    showState();
}

void TLiveLogControl::Add(const zul::LiveSample &sample)
{
    if (!m_log.Active())
        return;
    std::string error;
    // A scales write or read since the last line changes the header before the line it affects.
    if (!m_log.TakeScales(moduleScales(), &error)
        || !m_log.Write(sample, zul::LiveLog::Clock::now(), &error)) {
        m_session.Messages->ShowError(QStringLiteral("Logging live values stopped: %1")
                                          .arg(QString::fromStdString(error))
                                          .toStdString(),
            "The disk may be full or the file gone; choose File > Log live values... again.");
        showState();
        return;
    }
    // A rotation changes the file.
    if (m_label->toolTip() != QString::fromStdString(m_log.CurrentPath()))
        showState();
}

std::array<std::string, zul::LiveChannels> TLiveLogControl::moduleScales() const
{
    std::array<std::string, zul::LiveChannels> scales {};
    for (int n = 0; n < zul::LiveChannels; ++n)
        scales[n] = zul::ScaleText(m_session.Module.scaleCode(n + 1)).first;
    return scales;
}

void TLiveLogControl::showState()
{
    const bool active = m_log.Active();
    m_action->setChecked(active);
    const QString path = QString::fromStdString(m_log.CurrentPath());
    m_label->setVisible(active);
    m_label->setText(
        active ? QStringLiteral("Logging to %1").arg(QDir::toNativeSeparators(path)) : QString());
    m_label->setToolTip(active ? path : QString());
}
