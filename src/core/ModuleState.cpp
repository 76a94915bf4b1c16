#include "ModuleState.h"

#include "KindRegistry.h"
#include "ModuleCodes.h"

#include <algorithm>

namespace zul {

std::string ModuleIdentity::firmwareText() const
{
    return zul::firmwareText(firmware);
}

std::string ModuleIdentity::boardText() const
{
    return pcbRevisionText(board);
}

std::string ModuleIdentity::serialText() const
{
    return pcbSerialText(serialHigh, serialLow);
}

void ModuleState::clear()
{
    const int variant = modelVariant;
    *this = ModuleState {};
    modelVariant = variant;
}

void ModuleState::forgetReads()
{
    statusRead = false;
    identity.forget();
    statusHardware.forget();
    scales.forget();
    hardware.forget();
    calibration.forget();
}

std::optional<ModuleLock> ModuleState::lock() const
{
    if (!identity.ok || !findKind(kind))
        return std::nullopt;
    return ModuleLock { kind, identity.words };
}

std::string ModuleState::modelText() const
{
    return findKind(kind) ? modelName(kind, modelVariant) : std::string();
}

std::string ModuleState::typeText() const
{
    const TKindRow *row = findKind(kind);
    return row ? std::string(row->TypeText) : std::string();
}

std::string ModuleState::serialText() const
{
    return identity.ok ? identity.words.serialText() : std::string();
}

std::string ModuleState::firmwareText() const
{
    return identity.ok ? identity.words.firmwareText() : std::string();
}

std::string ModuleState::boardText() const
{
    return identity.ok ? identity.words.boardText() : std::string();
}

std::string ModuleState::hardwareText() const
{
    const TKindRow *row = findKind(kind);
    if (!row || row->Hardware == TextsShown::None || !statusHardware.ok)
        return {};
    return statusHardwareText(*row, statusHardware.words);
}

std::string ModuleState::identitySentence() const
{
    return modelText() + ", serial " + serialText() + ", firmware " + firmwareText() + ", board "
        + boardText();
}

int ModuleState::channelLines() const
{
    const TKindRow *row = findKind(kind);
    return row ? row->ChannelLines : 0;
}

std::string ModuleState::channelText(int channel) const
{
    const TKindRow *row = findKind(kind);
    if (!row || channel < 1 || channel > row->ChannelLines || !scales.ok)
        return {};
    return statusChannelText(*row, channel, scaleCode(channel));
}

std::uint16_t ModuleState::commonHardware() const
{
    if (!hardware.ok)
        return 0;
    const ChannelWords &codes = hardware.words;
    return std::all_of(codes.begin(), codes.end(), [&](std::uint16_t c) { return c == codes[0]; })
        ? codes[0]
        : 0;
}

std::uint16_t ModuleState::scaleCode(int channel) const
{
    if (!scales.ok || channel < 1 || channel > 8)
        return 0xFFFF;
    return scales.words[static_cast<std::size_t>(channel - 1)];
}

ChannelWords ModuleState::scaleCodes() const
{
    ChannelWords codes {};
    for (int n = 1; n <= 8; ++n)
        codes[static_cast<std::size_t>(n - 1)] = scaleCode(n);
    return codes;
}

} // namespace zul
