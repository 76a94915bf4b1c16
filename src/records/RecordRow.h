// The row a test record hands to the results database: named columns with their value kind and
// value, in the order the record sets them. Shared by the record classes (build rows, see
// RecordColumns.h) and ZUL_Database (writes them) and by the schema checks in the tests.
#pragma once

#include <QString>
#include <QVariant>

#include <vector>

enum class ColumnKind {
    Text, // QString, never NULL: an empty field is written as ''
    DateTime, // QDateTime; an invalid (cleared) date is written as NULL
    Bool,
    SmallInt, // signed 16-bit register word (calibration offsets)
    Integer, // unsigned 16-bit register word (calibration spans), kept as int so 40000 stays 40000
    BigInt, // a row id of another table, 64 bits; NULL when there is none
};

struct RecordColumn
{
    QString name;
    ColumnKind kind;
    QVariant value;
};

using RecordRow = std::vector<RecordColumn>;

inline const QString UnableToConnectMessage = QStringLiteral("Unable to connect to database!");
