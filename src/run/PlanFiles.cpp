#include "PlanFiles.h"

#include "core/NumberFormat.h"
#include "core/PulseRate.h"
#include "run/PlanKinds.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zul::run {

namespace {

constexpr qint64 MaxPlanFileBytes = 1 << 20;

struct PlanError
{
    std::string text;
};

std::string quoted(const QString &text)
{
    return "\"" + text.toStdString() + "\"";
}

[[noreturn]] void fail(std::string text)
{
    throw PlanError { std::move(text) };
}

void checkFields(const QJsonObject &object, std::initializer_list<const char *> known,
    const std::string &prefix = {})
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        const bool listed = std::any_of(known.begin(), known.end(),
            [&it](const char *name) { return it.key() == QLatin1String(name); });
        if (!listed)
            fail("unknown field \"" + prefix + it.key().toStdString() + "\"");
    }
}

std::string text(const QJsonObject &object, const char *field)
{
    const QJsonValue value = object.value(QLatin1String(field));
    if (value.isUndefined())
        fail(std::string("\"") + field + "\" is missing");
    if (!value.isString() || value.toString().trimmed().isEmpty())
        fail(std::string("\"") + field + "\" must be a text");
    return value.toString().toStdString();
}

double real(const QJsonValue &value, const std::string &field)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        fail("\"" + field + "\" must be a number");
    return value.toDouble();
}

int whole(const QJsonObject &object, const char *field, int low, int high, int fallback,
    const std::string &prefix = {})
{
    const QJsonValue value = object.value(QLatin1String(field));
    if (value.isUndefined())
        return fallback;
    const double number = value.toDouble(-1e300);
    if (!value.isDouble() || number != std::floor(number) || number < low || number > high)
        fail("\"" + prefix + field + "\" must be a whole number from " + std::to_string(low)
            + " to " + std::to_string(high));
    return int(number);
}

const RangeRow &rangeFor(const QJsonValue &value, const ConfigurationRow &configuration)
{
    if (!value.isString())
        fail("a range must be a text such as \"0 to 10V\"");
    const RangeRow *range = findRange(value.toString().toStdString());
    if (!range)
        fail("unknown range " + quoted(value.toString()));
    if (range->current != configuration.current)
        fail("range " + quoted(value.toString()) + " does not fit configuration \""
            + configuration.name + "\"");
    return *range;
}

// The channels' ranges: "range" for all of them or "ranges", one per channel.
std::vector<const RangeRow *> readRanges(const QJsonObject &object, Plan &plan)
{
    const bool one = object.contains(QLatin1String("range"));
    const bool each = object.contains(QLatin1String("ranges"));
    if (one == each)
        fail("give either \"range\" (all channels) or \"ranges\" (one per channel)");
    std::vector<const RangeRow *> ranges;
    if (one) {
        ranges.assign(
            PlanChannels, &rangeFor(object.value(QLatin1String("range")), *plan.configuration));
    } else {
        const QJsonValue list = object.value(QLatin1String("ranges"));
        if (!list.isArray() || list.toArray().size() != PlanChannels)
            fail("\"ranges\" must list " + std::to_string(PlanChannels)
                + " ranges, channel 1 first");
        for (const auto &value : list.toArray())
            ranges.push_back(&rangeFor(value, *plan.configuration));
    }
    for (int ch = 0; ch < PlanChannels; ++ch)
        plan.scales[std::size_t(ch)] = scaleCode(*plan.configuration, *ranges[std::size_t(ch)]);
    return ranges;
}

// A kind driven by output words gives its drive values as words, as the calibration page and the
// output test dialog take them.
double outputWord(const QJsonValue &value, const std::string &field)
{
    const double word = real(value, field);
    if (word != std::floor(word) || word < 0 || word > 0xFFFF)
        fail("\"" + field + "\" must be an output word from 0 to 65535");
    return word;
}

double driveValue(const QJsonValue &value, const PlanKindEntry &kind, const std::string &field)
{
    return kind.driveWords ? outputWord(value, field) : real(value, field);
}

void readCalibration(
    const QJsonObject &object, const PlanKindEntry &kind, Plan &plan, const RangeRow *common)
{
    const QJsonValue value = object.value(QLatin1String("calibration"));
    if (value.isUndefined() && kind.driveWords) {
        plan.calibrationLow = kind.driveWords->low;
        plan.calibrationHigh = kind.driveWords->high;
        return;
    }
    if (value.isUndefined()) {
        if (!common)
            fail("\"calibration\" is needed when the channels' ranges differ");
        plan.calibrationLow = common->low;
        plan.calibrationHigh = common->high;
        return;
    }
    if (!value.isObject())
        fail("\"calibration\" must be an object with \"low\" and \"high\"");
    const QJsonObject calibration = value.toObject();
    checkFields(calibration, { "low", "high" }, "calibration.");
    plan.calibrationLow =
        driveValue(calibration.value(QLatin1String("low")), kind, "calibration.low");
    plan.calibrationHigh =
        driveValue(calibration.value(QLatin1String("high")), kind, "calibration.high");
    if (plan.calibrationLow >= plan.calibrationHigh)
        fail("\"calibration.low\" must lie below \"calibration.high\"");
}

