#include "RecordTestSupport.h"

#include "records/DatabaseAlias.h"

#include <gtest/gtest.h>

#include <QFile>

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
