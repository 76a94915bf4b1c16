// The certificate read back from its PDF: the number and "Page x of y" on every page, the
// module, the verdict and a failing channel, the run's retest in the appendix, and the JSON twin
// saying what the PDF says. Then the files: written side by side, replaced whole, and a folder
// that cannot be made reported with its path and reason.
#include "CertificateSupport.h"
#include "certificate/CertificateFiles.h"
#include "certificate/CertificatePdf.h"
#include "core/AnalogTestArithmetic.h"
#include "core/KindRegistry.h"
#include "core/ModuleCodes.h"
#include "records/DataRecords.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

CertificateInput ainRunInput()
{
    return { "AIN", 42, passedAinRow(), "472K-12 (AIN)", "bench-3", "1.4.0", {},
        "Calibrator K-7 s/n 4471, due 2027-03-01", ainRunRecord(),
        QDateTime(QDate(2026, 12, 7), QTime(17, 20), Qt::UTC), {} };
}

// A DIO row whose every flag and point passed.
TDIOConfigRecord passedDioRecord(const QString &serial)
{
    TDIOConfigRecord record;
    record.SerialNo = serial;
    record.TestDate = QDateTime(QDate(2026, 12, 1), QTime(0, 0));
    record.DinPass = record.DoutPass = record.PoutPass = record.PoutCountPass = true;
    record.PoutChannelPass.fill(true);
    record.PoutCountChannelPass.fill(true);
    record.PinCountPass.fill(true);
    record.PinRatePass.fill(true);
    return record;
}

CertificateInput aotManualInput()
{
    return { "AOT", 7, failedAotRow(), {}, "bench-1", "1.4.0", {}, {}, {},
        QDateTime(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC), {} };
}

// Writes the certificate into `dir` and answers its pages' texts.
QStringList writtenPages(const Certificate &certificate, const QTemporaryDir &dir)
{
    const CertificateFiles files = writeCertificateFiles(certificate, dir.path());
    EXPECT_TRUE(files.ok()) << files.error.toStdString();
    const QStringList pages = pdfPages(files.pdf);
    EXPECT_FALSE(pages.isEmpty()) << "pdftotext (poppler-utils) could not read "
                                  << files.pdf.toStdString();
    return pages;
}

// Every text of the twin: the values of the fields, the cells and headings of the tables, the
// notes, the number, verdict and end line.
QStringList twinTexts(const QJsonValue &value)
{
    if (value.isString())
        return { value.toString() };
    QStringList texts;
    if (value.isArray())
        for (const QJsonValue &item : value.toArray())
            texts += twinTexts(item);
    if (value.isObject())
        for (const QJsonValue &item : value.toObject())
            texts += twinTexts(item);
    return texts;
}

const QStringList *rowOf(
    const Certificate &c, const QString &section, int column, const QString &cell)
{
    for (const CertificateSection &s : c.sections)
        if (s.title == section)
            for (const QStringList &row : s.table.rows)
                if (row.value(column) == cell)
                    return &row;
    return nullptr;
}

} // namespace

TEST(Certificate, PassedAinRunShowsItsNumberOnEveryPageItsRetestAndCalibrationAsFound)
{
    const Certificate certificate = buildCertificate(ainRunInput());
    EXPECT_EQ(certificate.number, "AIN-00A1B2C3-20261207-42");
    // A placeholder in a serial number is text like any other: the row's number stays last.
    EXPECT_EQ(certificateNumber("AIN", "AB%1", QDate(2026, 12, 7), 42), "AIN-AB_1-20261207-42");
    EXPECT_EQ(certificate.verdict, "PASS");

    QTemporaryDir dir;
    const QStringList pages = writtenPages(certificate, dir);
    ASSERT_GE(pages.size(), 2) << "twelve filed tests fill more than one page";
    for (int n = 0; n < pages.size(); ++n) {
        EXPECT_TRUE(pages[n].contains("Certificate AIN-00A1B2C3-20261207-42")) << "page " << n + 1;
        EXPECT_TRUE(pages[n].contains(QStringLiteral("Page %1 of %2").arg(n + 1).arg(pages.size())))
            << "page " << n + 1;
    }
    const QString text = flattened(pages.join(' '));
    for (const char *expected : { "472K-12 (AIN)", "00A1B2C3", "plan: AIN 0-10V", "R. Okafor",
             "Calibrator K-7 s/n 4471, due 2027-03-01", "Verdict PASS", "39876", "-17",
             "Verification 5 V", "7 of 8 within $0080 of the expected value; outside: AIN6",
             "End of certificate AIN-00A1B2C3-20261207-42" })
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    // Only the attempt that failed is in the appendix: the one that passed is no retest.
    const QStringList *retest =
        rowOf(certificate, "Appendix: attempts that did not pass", 0, "Verification 5 V");
    ASSERT_NE(retest, nullptr);
    EXPECT_EQ(retest->at(1), "1");
    EXPECT_FALSE(text.contains("8 of 8 within"));
    // The tolerance the run judged by, and 12 x 8 lines, the last at 10 V within it.
    const QStringList *last = rowOf(certificate, "Verification", 2, "10 V");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->mid(3), QStringList({ "$C000", "$BFFD", "$0080", "-3", "PASS" }));
}

