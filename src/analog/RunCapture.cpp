#include "RunCapture.h"

#include "run/CaptureStep.h"

#include <cstdint>
#include <optional>
#include <utility>

using zul::run::StableCapture;
using zul::run::StepContext;
using zul::run::StepResult;

TRunAction CaptureAction(TRunLiveValues &live, std::string page, bool signedWords,
    zul::run::Stability stability, std::vector<int> channels, std::function<void()> showPage,
    std::function<StepResult(const StableCapture &)> settled)
{
    const auto read = [&live, page = std::move(page),
                          signedWords]() -> std::optional<std::vector<std::int32_t>> {
        const zul::LiveSample *sample = live.Take(page);
        if (!sample)
            return std::nullopt;
        std::vector<std::int32_t> readings;
        for (const std::uint16_t word : sample->raw)
            readings.push_back(signedWords ? std::int32_t { static_cast<std::int16_t>(word) }
                                           : std::int32_t { word });
        return readings;
    };
    TRunAction capture =
        zul::run::captureAction({ stability, std::move(channels), read, std::move(settled) });
    return [&live, capture = std::move(capture), showPage = std::move(showPage)](
               StepContext &context) {
        // Values read before the page was shown, or before the operator applied the
        // stimulus, are no part of this capture.
        if (context.firstCall) {
            showPage();
            live.Forget();
        }
        return capture(context);
    };
}
