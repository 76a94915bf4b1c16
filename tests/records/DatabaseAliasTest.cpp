#include "RecordTestSupport.h"

#include "records/DatabaseAlias.h"
#include "records/DatabaseConnection.h"
#include "records/ZUL_Database.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

QString optionsFor(const QString &driver, const QString &options)
{
    DatabaseSettings settings;
    settings.driver = driver;
    settings.options = options;
    return connectOptions(settings);
}

} // namespace

TEST(DatabaseAlias, WithoutAnAliasTheEmbeddedDefaultIsUsed)
{
    QTemporaryDir dir;
    const DatabasePaths paths { dir.filePath("missing.ini"),
        dir.filePath("zul/ZUL_472K_Log.sqlite") };
    DatabaseSettings settings = resolveDatabaseAlias(paths);
    EXPECT_TRUE(settings.embeddedDefault);
    EXPECT_EQ(settings.driver, "QSQLITE");
    EXPECT_EQ(settings.databaseName, paths.defaultDatabaseFile);

    // A file holding only other aliases is no alias for the results database either.
    QFile file(dir.filePath("other.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Other_Log]\nDriver=QPSQL\nDatabase=other\n");
    file.close();
    settings = resolveDatabaseAlias({ file.fileName(), paths.defaultDatabaseFile });
    EXPECT_TRUE(settings.embeddedDefault);
}

TEST(DatabaseAlias, PostgresAliasIsTakenVerbatim)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("db-aliases.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; shared results server\n"
               "[Other_Log]\nDriver=QSQLITE\nHost=wrong\n"
               "[ZUL_472K_Log]\n"
               "Driver = QPSQL\n"
               "Host=results.lab.example\n"
               "Port=5433\n"
               "User=station7\n"
               "Database=zul results\n"
               "# options keep their ';' and ',' for the driver\n"
               "Options=connect_timeout=5;sslmode=require;application_name=a,b\n"
               "Password=not-read\n"
               "[Later]\nHost=also-wrong\n");
    file.close();
    const DatabaseSettings settings = resolveDatabaseAlias({ file.fileName(), "unused" });
    EXPECT_FALSE(settings.embeddedDefault);
    EXPECT_EQ(settings.driver, "QPSQL");
    EXPECT_EQ(settings.host, "results.lab.example");
    EXPECT_EQ(settings.port, 5433);
    EXPECT_EQ(settings.user, "station7");
    EXPECT_EQ(settings.databaseName, "zul results");
    EXPECT_EQ(settings.options, "connect_timeout=5;sslmode=require;application_name=a,b");
}

TEST(DatabaseAlias, StandardPathsFollowXdgUnlessOverridden)
{
    qunsetenv("ZUL_DB_ALIASES");
    qunsetenv("ZUL_DB_DEFAULT");
    DatabasePaths paths = standardDatabasePaths();
    EXPECT_TRUE(paths.aliasFile.endsWith("/zul/db-aliases.ini"));
    EXPECT_TRUE(paths.defaultDatabaseFile.endsWith("/zul/ZUL_472K_Log.sqlite"));

    qputenv("ZUL_DB_ALIASES", "/etc/zul/aliases.ini");
    qputenv("ZUL_DB_DEFAULT", "/var/lib/zul/results.sqlite");
    paths = standardDatabasePaths();
    EXPECT_EQ(paths.aliasFile, "/etc/zul/aliases.ini");
    EXPECT_EQ(paths.defaultDatabaseFile, "/var/lib/zul/results.sqlite");
    qunsetenv("ZUL_DB_ALIASES");
    qunsetenv("ZUL_DB_DEFAULT");
}

TEST(DatabaseAlias, PostgresGetsTheDefaultConnectTimeOutUnlessItSetsItsOwn)
{
    EXPECT_EQ(optionsFor("QPSQL", ""), "connect_timeout=10");
    EXPECT_EQ(optionsFor("QPSQL", "sslmode=require"), "sslmode=require;connect_timeout=10");

    // The alias's own time-out wins, wherever it stands, and the other options stay as they are.
    EXPECT_EQ(optionsFor("QPSQL", "connect_timeout=3;sslmode=require"),
        "connect_timeout=3;sslmode=require");
    EXPECT_EQ(optionsFor("QPSQL", "sslmode=require;application_name=a,b;connect_timeout = 30"),
        "sslmode=require;application_name=a,b;connect_timeout = 30");
    EXPECT_EQ(optionsFor("QPSQL", "sslmode=require connect_timeout=4"),
        "sslmode=require connect_timeout=4");

    // The word inside another option's value is no time-out of the alias.
    EXPECT_EQ(optionsFor("QPSQL", "application_name=no_connect_timeout=1"),
        "application_name=no_connect_timeout=1;connect_timeout=10");

    // Other drivers know no such option: theirs pass unchanged, none are added.
    EXPECT_EQ(optionsFor("QSQLITE", ""), "");
    EXPECT_EQ(optionsFor("QSQLITE", "QSQLITE_BUSY_TIMEOUT=500"), "QSQLITE_BUSY_TIMEOUT=500");
}

// The options reach the server: the connection the module opens carries the time-out, and an
// option of the alias (application_name) is what the server reports for the session.
TEST(PostgresAlias, ConnectionIsOpenedWithTheAliasOptionsAndTheTimeOut)
{
    QString whyNot;
    const auto db = TestDatabase::create(Engine::Postgres, &whyNot);
    if (!db) {
        if (runningInCi())
            FAIL() << "test database unavailable: " << whyNot.toStdString();
        GTEST_SKIP() << "PostgreSQL test server unavailable: " << whyNot.toStdString();
    }
    const auto openedWith = [&db](QString *applicationName) {
        TDataModule_Results module(db->paths());
        EXPECT_TRUE(module.connect()) << module.lastError().toStdString();
        QString options;
        {
            QSqlDatabase connection = QSqlDatabase::database(module.connectionName(), false);
            options = connection.connectOptions();
            QSqlQuery query(connection);
            if (query.exec("SELECT current_setting('application_name')") && query.next())
                *applicationName = query.value(0).toString();
        }
        module.disconnect();
        return options;
    };

    QString applicationName;
    EXPECT_EQ(openedWith(&applicationName), "connect_timeout=10");

    QFile alias(db->paths().aliasFile);
    ASSERT_TRUE(alias.open(QIODevice::Append | QIODevice::Text));
    alias.write("Options=connect_timeout=3;application_name=zul-station-7\n");
    alias.close();
    EXPECT_EQ(openedWith(&applicationName), "connect_timeout=3;application_name=zul-station-7");
    EXPECT_EQ(applicationName, "zul-station-7");
}
