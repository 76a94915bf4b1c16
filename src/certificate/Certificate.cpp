#include "Certificate.h"

#include "core/AnalogTestArithmetic.h"
#include "core/KindRegistry.h"
#include "core/ModuleCodes.h"
#include "core/NumberFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <optional>

namespace {

constexpr int Channels = 8;
constexpr int Tests = 12;

const QString Pass = QStringLiteral("PASS");
const QString Fail = QStringLiteral("FAIL");

// The row as the certificate reads it: a column that is missing reads as empty, so a row of an
// older database still gives a certificate.
class Row
{
public:
    explicit Row(const QHash<QString, QVariant> &columns)
        : m_columns(columns)
    {
    }
    bool has(const QString &name) const { return m_columns.contains(name); }
    QString text(const QString &name) const { return m_columns.value(name).toString().trimmed(); }
    bool flag(const QString &name) const
    {
        const QVariant value = m_columns.value(name);
        const QString asText = value.toString().trimmed().toLower();
        return asText == "true" || asText == "pass" || asText == "yes" || value.toInt() != 0;
    }
    QDateTime dateTime(const QString &name) const { return m_columns.value(name).toDateTime(); }

private:
    const QHash<QString, QVariant> &m_columns;
};

QString either(const QString &first, const QString &second)
{
    return first.trimmed().isEmpty() ? second : first;
}

QString orNotRecorded(const QString &text)
{
    return text.trimmed().isEmpty() ? NotRecorded : text.trimmed();
}

// What the run's record holds for the certificate: the calibration as found, the tolerance the
// verification used, the start and outcome, and the attempts that did not pass.
struct RunFacts
{
    bool present = false;
    QString runId;
    QString plan;
    QString model;
    QString station;
    QString toolVersion;
    QString started;
    QString ended;
    QString outcome;
    QHash<QString, double> asFound; // "Offset as found AIN1" -> value
    QString tolerance;
    QList<QStringList> failedAttempts; // step, attempt, status, ended, message
};

RunFacts readRun(const QString &recordJson)
{
    RunFacts facts;
    const QJsonDocument document = QJsonDocument::fromJson(recordJson.toUtf8());
    if (!document.isObject())
        return facts;
    const QJsonObject record = document.object();
    facts.present = true;
    facts.runId = record.value("runId").toString();
    facts.plan = record.value("plan").toString();
    facts.model = record.value("module").toObject().value("model").toString();
    facts.station = record.value("station").toString();
    facts.toolVersion = record.value("toolVersion").toString();
    facts.started = record.value("started").toString();
    facts.ended = record.value("ended").toString();
    facts.outcome = record.value("outcome").toString();
    static const QRegularExpression toleranceText(QStringLiteral("within (\\S+) of the expected"));
    for (const QJsonValue stepValue : record.value("steps").toArray()) {
        const QJsonObject step = stepValue.toObject();
        const QString name = step.value("name").toString();
        const QJsonArray attempts = step.value("attempts").toArray();
        for (int n = 0; n < attempts.size(); ++n) {
            const QJsonObject attempt = attempts[n].toObject();
            const QString status = attempt.value("status").toString();
            const QString message = attempt.value("message").toString();
            if (status == "Passed" && name == "Identify")
                for (const QJsonValue value : attempt.value("values").toArray())
                    facts.asFound.insert(value.toObject().value("name").toString(),
                        value.toObject().value("value").toDouble());
            if (const auto match = toleranceText.match(message); match.hasMatch())
                facts.tolerance = match.captured(1);
            if (status != "Passed" && status != "Skipped")
                facts.failedAttempts.append({ name, QString::number(n + 1), status,
                    attempt.value("ended").toString(), message });
        }
    }
    return facts;
}

// The scale code whose range the channel's status line shows: inputs judge current against the
// sink codes, outputs against the source codes (their ranges are the same).
std::optional<std::uint16_t> scaleCodeOf(const QString &scaleLine, bool input)
{
    const QString shown = scaleLine.section(':', -1).trimmed();
    namespace scale = zul::scale;
    const std::uint16_t current = input ? scale::SinkBase : scale::SourceBase;
    for (const std::uint16_t code : { scale::Volts0To5, scale::Volts0To10, scale::Volts1To5,
             std::uint16_t(current | 1), std::uint16_t(current | 2), std::uint16_t(current | 3) })
        if (shown.startsWith(QString::fromStdString(zul::ScaleText(code).first)))
            return code;
    return std::nullopt;
}

QString unitOf(std::uint16_t scaleCode)
{
    return (scaleCode >> 8) == zul::scale::VoltageKindByte ? QStringLiteral("V")
                                                           : QStringLiteral("mA");
}

QString decimal(double value)
{
    return QString::number(value, 'g', 6);
}

struct Judged
{
    QString expected;
    QString error;
    QString result;
};

Judged judgeInput(
    std::uint16_t code, const QString &stimulus, const QString &measured, const QString &tolerance)
{
    const auto expected = zul::inputExpected(zul::inputTestRange(code), stimulus.toStdString());
    if (!expected)
        return { NotRecorded, {}, QStringLiteral("not judged") };
    const std::string expectedText = zul::formatLong(*expected, true);
    const auto value = zul::parseInteger(measured.toStdString());
    const auto band = zul::inputBand(tolerance.toStdString(), expectedText);
    if (!value || !band)
        return { QString::fromStdString(expectedText), {}, QStringLiteral("not judged") };
    const bool within = *value >= band->first && *value <= band->second;
    return { QString::fromStdString(expectedText), QString::number(*value - *expected),
        within ? Pass : Fail };
}

Judged judgeOutput(
    std::uint16_t code, const QString &stimulus, const QString &measured, const QString &tolerance)
{
    const zul::TestRange range = zul::outputTestRange(code);
    const std::string expectedText = zul::outputExpectedText(range, stimulus.toStdString());
    if (expectedText.empty())
        return { NotRecorded, {}, QStringLiteral("not judged") };
    const auto value = zul::parseReal(measured.toStdString());
    const auto expected = zul::parseReal(expectedText);
    const auto band = zul::outputBand(range, tolerance.toStdString(), expectedText);
    if (!value || !expected || !band)
        return { QString::fromStdString(expectedText), {}, QStringLiteral("not judged") };
    const bool within = *value >= band->first && *value <= band->second;
    return { QString::fromStdString(expectedText), decimal(*value - *expected),
        within ? Pass : Fail };
}

// The register map of the record's kind (its name as stored): the sections shown follow what
// the module holds, not its name. A name that is no kind has no analog sections.
zul::RegisterMap registerMap(const QString &kind)
{
    const zul::TKindRow *row = zul::findKindNamed(kind.toStdString());
    return row ? row->Map : zul::RegisterMap::Identity;
}

class Builder
{
public:
    Builder(const CertificateInput &input)
        : m_input(input)
        , m_row(input.columns)
        , m_run(readRun(input.runRecord))
        , m_analog(zul::isAnalog(registerMap(input.kind)))
        , m_inputs(registerMap(input.kind) == zul::RegisterMap::AnalogInputs)
    {
    }

