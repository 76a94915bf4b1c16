#include "RecordTestSupport.h"

#include "records/SchemaScript.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <atomic>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString uniqueSuffix()
{
    static std::atomic<int> counter { 0 };
    return QStringLiteral("%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

QString pgSetting(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? fallback : value;
}

QSqlDatabase openPostgres(const QString &connection, int port, const QString &database)
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", connection);
    db.setHostName("127.0.0.1");
    db.setPort(port);
    db.setUserName(pgSetting("ZUL_PG_USER", "zul"));
    db.setDatabaseName(database);
    db.setConnectOptions("connect_timeout=5");
    db.open();
    return db;
}

// Statements that cannot run inside the database they act on (CREATE/DROP DATABASE).
bool postgresAdmin(int port, const QString &sql, QString *error)
{
    const QString connection = "pg-admin-" + uniqueSuffix();
    bool ok = false;
    {
        QSqlDatabase db = openPostgres(connection, port, "postgres");
        QSqlQuery query(db);
        ok = db.isOpen() && query.exec(sql);
        if (!ok && error)
            *error = db.isOpen() ? query.lastError().text() : db.lastError().text();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

} // namespace

QString writeAliasFile(const QString &dir, const QStringList &lines)
{
    QString fileName = dir + "/db-aliases.ini";
    QFile file(fileName);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    file.write(("[" + ResultsDatabaseAlias + "]\n" + lines.join('\n') + '\n').toUtf8());
    return fileName;
}

QString readDbScript(const QString &fileName)
{
    QFile file(QStringLiteral(ZUL_DB_SCRIPTS_DIR) + '/' + fileName);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    return QString::fromUtf8(file.readAll());
}

int closedLocalPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), length) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd); // never listened on, and released: connections are refused
    return port;
}

void PrintTo(Engine engine, std::ostream *out)
{
    *out << (engine == Engine::Sqlite ? "sqlite" : "postgres");
}

bool runningInCi()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

std::unique_ptr<TestDatabase> TestDatabase::create(Engine engine, QString *whyNot)
{
    std::unique_ptr<TestDatabase> db(new TestDatabase(engine));
    const bool ready =
        engine == Engine::Sqlite ? db->setUpSqlite(whyNot) : db->setUpPostgres(whyNot);
    return ready ? std::move(db) : nullptr;
}

TestDatabase::TestDatabase(Engine engine)
    : m_engine(engine)
    , m_connection("check-" + uniqueSuffix())
{
}

TestDatabase::~TestDatabase()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    if (!m_pgDatabase.isEmpty())
        postgresAdmin(
            m_pgPort, "DROP DATABASE IF EXISTS " + m_pgDatabase + " WITH (FORCE)", nullptr);
}

DatabasePaths TestDatabase::paths() const
{
    return { m_aliasFile, m_dir.filePath("unused-default.sqlite") };
}

DatabasePaths TestDatabase::embeddedPaths() const
{
    return { m_dir.filePath("no-aliases.ini"), m_dir.filePath("results.sqlite") };
}

bool TestDatabase::setUpSqlite(QString *whyNot)
{
    const QString file = m_dir.filePath("results.sqlite");
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", m_connection);
    db.setDatabaseName(file);
    if (!db.open()) {
        *whyNot = db.lastError().text();
        return false;
    }
    for (const QString &statement : splitSqlStatements(readDbScript("sqlite.sql"))) {
        if (!exec(statement)) {
            *whyNot = m_lastError;
            return false;
        }
    }
    m_aliasFile = writeAliasFile(m_dir.path(), { "Driver=QSQLITE", "Database=" + file });
    return true;
}

