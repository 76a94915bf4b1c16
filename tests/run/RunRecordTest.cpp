// The run record's JSON text, read back with Qt's own JSON parser as an independent check that
// it is valid and holds every step with every attempt; the escaper against awkward texts. The
// record's file: rewritten whole after every attempt under one name, never over another run's
// file, and never left half written or empty by a writer killed at any moment.
#include "run/RunRecord.h"
#include "run/PlanFiles.h"
#include "run/RunRecordFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace zul::run;
using namespace std::chrono_literals;

TEST(RunRecord, HoldsHeaderOutcomeAndEveryAttemptAsValidJson)
{
    Clock::time_point now = Clock::time_point(1796659800s) + 250ms; // 2026-12-07T16:10:00.250Z
    const auto clock = [&now] { return now += 1s; };
    int calls = 0;
    std::vector<Step> steps {
        { "Identify", "", [](StepContext &) { return StepResult::passed("AIN 00123456"); } },
        { "Verification 2.5V", "Apply 2.5V to every input, then press Next",
            [&calls](StepContext &) {
                const double value = ++calls == 1 ? 33000 : 32770;
                return StepResult::judged(
                    { { "CH1", value, "counts", Limits { 32640, 32896 } } }, "tab\there \"q\" \\");
            } },
    };
    zul::run::Run run(std::move(steps), 3, clock);
    run.start();
    run.next();
    run.next();
    run.retry();
    ASSERT_EQ(run.outcome(), Outcome::Passed);

    RecordHeader header { "AIN single-ended voltage 0 to 5V", "Ann \xC3\x96z", "bench-3", "1.0.0",
        { { "kind", "AIN" }, { "serial", "00123456" } }, 42, {}, {} };
    const std::string text = runRecordJson(header, run);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << text;
    const QJsonObject record = document.object();
    EXPECT_EQ(record["plan"].toString(), "AIN single-ended voltage 0 to 5V");
    EXPECT_EQ(record["operator"].toString(), QString::fromUtf8("Ann \xC3\x96z"));
    EXPECT_EQ(record["station"].toString(), "bench-3");
    EXPECT_EQ(record["toolVersion"].toString(), "1.0.0");
    EXPECT_EQ(record["module"].toObject()["serial"].toString(), "00123456");
    EXPECT_EQ(record["outcome"].toString(), "PASSED");
    EXPECT_EQ(record["resultRow"].toInt(), 42);
    EXPECT_EQ(record["started"].toString(), "2026-12-07T16:10:01.250Z");
    EXPECT_EQ(record["ended"].toString(), utcText(run.endedAt()).c_str());

    const QJsonArray stepsJson = record["steps"].toArray();
    ASSERT_EQ(stepsJson.size(), 2);
    EXPECT_EQ(stepsJson[0].toObject()["attempts"].toArray().size(), 1);
    const QJsonArray attempts = stepsJson[1].toObject()["attempts"].toArray();
    ASSERT_EQ(attempts.size(), 2);
    EXPECT_EQ(attempts[0].toObject()["status"].toString(), "Failed");
    EXPECT_EQ(attempts[1].toObject()["status"].toString(), "Passed");
    EXPECT_EQ(attempts[0].toObject()["message"].toString(), "tab\there \"q\" \\");
    const QJsonObject value = attempts[0].toObject()["values"].toArray()[0].toObject();
    EXPECT_EQ(value["value"].toDouble(), 33000);
    EXPECT_EQ(value["low"].toDouble(), 32640);
    EXPECT_EQ(value["high"].toDouble(), 32896);
    EXPECT_EQ(value["unit"].toString(), "counts");
    EXPECT_FALSE(value["within"].toBool());

    // Its run's id and the hash of its plan.
    header.runId = "0b9e7c1e-3f55-4c1a-8d0e-6a4f2b7c9d10";
    header.planHash = std::string(64, 'a');
    const QJsonObject identified =
        QJsonDocument::fromJson(QByteArray::fromStdString(runRecordJson(header, run))).object();
    EXPECT_EQ(identified["runId"].toString(), "0b9e7c1e-3f55-4c1a-8d0e-6a4f2b7c9d10");
    EXPECT_EQ(identified["planHash"].toString(), QString(64, 'a'));

    // No saved row: null, not 0.
    header.resultRow.reset();
    EXPECT_TRUE(QJsonDocument::fromJson(QByteArray::fromStdString(runRecordJson(header, run)))
                    .object()["resultRow"]
                    .isNull());
}

TEST(RunRecord, EscapesControlCharactersAndMakesSafeFileNames)
{
    EXPECT_EQ(jsonString("a\"b\\c\n\r\t\x01\x1f"), "\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u001f\"");
    EXPECT_EQ(jsonString(""), "\"\"");
    const Clock::time_point time = Clock::time_point(1796659800s) + 999ms;
    EXPECT_EQ(utcText(time), "2026-12-07T16:10:00.999Z");
    EXPECT_EQ(recordFileName("AIN", "00123456", time), "AIN-00123456-20261207T161000Z.json");
    EXPECT_EQ(recordFileName("AIN", "../x/y z", time), "AIN-.._x_y_z-20261207T161000Z.json");
    EXPECT_EQ(recordFileName("", "", time).front(), '-');
}

