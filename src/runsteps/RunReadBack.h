// What a production run's step does after it wrote through a page: reads back what the module
// now holds and compares it with what was meant. Shared by the runs of every kind.
#pragma once

#include "run/RunEngine.h"

#include <cstdint>
#include <string>
#include <vector>

class ZUL_Modbus;

// Reads expected.size() input registers from `first` and compares them: Passed with every value,
// Failed naming the first register that differs, Error when the read failed. A module reads what
// was written to it back as input registers; a holding read of them is refused.
zul::run::StepResult ReadBack(ZUL_Modbus &modbus, int first,
    const std::vector<std::uint16_t> &expected, const std::string &what);