    Certificate build()
    {
        Certificate c;
        c.kind = m_input.kind;
        c.runId = m_run.runId;
        c.serial = m_row.text("SERIAL_NO");
        c.number =
            certificateNumber(c.kind, c.serial, m_row.dateTime("DATE_FLD").date(), m_input.rowId);
        c.title = QStringLiteral("Test certificate: ") + model();
        if (!model().contains(c.kind))
            c.title += QStringLiteral(" (%1)").arg(c.kind);
        c.sections.append(identity());
        c.sections.append(test());
        c.sections.append({ QStringLiteral("Reference instrument"),
            { { QStringLiteral("Reference instrument"),
                orNotRecorded(m_input.referenceInstrument) } },
            {}, {} });
        if (m_analog) {
            c.sections.append(scales());
            c.sections.append(asFound());
            c.sections.append(asLeft());
            c.sections.append(verification());
        }
        c.sections.append(resultsByColumn());
        c.decisionRule = QStringLiteral("PASS when every measured value lies within the expected "
                                        "value plus or minus the tolerance, limits included");
        // Decided where the tests were judged: by the row's flags and the filed tests, and for a
        // run by its outcome too, so that a run that did not pass never gets a PASS certificate.
        const bool runFailed = m_run.present && m_run.outcome != QLatin1String("PASSED");
        c.verdict = m_failed || runFailed ? Fail : Pass;
        c.sections.append({ QStringLiteral("Decision rule and verdict"),
            { { QStringLiteral("Decision rule"), c.decisionRule },
                { QStringLiteral("Verdict"), c.verdict } },
            {}, {} });
        if (m_run.present)
            c.sections.append(appendix());
        c.endLine = QStringLiteral("End of certificate %1").arg(c.number);
        return c;
    }

private:
    QString model() const
    {
        if (!m_input.model.trimmed().isEmpty())
            return m_input.model.trimmed();
        if (!m_run.model.trimmed().isEmpty())
            return m_run.model.trimmed();
        const zul::TKindRow *kind = zul::findKindByName(m_input.kind.toStdString());
        return kind ? QString::fromUtf8(kind->TypeText.data(), qsizetype(kind->TypeText.size()))
                    : m_input.kind;
    }

