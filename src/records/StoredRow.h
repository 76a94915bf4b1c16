// One saved results row read back whole, by its kind and id, with the record of the production
// run that saved it when there is one: what a certificate is written again from. Read-only, over
// a connection of its own.
#pragma once

#include "DatabaseAlias.h"
#include "core/KindRegistry.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>

struct TStoredRow
{
    QHash<QString, QVariant> columns; // by column name, "id" included
    QString runRecord; // the run's JSON record; empty for a row saved by hand
};

// Nothing, with the reason, when the database cannot be read or holds no such row. A database
// without the run log table gives the row without a run record.
std::optional<TStoredRow> readStoredRow(
    const DatabasePaths &paths, const zul::TKindRow &kind, qint64 id, QString *error);