void readStimuli(
    const QJsonObject &object, const PlanKindEntry &kind, Plan &plan, const RangeRow *common)
{
    const QJsonValue value = object.value(QLatin1String("stimuli"));
    if (value.isUndefined() && kind.driveWords) {
        plan.stimuli = kind.driveWords->stimuli;
        return;
    }
    if (value.isUndefined()) {
        if (!common)
            fail("\"stimuli\" are needed when the channels' ranges differ");
        plan.stimuli = suggestedStimuli(*common);
        return;
    }
    if (!value.isArray() || value.toArray().isEmpty())
        fail("\"stimuli\" must list at least one number");
    for (const auto &stimulus : value.toArray())
        plan.stimuli.push_back(driveValue(stimulus, kind, "stimuli"));
}

// Scaled counts, decimal or "$" hexadecimal; or V or mA, or a percentage of the range.
void readTolerance(const QJsonObject &object, const PlanKindEntry &kind, Plan &plan)
{
    const QJsonValue value = object.value(QLatin1String("tolerance"));
    if (value.isUndefined())
        return;
    std::string tolerance;
    if (value.isDouble())
        tolerance = stimulusText(value.toDouble());
    else if (value.isString())
        tolerance = value.toString().trimmed().toStdString();
    bool good = false;
    if (kind.toleranceInCounts) {
        const auto counts = parseInteger(tolerance);
        good = counts && *counts >= 0;
    } else {
        std::string number = tolerance;
        if (!number.empty() && number.back() == '%')
            number.pop_back();
        const auto amount = parseReal(number);
        good = amount && *amount >= 0;
    }
    if (!good)
        fail(kind.toleranceInCounts
                ? "\"tolerance\" must be a whole number of counts, such as 128 or \"$0080\""
                : "\"tolerance\" must be a number of V or mA, or a percentage such as \"5%\"");
    plan.tolerance = tolerance;
}

void readStability(const QJsonObject &object, Plan &plan)
{
    const QJsonValue value = object.value(QLatin1String("stability"));
    if (value.isUndefined())
        return;
    if (!value.isObject())
        fail("\"stability\" must be an object");
    const QJsonObject stability = value.toObject();
    checkFields(stability, { "readings", "band", "timeoutSeconds" }, "stability.");
    plan.stability.readings = whole(stability, "readings", 1, 100, 3, "stability.");
    plan.stability.band = whole(stability, "band", 0, 65535, 4, "stability.");
    const QJsonValue timeout = stability.value(QLatin1String("timeoutSeconds"));
    if (!timeout.isUndefined()) {
        const double seconds = real(timeout, "stability.timeoutSeconds");
        if (seconds <= 0 || seconds > 3600)
            fail("\"stability.timeoutSeconds\" must lie above 0 and at most 3600");
        plan.stability.timeout = std::chrono::milliseconds(std::llround(seconds * 1000));
    }
}

QJsonArray listed(const QJsonObject &object, const char *field, int size)
{
    const QJsonValue value = object.value(QLatin1String(field));
    if (!value.isArray() || value.toArray().size() != size)
        fail("\"" + std::string(field) + "\" must list " + std::to_string(size)
            + " values, the first one first");
    return value.toArray();
}

