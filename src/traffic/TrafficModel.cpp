#include "TrafficModel.h"

#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QFontDatabase>
#include <QSaveFile>

#include <algorithm>
#include <numeric>

namespace {

using modbus::FrameEvent;
using modbus::TrafficRecord;

// Bursts (a page's set-up reads a dozen blocks) reach the view as one batch.
constexpr int FlushDelayMs = 50;

const char *const Headers[] = { "Time", "Direction", "Slave", "Function", "Items", "Bytes",
    "Round trip (ms)", "Outcome" };
const char *const CsvHeaders[] = { "time", "direction", "slave", "function", "items", "bytes",
    "round_trip_ms", "outcome" };
static_assert(std::size(Headers) == TTrafficModel::ColumnCount);
static_assert(std::size(CsvHeaders) == TTrafficModel::ColumnCount);

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

qint64 msecsSinceEpoch(const TrafficRecord &record)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(record.time.time_since_epoch())
        .count();
}

bool failed(const TrafficRecord &record)
{
    return record.direction == FrameEvent::Direction::Received
        && record.outcome != modbus::Outcome::Ok;
}

QString csvField(const QString &field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"'))
        && !field.contains(QLatin1Char('\n')))
        return field;
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

TTrafficModel::TTrafficModel(std::size_t capacity, QObject *parent)
    : QAbstractTableModel(parent)
    , m_ring(capacity)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushDelayMs);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] { Flush(); });
}

void TTrafficModel::Record(const FrameEvent &event)
{
    if (m_queued == m_pending.size())
        m_pending.emplace_back();
    TrafficRecord &record = m_pending[m_queued];
    m_decoder.decode(event, record);
    m_statistics.add(record);
    if (!m_paused)
        ++m_queued;
    // Without an event loop (a long operation, a script) the queue still never outgrows the ring.
    if (m_queued >= m_ring.capacity())
        Flush();
    else if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void TTrafficModel::Flush()
{
    m_flushTimer.stop();
    if (m_queued > 0) {
        const std::size_t capacity = m_ring.capacity();
        const std::size_t skipped = m_queued > capacity ? m_queued - capacity : 0;
        const std::size_t incoming = m_queued - skipped;
        const std::size_t overflow =
            m_ring.size() + incoming > capacity ? m_ring.size() + incoming - capacity : 0;
        if (overflow > 0) {
            beginRemoveRows(QModelIndex(), 0, static_cast<int>(overflow) - 1);
            m_ring.dropOldest(overflow);
            endRemoveRows();
        }
        const int first = static_cast<int>(m_ring.size());
        beginInsertRows(QModelIndex(), first, first + static_cast<int>(incoming) - 1);
        for (std::size_t i = skipped; i < m_queued; ++i)
            m_ring.push(std::move(m_pending[i]));
        endInsertRows();
        m_queued = 0;
    }
    if (m_changed)
        m_changed();
}

void TTrafficModel::Clear()
{
    beginResetModel();
    m_ring.clear();
    m_queued = 0;
    endResetModel();
}

void TTrafficModel::ResetCounts()
{
    m_statistics.reset();
    if (m_changed)
        m_changed();
}

const TrafficRecord &TTrafficModel::RecordAt(int row) const
{
    return m_ring.at(static_cast<std::size_t>(row));
}

QString TTrafficModel::FieldText(int row, int column) const
{
    const TrafficRecord &record = RecordAt(row);
    const bool sent = record.direction == FrameEvent::Direction::Sent;
    switch (column) {
    case TimeColumn:
        return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch(record))
            .toString(QStringLiteral("HH:mm:ss.zzz"));
    case DirectionColumn:
        return sent ? QStringLiteral("sent") : QStringLiteral("received");
    case SlaveColumn:
        return QString::number(record.slave);
    case FunctionColumn:
        return text(modbus::functionText(record.function));
    case ItemsColumn:
        return text(modbus::itemRangeText(record));
    case BytesColumn:
        return record.bytes.empty() && !sent ? QStringLiteral("(nothing)")
                                             : text(modbus::hexText(record.bytes));
    case RoundTripColumn:
        return record.roundTripUs < 0 ? QString()
                                      : QString::number(record.roundTripUs / 1000.0, 'f', 1);
    case OutcomeColumn:
        return text(modbus::outcomeText(record));
    default:
        return {};
    }
}

QList<int> TTrafficModel::allRowsOr(const QList<int> &rows) const
{
    if (!rows.isEmpty())
        return rows;
    QList<int> all(static_cast<qsizetype>(m_ring.size()));
    std::iota(all.begin(), all.end(), 0);
    return all;
}

QString TTrafficModel::CsvText(const QList<int> &rows) const
{
    QStringList lines;
    QStringList fields;
    for (const char *header : CsvHeaders)
        fields << QString::fromLatin1(header);
    lines << fields.join(QLatin1Char(','));
    for (const int row : allRowsOr(rows)) {
        fields.clear();
        for (int column = 0; column < ColumnCount; ++column) {
            // The file keeps the date as well: a capture may run past midnight.
            const QString field = column == TimeColumn
                ? QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch(RecordAt(row)))
                      .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                : FieldText(row, column);
            fields << csvField(field);
        }
        lines << fields.join(QLatin1Char(','));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString TTrafficModel::PlainText(const QList<int> &rows) const
{
    QStringList lines;
    for (const int row : rows) {
        QStringList fields;
        for (int column = 0; column < ColumnCount; ++column)
            fields << FieldText(row, column);
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

bool TTrafficModel::SaveCsv(const QString &path, QString *error) const
{
    // Written aside and renamed, so that a failed save never leaves half a file.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        file.write(CsvText().toUtf8());
        if (file.commit())
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

int TTrafficModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_ring.size());
}

int TTrafficModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TTrafficModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return FieldText(index.row(), index.column());
    // A failed row is shaded with its own text colour, so that it reads under a dark palette
    // as under a light one.
    case Qt::BackgroundRole:
        if (failed(RecordAt(index.row())))
            return QColor(255, 214, 214);
        return {};
    case Qt::ForegroundRole:
        if (failed(RecordAt(index.row())))
            return QColor(64, 0, 0);
        return {};
    case Qt::ToolTipRole:
        // The bytes column is cut to the window; the whole frame is in its tooltip.
        if (index.column() == BytesColumn)
            return FieldText(index.row(), index.column());
        return {};
    case Qt::FontRole:
        if (index.column() == BytesColumn)
            return QFontDatabase::systemFont(QFontDatabase::FixedFont);
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == SlaveColumn || index.column() == RoundTripColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant TTrafficModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= ColumnCount)
        return {};
    return QString::fromLatin1(Headers[section]);
}
