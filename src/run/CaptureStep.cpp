#include "CaptureStep.h"

#include <memory>

namespace zul::run {

std::function<StepResult(StepContext &)> captureAction(CaptureStep step)
{
    // The capture lives as long as the action, which the run keeps; copies of the action share it.
    auto capture = std::make_shared<StableCapture>(step.stability, step.channels);
    return [step = std::move(step), capture](StepContext &context) {
        const StableCapture::TimePoint now = step.clock();
        if (context.firstCall)
            capture->start(now);
        const std::optional<std::vector<std::int32_t>> readings = step.read();
        const StableCapture::State state =
            readings ? capture->add(*readings, now) : capture->tick(now);
        switch (state) {
        case StableCapture::State::Settled:
            return step.settled(*capture);
        case StableCapture::State::TimedOut: {
            std::vector<Measurement> values;
            for (int channel : capture->unsettledChannels())
                values.push_back({ "CH" + std::to_string(channel), double(capture->value(channel)),
                    "counts", std::nullopt });
            return StepResult::failed(capture->failureMessage(), std::move(values));
        }
        default:
            return StepResult::working("waiting for settled values");
        }
    };
}

} // namespace zul::run