// One database per test, copied from the template the fixture loaded, so tests running in
// parallel never count each other's rows.
bool TestDatabase::setUpPostgres(QString *whyNot)
{
    m_pgPort = qEnvironmentVariableIntValue("ZUL_PG_PORT");
    if (m_pgPort <= 0) {
        *whyNot = "ZUL_PG_PORT is not set: no PostgreSQL test server";
        return false;
    }
    const QString name = "zul_t_" + uniqueSuffix();
    const QString templateName = pgSetting("ZUL_PG_DATABASE", "zul_results");
    // Two tests copying the template at the same moment can collide; a retry settles it.
    for (int attempt = 0; attempt < 5 && m_pgDatabase.isEmpty(); ++attempt) {
        if (postgresAdmin(
                m_pgPort, "CREATE DATABASE " + name + " TEMPLATE " + templateName, whyNot))
            m_pgDatabase = name;
        else
            QThread::msleep(200);
    }
    if (m_pgDatabase.isEmpty())
        return false;
    if (!openPostgres(m_connection, m_pgPort, name).isOpen()) {
        *whyNot = QSqlDatabase::database(m_connection, false).lastError().text();
        return false;
    }
    m_aliasFile = writeAliasFile(m_dir.path(),
        { "Driver=QPSQL", "Host=127.0.0.1", QStringLiteral("Port=%1").arg(m_pgPort),
            "User=" + pgSetting("ZUL_PG_USER", "zul"), "Database=" + name });
    return true;
}

bool TestDatabase::exec(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (query.exec(sql))
        return true;
    m_lastError = query.lastError().text();
    return false;
}

std::vector<QSqlRecord> TestDatabase::rows(const QString &table)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // SQLite prepares "SELECT *" against the schema this connection cached; when the module's
    // connection has added a column since, the first step prepares again with one column more
    // than Qt's driver sized its row for, and the read crashes. A reopened connection reads
    // the schema afresh.
    if (m_engine == Engine::Sqlite) {
        db.close();
        db.open();
    }
    QSqlQuery query(db);
    std::vector<QSqlRecord> result;
    if (!query.exec("SELECT * FROM " + db.driver()->escapeIdentifier(table, QSqlDriver::TableName)
            + " ORDER BY id")) {
        m_lastError = query.lastError().text();
        return result;
    }
    while (query.next())
        result.push_back(query.record());
    return result;
}

QSqlRecord TestDatabase::columns(const QString &table)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    return db.record(db.driver()->escapeIdentifier(table, QSqlDriver::TableName));
}

QString storedValueMismatch(Engine engine, const RecordColumn &expected, const QVariant &stored)
{
    // SQLite reports its storage class (integer for flags and numbers, text for dates);
    // PostgreSQL reports the column type.
    const bool pg = engine == Engine::Postgres;
    const auto show = [&](const char *what) {
        QString text;
        QDebug(&text) << expected.name << what << "expected" << expected.value << "stored"
                      << stored;
        return text;
    };
    switch (expected.kind) {
    case ColumnKind::Text:
        if (stored.typeId() != QMetaType::QString || stored.isNull())
            return show("is not text");
        return stored.toString() == expected.value.toString() ? QString() : show("differs");
    case ColumnKind::Bool:
        if (stored.typeId() != (pg ? QMetaType::Bool : QMetaType::LongLong))
            return show("is not a flag");
        if (!pg && stored.toLongLong() != 0 && stored.toLongLong() != 1)
            return show("is not 0 or 1");
        return stored.toBool() == expected.value.toBool() ? QString() : show("differs");
    case ColumnKind::SmallInt:
    case ColumnKind::Integer:
        if (stored.typeId() != (pg ? QMetaType::Int : QMetaType::LongLong))
            return show("is not an integer");
        return stored.toLongLong() == expected.value.toLongLong() ? QString() : show("differs");
    case ColumnKind::BigInt:
        if (expected.value.isNull())
            return stored.isNull() ? QString() : show("should be NULL");
        if (stored.typeId() != (pg ? QMetaType::ULongLong : QMetaType::LongLong))
            return show("is not a 64-bit integer");
        return stored.toLongLong() == expected.value.toLongLong() ? QString() : show("differs");
    case ColumnKind::DateTime: {
        const QDateTime want = expected.value.toDateTime();
        if (!want.isValid())
            return stored.isNull() ? QString() : show("should be NULL");
        if (stored.typeId() != (pg ? QMetaType::QDateTime : QMetaType::QString))
            return show("is not a date-time");
        const QDateTime got =
            pg ? stored.toDateTime() : QDateTime::fromString(stored.toString(), Qt::ISODateWithMs);
        return got == want ? QString() : show("differs");
    }
    }
    return show("has an unknown kind");
}