TEST(Certificate, FailedAotManualSaveNamesTheFailingChannelAndWhatWasNotRecorded)
{
    const Certificate certificate = buildCertificate(aotManualInput());
    EXPECT_EQ(certificate.verdict, "FAIL");
    const QStringList *channel3 = rowOf(certificate, "Verification", 1, "3");
    ASSERT_NE(channel3, nullptr);
    EXPECT_EQ(*channel3, QStringList({ "1", "3", "$8000", "5 V", "5.61 V", "5%", "0.61", "FAIL" }));
    EXPECT_EQ(rowOf(certificate, "Verification", 1, "2")->last(), "PASS");

    QTemporaryDir dir;
    const QString text = flattened(writtenPages(certificate, dir).join(' '));
    for (const char *expected :
        { "AOT-00D4E5F6-20261130-7", "00D4E5F6", "manual test", "Operator not recorded",
            "Reference instrument not recorded", "Calibration as found: not recorded (manual test)",
            "Verdict FAIL", "5.61 V", "Failed: 8000", "VOUT_TESTS FAIL" })
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    EXPECT_FALSE(text.contains("Appendix")) << "a test by hand has no run to list";
}

TEST(Certificate, TwinHoldsWhatThePdfShows)
{
    for (const CertificateInput &input : { ainRunInput(), aotManualInput() }) {
        const Certificate certificate = buildCertificate(input);
        QTemporaryDir dir;
        const CertificateFiles files = writeCertificateFiles(certificate, dir.path());
        ASSERT_TRUE(files.ok()) << files.error.toStdString();
        EXPECT_EQ(
            QFileInfo(files.json).completeBaseName(), QFileInfo(files.pdf).completeBaseName());
        QFile json(files.json);
        ASSERT_TRUE(json.open(QIODevice::ReadOnly));
        const QJsonObject twin = QJsonDocument::fromJson(json.readAll()).object();
        EXPECT_EQ(twin.value("number").toString(), certificate.number);
        EXPECT_EQ(twin.value("verdict").toString(), certificate.verdict);
        // Without -layout pdftotext keeps each cell's text together.
        const QString pdf = flattened(pdfPages(files.pdf).join(' '));
        ASSERT_FALSE(pdf.isEmpty());
        int checked = 0;
        for (const QString &value : twinTexts(twin)) {
            for (const QString &word : value.split(' ', Qt::SkipEmptyParts)) {
                EXPECT_TRUE(pdf.contains(word))
                    << certificate.number.toStdString() << ": " << word.toStdString();
                ++checked;
            }
        }
        EXPECT_GT(checked, 100);
    }
}

TEST(Certificate, FilesAreReplacedWholeAndAFolderThatCannotBeMadeIsNamedWithTheReason)
{
    QTemporaryDir dir;
    Certificate certificate = buildCertificate(aotManualInput());
    const CertificateFiles first = writeCertificateFiles(certificate, dir.path());
    ASSERT_TRUE(first.ok()) << first.error.toStdString();
    EXPECT_EQ(first.pdf, dir.path() + "/AOT/AOT-00D4E5F6-20261130-7.pdf");
    // Written again with the same content: the same files, left whole.
    const CertificateFiles again = writeCertificateFiles(certificate, dir.path());
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.pdf, first.pdf);
    EXPECT_EQ(QDir(dir.path() + "/AOT").entryList(QDir::Files).size(), 2);
    QFile json(again.json);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    EXPECT_TRUE(json.readAll().contains("\"verdict\": \"FAIL\""));

    // A file where the kind's folder should be: no folder, whoever runs the test.
    QTemporaryDir blocked;
    QFile inTheWay(blocked.path() + "/AOT");
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    const CertificateFiles failed = writeCertificateFiles(certificate, blocked.path());
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.pdf, blocked.path() + "/AOT/AOT-00D4E5F6-20261130-7.pdf");
    EXPECT_TRUE(failed.error.contains(blocked.path() + "/AOT")) << failed.error.toStdString();
}

