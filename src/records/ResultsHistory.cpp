#include "ResultsHistory.h"

#include "DatabaseConnection.h"
#include "ZUL_Database.h"

#include <QDateTime>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>
#include <iterator>

namespace {

const QString SerialField = QStringLiteral("SERIAL_NO");
const QString DateField = QStringLiteral("DATE_FLD");
const QString IdField = QStringLiteral("id");

QString nextConnectionName()
{
    static std::atomic<int> instances { 0 };
    return QStringLiteral("ResultsHistory-%1").arg(++instances);
}

// LIKE pattern for "contains", with the pattern characters of the text taken literally.
QString containsPattern(const QString &text)
{
    QString escaped;
    for (const QChar c : text.toUpper()) {
        if (c == '!' || c == '%' || c == '_')
            escaped += '!';
        escaped += c;
    }
    return '%' + escaped + '%';
}

QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r')
        && !bytes.contains('\n'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

} // namespace

QList<HistoryChoice> historyChoices()
{
    QList<HistoryChoice> choices { { QStringLiteral("All kinds"), HistoryKind::All } };
    for (const zul::TKindRow &kind : zul::ModuleKinds)
        if (!kind.ResultsTable.empty())
            choices.append({ QString::fromUtf8(kind.Name.data(), std::ssize(kind.Name)),
                HistoryKind::of(kind) });
    return choices;
}

TResultsHistoryModel::TResultsHistoryModel(QObject *parent)
    : QSqlQueryModel(parent)
    , m_connectionName(nextConnectionName())
{
}

TResultsHistoryModel::~TResultsHistoryModel()
{
    close();
}

bool TResultsHistoryModel::fail(const QString &reason)
{
    m_lastError = reason;
    return false;
}

bool TResultsHistoryModel::open(const DatabasePaths &paths)
{
    close();
    m_lastError.clear();
    QString reason;
    if (openResultsConnection(
            m_connectionName, resolveDatabaseAlias(paths), ConnectionAccess::ReadOnly, &reason))
        return true;
    return fail(reason);
}

void TResultsHistoryModel::close()
{
    // clear() leaves a fresh query made by the connection's driver, which removeDatabase()
    // deletes; the next clear() would then call through a dangling driver. A query of no
    // connection stays valid.
    clear();
    setQuery(QSqlQuery());
    m_shown.clear();
    m_selected = false;
    closeResultsConnection(m_connectionName);
}

bool TResultsHistoryModel::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName)
        && QSqlDatabase::database(m_connectionName, false).isOpen();
}

QString TResultsHistoryModel::buildQuery(
    const QStringList &fields, const QList<const zul::TKindRow *> &kinds) const
{
    const QSqlDriver *driver = QSqlDatabase::database(m_connectionName, false).driver();
    const auto name = [driver](const QString &field) {
        return driver->escapeIdentifier(field, QSqlDriver::FieldName);
    };
    const auto column = [&name](const QString &field) { return "t." + name(field); };

    QStringList quoted;
    for (const QString &field : fields)
        quoted << name(field);
    QStringList parts;
    for (const zul::TKindRow *kind : kinds) {
        parts << QStringLiteral("SELECT '%1' AS %2, %3 FROM %4")
                     .arg(QString::fromUtf8(kind->Name.data(), std::ssize(kind->Name)),
                         name(KindField), quoted.join(", "),
                         driver->escapeIdentifier(
                             TDataModule_Results::resultsTable(*kind), QSqlDriver::TableName));
    }
    // The test number counts over every test of the module, before the filter, so that a
    // date range showing only the retest still calls it "2 of 2".
    const QString module =
        QStringLiteral("PARTITION BY h.%1, h.%2").arg(name(KindField), name(SerialField));
    const QString numbered =
        QStringLiteral("SELECT h.*, ROW_NUMBER() OVER (%1 ORDER BY h.%2 ASC NULLS FIRST, h.%3) "
                       "AS %4, COUNT(*) OVER (%1) AS %5 FROM (%6) h")
            .arg(module, name(DateField), name(IdField), name(TestField), name(TestCountField),
                parts.join(QStringLiteral(" UNION ALL ")));

    QStringList selected { column(KindField), column(TestField), column(TestCountField) };
    for (const QString &field : fields)
        selected << column(field);
    QStringList where;
    if (!m_filter.serial.isEmpty())
        where << QStringLiteral("UPPER(%1) LIKE ? ESCAPE '!'").arg(column(SerialField));
    if (m_filter.from.isValid())
        where << column(DateField) + QStringLiteral(" >= ?");
    if (m_filter.to.isValid())
        where << column(DateField) + QStringLiteral(" < ?");
    // NULLS FIRST/LAST spelt out: SQLite and PostgreSQL place NULLs at opposite ends otherwise.
    const bool descending = m_order == Qt::DescendingOrder;
    const QString order =
        QStringLiteral("%1 %2, %3 ASC NULLS FIRST, %4, %5")
            .arg(column(m_orderField),
                descending ? QStringLiteral("DESC NULLS LAST") : QStringLiteral("ASC NULLS FIRST"),
                column(SerialField), column(KindField), column(TestField));
    return QStringLiteral("SELECT %1 FROM (%2) t%3 ORDER BY %4")
        .arg(selected.join(", "), numbered,
            where.isEmpty() ? QString() : " WHERE " + where.join(" AND "), order);
}

