#include "RunReadBack.h"

#include "module/UnitZUL_General.h"

using zul::run::Measurement;
using zul::run::StepResult;

StepResult ReadBack(ZUL_Modbus &modbus, int first, const std::vector<std::uint16_t> &expected,
    const std::string &what)
{
    const int count = static_cast<int>(expected.size());
    bool read = false;
    const TWordArrayDynamic words = zul::ReadInputsOrZeros(modbus, first, count, &read);
    if (!read)
        return StepResult::error("The module did not answer the read-back of " + what);
    std::vector<Measurement> values;
    std::string difference;
    for (int n = 0; n < count; ++n) {
        const double want = expected[static_cast<std::size_t>(n)];
        values.push_back({ "Register " + std::to_string(first + n), double(words[n]), "",
            zul::run::Limits { want, want } });
        if (difference.empty() && words[n] != expected[static_cast<std::size_t>(n)])
            difference = "register " + std::to_string(first + n) + " reads "
                + std::to_string(words[n]) + ", not " + std::to_string(expected[n]);
    }
    if (!difference.empty())
        return StepResult::failed("The " + what + " did not read back: " + difference, values);
    return StepResult::passed(what + " read back", values);
}