// A certificate number stands for one content: written again later (another issue time) it is
// the same certificate; with other content it is a revision with a number of its own that names
// the one it replaces, in the PDF and in the twin.
TEST(Certificate, ANumberIsNeverReusedForOtherContent)
{
    QTemporaryDir dir;
    CertificateInput input = aotManualInput();
    const CertificateFiles first = writeCertificateFiles(buildCertificate(input), dir.path());
    ASSERT_TRUE(first.ok()) << first.error.toStdString();
    const QByteArray firstTwin = [&] {
        QFile file(first.json);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    input.issued = input.issued.addDays(3);
    const CertificateFiles same = writeCertificateFiles(buildCertificate(input), dir.path());
    EXPECT_EQ(same.pdf, first.pdf);
    EXPECT_EQ(same.json, first.json);
    EXPECT_EQ(QDir(dir.path() + "/AOT").entryList(QDir::Files).size(), 2);
    QFile unchanged(first.json);
    ASSERT_TRUE(unchanged.open(QIODevice::ReadOnly));
    EXPECT_EQ(unchanged.readAll(), firstTwin) << "the first issue time stands";

    // What the history's button gives for a row saved by hand: the model and station unknown.
    input.model = NotRecorded;
    input.station.clear();
    const QString base = "AOT-00D4E5F6-20261130-7";
    const CertificateFiles second = writeCertificateFiles(buildCertificate(input), dir.path());
    ASSERT_TRUE(second.ok()) << second.error.toStdString();
    EXPECT_EQ(second.pdf, dir.path() + "/AOT/" + base + "-R2.pdf");
    const QJsonObject twin = QJsonDocument::fromJson([&] {
        QFile file(second.json);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }())
                                 .object();
    EXPECT_EQ(twin["number"].toString(), base + "-R2");
    EXPECT_EQ(twin["replaces"].toString(), base);
    EXPECT_EQ(twin["end"].toString(), "End of certificate " + base + "-R2");
    const QString text = flattened(pdfPages(second.pdf).join(' '));
    EXPECT_TRUE(text.contains("Certificate number: " + base + "-R2")) << text.toStdString();
    EXPECT_TRUE(text.contains("Replaces " + base)) << text.toStdString();
    EXPECT_TRUE(text.contains("Station not recorded"));
    QFile firstAgain(first.json);
    ASSERT_TRUE(firstAgain.open(QIODevice::ReadOnly));
    EXPECT_EQ(firstAgain.readAll(), firstTwin) << "the first certificate is never touched";

    // The revision written again is itself; another change replaces the latest revision.
    input.issued = input.issued.addDays(1);
    EXPECT_EQ(writeCertificateFiles(buildCertificate(input), dir.path()).pdf, second.pdf);
    input.referenceInstrument = "Calibrator K-7";
    const CertificateFiles third = writeCertificateFiles(buildCertificate(input), dir.path());
    EXPECT_EQ(third.pdf, dir.path() + "/AOT/" + base + "-R3.pdf");
    EXPECT_TRUE(flattened(pdfPages(third.pdf).join(' ')).contains("Replaces " + base + "-R2"));
    EXPECT_EQ(QDir(dir.path() + "/AOT").entryList(QDir::Files).size(), 6);
}

// A run's certificate names the run it came from, under its number and in the twin.
TEST(Certificate, ARunsCertificateNamesItsRun)
{
    QTemporaryDir dir;
    const Certificate certificate = buildCertificate(ainRunInput());
    EXPECT_EQ(certificate.runId, "5f0c2a9e-1d4b-4c7a-9b1e-3a2f6d8c0e71");
    const QString text = flattened(writtenPages(certificate, dir).join(' '));
    EXPECT_TRUE(text.contains("Run 5f0c2a9e-1d4b-4c7a-9b1e-3a2f6d8c0e71")) << text.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(certificateJson(certificate)).object()["runId"].toString(),
        certificate.runId);
    // A manual test has no run to name.
    const Certificate manual = buildCertificate(aotManualInput());
    EXPECT_TRUE(manual.runId.isEmpty());
    EXPECT_FALSE(QJsonDocument::fromJson(certificateJson(manual)).object().contains("runId"));
}

