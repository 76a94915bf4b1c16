#include "CertificateSupport.h"

#include "core/AnalogTestArithmetic.h"
#include "records/DataRecords.h"

#include <QProcess>

QHash<QString, QVariant> passedAinRow()
{
    TAINConfigRecord record;
    record.SerialNo = "00A1B2C3";
    record.TestDate = QDateTime(QDate(2026, 12, 7), QTime(0, 0));
    record.Technician = "R. Okafor";
    record.BoardRev = "1.2B";
    record.FirmwareRev = "03.07";
    record.DinPass = record.DoutPass = record.PoutPass = record.PoutCountPass = true;
    record.PoutChannelPass.fill(true);
    record.PoutCountChannelPass.fill(true);
    record.SeVinPass = record.SeVinTested = true;
    record.DVinComments = "Differential Voltage input not tested. ";
    record.AnalogConfig = "Voltage, single-ended";
    for (int n = 0; n < 8; ++n) {
        record.ScaleTexts[n] = QStringLiteral("AIN%1: 0 to 10V").arg(n + 1);
        record.VinOffsets[n] = std::int16_t(-3 + n);
        record.VinSpans[n] = std::uint16_t(40000 + n);
    }
    // Twelve filed tests of 0 V to 11 V: 12 x 8 verification lines over several pages.
    for (int test = 0; test < TAnalogConfigRecord::TestCount; ++test) {
        const double volts = test * 10.0 / 11;
        record.TestGrid[test][0] = QString::number(volts, 'g', 4);
        const int expected = *zul::inputExpected(
            zul::inputTestRange(0x1102), record.TestGrid[test][0].toStdString());
        for (int n = 1; n <= 8; ++n)
            record.TestGrid[test][n] =
                QStringLiteral("$%1")
                    .arg(std::min(expected + n - 4, 65535), 4, 16, QChar('0'))
                    .toUpper();
    }
    return rowByName(record.columns());
}

QHash<QString, QVariant> failedAotRow()
{
    TAOTConfigRecord record;
    record.SerialNo = "00D4E5F6";
    record.TestDate = QDateTime(QDate(2026, 11, 30), QTime(0, 0));
    record.BoardRev = "2.0A";
    record.FirmwareRev = "01.02";
    record.DinPass = record.DoutPass = record.PoutPass = record.PoutCountPass = true;
    record.PoutChannelPass.fill(true);
    record.PoutCountChannelPass.fill(true);
    record.VoutTested = true;
    record.VoutPass = false;
    record.VoutComments = "Failed:  8000";
    record.IoutComments = "Current source not tested. ";
    record.AnalogConfig = "Voltage";
    for (int n = 0; n < 8; ++n)
        record.ScaleTexts[n] = QStringLiteral("AOT%1: 0 to 10V").arg(n + 1);
    record.TestGrid[0][0] = "8000"; // 5 V expected on 0 to 10 V
    for (int n = 1; n <= 8; ++n)
        record.TestGrid[0][n] = n == 3 ? "5.61" : "5.02";
    return rowByName(record.columns());
}

QString ainRunRecord()
{
    return QStringLiteral(R"({
  "runId": "5f0c2a9e-1d4b-4c7a-9b1e-3a2f6d8c0e71",
  "plan": "AIN 0-10V",
  "planHash": "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08",
  "operator": "R. Okafor",
  "station": "bench-3",
  "toolVersion": "1.4.0",
  "module": {"kind": "AIN", "serial": "00A1B2C3"},
  "started": "2026-12-07T17:10:00.000Z",
  "ended": "2026-12-07T17:19:00.000Z",
  "outcome": "PASSED",
  "resultRow": 42,
  "steps": [
    {"name": "Identify", "status": "Passed", "attempts": [
      {"started": "2026-12-07T17:10:00.000Z", "ended": "2026-12-07T17:10:01.000Z",
       "status": "Passed", "message": "ok", "values": [
         {"name": "Offset as found AIN1", "value": -17, "unit": "counts", "within": true},
         {"name": "Span as found AIN1", "value": 39876, "unit": "counts", "within": true}]}]},
    {"name": "Verification 5 V", "status": "Passed", "attempts": [
      {"started": "2026-12-07T17:12:00.000Z", "ended": "2026-12-07T17:12:30.000Z",
       "status": "Failed", "message": "7 of 8 within $0080 of the expected value; outside: AIN6",
       "values": []},
      {"started": "2026-12-07T17:13:00.000Z", "ended": "2026-12-07T17:13:30.000Z",
       "status": "Passed", "message": "8 of 8 within $0080 of the expected value",
       "values": []}]}
  ]
})");
}

QStringList pdfPages(const QString &pdfPath)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), { pdfPath, QStringLiteral("-") });
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString flattened(const QString &text)
{
    return text.simplified();
}
