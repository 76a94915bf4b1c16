// The frames the master sent and received, for the "Comms traffic" dock: a table model over a
// bounded ring (the oldest frames go once it is full), fed by the master's frame hook, with the
// line's counters beside it. Frames reach the table in batches from the event loop, so that a
// transaction costs no more than queueing its frames; the counters count at once, also while the
// table is paused.
#pragma once

#include "comms/Traffic.h"

#include <QAbstractTableModel>
#include <QTimer>

#include <functional>
#include <vector>

class TTrafficModel : public QAbstractTableModel
{
public:
    enum Column {
        TimeColumn,
        DirectionColumn,
        SlaveColumn,
        FunctionColumn,
        ItemsColumn,
        BytesColumn,
        RoundTripColumn,
        OutcomeColumn,
        ColumnCount
    };
    static constexpr std::size_t DefaultCapacity = 10000;

    explicit TTrafficModel(std::size_t capacity = DefaultCapacity, QObject *parent = nullptr);

    // The frame hook's work: counts the frame and, unless paused, queues it for the table.
    void Record(const modbus::FrameEvent &event);
    // Moves the queued frames into the table now (the event loop does it soon after Record).
    void Flush();
    void SetPaused(bool paused) { m_paused = paused; }
    bool Paused() const { return m_paused; }
    // Empties the table; the counters stay.
    void Clear();

    modbus::LineCounts Counts() const { return m_statistics.counts(); }
    void ResetCounts();
    // Called after each batch and after a reset, e.g. to show the counters.
    void SetChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }

    std::size_t Capacity() const { return m_ring.capacity(); }
    const modbus::TrafficRecord &RecordAt(int row) const;
    // One field as the table shows it.
    QString FieldText(int row, int column) const;
    // Rows (all of them when empty) as CSV with a header line, and as tab-separated lines for
    // the clipboard.
    QString CsvText(const QList<int> &rows = {}) const;
    QString PlainText(const QList<int> &rows) const;
    bool SaveCsv(const QString &path, QString *error = nullptr) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<int> allRowsOr(const QList<int> &rows) const;

    modbus::TrafficDecoder m_decoder;
    modbus::TrafficRing m_ring;
    modbus::LineStatistics m_statistics;
    // The first m_queued wait for the table; all of them keep their storage for the next frames.
    std::vector<modbus::TrafficRecord> m_pending;
    std::size_t m_queued = 0;
    QTimer m_flushTimer;
    bool m_paused = false;
    std::function<void()> m_changed;
};