// A digital plan: the maximum rates of the pulse inputs as the set-up page shows them (per second,
// with "Div 10" where ticked), the pulsed outputs' update time words, the loop-back fixture.
void readDigitalPlan(const QJsonObject &object, const PlanKindEntry &kind, Plan &plan)
{
    if (!kind.configurations.empty())
        plan.configuration = kind.configurations.data();
    std::array<bool, 4> div10 {};
    if (object.contains(QLatin1String("div10"))) {
        const QJsonArray ticks = listed(object, "div10", 4);
        for (int n = 0; n < 4; ++n) {
            if (!ticks[n].isBool())
                fail("\"div10\" must list true or false for each pulse input");
            div10[std::size_t(n)] = ticks[n].toBool();
        }
    }
    if (object.contains(QLatin1String("maxRates"))) {
        const QJsonArray rates = listed(object, "maxRates", 4);
        for (int n = 0; n < 4; ++n) {
            const double rate = real(rates[n], "maxRates");
            const double lowest = div10[std::size_t(n)] ? 1 : 0;
            if (rate < lowest || rate > 1000)
                fail("\"maxRates\" must lie from " + stimulusText(lowest) + " to 1000");
            plan.maxRateWords[std::size_t(n)] =
                zul::maxRateWordFromText(stimulusText(rate), div10[std::size_t(n)]);
        }
    } else if (object.contains(QLatin1String("div10"))) {
        fail("\"div10\" needs \"maxRates\"");
    }
    if (object.contains(QLatin1String("updateTimes"))) {
        const QJsonArray times = listed(object, "updateTimes", 8);
        for (int n = 0; n < 8; ++n) {
            const double word = real(times[n], "updateTimes");
            if (word != std::floor(word) || word < 0 || word > 0xFFFF)
                fail("\"updateTimes\" must be words from 0 to 65535");
            plan.updateTimes[std::size_t(n)] = static_cast<std::uint16_t>(word);
        }
    }
    const QJsonValue loopback = object.value(QLatin1String("loopback"));
    if (!loopback.isUndefined() && !loopback.isBool())
        fail("\"loopback\" must be true or false");
    plan.loopback = loopback.toBool(false);
    plan.attempts = whole(object, "attempts", 1, 100, 3);
}

// The registered kinds' names as a plan file may give them: "A, B or C".
std::string kindNames()
{
    const std::vector<const PlanKindEntry *> kinds = planKinds();
    std::string names;
    for (std::size_t n = 0; n < kinds.size(); ++n)
        names += std::string(n == 0 ? "" : n + 1 == kinds.size() ? " or " : ", ") + kinds[n]->name;
    return names;
}

// The kinds whose plans may give "safeOutput", as its error names them.
std::string outputKindNames()
{
    std::string names;
    for (const PlanKindEntry *kind : planKinds())
        if (kind->safeOutput)
            names += std::string(names.empty() ? "" : " or ") + kind->name;
    return names;
}

void readPlan(const QJsonObject &object, Plan &plan)
{
    const QJsonValue kindValue = object.value(QLatin1String("kind"));
    const PlanKindEntry *named =
        kindValue.isString() ? findPlanKind(kindValue.toString().toStdString()) : nullptr;
    if (named && named->fileForm == PlanFileForm::Digital) {
        checkFields(
            object, { "name", "kind", "maxRates", "div10", "updateTimes", "loopback", "attempts" });
        plan.name = text(object, "name");
        readDigitalPlan(object, *named, plan);
        return;
    }
    checkFields(object,
        { "name", "kind", "configuration", "range", "ranges", "calibration", "stimuli", "tolerance",
            "stability", "attempts", "digitalChecks", "safeOutput" });
    plan.name = text(object, "name");
    const std::string kindText = text(object, "kind");
    const PlanKindEntry *found = findPlanKind(kindText);
    if (!found || found->fileForm != PlanFileForm::Ranged)
        fail("unknown kind \"" + kindText + "\" (" + kindNames() + ")");
    const PlanKindEntry &kind = *found;
    const std::string configuration = text(object, "configuration");
    plan.configuration = findConfiguration(kind.name, configuration);
    if (!plan.configuration) {
        std::string known;
        for (const ConfigurationRow &row : kind.configurations)
            known += std::string(known.empty() ? "" : ", ") + "\"" + row.name + "\"";
        fail(
            "unknown configuration \"" + configuration + "\" for " + kindText + " (" + known + ")");
    }
    if (!kind.defaultTolerance.empty())
        plan.tolerance = kind.defaultTolerance;
    const std::vector<const RangeRow *> ranges = readRanges(object, plan);
    const bool same = std::all_of(ranges.begin(), ranges.end(),
        [&ranges](const RangeRow *range) { return range == ranges[0]; });
    const RangeRow *common = same ? ranges[0] : nullptr;
    readCalibration(object, kind, plan, common);
    readStimuli(object, kind, plan, common);
    readTolerance(object, kind, plan);
    readStability(object, plan);
    plan.attempts = whole(object, "attempts", 1, 100, 3);
    const QJsonValue digital = object.value(QLatin1String("digitalChecks"));
    if (!digital.isUndefined() && !digital.isBool())
        fail("\"digitalChecks\" must be true or false");
    plan.digitalChecks = digital.toBool(true);
    const QJsonValue safe = object.value(QLatin1String("safeOutput"));
    if (!safe.isUndefined()) {
        if (!kind.safeOutput)
            fail("\"safeOutput\" is for " + outputKindNames() + " plans only");
        plan.safeOutput = static_cast<std::uint16_t>(outputWord(safe, "safeOutput"));
    }
    // What each field allows on its own is checked above; what they prove together, here.
    if (std::string fault = planFault(plan); !fault.empty())
        fail(std::move(fault));
}