TEST(Certificate, DioResultsByColumnNameTheFailedPointsAndDecideTheVerdict)
{
    TDIOConfigRecord record = passedDioRecord("00112233");
    const CertificateInput input { "DIO", 3, rowByName(record.columns()), {}, "bench-2", "1.4.0",
        {}, {}, {}, QDateTime::currentDateTimeUtc(), {} };
    const Certificate passed = buildCertificate(input);
    EXPECT_EQ(passed.verdict, "PASS");
    EXPECT_EQ(passed.title, "Test certificate: Digital I/O module (DIO)");
    for (const CertificateSection &section : passed.sections)
        EXPECT_NE(section.title, "Verification") << "a DIO module has no analog sections";

    record.PinRatePass[1] = record.PinRatePass[3] = false;
    record.DoutPass = false;
    record.DoutComments = "Failed: 5 ";
    CertificateInput failing = input;
    failing.columns = rowByName(record.columns());
    const Certificate failed = buildCertificate(failing);
    EXPECT_EQ(failed.verdict, "FAIL");
    EXPECT_EQ(*rowOf(failed, "Results by column", 0, "PinRatePass 1 to 4"),
        QStringList({ "PinRatePass 1 to 4", "FAIL", "failed: 2, 4" }));
    EXPECT_EQ(*rowOf(failed, "Results by column", 0, "DOT_RESULT"),
        QStringList({ "DOT_RESULT", "FAIL", "Failed: 5" }));
}

// Which sections a certificate has follows the register map of the record's kind, as the
// registry names it: every analog map gets scales and verification, any other none, and a kind
// name that is not stored as such ("ain", "XYZ") is no analog kind.
TEST(Certificate, AnalogSectionsFollowTheRegisterMapOfTheRecordsKind)
{
    const auto titles = [](const QString &kind) {
        CertificateInput input = ainRunInput();
        input.kind = kind;
        QStringList found;
        for (const CertificateSection &section : buildCertificate(input).sections)
            found.append(section.title);
        return found;
    };
    for (const zul::TKindRow &row : zul::ModuleKinds) {
        const QString name = QString::fromLatin1(row.Name.data(), qsizetype(row.Name.size()));
        const QStringList found = titles(name);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(found.contains(QStringLiteral("Configuration and scales")), isAnalog(row.Map));
        EXPECT_EQ(found.contains(QStringLiteral("Verification")), isAnalog(row.Map));
        EXPECT_TRUE(found.contains(QStringLiteral("Results by column")));
    }
    for (const QString &kind : { QStringLiteral("ain"), QStringLiteral("XYZ") }) {
        const QStringList found = titles(kind);
        EXPECT_FALSE(found.contains(QStringLiteral("Configuration and scales")))
            << kind.toStdString();
        EXPECT_FALSE(found.contains(QStringLiteral("Verification"))) << kind.toStdString();
    }
}

namespace {

// A hand-saved AIN row (no run) with one test at 3.3 V on 0 to 10V, channel n measured
// expected + offsets[n] counts; the row passed the test unless `failed`.
CertificateInput ainHandRow(const std::array<int, 8> &offsets, bool failed)
{
    TAINConfigRecord record;
    record.SerialNo = "00A1B2C4";
    record.TestDate = QDateTime(QDate(2026, 12, 8), QTime(0, 0));
    record.DinPass = record.DoutPass = record.PoutPass = record.PoutCountPass = true;
    record.PoutChannelPass.fill(true);
    record.PoutCountChannelPass.fill(true);
    record.SeVinTested = true;
    record.SeVinPass = !failed;
    record.SeVinComments = failed ? "Failed:  3.3" : "";
    record.AnalogConfig = "Voltage, single-ended";
    record.TestGrid[0][0] = "3.3";
    const int expected = *zul::inputExpected(zul::inputTestRange(zul::scale::Volts0To10), "3.3");
    for (int n = 0; n < 8; ++n) {
        record.ScaleTexts[n] = QStringLiteral("AIN%1: 0 to 10V").arg(n + 1);
        record.TestGrid[0][n + 1] = QString::number(expected + offsets[std::size_t(n)]);
    }
    return { "AIN", 9, rowByName(record.columns()), {}, "bench-1", "1.4.0", {}, {}, {},
        QDateTime(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC), {} };
}

zul::FiledTest filedAt3V3(int column, const std::string &tolerance, bool passed)
{
    zul::FiledTest test;
    test.type = "SE Vin";
    test.stimulus = "3.3";
    test.tolerance = tolerance;
    test.column = column;
    test.passed = passed;
    for (zul::FiledChannel &channel : test.channels) {
        channel.judged = true;
        channel.scaleCode = zul::scale::Volts0To10;
        channel.expected =
            std::to_string(*zul::inputExpected(zul::inputTestRange(zul::scale::Volts0To10), "3.3"));
        channel.passed = true;
    }
    test.channels[4].passed = passed;
    return test;
}

} // namespace