    CertificateSection identity() const
    {
        return { QStringLiteral("Module"),
            { { QStringLiteral("Model"), model() },
                { QStringLiteral("Serial number"), orNotRecorded(m_row.text("SERIAL_NO")) },
                { QStringLiteral("Firmware"), orNotRecorded(m_row.text("FWARE_REV")) },
                { QStringLiteral("Board revision"), orNotRecorded(m_row.text("BOARD_REV")) } },
            {}, {} };
    }

    CertificateSection test() const
    {
        const QString plan = m_input.plan.isEmpty() ? m_run.plan : m_input.plan;
        QList<CertificateField> fields {
            { QStringLiteral("Test date"),
                m_row.dateTime("DATE_FLD").date().toString(Qt::ISODate) },
            { IssuedLabel,
                m_input.issued.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss 'UTC'")) },
            { QStringLiteral("Station"), orNotRecorded(either(m_input.station, m_run.station)) },
            { QStringLiteral("Tool version"),
                orNotRecorded(either(m_input.toolVersion, m_run.toolVersion)) },
            { QStringLiteral("Operator"), orNotRecorded(m_row.text("TECHNICIAN")) },
            { QStringLiteral("Method"),
                plan.isEmpty() ? QStringLiteral("manual test") : QStringLiteral("plan: ") + plan },
        };
        if (m_run.present)
            fields.append({ QStringLiteral("Run"),
                QStringLiteral("%1 to %2, %3").arg(m_run.started, m_run.ended, m_run.outcome) });
        return { QStringLiteral("Test"), fields, {}, {} };
    }

    CertificateSection scales() const
    {
        CertificateSection s { QStringLiteral("Configuration and scales"),
            { { QStringLiteral("Configuration"), orNotRecorded(m_row.text("ANALOG_CONFIG")) } },
            { { QStringLiteral("Channel"), QStringLiteral("Scale") }, {} }, {} };
        for (int n = 1; n <= Channels; ++n)
            s.table.rows.append({ QString::number(n),
                orNotRecorded(m_row.text(QStringLiteral("SCALE%1").arg(n))) });
        return s;
    }

    CertificateSection asFound() const
    {
        CertificateSection s { QStringLiteral("Calibration as found"), {}, {}, {} };
        const QString prefix = m_input.kind;
        if (!m_run.present || m_run.asFound.isEmpty()) {
            s.note = m_run.present
                ? QStringLiteral("Calibration as found: not recorded by the run")
                : QStringLiteral("Calibration as found: not recorded (manual test)");
            return s;
        }
        s.table.columns = { QStringLiteral("Channel"), QStringLiteral("Offset"),
            QStringLiteral("Span") };
        for (int n = 1; n <= Channels; ++n) {
            const QString offset = QStringLiteral("Offset as found %1%2").arg(prefix).arg(n);
            const QString span = QStringLiteral("Span as found %1%2").arg(prefix).arg(n);
            s.table.rows.append({ QString::number(n),
                m_run.asFound.contains(offset) ? decimal(m_run.asFound[offset]) : NotRecorded,
                m_run.asFound.contains(span) ? decimal(m_run.asFound[span]) : NotRecorded });
        }
        return s;
    }

    CertificateSection asLeft() const
    {
        CertificateSection s { QStringLiteral("Calibration as left"), {},
            { { QStringLiteral("Set"), QStringLiteral("Channel"), QStringLiteral("Offset"),
                  QStringLiteral("Span") },
                {} },
            {} };
        const QStringList sets =
            m_inputs ? QStringList { "VIN", "SE_IIN", "D_IIN" } : QStringList { "VOT", "IOT" };
        for (const QString &set : sets)
            for (int n = 1; n <= Channels; ++n)
                s.table.rows.append({ set, QString::number(n),
                    orNotRecorded(m_row.text(QStringLiteral("%1_OFFSET%2").arg(set).arg(n))),
                    orNotRecorded(m_row.text(QStringLiteral("%1_SPAN%2").arg(set).arg(n))) });
        return s;
    }

    // Only the odd channels measure on a differential module; the row names its configuration.
    bool differential() const
    {
        return m_row.text("ANALOG_CONFIG")
            .contains(QLatin1String("differential"), Qt::CaseInsensitive);
    }

    // The row lists the stimuli of the failed tests of each kind: "Failed:  0 3.3".
    bool rowFailedTest(const QString &stimulus) const
    {
        for (const char *comments : { "COMMENTS_SE_VIN", "COMMENTS_D_VIN", "COMMENTS_SE_IIN",
                 "COMMENTS_D_IIN", "COMMENTS_VOUT", "COMMENTS_IOUT" }) {
            const QString text = m_row.text(QLatin1String(comments));
            if (!text.startsWith(QLatin1String("Failed:")))
                continue;
            if (text.mid(7)
                    .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                    .contains(stimulus.trimmed()))
                return true;
        }
        return false;
    }

    const zul::FiledTest *filedAt(int column) const
    {
        for (const zul::FiledTest &test : m_input.filedTests)
            if (test.column == column)
                return &test;
        return nullptr;
    }

    // A line of a test as it was judged when it was filed: its own tolerance and verdict.
    QStringList filedLine(int test, int n, const zul::FiledTest &filed, const QString &measured)
    {
        const zul::FiledChannel &channel = filed.channels[static_cast<std::size_t>(n - 1)];
        const std::uint16_t code = channel.scaleCode;
        const QString unit = m_inputs ? QString() : " " + unitOf(code);
        const QString expected = QString::fromStdString(channel.expected);
        QString error;
        if (m_inputs) {
            const auto value = zul::parseInteger(measured.toStdString());
            const auto wanted = zul::parseInteger(channel.expected);
            if (value && wanted)
                error = QString::number(*value - *wanted);
        } else {
            const auto value = zul::parseReal(measured.toStdString());
            const auto wanted = zul::parseReal(channel.expected);
            if (value && wanted)
                error = decimal(*value - *wanted);
        }
        const QString result =
            !channel.judged ? QStringLiteral("not judged") : (channel.passed ? Pass : Fail);
        if (result == Fail)
            m_failed = true;
        const QString stimulus = QString::fromStdString(filed.stimulus);
        return { QString::number(test), QString::number(n),
            m_inputs ? stimulus + " " + unitOf(code) : "$" + stimulus,
            expected.isEmpty() ? NotRecorded : expected + unit, measured + unit,
            QString::fromStdString(filed.tolerance), error, result };
    }

    CertificateSection verification()
    {
        // A run notes the tolerance it judged by; a test by hand leaves it in the test dialog
        // only, so the dialog's standard tolerance is stated and the note says so.
        const bool recorded = !m_run.tolerance.isEmpty();
        const QString tolerance =
            recorded ? m_run.tolerance : (m_inputs ? QStringLiteral("$0080") : "5%");
        CertificateSection s { QStringLiteral("Verification"), {},
            { { "Test", "Channel", "Stimulus", "Expected", "Measured", "Tolerance", "Error",
                  "Result" },
                {} },
            {} };
        s.note = m_inputs ? QStringLiteral("Inputs: stimulus in volts or milliamps; expected, "
                                           "measured, tolerance and error in scaled counts.")
                          : QStringLiteral("Outputs: stimulus as the raw value written; "
                                           "expected, measured and error in volts or milliamps "
                                           "by the channel's scale.");
        bool standardTolerance = false;
        for (int test = 1; test <= Tests; ++test) {
            const QString stimulus = m_row.text(QStringLiteral("Test%1_STIM").arg(test));
            if (stimulus.isEmpty())
                continue;
            const zul::FiledTest *filed = filedAt(test);
            for (int n = 1; n <= Channels; ++n) {
                const QString measured = m_row.text(QStringLiteral("Test%1_%2").arg(test).arg(n));
                if (measured.isEmpty())
                    continue;
                if (filed) {
                    s.table.rows.append(filedLine(test, n, *filed, measured));
                    continue;
                }
                const auto code =
                    scaleCodeOf(m_row.text(QStringLiteral("SCALE%1").arg(n)), m_inputs);
                Judged judged { NotRecorded, {}, QStringLiteral("not judged") };
                if (code)
                    judged = m_inputs ? judgeInput(*code, stimulus, measured, tolerance)
                                      : judgeOutput(*code, stimulus, measured, tolerance);
                // The row keeps no tolerance and no verdict per test, only the stimuli of the
                // tests that failed: a test the row passed passed on every channel it judged,
                // whatever another tolerance would say. Only a failed test is judged again, at
                // the stated tolerance, to point at its channels; the verdict stays the row's.
                QString shownTolerance = tolerance;
                if (differential() && n % 2 == 0) {
                    judged.result = QStringLiteral("not judged");
                    judged.error.clear();
                } else if (!rowFailedTest(stimulus)
                    && judged.result != QLatin1String("not judged")) {
                    judged.result = Pass;
                    shownTolerance = recorded ? tolerance : QStringLiteral("as filed");
                } else {
                    standardTolerance = standardTolerance || !recorded;
                }
                const QString shownStimulus =
                    m_inputs ? stimulus + (code ? " " + unitOf(*code) : QString()) : "$" + stimulus;
                const QString unit = !m_inputs && code ? " " + unitOf(*code) : QString();
                s.table.rows.append({ QString::number(test), QString::number(n), shownStimulus,
                    judged.expected + (judged.expected == NotRecorded ? QString() : unit),
                    measured + unit, shownTolerance, judged.error, judged.result });
            }
        }
        if (standardTolerance)
            s.note += QStringLiteral(" The tolerance of a test by hand is not stored with the row: "
                                     "a failed test's channels are judged again at the test "
                                     "dialog's standard (%1) to point at the failing ones.")
                          .arg(tolerance);
        if (s.table.rows.isEmpty())
            s.note = QStringLiteral("No verification was filed. ") + s.note;
        return s;
    }

    // One line per results column: a flag with its comments, or a group of numbered flags with
    // the points that failed.
    CertificateSection resultsByColumn()
    {
        CertificateSection s { QStringLiteral("Results by column"), {},
            { { QStringLiteral("Column"), QStringLiteral("Result"),
                  QStringLiteral("Failed points / comments") },
                {} },
            {} };
        const auto flag = [&](const QString &column, const QString &comments) {
            if (!m_row.has(column))
                return;
            const bool pass = m_row.flag(column);
            m_failed = m_failed || !pass;
            s.table.rows.append({ column, pass ? Pass : Fail, m_row.text(comments) });
        };
        const auto tested = [&](const QString &prefix, const QString &comments) {
            if (!m_row.has(prefix + "_TESTS"))
                return;
            if (!m_row.flag(prefix + "_TESTED")) {
                s.table.rows.append(
                    { prefix + "_TESTS", QStringLiteral("not tested"), m_row.text(comments) });
                return;
            }
            flag(prefix + "_TESTS", comments);
        };
        const auto group = [&](const QString &prefix, int count, bool judged) {
            if (!m_row.has(prefix + "1"))
                return;
            QStringList failed;
            for (int n = 1; n <= count; ++n)
                if (!m_row.flag(prefix + QString::number(n)))
                    failed.append(QString::number(n));
            m_failed = m_failed || (judged && !failed.isEmpty());
            s.table.rows.append({ QStringLiteral("%1 1 to %2").arg(prefix).arg(count),
                failed.isEmpty() ? Pass : Fail,
                failed.isEmpty() ? QString() : QStringLiteral("failed: ") + failed.join(", ") });
        };
        flag("DIN_RESULT", "COMMENTS_DIN");
        flag("DOT_RESULT", "COMMENTS_DOT");
        flag("POT_RESULT", "COMMENTS_POT");
        flag("POT_CNT_RESULT", "COMMENTS_POT_CNT");
        for (const auto &[prefix, comments] :
            { std::pair { "SE_VIN", "COMMENTS_SE_VIN" }, { "D_VIN", "COMMENTS_D_VIN" },
                { "SE_IIN", "COMMENTS_SE_IIN" }, { "D_IIN", "COMMENTS_D_IIN" },
                { "VOUT", "COMMENTS_VOUT" }, { "IOUT", "COMMENTS_IOUT" } })
            tested(prefix, comments);
        // The pulsed outputs' channel ticks are what POT_RESULT and POT_CNT_RESULT sum up; the
        // DIO's pulse inputs have no summary column and count on their own.
        group("PoutPASS", Channels, false);
        group("PoutCPASS", Channels, false);
        group("PinCountPass", 4, true);
        group("PinRatePass", 4, true);
        return s;
    }

    CertificateSection appendix() const
    {
        CertificateSection s { QStringLiteral("Appendix: attempts that did not pass"), {},
            { { QStringLiteral("Step"), QStringLiteral("Attempt"), QStringLiteral("Status"),
                  QStringLiteral("Ended"), QStringLiteral("Message") },
                m_run.failedAttempts },
            {} };
        if (s.table.rows.isEmpty())
            s.note = QStringLiteral("None: every step passed at its first attempt.");
        return s;
    }

    const CertificateInput &m_input;
    Row m_row;
    RunFacts m_run;
    bool m_analog;
    bool m_inputs;
    bool m_failed = false;
};

QJsonArray strings(const QStringList &texts)
{
    return QJsonArray::fromStringList(texts);
}

} // namespace

QString certificateNumber(
    const QString &kind, const QString &serial, const QDate &testDate, qint64 rowId)
{
    // Joined, never substituted: a "%1" in a serial number must not take the row's number.
    QString number = kind + '-' + serial.trimmed() + '-'
        + testDate.toString(QStringLiteral("yyyyMMdd")) + '-' + QString::number(rowId);
    for (QChar &c : number)
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != '-' && c != '.')
            c = '_';
    if (number.startsWith('.'))
        number[0] = '_';
    return number;
}