bool TResultsHistoryModel::readFields(
    const QSqlDatabase &db, const QList<const zul::TKindRow *> &kinds, QStringList &fields)
{
    // The columns in the first table's order; "All" keeps those every table has.
    m_flagFields.clear();
    for (qsizetype n = 0; n < kinds.size(); ++n) {
        const QString table = TDataModule_Results::resultsTable(*kinds[n]);
        const QSqlRecord record =
            db.record(db.driver()->escapeIdentifier(table, QSqlDriver::TableName));
        if (record.isEmpty())
            return fail(QStringLiteral("table %1 does not exist").arg(table));
        QStringList names;
        for (int i = 0; i < record.count(); ++i) {
            names << record.fieldName(i);
            if (record.field(i).metaType().id() == QMetaType::Bool)
                m_flagFields.insert(record.fieldName(i));
        }
        if (n == 0)
            fields = names;
        else
            fields.removeIf([&names](const QString &field) { return !names.contains(field); });
    }
    return true;
}

bool TResultsHistoryModel::select(HistoryKind kind, const HistoryFilter &filter)
{
    m_kind = kind;
    m_filter = filter;
    m_selected = true;
    clear();
    m_shown.clear();
    if (!isOpen())
        return fail(m_lastError.isEmpty() ? QStringLiteral("not connected") : m_lastError);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);

    QList<const zul::TKindRow *> kinds;
    for (const zul::TKindRow &row : zul::ModuleKinds)
        if ((kind == HistoryKind::All || kind == HistoryKind::of(row)) && !row.ResultsTable.empty())
            kinds << &row;
    if (kinds.isEmpty())
        return fail(QStringLiteral("no results table for that kind"));
    QStringList fields;
    if (!readFields(db, kinds, fields))
        return false;
    for (const QString &needed : { IdField, SerialField, DateField })
        if (!fields.contains(needed))
            return fail(QStringLiteral("the results tables have no column %1").arg(needed));
    if (!fields.contains(m_orderField) && m_orderField != KindField && m_orderField != TestField)
        m_orderField = SerialField;

    QSqlQuery query(db);
    if (!query.prepare(buildQuery(fields, kinds)))
        return fail(describeSqlError(query.lastError()));
    if (!m_filter.serial.isEmpty())
        query.addBindValue(containsPattern(m_filter.serial));
    if (m_filter.from.isValid())
        query.addBindValue(QDateTime(m_filter.from, QTime(0, 0)));
    if (m_filter.to.isValid())
        query.addBindValue(QDateTime(m_filter.to.addDays(1), QTime(0, 0)));
    if (!query.exec())
        return fail(describeSqlError(query.lastError()));
    setQuery(std::move(query));
    describeColumns();
    while (canFetchMore())
        fetchMore();
    if (QSqlQueryModel::lastError().isValid())
        return fail(describeSqlError(QSqlQueryModel::lastError()));
    m_lastError.clear();
    return true;
}

void TResultsHistoryModel::sort(int column, Qt::SortOrder order)
{
    const QString field = record().fieldName(column);
    if (field.isEmpty())
        return;
    m_orderField = field == TestCountField ? TestField : field;
    m_order = order;
    if (m_selected && isOpen())
        select(m_kind, m_filter);
}