// Qt gives the error's character offset; people count lines.
std::string syntaxError(const QByteArray &json, const QJsonParseError &error)
{
    const QByteArray before = json.left(error.offset);
    const int line = int(before.count('\n')) + 1;
    const int column = int(error.offset - (before.lastIndexOf('\n') + 1)) + 1;
    return "syntax error at line " + std::to_string(line) + ", column " + std::to_string(column)
        + ": " + error.errorString().toStdString();
}

constexpr const char *NotAFile = "not a regular file (a folder, device, pipe or socket): not read";

// Reads a plan file (or what a link names) into `json`; answers why not, or nothing. Whatever its
// size is said to be, no more than one byte past the limit is read: a device such as /dev/zero
// says 0 and never ends. Only regular files are opened at all, since opening a pipe waits for a
// writer; the type is looked at again once the file is open without waiting, in case the name was
// given to something else in between.
std::string readPlanText(const QString &path, QByteArray &json)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return NotAFile;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return "cannot be read: " + std::string(std::strerror(errno));
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer { fd };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return NotAFile;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return "cannot be read: " + file.errorString().toStdString();
    json = file.read(MaxPlanFileBytes + 1);
    if (json.size() > MaxPlanFileBytes)
        return "larger than 1 MiB: no plan is that long";
    return {};
}

} // namespace

Plan parsePlan(const QByteArray &json, const std::string &source, const std::string &fallbackName)
{
    Plan plan;
    plan.source = source;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    try {
        if (parseError.error != QJsonParseError::NoError)
            fail(syntaxError(json, parseError));
        if (!document.isObject())
            fail("a plan must be a JSON object");
        readPlan(document.object(), plan);
    } catch (const PlanError &error) {
        plan.error = error.text;
        if (plan.name.empty())
            plan.name = fallbackName;
    }
    return plan;
}

Plan readPlanFile(const QString &path)
{
    const std::string source = QDir::toNativeSeparators(path).toStdString();
    const std::string fallback = QFileInfo(path).completeBaseName().toStdString();
    QByteArray json;
    if (const std::string error = readPlanText(path, json); !error.empty()) {
        Plan plan;
        plan.name = fallback;
        plan.source = source;
        plan.error = error;
        return plan;
    }
    Plan plan = parsePlan(json, source, fallback);
    plan.contentHash =
        QCryptographicHash::hash(json, QCryptographicHash::Sha256).toHex().toStdString();
    return plan;
}

QStringList planDirectories()
{
    // The XDG base directory rules: unset, empty or relative values count as not set.
    const auto absolute = [](const QString &path) {
        return !path.isEmpty() && QDir::isAbsolutePath(path);
    };
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!absolute(home))
        home = QDir::homePath() + QStringLiteral("/.config");
    QStringList roots { home };
    QStringList system;
    for (const QString &dir : qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':')))
        if (absolute(dir))
            system.append(dir);
    if (system.isEmpty())
        system.append(QStringLiteral("/etc/xdg"));
    roots += system;
    QStringList directories;
    for (const QString &root : roots)
        directories.append(root + QStringLiteral("/zulconfig/plans"));
    return directories;
}

std::vector<Plan> userPlans(const QStringList &directories, const std::vector<Plan> &taken)
{
    std::vector<Plan> plans;
    std::set<QString> fileNames;
    for (const QString &directory : directories) {
        const QDir dir(directory);
        const QStringList files =
            // Folders, devices, pipes and sockets too, so that they are listed with their error
            // rather than left out without a word.
            dir.entryList({ QStringLiteral("*.json") },
                QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &file : files)
            if (fileNames.insert(file).second)
                plans.push_back(readPlanFile(dir.filePath(file)));
    }
    std::stable_sort(plans.begin(), plans.end(), [](const Plan &a, const Plan &b) {
        return QString::fromStdString(a.name).compare(
                   QString::fromStdString(b.name), Qt::CaseInsensitive)
            < 0;
    });
    std::set<std::string> names;
    for (const Plan &plan : taken)
        names.insert(plan.name);
    for (Plan &plan : plans)
        if (!names.insert(plan.name).second && plan.startable())
            plan.error = "a plan named \"" + plan.name + "\" is listed already";
    return plans;
}

std::vector<Plan> availablePlans()
{
    std::vector<Plan> plans = allBuiltInPlans();
    std::vector<Plan> user = userPlans(planDirectories(), plans);
    plans.insert(
        plans.end(), std::make_move_iterator(user.begin()), std::make_move_iterator(user.end()));
    return plans;
}

} // namespace zul::run
