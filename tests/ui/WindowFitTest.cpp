// The window as a technician sees it at the common screen sizes and scale factors (this binary
// runs on a 1366 x 768 screen at QT_SCALE_FACTOR 1 and 1.25, and on 1920 x 1080 at 2): every page
// of every kind with its widest values, light and dark, shows nothing clipped, and the window with
// the status panel and a dock fits a 1366 x 768 screen (1920 x 1080 at scale 2). With
// ZUL_SCREENSHOTS=<dir> it also saves a picture of each page there (scripts/screenshots.sh runs it
// under a real X server).
#include "ModuleFixture.h"
#include "app/ThemeMenu.h"
#include "core/PageTable.h"
#include "traffic/TrafficView.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QTableWidget>

using zulsim::Kind;

namespace {

QString describe(const QWidget *widget, const QString &shown)
{
    QString name = widget->objectName();
    for (const QWidget *up = widget->parentWidget(); name.isEmpty() && up; up = up->parentWidget())
        name = up->objectName() + QStringLiteral("/") + widget->metaObject()->className();
    return QStringLiteral("%1 \"%2\"").arg(name, shown);
}

// A line edit shows its whole text when the cursor at the end sits a text's width right of the
// cursor at the start; a text too long is scrolled, and the difference comes out shorter.
bool showsWholeText(QLineEdit *edit)
{
    const int cursor = edit->cursorPosition();
    edit->setCursorPosition(0);
    const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    edit->setCursorPosition(static_cast<int>(edit->text().size()));
    const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    edit->setCursorPosition(cursor);
    return end - start >= edit->fontMetrics().horizontalAdvance(edit->text()) - 1;
}

// Every visible text under root that the widget showing it cuts off.
QStringList clippedTexts(QWidget *root)
{
    QStringList clipped;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(root) || widget->window() != root->window())
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            if (label->text().isEmpty() || label->pixmap().isNull() == false)
                continue;
            const bool fits = label->wordWrap()
                ? label->heightForWidth(label->width()) <= label->height()
                : label->sizeHint().width() <= label->width()
                    && label->fontMetrics().height() <= label->contentsRect().height();
            if (!fits)
                clipped << describe(label, label->text());
        } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            if (!edit->text().isEmpty() && !showsWholeText(edit))
                clipped << describe(edit, edit->text());
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            if (!button->text().isEmpty() && button->sizeHint().width() > button->width())
                clipped << describe(button, button->text());
        } else if (auto *table = qobject_cast<QTableView *>(widget)) {
            if (table->objectName() == QLatin1String("TrafficTable"))
                continue; // elided on purpose, the whole frame in the tooltip
            for (int column = 0; column < table->model()->columnCount(); ++column)
                if (!table->isColumnHidden(column)
                    && static_cast<QAbstractItemView *>(table)->sizeHintForColumn(column)
                        > table->columnWidth(column))
                    clipped << describe(table, QStringLiteral("column %1").arg(column));
        }
    }
    return clipped;
}

// Texts set by queued work (the dialog's activation, the traffic counts) and the layouts they
// change, all done.
void settle(TForm_ZULConfigure &window)
{
    window.Traffic().Model().Flush();
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

} // namespace

class WindowFit : public ModuleFixture
{
protected:
    void connectProduction(Kind kind)
    {
        connectKind(kind, QStringLiteral("zulconfigt"));
        window->resize(1366, 700);
    }

    QStringList shownPages() const
    {
        auto *tabs = find<QTabWidget>("PageControl_ZUL");
        QStringList pages;
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->isTabVisible(i))
                pages << tabs->widget(i)->objectName();
        return pages;
    }

    // Turns to every shown page in Dec and in Hex, light and dark, and lists what is cut off.
    QStringList clippedOnEveryPage(const QString &kindName)
    {
        auto *tabs = find<QTabWidget>("PageControl_ZUL");
        QStringList clipped;
        const QString shots = qEnvironmentVariable("ZUL_SCREENSHOTS");
        for (const char *theme : { "ThemeLight", "ThemeDark" }) {
            find<QAction>(theme)->trigger();
            for (const char *format : { "Dec1", "Hex1" }) {
                find<QAction>(format)->trigger();
                for (int i = 0; i < tabs->count(); ++i) {
                    if (!tabs->isTabVisible(i))
                        continue;
                    tabs->setCurrentIndex(i);
                    poll();
                    settle(*window);
                    for (const QString &text : clippedTexts(window.get()))
                        clipped << QStringLiteral("%1 %2: %3")
                                       .arg(QLatin1String(format), tabs->widget(i)->objectName(),
                                           text);
                    if (!shots.isEmpty() && QLatin1String(format) == QLatin1String("Hex1"))
                        window->grab().save(QDir(shots).filePath(
                            QStringLiteral("%1-%2-%3.png")
                                .arg(kindName, tabs->widget(i)->objectName(),
                                    QLatin1String(theme + 5).toString().toLower())));
                }
            }
        }
        clipped.removeDuplicates();
        return clipped;
    }
};