namespace {

QDateTime sampleDate()
{
    return QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12, 345));
}

void fillCommon(TConfigRecord &r)
{
    r.Clear(); // as CreateTestRecords leaves it: Technician is never filled
    r.SerialNo = "SN-000123";
    r.TestDate = sampleDate();
    r.BoardRev = "Rev C";
    r.FirmwareRev = "1.07";
    r.DinPass = false;
    r.DinComments = "Failed: 3 12 ";
    r.DoutPass = false;
    r.DoutComments = "Failed: 16 ";
    r.PoutPass = true;
    r.PoutComments = "";
    r.PoutCountPass = false;
    r.PoutCountComments = "Failed: 2 7 ";
    r.PoutTimes = { "0:0:1", "0:1:0", "0:34:57", "0:0:0", "0:0:5", "0:2:30", "0:10:0", "0:34:56" };
    r.PoutChannelPass = { true, false, true, true, false, false, true, false };
    r.PoutCountChannelPass = { false, true, true, false, true, false, false, true };
}

void fillAnalog(TAnalogConfigRecord &r, const QString &channel)
{
    for (int test = 0; test < TAnalogConfigRecord::TestCount; ++test) {
        for (int cell = 0; cell < TAnalogConfigRecord::TestCells; ++cell) {
            // Test 5 stands for a free column: the results page leaves one space in each cell.
            r.TestGrid[test][cell] =
                test == 4 ? QStringLiteral(" ") : QStringLiteral("$%1%2").arg(test + 1).arg(cell);
        }
    }
    for (int n = 0; n < 8; ++n)
        r.ScaleTexts[n] = QStringLiteral("%1%2: 0 to 10V").arg(channel).arg(n + 1);
}

} // namespace

TDIOConfigRecord sampleDioRecord()
{
    TDIOConfigRecord r;
    fillCommon(r);
    r.PinMaxRates = { "750", "60000", "60013", "1000" };
    r.PinCountPass = { true, false, false, true };
    r.PinRatePass = { false, true, true, true };
    return r;
}

TAINConfigRecord sampleAinRecord()
{
    TAINConfigRecord r;
    fillCommon(r);
    fillAnalog(r, "AIN");
    r.AnalogConfig = "Voltage, single-ended";
    r.SeVinPass = true;
    r.SeVinTested = true;
    r.SeVinComments = "";
    r.DVinPass = false;
    r.DVinTested = true;
    r.DVinComments = "Failed:  5 10";
    r.SeIinPass = false;
    r.SeIinTested = false;
    r.SeIinComments = "Single-ended current input not tested. ";
    r.DIinPass = false;
    r.DIinTested = false;
    r.DIinComments = "Differential current input not tested. ";
    r.VinOffsets = { -1, 2, -12, 0, 32767, -32768, 7, 8 };
    r.VinSpans = { 40001, 40002, 40000, 0, 65535, 1, 2, 3 };
    r.SeIinOffsets = { -101, -102, -103, -104, 105, 106, 107, 108 };
    r.SeIinSpans = { 50001, 50002, 50003, 50004, 50005, 50006, 50007, 50008 };
    r.DIinOffsets = { -201, -202, -203, -204, 205, 206, 207, 208 };
    r.DIinSpans = { 60001, 60002, 60003, 60004, 60005, 60006, 60007, 60008 };
    return r;
}

TAOTConfigRecord sampleAotRecord()
{
    TAOTConfigRecord r;
    fillCommon(r);
    fillAnalog(r, "AOT");
    r.AnalogConfig = "Current";
    r.VoutPass = false;
    r.VoutTested = true;
    r.VoutComments = "Failed:  4000 C000";
    r.IoutPass = false;
    r.IoutTested = false;
    r.IoutComments = "Current source not tested. ";
    r.VoltOffsets = { -1, 2, -12, 0, 32767, -32768, 7, 8 };
    r.VoltSpans = { 40001, 40002, 40000, 0, 65535, 1, 2, 3 };
    r.CurrOffsets = { -301, -302, -303, -304, 305, 306, 307, 308 };
    r.CurrSpans = { 30001, 30002, 30003, 30004, 30005, 30006, 30007, 30008 };
    return r;
}
