#include "ModuleModel.h"

#include "ModuleImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace zulsim {

using namespace image;

std::string kindName(Kind kind)
{
    return std::string(kindRow(kind).Name);
}

std::optional<Kind> kindFromName(const char *name)
{
    if (const zul::TKindRow *row = zul::findKindByName(name))
        return Kind(*row);
    return std::nullopt;
}

std::string simulatedKindNames(std::string_view separator, std::string_view last)
{
    std::string names;
    for (int n = 0; n < zul::KindCount; ++n) {
        if (n > 0)
            names += n + 1 == zul::KindCount ? last : separator;
        names += zul::ModuleKinds[n].Name;
    }
    return names;
}

namespace {

std::uint16_t valueIn(const std::map<int, std::uint16_t> &table, int number)
{
    const auto it = table.find(number);
    return it == table.end() ? 0 : it->second;
}

// Rounds to the nearest integer (halves to even, the default floating-point mode) and clamps.
long clampedRound(double value, long low, long high)
{
    if (std::isnan(value))
        return 0;
    return static_cast<long>(std::clamp(std::nearbyint(value), double(low), double(high)));
}

std::uint16_t signedWord(double value)
{
    return static_cast<std::uint16_t>(clampedRound(value, -32768, 32767));
}

} // namespace

ModuleModel::ModuleModel(Kind kind)
    : m_kind(kind)
{
    resetLocked(kind);
}

void ModuleModel::resetLocked(Kind kind)
{
    Image image = powerOnImage(kind);
    m_kind = kind;
    m_input = std::move(image.input);
    m_holding = std::move(image.holding);
    m_coils.assign(image.bits, false);
    m_discrete.assign(image.bits, false);
    std::fill(std::begin(m_stimulus), std::end(m_stimulus), 0.0);
    std::fill(std::begin(m_disturbance), std::end(m_disturbance), Disturbance {});
    for (int ch = 0; ch < ChannelCount; ++ch)
        refreshChannel(ch);
}

void ModuleModel::setKind(Kind kind)
{
    std::lock_guard lock(m_mutex);
    resetLocked(kind);
}

Kind ModuleModel::kind() const
{
    std::lock_guard lock(m_mutex);
    return m_kind;
}

void ModuleModel::setKindCode(std::uint16_t code)
{
    std::lock_guard lock(m_mutex);
    m_input[KindRegister] = code;
}

std::uint16_t ModuleModel::inputRegister(int number) const
{
    std::lock_guard lock(m_mutex);
    return valueIn(m_input, number);
}

std::uint16_t ModuleModel::holdingRegister(int number) const
{
    std::lock_guard lock(m_mutex);
    return valueIn(m_holding, number);
}

bool ModuleModel::hasInputRegister(int number) const
{
    std::lock_guard lock(m_mutex);
    return m_input.contains(number);
}

bool ModuleModel::hasHoldingRegister(int number) const
{
    std::lock_guard lock(m_mutex);
    return m_holding.contains(number);
}

void ModuleModel::setInputRegister(int number, std::uint16_t value)
{
    std::lock_guard lock(m_mutex);
    m_input[number] = value;
}

void ModuleModel::setHoldingRegister(int number, std::uint16_t value)
{
    std::lock_guard lock(m_mutex);
    writeHoldingLocked(number, value);
}

void ModuleModel::removeHoldingRegister(int number)
{
    std::lock_guard lock(m_mutex);
    m_holding.erase(number);
}

void ModuleModel::removeInputRegister(int number)
{
    std::lock_guard lock(m_mutex);
    m_input.erase(number);
}

int ModuleModel::bitCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_coils.size());
}

bool ModuleModel::coil(int number) const
{
    std::lock_guard lock(m_mutex);
    return number >= 1 && number <= int(m_coils.size()) && m_coils[number - 1];
}

bool ModuleModel::discreteInput(int number) const
{
    std::lock_guard lock(m_mutex);
    const std::vector<bool> &bits = m_loopback ? m_coils : m_discrete;
    return number >= 1 && number <= int(bits.size()) && bits[number - 1];
}

void ModuleModel::setCoil(int number, bool on)
{
    std::lock_guard lock(m_mutex);
    if (number >= 1 && number <= int(m_coils.size()))
        m_coils[number - 1] = on;
}

void ModuleModel::setDiscreteInput(int number, bool on)
{
    std::lock_guard lock(m_mutex);
    if (number >= 1 && number <= int(m_discrete.size()))
        m_discrete[number - 1] = on;
}

void ModuleModel::setLoopback(bool on)
{
    std::lock_guard lock(m_mutex);
    m_loopback = on;
}

void ModuleModel::setLenientHoldingReads(bool on)
{
    std::lock_guard lock(m_mutex);
    m_lenientHoldingReads = on;
}

bool ModuleModel::loopback() const
{
    std::lock_guard lock(m_mutex);
    return m_loopback;
}

void ModuleModel::setAnalogStimulus(int channel, double value)
{
    std::lock_guard lock(m_mutex);
    if (channel < 1 || channel > ChannelCount)
        return;
    m_stimulus[channel - 1] = value;
    refreshChannel(channel - 1);
}