TEST_F(WindowFit, DIOPagesShowTheirWidestValuesUnclipped)
{
    connectProduction(Kind::named("DIO"));
    // The widest counts in decimal and in hexadecimal, and the widest rate.
    const std::uint32_t counts[] = { 0x80000000u, 0xEE6B2800u, 0xFFFFFFFFu, 0xDDDDDDDDu };
    for (int n = 0; n < 4; ++n) {
        sim->model().setPulseInputCount(n + 1, counts[n]);
        sim->model().setPulseInputRate(n + 1, 0xFFFF);
    }
    const QStringList clipped = clippedOnEveryPage(QStringLiteral("dio"));
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

// What a test files into the results grid, widest forms, in every test column.
void fillResultsGrid(QTableWidget *grid, const QString &mark)
{
    for (int column = 1; column < grid->columnCount(); ++column) {
        QStringList cells { mark, QStringLiteral("$8000") };
        for (int channel = 0; channel < 8; ++channel)
            cells << (channel % 2 ? QStringLiteral("-32768") : QStringLiteral("$FFFF"));
        cells << QStringLiteral("FAIL");
        for (int row = 0; row < cells.size(); ++row)
            grid->setItem(row, column, new QTableWidgetItem(cells[row]));
    }
}

// The kind's test dialog, shown without its modal loop, with records and expected values.
QStringList clippedInTestDialog(TForm_ZULConfigure &window, const QString &kind)
{
    auto *dialog = window.findChild<QDialog *>(QStringLiteral("Test%1sForm").arg(kind));
    if (!dialog)
        return { QStringLiteral("no test dialog") };
    dialog->show();
    auto *records = dialog->findChild<QTableWidget *>(kind + QStringLiteral("TestResultGrid"));
    for (int row = 0; row < records->rowCount(); ++row)
        records->item(row, 0)->setText(
            row % 2 ? QStringLiteral("-32768") : QStringLiteral("$FFFF"));
    dialog->findChild<QLineEdit *>(QStringLiteral("TestStimEdit"))->setText(QStringLiteral("8000"));
    settle(window);
    QStringList clipped = clippedTexts(dialog);
    dialog->hide();
    return clipped;
}

TEST_F(WindowFit, AINPagesShowTheirWidestValuesUnclipped)
{
    connectProduction(Kind::named("AIN"));
    fillResultsGrid(on<QTableWidget>(zul::pageIndex("AINResultsSheet"), "AINResultsGrid"),
        QStringLiteral("I-SE"));
    EXPECT_EQ(clippedInTestDialog(*window, QStringLiteral("AIN")).join(' ').toStdString(), "");
    const QStringList clipped = clippedOnEveryPage(QStringLiteral("ain"));
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

TEST_F(WindowFit, AOTPagesShowTheirWidestValuesUnclipped)
{
    connectProduction(Kind::named("AOT"));
    fillResultsGrid(
        on<QTableWidget>(zul::pageIndex("AOTResultsSheet"), "AOTResultsGrid"), QStringLiteral("V"));
    EXPECT_EQ(clippedInTestDialog(*window, QStringLiteral("AOT")).join(' ').toStdString(), "");
    const QStringList clipped = clippedOnEveryPage(QStringLiteral("aot"));
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

TEST_F(WindowFit, TheWindowWithADockFitsTheScreenAtEveryScale)
{
    for (const Kind kind : { Kind::named("DIO"), Kind::named("AIN"), Kind::named("AOT") }) {
        connectProduction(kind);
        window->Traffic().Dock()->show();
        QCoreApplication::processEvents();
        const QSize minimum = window->minimumSizeHint().expandedTo(window->minimumSize());
        // The screen this binary runs on (1366 x 768, or 1920 x 1080 at scale 2), less a title
        // bar, window borders and a task bar.
        const QSize screen = window->screen()->geometry().size();
        EXPECT_LE(minimum.width(), screen.width() - 16) << kind.row().List;
        EXPECT_LE(minimum.height(), screen.height() - 64) << kind.row().List;

        // At its smallest the window still shows ten rows of traffic.
        window->resize(minimum);
        QCoreApplication::processEvents();
        QTableView *traffic = window->Traffic().Table();
        EXPECT_GE(
            traffic->viewport()->height() / traffic->verticalHeader()->defaultSectionSize(), 10);
        window.reset();
        sim->stop();
    }
}

TEST_F(WindowFit, AWindowThatGrowsStaysOnItsScreen)
{
    connectProduction(Kind::named("AOT"));
    const QRect available = window->screen()->availableGeometry();
    window->resize(available.width() / 2, available.height() / 2);
    window->move(
        available.right() - window->width() / 2, available.bottom() - window->height() / 2);
    QCoreApplication::processEvents();
    // A page or a dock asks for more room than is left below and right of the window.
    window->setMinimumSize(available.width() * 3 / 4, available.height() * 3 / 4);
    QCoreApplication::processEvents();
    EXPECT_TRUE(available.contains(window->frameGeometry()))
        << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    window->resize(available.width() * 2, available.height() * 2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(available.contains(window->frameGeometry()));
}