// A run still going, as its file holds it after an attempt: the attempts so far, no end yet.
TEST(RunRecord, ARunUnderWayHasItsAttemptsSoFarAndNoEnd)
{
    std::vector<Step> steps {
        { "Identify", "", [](StepContext &) { return StepResult::passed("AIN 00123456"); } },
        { "Save", "", [](StepContext &) { return StepResult::passed(); } },
    };
    zul::run::Run run(std::move(steps));
    run.start();
    run.next();
    ASSERT_FALSE(run.finished());
    const QJsonObject record =
        QJsonDocument::fromJson(QByteArray::fromStdString(runRecordJson({}, run))).object();
    EXPECT_TRUE(record["ended"].isNull());
    EXPECT_TRUE(record["outcome"].isNull());
    const QJsonArray stepsJson = record["steps"].toArray();
    ASSERT_EQ(stepsJson.size(), 2);
    EXPECT_EQ(stepsJson[0].toObject()["attempts"].toArray().size(), 1);
    EXPECT_EQ(stepsJson[1].toObject()["attempts"].toArray().size(), 0);
}

// A plan read from a file carries the SHA-256 of the bytes read, whatever the file says.
TEST(RunRecord, APlanFilesHashIsThatOfItsBytes)
{
    QTemporaryDir dir;
    const QByteArray text = R"({"name": "hashed", "kind": "AIN"})"
                            "\n";
    QFile file(dir.filePath("hashed.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    const Plan plan = readPlanFile(file.fileName());
    EXPECT_EQ(plan.contentHash,
        QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().toStdString());
    EXPECT_EQ(plan.contentHash.size(), 64u);
}

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(RunRecordFile, KeepsOneNameForTheRunAndNeverTakesAnotherRunsFile)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("runs/deep");
    // Another run's record under the name this run would take.
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile other(folder + "/AIN-1-20261207T171000Z.json");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("another run");
    other.close();

    RunRecordFile file(folder.toStdString(), "AIN-1-20261207T171000Z");
    EXPECT_TRUE(file.path().empty());
    ASSERT_TRUE(file.write("{\"attempts\": 1}\n")) << file.error();
    const QString path = QString::fromStdString(file.path());
    EXPECT_EQ(path, folder + "/AIN-1-20261207T171000Z-2.json");
    ASSERT_TRUE(file.write("{\"attempts\": 2}\n")) << file.error();
    EXPECT_EQ(QString::fromStdString(file.path()), path) << "one name for the whole run";
    EXPECT_EQ(bytesOf(path), "{\"attempts\": 2}\n");
    EXPECT_EQ(bytesOf(other.fileName()), "another run");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "no temporary file is left behind";

    // A folder that cannot be made: said, and nothing named.
    RunRecordFile blocked((other.fileName() + "/runs").toStdString(), "x");
    EXPECT_FALSE(blocked.write("{}"));
    EXPECT_NE(blocked.error().find("cannot make the folder"), std::string::npos) << blocked.error();
    EXPECT_TRUE(blocked.path().empty());
}

// The writer killed at random moments, many of them inside a write: every time the record is
// whole JSON holding at least the attempts of the last write that completed, and never empty.
// What a killed write leaves is a hidden temporary file, never something named as a record.
TEST(RunRecordFile, AWriterKilledAtAnyMomentLeavesTheLastWholeRecord)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    std::mt19937 random(std::random_device {}());
    std::uniform_int_distribution<int> delay(0, 40000); // microseconds
    int killedInsideAWrite = 0;
    int checked = 0;
    for (int round = 0; round < 40; ++round) {
        const std::string base = "crash-" + std::to_string(round);
        int output[2];
        ASSERT_EQ(::pipe(output), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::dup2(output[1], STDOUT_FILENO);
            ::close(output[0]);
            ::close(output[1]);
            ::execl(ZUL_CRASH_WRITER, ZUL_CRASH_WRITER, folder.c_str(), base.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(output[1]);
        ::usleep(useconds_t(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself: " << status;
        std::string printed;
        char buffer[4096];
        for (ssize_t got; (got = ::read(output[0], buffer, sizeof buffer)) > 0;)
            printed.append(buffer, std::size_t(got));
        ::close(output[0]);
        // The last whole line is the last write that completed.
        int completed = 0;
        if (const auto end = printed.rfind('\n'); end != std::string::npos) {
            const auto start = printed.rfind('\n', end - 1);
            completed = std::stoi(printed.substr(start == std::string::npos ? 0 : start + 1));
        }
        const QString path = dir.filePath(QString::fromStdString(base) + ".json");
        if (QFile::exists(dir.filePath("." + QString::fromStdString(base) + ".json.tmp")))
            ++killedInsideAWrite;
        if (!QFile::exists(path)) {
            EXPECT_EQ(completed, 0) << "round " << round;
            continue;
        }
        const QByteArray text = bytesOf(path);
        ASSERT_FALSE(text.isEmpty()) << "round " << round;
        EXPECT_TRUE(text.endsWith("}\n")) << "round " << round;
        QJsonParseError error;
        const QJsonDocument record = QJsonDocument::fromJson(text, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError)
            << "round " << round << ": " << error.errorString().toStdString();
        EXPECT_GE(record.object()["attempts"].toArray().size(), completed) << "round " << round;
        ++checked;
    }
    EXPECT_GT(checked, 10);
    EXPECT_GT(killedInsideAWrite, 0) << "no kill landed inside a write";
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
        EXPECT_TRUE(name.startsWith("crash-") && name.endsWith(".json")) << name.toStdString();
}
