// How the test records lay out their rows: a builder that names and types each column, and the
// column groups more than one record kind writes (identity and digital results, pulsed outputs,
// an analog test kind, a calibration set, the analog tail). Used only by the record classes.
#pragma once

#include "RecordRow.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <span>
#include <utility>

class TAnalogConfigRecord;
class TConfigRecord;

class RowBuilder
{
public:
    void text(const QString &name, const QString &value)
    {
        // A null QString would reach the database as NULL; the row stores empty fields as ''.
        add(name, ColumnKind::Text, value.isNull() ? QStringLiteral("") : value);
    }
    void dateTime(const QString &name, const QDateTime &value)
    {
        add(name, ColumnKind::DateTime, value);
    }
    void flag(const QString &name, bool value) { add(name, ColumnKind::Bool, value); }
    void smallInt(const QString &name, std::int16_t value)
    {
        add(name, ColumnKind::SmallInt, int { value });
    }
    void integer(const QString &name, std::uint16_t value)
    {
        add(name, ColumnKind::Integer, int { value });
    }

    // Numbered groups are named prefix1..prefixN; the setter is one of the members above.
    template<typename T, typename Setter>
    void numbered(const QString &prefix, std::span<const T> values, Setter set)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            (this->*set)(prefix + QString::number(i + 1), values[i]);
    }

    RecordRow take() { return std::move(m_row); }

private:
    void add(const QString &name, ColumnKind kind, QVariant value)
    {
        m_row.push_back({ name, kind, std::move(value) });
    }

    RecordRow m_row;
};

// Serial number, date, technician, revisions and the digital pass/comment pairs: every row's head.
void addIdentityAndDigitalResults(RowBuilder &row, const TConfigRecord &r);
void addPulsedOutputs(RowBuilder &row, const TConfigRecord &r);
// prefix_TESTS, prefix_TESTED and the comments of one analog test kind.
void addTestKind(RowBuilder &row, const QString &prefix, const QString &commentsColumn, bool pass,
    bool tested, const QString &comments);
void addCalibration(RowBuilder &row, const QString &prefix, std::span<const std::int16_t> offsets,
    std::span<const std::uint16_t> spans);
// The test grid, the pulsed outputs, the analog configuration and the scale texts.
void addAnalogTail(RowBuilder &row, const TAnalogConfigRecord &r);