QHash<QString, QVariant> rowByName(const RecordRow &row)
{
    QHash<QString, QVariant> columns;
    for (const RecordColumn &column : row)
        columns.insert(column.name, column.value);
    return columns;
}

Certificate buildCertificate(const CertificateInput &input)
{
    return Builder(input).build();
}

Certificate revisedCertificate(
    const Certificate &certificate, const QString &number, const QString &replaces)
{
    Certificate revised = certificate;
    revised.number = number;
    revised.replaces = replaces;
    revised.endLine = QStringLiteral("End of certificate %1").arg(number);
    return revised;
}

QByteArray certificateJson(const Certificate &certificate)
{
    QJsonArray sections;
    for (const CertificateSection &section : certificate.sections) {
        QJsonObject object { { "title", section.title } };
        QJsonArray fields;
        for (const CertificateField &field : section.fields)
            fields.append(QJsonObject { { "label", field.label }, { "value", field.value } });
        object.insert("fields", fields);
        if (!section.table.columns.isEmpty()) {
            QJsonArray rows;
            for (const QStringList &row : section.table.rows)
                rows.append(strings(row));
            object.insert("table",
                QJsonObject { { "columns", strings(section.table.columns) }, { "rows", rows } });
        }
        if (!section.note.isEmpty())
            object.insert("note", section.note);
        sections.append(object);
    }
    QJsonObject root { { "number", certificate.number }, { "title", certificate.title },
        { "kind", certificate.kind }, { "serial", certificate.serial },
        { "verdict", certificate.verdict }, { "decisionRule", certificate.decisionRule },
        { "sections", sections }, { "end", certificate.endLine } };
    if (!certificate.runId.isEmpty())
        root.insert("runId", certificate.runId);
    if (!certificate.replaces.isEmpty())
        root.insert("replaces", certificate.replaces);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
