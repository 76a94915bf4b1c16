#include "RunReadingsTable.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

std::optional<double> ParseReading(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    for (QLocale form : { QLocale::c(), locale }) {
        form.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double value = form.toDouble(trimmed, &ok);
        if (ok && std::isfinite(value))
            return value;
    }
    return std::nullopt;
}

TRunReadingsTable::TRunReadingsTable(
    QWidget *parent, const QString &channelPrefix, int rows, std::function<void()> done)
    : m_table(new QTableWidget(rows, 1, parent))
    , m_prefix(channelPrefix)
{
    m_table->setObjectName(QStringLiteral("RunReadingsTable"));
    m_table->setHorizontalHeaderLabels({ QStringLiteral("Reading") });
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < rows; ++row) {
        m_table->setVerticalHeaderItem(
            row, new QTableWidgetItem(channelPrefix + QString::number(row + 1)));
        auto *edit = new QLineEdit(m_table);
        edit->setObjectName(QStringLiteral("RunReading%1").arg(row + 1));
        edit->setFrame(false);
        m_table->setCellWidget(row, 0, edit);
        m_edits.push_back(edit);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this, edit] { mark(edit, false); });
    }
    for (int row = 0; row < rows; ++row)
        QObject::connect(m_edits[static_cast<std::size_t>(row)], &QLineEdit::returnPressed, m_table,
            [this, row] { enterFrom(row); });
    m_done = std::move(done);
}

int TRunReadingsTable::FocusedRow() const
{
    // The table's focus child, also while the window is not the active one.
    const QWidget *focused = m_table->focusWidget();
    const auto found = std::find(m_edits.begin(), m_edits.end(), focused);
    return found == m_edits.end() ? -1 : static_cast<int>(found - m_edits.begin());
}

void TRunReadingsTable::Enter()
{
    if (FocusedRow() >= 0)
        enterFrom(FocusedRow());
}

void TRunReadingsTable::enterFrom(int row)
{
    if (row + 1 >= static_cast<int>(m_edits.size())) {
        m_done();
        return;
    }
    QLineEdit *next = m_edits[static_cast<std::size_t>(row) + 1];
    m_table->scrollToItem(m_table->verticalHeaderItem(row + 1));
    next->setFocus();
    next->selectAll();
}

void TRunReadingsTable::Clear()
{
    for (QLineEdit *edit : m_edits) {
        edit->clear();
        mark(edit, false);
    }
}

void TRunReadingsTable::Focus()
{
    if (!m_edits.empty())
        m_edits.front()->setFocus();
}

std::optional<std::vector<double>> TRunReadingsTable::Readings(QString *problem)
{
    std::vector<double> values;
    QLineEdit *firstBad = nullptr;
    QStringList bad;
    for (std::size_t row = 0; row < m_edits.size(); ++row) {
        QLineEdit *edit = m_edits[row];
        const auto value = ParseReading(edit->text(), edit->locale());
        mark(edit, !value);
        if (value) {
            values.push_back(*value);
            continue;
        }
        bad.append(m_prefix + QString::number(row + 1));
        if (!firstBad)
            firstBad = edit;
    }
    if (!firstBad)
        return values;
    if (problem)
        *problem = QStringLiteral("Type a number for %1 (\".\" or \"%2\" before the decimals)")
                       .arg(bad.join(QStringLiteral(", ")), firstBad->locale().decimalPoint());
    firstBad->setFocus();
    firstBad->selectAll();
    return std::nullopt;
}

void TRunReadingsTable::mark(QLineEdit *edit, bool bad)
{
    // A fixed pair of colours, readable under a light or a dark palette.
    edit->setStyleSheet(
        bad ? QStringLiteral("QLineEdit { background: #b01c1c; color: white; }") : QString());
    edit->setProperty("invalidReading", bad);
}
