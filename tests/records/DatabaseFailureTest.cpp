// The database module's own paths: the embedded default, unreachable or unusable databases.
#include "MessageRecorder.h"
#include "RecordTestSupport.h"

#include "records/ZUL_Database.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

// A DIO save through a module configured by paths; answers the save's result.
bool saveDio(const DatabasePaths &paths, TMessageRecorder &messages, QString *reason = nullptr)
{
    TDataModule_Results module(paths);
    TDIOConfigRecord record = sampleDioRecord();
    const bool saved = record.SaveToDatabase(module, messages);
    if (reason)
        *reason = module.lastError();
    EXPECT_FALSE(QSqlDatabase::contains(module.connectionName()));
    return saved;
}

} // namespace

TEST(DatabaseFailure, UnreachableServerShowsTheMessageOnce)
{
    QTemporaryDir dir;
    const QString alias = writeAliasFile(dir.path(),
        { "Driver=QPSQL", "Host=127.0.0.1", QStringLiteral("Port=%1").arg(closedLocalPort()),
            "User=zul", "Database=zul_results" });
    TMessageRecorder messages;
    EXPECT_FALSE(saveDio({ alias, dir.filePath("default.sqlite") }, messages));
    EXPECT_EQ(messages.texts(), QStringList { "Unable to connect to database!" });

    TDataModule_Results module({ alias, dir.filePath("default.sqlite") });
    EXPECT_FALSE(module.testConnection());
    EXPECT_FALSE(module.isConnected());
    EXPECT_FALSE(QFile::exists(dir.filePath("default.sqlite"))); // no fallback to the default
}

TEST(DatabaseFailure, MissingOrUnusableSqliteAliasIsNotCreated)
{
    QTemporaryDir dir;
    TMessageRecorder messages;
    QString reason;

    const QString missing = dir.filePath("no/such/dir/results.sqlite");
    QString alias = writeAliasFile(dir.path(), { "Driver=QSQLITE", "Database=" + missing });
    EXPECT_FALSE(saveDio({ alias, dir.filePath("default.sqlite") }, messages, &reason));
    EXPECT_TRUE(reason.contains(missing)) << reason.toStdString();
    EXPECT_FALSE(QDir(dir.filePath("no")).exists());

    // A missing file in a writable directory is not created on the fly either.
    const QString absent = dir.filePath("absent.sqlite");
    alias = writeAliasFile(dir.path(), { "Driver=QSQLITE", "Database=" + absent });
    EXPECT_FALSE(saveDio({ alias, dir.filePath("default.sqlite") }, messages));
    EXPECT_FALSE(QFile::exists(absent));

    // An external database must already hold the tables; an empty one is not filled in.
    const QString empty = dir.filePath("empty.sqlite");
    {
        QFile file(empty);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    alias = writeAliasFile(dir.path(), { "Driver=QSQLITE", "Database=" + empty });
    EXPECT_FALSE(saveDio({ alias, dir.filePath("default.sqlite") }, messages, &reason));
    EXPECT_TRUE(reason.contains("ZUL-472K-11-Log")) << reason.toStdString();
    EXPECT_FALSE(TDataModule_Results({ alias, dir.filePath("default.sqlite") }).testConnection());

    alias = writeAliasFile(dir.path(), { "Driver=QNOSUCHDRIVER", "Database=x" });
    EXPECT_FALSE(saveDio({ alias, dir.filePath("default.sqlite") }, messages, &reason));
    EXPECT_TRUE(reason.contains("QNOSUCHDRIVER")) << reason.toStdString();

    QStringList texts = messages.texts();
    EXPECT_EQ(texts.size(), 4);
    EXPECT_EQ(texts.removeDuplicates(), 3);
    EXPECT_EQ(texts.first(), "Unable to connect to database!");
}

TEST(DatabaseFailure, EmbeddedDefaultIsCreatedOnFirstUseAndKept)
{
    QTemporaryDir dir;
    const DatabasePaths paths { dir.filePath("no-aliases.ini"),
        dir.filePath("data/zul/ZUL_472K_Log.sqlite") };
    ASSERT_TRUE(TDataModule_Results(paths).testConnection());
    ASSERT_TRUE(QFile::exists(paths.defaultDatabaseFile));

    TMessageRecorder messages;
    EXPECT_TRUE(saveDio(paths, messages));
    EXPECT_TRUE(saveDio(paths, messages)); // a later start must not recreate or empty the tables
    EXPECT_TRUE(messages.texts().isEmpty());

    QSqlDatabase check = QSqlDatabase::addDatabase("QSQLITE", "embedded-check");
    check.setDatabaseName(paths.defaultDatabaseFile);
    ASSERT_TRUE(check.open());
    QStringList tables = check.tables();
    tables.sort();
    EXPECT_EQ(tables,
        QStringList({ "ZUL-472K-11-Log", "ZUL-472K-13-Log", "ZUL-472K-Log", "ZUL-Run-Log",
            "sqlite_sequence" }));
    QSqlQuery count(R"(SELECT count(*) FROM "ZUL-472K-11-Log")", check);
    ASSERT_TRUE(count.next());
    EXPECT_EQ(count.value(0).toInt(), 2);
    count = QSqlQuery();
    check = QSqlDatabase();
    QSqlDatabase::removeDatabase("embedded-check");
}

TEST(DatabaseFailure, EmbeddedDefaultInAnUncreatableDirectoryFails)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("data"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the directory should be
    blocker.close();
    const DatabasePaths paths { dir.filePath("no-aliases.ini"),
        dir.filePath("data/zul/ZUL_472K_Log.sqlite") };
    EXPECT_FALSE(TDataModule_Results(paths).testConnection());
    TMessageRecorder messages;
    QString reason;
    EXPECT_FALSE(saveDio(paths, messages, &reason));
    EXPECT_EQ(messages.texts(), QStringList { "Unable to connect to database!" });
    EXPECT_TRUE(reason.contains("cannot create directory")) << reason.toStdString();
}
