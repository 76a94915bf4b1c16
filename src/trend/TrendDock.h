// View > Trend: the dock that draws the live values of the analog check and calibration pages and
// of the test dialogs over time, fed by the poll ticks (it reads nothing itself). The buffer is
// made when the dock is first shown and holds 24 hours at ten ticks a second; a sample from
// another page starts the trend afresh, since its values are another quantity.
#pragma once

#include "core/LiveValues.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QMainWindow;
class QMenu;
class QWidget;
class TLazyDock;
class TStripChart;
namespace zul {
class TrendBuffer;
}

class TTrendDock : public QObject
{
public:
    TTrendDock(QMainWindow &window, QMenu &view);
    ~TTrendDock() override;

    // One tick's values at timeMs (ms since the epoch); kept only once the dock exists.
    void Add(const zul::LiveSample &sample, std::int64_t timeMs);

    QDockWidget *Dock(); // builds it, hidden, when it does not exist yet
    TStripChart *Chart() const { return m_chart; }
    const zul::TrendBuffer *Buffer() const { return m_buffer.get(); }

private:
    // The dock's tool bar and chart, and the buffer, made when the dock is first shown.
    QWidget *buildBody(QDockWidget &dock);
    void startPage(const zul::LiveSample &sample);

    QAction *m_toggle;
    TLazyDock *m_dock = nullptr;
    TStripChart *m_chart = nullptr;
    QLabel *m_source = nullptr;
    QComboBox *m_windowBox = nullptr;
    std::unique_ptr<zul::TrendBuffer> m_buffer;
    QString m_page;
    QString m_units;
};
