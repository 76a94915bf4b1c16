#include "FrameDump.h"

#include <cstdio>
#include <ctime>

namespace zulmb {

namespace {

std::string clockText(std::chrono::system_clock::time_point time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count()
        % 1000;
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
        local.tm_sec, static_cast<int>(millis));
    return text;
}

} // namespace

std::string hexBytes(const std::vector<std::uint8_t> &bytes)
{
    std::string text;
    char digits[4];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += digits;
    }
    return text;
}

std::string describeFrame(const modbus::FrameEvent &event)
{
    const bool sent = event.direction == modbus::FrameEvent::Direction::Sent;
    std::string line = clockText(event.time) + (sent ? " >> " : " << ");
    line += event.bytes.empty() ? "(nothing)" : hexBytes(event.bytes);
    if (!sent) {
        line += "  [";
        line += modbus::outcomeName(event.outcome);
        if (!event.errorText.empty())
            line += ": " + event.errorText;
        line += ']';
    }
    return line;
}

} // namespace zulmb
