// The results history: the rows of the kinds' results tables, read through a connection of its
// own that never writes, filtered by serial number and test date, ordered so that the retests of
// one module stand together, and written out as CSV. Widget-free, so the history dialog and the
// tests share it; the dialog puts it into a QTableView.
#pragma once

#include "DatabaseAlias.h"
#include "core/KindRegistry.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QSet>
#include <QSqlQueryModel>

class QAbstractItemModel;

// What the history shows: the rows of one kind of the registry, or of every kind that saves
// records (All, the default).
class HistoryKind
{
public:
    static const HistoryKind All;
    static const HistoryKind DIO;
    static const HistoryKind AIN;
    static const HistoryKind AOT;

    constexpr HistoryKind() = default;
    static constexpr HistoryKind of(const zul::TKindRow &kind) { return HistoryKind(kind.List); }
    constexpr const zul::TKindRow *kind() const { return zul::kindAt(m_list); } // nullptr: All
    friend constexpr bool operator==(HistoryKind, HistoryKind) = default;

private:
    constexpr explicit HistoryKind(int list)
        : m_list(list)
    {
    }
    int m_list = -1;
};

inline constexpr HistoryKind HistoryKind::All {};
inline constexpr HistoryKind HistoryKind::DIO = of(zul::kindNamed("DIO"));
inline constexpr HistoryKind HistoryKind::AIN = of(zul::kindNamed("AIN"));
inline constexpr HistoryKind HistoryKind::AOT = of(zul::kindNamed("AOT"));

struct HistoryChoice
{
    QString caption; // "All kinds", "DIO", ...
    HistoryKind kind;
};

// "All kinds", then each kind that saves records under its name, in registry order: the choices
// a history view offers.
QList<HistoryChoice> historyChoices();

struct HistoryFilter
{
    QString serial; // part of the serial number, any letter case; empty: every module
    QDate from; // first test day shown; invalid: no lower bound
    QDate to; // last test day shown, inclusive; invalid: no upper bound
};

class TResultsHistoryModel : public QSqlQueryModel
{
public:
    // Columns the query adds in front of the table's own: the kind ("DIO"), the number of the
    // test among all tests of that module (1 = first) and how many tests the module has.
    static inline const QString KindField = QStringLiteral("KIND");
    static inline const QString TestField = QStringLiteral("TEST_NO");
    static inline const QString TestCountField = QStringLiteral("TEST_COUNT");

    explicit TResultsHistoryModel(QObject *parent = nullptr);
    ~TResultsHistoryModel() override;
    TResultsHistoryModel(const TResultsHistoryModel &) = delete;
    TResultsHistoryModel &operator=(const TResultsHistoryModel &) = delete;

    // Opens a read-only connection to the database saves go to. The embedded file is never
    // created here: a station that has saved nothing has no history.
    bool open(const DatabasePaths &paths);
    void close();
    bool isOpen() const;

    // Runs the query in the current order and fetches every row, so that counts and the
    // export see all of them. "All" shows the columns the kinds' tables share; a kind that
    // saves no records has no rows to show and fails.
    bool select(HistoryKind kind, const HistoryFilter &filter);
    // Orders by the column, then by serial number and test number, so that equal values keep
    // each module's tests together; re-runs the last select.
    void sort(int column, Qt::SortOrder order) override;

    // Dates as "yyyy-MM-dd hh:mm:ss" in local time, flags as PASS/FAIL ("yes"/"no" for the
    // *_TESTED flags), the test number as "2 of 3": the same text on every engine.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int fieldColumn(const QString &name) const; // -1 when the rows have no such column
    int sortColumn() const { return fieldColumn(m_orderField); }
    Qt::SortOrder sortOrder() const { return m_order; }
    int moduleCount() const; // different modules (kind and serial number) among the rows
    QString lastError() const { return m_lastError; }
    QString connectionName() const { return m_connectionName; }

private:
    enum class Shown { AsIs, Flag, TestedFlag, Date, TestNumber };

    bool fail(const QString &reason);
    void describeColumns();
    QString buildQuery(const QStringList &fields, const QList<const zul::TKindRow *> &kinds) const;
    // The columns the tables of `kinds` have in common, noting the flag columns; fails when a
    // table does not exist.
    bool readFields(
        const QSqlDatabase &db, const QList<const zul::TKindRow *> &kinds, QStringList &fields);

    QString m_connectionName;
    HistoryKind m_kind = HistoryKind::All;
    HistoryFilter m_filter;
    bool m_selected = false;
    QString m_orderField = QStringLiteral("SERIAL_NO");
    Qt::SortOrder m_order = Qt::AscendingOrder;
    QSet<QString> m_flagFields;
    QList<Shown> m_shown; // per column, worked out once per select rather than per cell
    int m_testCountColumn = -1;
    QString m_lastError;
};

// RFC 4180 text in UTF-8: a header line of the header texts, then one line per row of the
// display texts, fields separated by ',', lines ended by CRLF; a field holding ',', '"', CR or
// LF is quoted with its '"' doubled. columns: the model columns in output order (empty: all).
// Fetches the rest of a lazily filled model first, so nothing shown is left out.
QByteArray toCsv(QAbstractItemModel &model, const QList<int> &columns = {});
bool writeCsv(
    QAbstractItemModel &model, const QList<int> &columns, const QString &fileName, QString *error);