// The certificate states the verdict decided where the tests were judged, never one of its own:
// a hand test at a wider tolerance stays PASS, a filed failure stays FAIL whatever follows it,
// the band's limits belong to it, a differential module's even channels are not judged, every
// DIO pulse-input column counts, and a run that did not pass never gets a PASS.
TEST(Certificate, TheVerdictIsTheOneDecidedWhereTheTestsWereJudged)
{
    // Filed at $0100 by hand: 200 counts off passes there, and the row says so.
    const std::array<int, 8> wide { 0, 200, -200, 0, 0, 0, 0, 0 };
    CertificateInput hand = ainHandRow(wide, false);
    EXPECT_EQ(buildCertificate(hand).verdict, "PASS") << "read back from the row";
    EXPECT_EQ(rowOf(buildCertificate(hand), "Verification", 1, "2")->last(), "PASS");
    hand.filedTests = { filedAt3V3(1, "$0100", true) };
    EXPECT_EQ(buildCertificate(hand).verdict, "PASS") << "as filed";

    // A filed channel outside its band fails the certificate, and a later passing test does not
    // clear it.
    CertificateInput filedFail = ainHandRow({}, false);
    filedFail.filedTests = { filedAt3V3(1, "$0080", false) };
    EXPECT_EQ(buildCertificate(filedFail).verdict, "FAIL");
    filedFail.filedTests.push_back(filedAt3V3(2, "$0080", true));
    EXPECT_EQ(buildCertificate(filedFail).verdict, "FAIL");
    EXPECT_EQ(rowOf(buildCertificate(filedFail), "Verification", 1, "5")->last(), "FAIL");

    // A test the row failed is judged again per channel at the standard $0080: its limits in.
    const Certificate failed =
        buildCertificate(ainHandRow({ 128, -128, 129, 0, 0, 0, 0, 0 }, true));
    EXPECT_EQ(failed.verdict, "FAIL");
    EXPECT_EQ(rowOf(failed, "Verification", 1, "1")->last(), "PASS");
    EXPECT_EQ(rowOf(failed, "Verification", 1, "2")->last(), "PASS");
    EXPECT_EQ(rowOf(failed, "Verification", 1, "3")->last(), "FAIL");

    // Differential: the even channels measure nothing and are not judged.
    CertificateInput differential = ainHandRow({ 0, 900, 0, 900, 0, 900, 0, 900 }, true);
    differential.columns["ANALOG_CONFIG"] = "Voltage, differential";
    const Certificate d = buildCertificate(differential);
    EXPECT_EQ(rowOf(d, "Verification", 1, "2")->last(), "not judged");
    EXPECT_EQ(rowOf(d, "Verification", 1, "1")->last(), "PASS");

    // A run that did not pass (a verification skipped or never settled) with passing rows.
    CertificateInput run = ainRunInput();
    run.runRecord.replace(
        QStringLiteral("\"outcome\": \"PASSED\""), QStringLiteral("\"outcome\": \"FAILED\""));
    EXPECT_EQ(buildCertificate(run).verdict, "FAIL");
    EXPECT_EQ(buildCertificate(ainRunInput()).verdict, "PASS");

    // Every DIO pulse-input count column is judged.
    TDIOConfigRecord dio = passedDioRecord("00112234");
    dio.PinCountPass[2] = false;
    EXPECT_EQ(buildCertificate({ "DIO", 4, rowByName(dio.columns()), {}, "bench-2", "1.4.0", {}, {},
                                   {}, QDateTime::currentDateTimeUtc(), {} })
                  .verdict,
        "FAIL");
}