void TResultsHistoryModel::describeColumns()
{
    const QSqlRecord fields = record();
    m_shown.clear();
    for (int column = 0; column < fields.count(); ++column) {
        const QString field = fields.fieldName(column);
        Shown shown = Shown::AsIs;
        if (field == TestField)
            shown = Shown::TestNumber;
        else if (field == DateField)
            shown = Shown::Date;
        else if (m_flagFields.contains(field))
            shown = field.endsWith(QLatin1String("TESTED")) ? Shown::TestedFlag : Shown::Flag;
        m_shown << shown;
    }
    m_testCountColumn = fields.indexOf(TestCountField);
}

QVariant TResultsHistoryModel::data(const QModelIndex &index, int role) const
{
    QVariant value = QSqlQueryModel::data(index, role);
    if (role != Qt::DisplayRole || !index.isValid() || value.isNull()
        || index.column() >= m_shown.size())
        return value;
    switch (m_shown[index.column()]) {
    case Shown::AsIs:
        break;
    case Shown::TestNumber:
        return QStringLiteral("%1 of %2")
            .arg(value.toLongLong())
            .arg(QSqlQueryModel::data(this->index(index.row(), m_testCountColumn)).toLongLong());
    case Shown::Flag:
        return value.toBool() ? QStringLiteral("PASS") : QStringLiteral("FAIL");
    case Shown::TestedFlag:
        return value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    case Shown::Date: {
        // PostgreSQL answers a date-time, SQLite the text the driver stored.
        const QDateTime when = value.typeId() == QMetaType::QDateTime
            ? value.toDateTime()
            : QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        if (when.isValid())
            return when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        break;
    }
    }
    return value;
}

QVariant TResultsHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QSqlQueryModel::headerData(section, orientation, role);
    static const QHash<QString, QString> captions {
        { KindField, QStringLiteral("Kind") },
        { TestField, QStringLiteral("Test") },
        { TestCountField, QStringLiteral("Tests") },
        { SerialField, QStringLiteral("Serial number") },
        { DateField, QStringLiteral("Date") },
        { QStringLiteral("TECHNICIAN"), QStringLiteral("Technician") },
        { QStringLiteral("BOARD_REV"), QStringLiteral("Board rev") },
        { QStringLiteral("FWARE_REV"), QStringLiteral("Firmware") },
    };
    const QString field = record().fieldName(section);
    return captions.value(field, field);
}

int TResultsHistoryModel::fieldColumn(const QString &name) const
{
    return record().indexOf(name);
}

int TResultsHistoryModel::moduleCount() const
{
    const int kind = fieldColumn(KindField);
    const int serial = fieldColumn(SerialField);
    QSet<QString> modules;
    for (int row = 0; row < rowCount(); ++row)
        modules.insert(QSqlQueryModel::data(index(row, kind)).toString() + '\n'
            + QSqlQueryModel::data(index(row, serial)).toString());
    return static_cast<int>(modules.size());
}

QByteArray toCsv(QAbstractItemModel &model, const QList<int> &columns)
{
    while (model.canFetchMore({}))
        model.fetchMore({});
    QList<int> order = columns;
    if (order.isEmpty())
        for (int column = 0; column < model.columnCount(); ++column)
            order << column;
    QByteArray csv;
    const auto line = [&csv, &order](const auto &text) {
        for (qsizetype n = 0; n < order.size(); ++n) {
            if (n > 0)
                csv += ',';
            const QByteArray field = csvField(text(order[n]));
            // A lone empty field would make a blank line, which readers skip as no record.
            csv += field.isEmpty() && order.size() == 1 ? QByteArray("\"\"") : field;
        }
        csv += "\r\n";
    };
    line([&model](int column) {
        return model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    });
    for (int row = 0; row < model.rowCount(); ++row)
        line([&model, row](int column) { return model.index(row, column).data().toString(); });
    return csv;
}

bool writeCsv(
    QAbstractItemModel &model, const QList<int> &columns, const QString &fileName, QString *error)
{
    // Written aside and renamed, so a failed export never leaves half a file behind.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(toCsv(model, columns)) < 0
        || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
