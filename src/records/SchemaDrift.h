// A results table made by an older version lacks the columns later versions write. These find
// them and word them for the technician; TDataModule_Results compares at connect (and mends the
// embedded file there) and at every save, and shows the words when a save fails.
#pragma once

#include "DatabaseAlias.h"

#include <QString>
#include <QStringList>

class QSqlRecord;

// The wanted columns the table's fields lack, in the wanted order. Names are compared as
// QSqlRecord does (ignoring letter case), as the save's own check does.
QStringList missingColumns(const QStringList &wanted, const QSqlRecord &fields);

// "The table ZUL-472K-11-Log lacks the columns X, Y. The administrator can add them with
// db/postgresql-upgrade.sql." The remedy follows the database: the embedded file is mended at the
// next connect, an alias's database by its administrator with the script of its engine.
QString missingColumnsHint(
    const QString &table, const QStringList &columns, const DatabaseSettings &settings);
