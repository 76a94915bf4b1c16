// The main window connected to a simulated module of one kind, with the results database pointed
// at a throw-away directory, and helpers to find a page's controls and to read what the module
// received. The DIO, AIN and AOT page tests derive from it.
#pragma once

#include "UiFixture.h"

#include <QCheckBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <cstdlib>

class ModuleFixture : public UiFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dbDir.isValid());
        // Read when the window creates its results database. Put back afterwards, not unset:
        // unset, a later test's window would reach the user's own database.
        m_previousDefault = qgetenv("ZUL_DB_DEFAULT");
        m_previousAliases = qgetenv("ZUL_DB_ALIASES");
        qputenv("ZUL_DB_DEFAULT", QFile::encodeName(dbFile()));
        qputenv("ZUL_DB_ALIASES", QFile::encodeName(dbDir.filePath("db-aliases.ini")));
    }

    void TearDown() override
    {
        UiFixture::TearDown();
        qputenv("ZUL_DB_DEFAULT", m_previousDefault);
        qputenv("ZUL_DB_ALIASES", m_previousAliases);
    }

    QString dbFile() const { return dbDir.filePath("results.sqlite"); }

    // Shown, so that turning to a page runs its show handler; the poll timer is stopped so that
    // each test decides when a tick happens.
    void connectKind(zulsim::Kind kind, const QString &executable = QStringLiteral("zulconfig"))
    {
        const std::string path = startSim(kind);
        openWindow(executable);
        window->show();
        connectTo(path);
        window->ModbusTimer().stop();
    }

    // Names repeat across pages and dialogs ("Button1"), so controls are looked up per page.
    template<typename T = QWidget>
    T *on(int page, const QString &name) const
    {
        T *control = window->Page(page)->findChild<T *>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }

    void showPage(int page) { find<QTabWidget>("PageControl_ZUL")->setCurrentIndex(page); }
    // The operator ticks every point of a results page's PASS / FAIL grid by its ALL boxes.
    void tickEveryPoint(int page)
    {
        for (QCheckBox *all : window->Page(page)->findChildren<QCheckBox *>())
            if (all->text() == QLatin1String("ALL") && !all->isChecked())
                all->click();
    }
    void poll() { window->ModbusTimerTimer(); }
    template<typename Unit>
    Unit &kindUnit(int kindList)
    {
        return *static_cast<Unit *>(window->KindUnit(kindList));
    }

    // Requests of one function code at one register number (protocol address + 1).
    std::vector<zulsim::RequestRecord> requests(int function, int number) const
    {
        std::vector<zulsim::RequestRecord> found;
        for (const zulsim::RequestRecord &request : sim->requestLog())
            if (request.function == function && request.address + 1 == number)
                found.push_back(request);
        return found;
    }

    // The values of the single write of a register block, empty when there was none or several.
    std::vector<std::uint16_t> blockWrite(int number) const
    {
        const auto writes = requests(16, number);
        return writes.size() == 1 ? writes.front().values : std::vector<std::uint16_t> {};
    }

    // The store handshake on a command register: arm, then execute.
    bool storeRan(int number) const
    {
        std::vector<std::uint16_t> written;
        for (const zulsim::RequestRecord &request : requests(6, number))
            written.push_back(request.values.at(0));
        return written == std::vector<std::uint16_t> { 0x7E21, 0xA7D2 };
    }

    // The rows of a results table in the test's SQLite file, oldest first, read through a
    // connection of the test's own.
    std::vector<QSqlRecord> tableRows(const QString &table) const
    {
        std::vector<QSqlRecord> rows;
        const QString connection = QStringLiteral("results-check");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(dbFile());
            if (db.open()) {
                QSqlQuery query(QStringLiteral(R"(SELECT * FROM "%1" ORDER BY id)").arg(table), db);
                while (query.next())
                    rows.push_back(query.record());
            }
        }
        QSqlDatabase::removeDatabase(connection);
        return rows;
    }

    QTemporaryDir dbDir;
    QByteArray m_previousDefault;
    QByteArray m_previousAliases;
};
