// The run record's JSON text, read back with Qt's own JSON parser as an independent check that
// it is valid and holds every step with every attempt; the escaper against awkward texts.
#include "run/RunRecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

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
        { { "kind", "AIN" }, { "serial", "00123456" } }, 42 };
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
