// The words that name where saves go, for every kind of alias a station may have.
#include "RecordTestSupport.h"

#include "records/ResultsTarget.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

const QString Home = QStringLiteral("/home/tech");

QString describe(const DatabaseSettings &settings)
{
    const DatabasePaths paths { Home + "/.config/zul/db-aliases.ini",
        Home + "/.local/share/zul/ZUL_472K_Log.sqlite" };
    return describeResultsTarget(settings, paths, Home);
}

DatabaseSettings server(const char *driver)
{
    DatabaseSettings settings;
    settings.driver = QString::fromLatin1(driver);
    settings.databaseName = "zul_results";
    settings.host = "results.lab.example";
    settings.user = "station7";
    return settings;
}

} // namespace

TEST(ResultsTarget, HomeIsShownAsTildeOnlyForPathsInsideIt)
{
    EXPECT_EQ(abbreviateHome("/home/tech/.local/x.sqlite", Home), "~/.local/x.sqlite");
    EXPECT_EQ(abbreviateHome("/home/tech", Home), "~");
    EXPECT_EQ(abbreviateHome("/home/technician/x.sqlite", Home), "/home/technician/x.sqlite");
    EXPECT_EQ(abbreviateHome("/srv/x.sqlite", Home), "/srv/x.sqlite");
    EXPECT_EQ(abbreviateHome("/home/tech/x.sqlite", "/home/tech/"), "~/x.sqlite");
    EXPECT_EQ(abbreviateHome("/x.sqlite", "/"), "/x.sqlite"); // root's home would make all "~"
}

TEST(ResultsTarget, EmbeddedDefaultIsTheLocalFile)
{
    DatabaseSettings settings;
    settings.embeddedDefault = true;
    settings.driver = "QSQLITE";
    settings.databaseName = Home + "/.local/share/zul/ZUL_472K_Log.sqlite";
    EXPECT_EQ(describe(settings), "local file ~/.local/share/zul/ZUL_472K_Log.sqlite");
}

TEST(ResultsTarget, ServerAliasNamesEngineDatabaseHostAndUser)
{
    DatabaseSettings settings = server("QPSQL");
    EXPECT_EQ(describe(settings), "PostgreSQL zul_results on results.lab.example as station7");
    settings.port = 5433;
    EXPECT_EQ(describe(settings), "PostgreSQL zul_results on results.lab.example:5433 as station7");
    // Without host or user libpq picks its defaults; the text names none of its own.
    settings.host.clear();
    settings.user.clear();
    EXPECT_EQ(describe(settings), "PostgreSQL zul_results on port 5433");
    EXPECT_EQ(describe(server("QODBC")), "ODBC zul_results on results.lab.example as station7");
    EXPECT_EQ(describe(server("QFANCY")), "QFANCY zul_results on results.lab.example as station7");
}

TEST(ResultsTarget, SqliteAliasAndBrokenAliasAreTellable)
{
    DatabaseSettings file;
    file.driver = "QSQLITE";
    file.databaseName = "/srv/results/zul.sqlite";
    EXPECT_EQ(describe(file), "SQLite file /srv/results/zul.sqlite");

    EXPECT_EQ(describe(DatabaseSettings {}),
        "nothing: alias ZUL_472K_Log in ~/.config/zul/db-aliases.ini names no Driver");
}

TEST(ResultsTarget, ResolvesTheAliasFileAsItIsNow)
{
    QTemporaryDir dir;
    DatabasePaths paths { dir.filePath("db-aliases.ini"), dir.filePath("default.sqlite") };
    EXPECT_EQ(describeResultsTarget(paths),
        "local file " + abbreviateHome(paths.defaultDatabaseFile, QDir::homePath()));
    writeAliasFile(dir.path(),
        { "Driver=QPSQL", "Host=results.lab.example", "User=station7", "Database=zul_results" });
    EXPECT_EQ(
        describeResultsTarget(paths), "PostgreSQL zul_results on results.lab.example as station7");
}
