#include "KindRegistry.h"

#include "ModuleCodes.h"

namespace zul {

namespace {

std::string shown(const CodeTexts &texts, TextsShown how)
{
    switch (how) {
    case TextsShown::None:
        break;
    case TextsShown::First:
        return texts.first;
    case TextsShown::Both:
        return texts.first + texts.second;
    }
    return {};
}

} // namespace

std::string statusHardwareText(const TKindRow &kind, std::uint16_t hardwareCode)
{
    return shown(HardwareText(hardwareCode), kind.Hardware);
}

std::string statusChannelText(const TKindRow &kind, int channel, std::uint16_t scaleCode)
{
    return std::string(kind.ChannelPrefix) + std::to_string(channel) + ": "
        + shown(ScaleText(scaleCode), kind.ChannelRange);
}

} // namespace zul