void ModuleModel::setPulseInputCount(int input, std::uint32_t count)
{
    std::lock_guard lock(m_mutex);
    if (m_kind.map() != zul::RegisterMap::Digital || input < 1 || input > 4)
        return;
    const int first = PulseCounts + 2 * (input - 1);
    m_input[first] = static_cast<std::uint16_t>(count >> 16);
    m_input[first + 1] = static_cast<std::uint16_t>(count & 0xFFFF);
}

void ModuleModel::setPulseInputRate(int input, std::uint16_t rate)
{
    std::lock_guard lock(m_mutex);
    if (m_kind.map() == zul::RegisterMap::Digital && input >= 1 && input <= 4)
        m_input[PulseRates + input - 1] = rate;
}

void ModuleModel::setPulseOutputCount(int output, std::uint16_t count)
{
    std::lock_guard lock(m_mutex);
    if (output >= 1 && output <= 8)
        m_input[PulseOutCounts + output - 1] = count;
}

void ModuleModel::setChannelError(int channel, int counts)
{
    std::lock_guard lock(m_mutex);
    if (channel >= 1 && channel <= ChannelCount)
        m_disturbance[channel - 1].error = counts;
}

void ModuleModel::setChannelNoise(int channel, int counts)
{
    std::lock_guard lock(m_mutex);
    if (channel >= 1 && channel <= ChannelCount)
        m_disturbance[channel - 1].noise = std::abs(counts);
}

void ModuleModel::setChannelDrift(int channel, int counts)
{
    std::lock_guard lock(m_mutex);
    if (channel >= 1 && channel <= ChannelCount)
        m_disturbance[channel - 1].drift = counts;
}

void ModuleModel::clearDisturbances()
{
    std::lock_guard lock(m_mutex);
    std::fill(std::begin(m_disturbance), std::end(m_disturbance), Disturbance {});
}

std::uint16_t ModuleModel::readInputLocked(int number)
{
    const std::uint16_t word = valueIn(m_input, number);
    bool raw = false;
    const int ch = liveChannel(m_kind, number, &raw);
    if (ch < 0)
        return word;
    Disturbance &disturbance = m_disturbance[ch];
    double value = raw ? double(static_cast<std::int16_t>(word)) : double(word);
    value += disturbance.error;
    if (disturbance.noise > 0)
        value +=
            std::uniform_int_distribution<int>(-disturbance.noise, disturbance.noise)(m_random);
    // A sawtooth of 64 reads keeps the drift within bounds without ever holding still.
    value += double(disturbance.drift) * (disturbance.reads++ % 64);
    return raw ? signedWord(value) : static_cast<std::uint16_t>(clampedRound(value, 0, 0xFFFF));
}

std::vector<std::uint8_t> ModuleModel::handlePdu(const std::vector<std::uint8_t> &pdu)
{
    std::lock_guard lock(m_mutex);
    return handleLocked(pdu);
}

void ModuleModel::writeHoldingLocked(int number, std::uint16_t value)
{
    if (number >= FirstCommand && number <= LastCommand) {
        // The module only runs a store that was armed by the write just before it, so a stray
        // write of the run word alone can never store half-written settings.
        const bool armed = valueIn(m_holding, number) == ArmCommand;
        if (value == RunCommand && armed) {
            runStoreCommand(number);
            value = 0;
        }
        m_holding[number] = value;
        return;
    }
    m_holding[number] = value;
    if (mirrorsToInput(m_kind, number))
        m_input[number] = value;
    // Output words, scale codes, offsets and spans feed one channel's live values each.
    if (number >= ScaledValues && number < ScaledValues + ChannelCount)
        refreshChannel(number - ScaledValues);
    for (int first : { ScaleCodes, Offsets, Spans })
        if (number >= first && number < first + ChannelCount)
            refreshChannel(number - first);
}

void ModuleModel::runStoreCommand(int number)
{
    // Only the calibration store shows from outside; the other settings are live already and the
    // simulator has no power cycle that would lose them.
    if (number != StoreCalibration)
        return;
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const int set = storedSetFor(m_kind, valueIn(m_input, HardwareCodes + ch));
        if (set == 0)
            continue;
        m_input[set + ch] = valueIn(m_input, Spans + ch);
        m_input[set + ChannelCount + ch] = valueIn(m_input, Offsets + ch);
    }
}

void ModuleModel::refreshChannel(int ch)
{
    if (!zul::isAnalog(m_kind.map()))
        return;
    const Range range = scaleRange(m_kind, valueIn(m_input, ScaleCodes + ch));
    const double span = valueIn(m_input, Spans + ch);
    const double offset = static_cast<std::int16_t>(valueIn(m_input, Offsets + ch));
    double value = 0;
    const bool inputs = m_kind.map() == zul::RegisterMap::AnalogInputs;
    if (inputs) {
        value = m_stimulus[ch];
        const double scaled = 0x4000 + (value - range.low) / (range.high - range.low) * 0x8000;
        m_input[ScaledValues + ch] = static_cast<std::uint16_t>(clampedRound(scaled, 0, 0xFFFF));
    } else {
        const double word = valueIn(m_holding, ScaledValues + ch);
        value = range.low + (range.high - range.low) * (word - 0x4000) / 0x8000;
    }
    const int raw = (inputs ? AinRawValues : AotRawValues) + ch;
    m_input[raw] = signedWord(span * value + offset);
}

} // namespace zulsim
