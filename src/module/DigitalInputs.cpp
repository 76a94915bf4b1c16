#include "DigitalInputs.h"

#include "comms/ZUL_Modbus.h"

#include <vector>

namespace {

constexpr int FirstInput = 1; // discrete inputs start at 1

} // namespace

void ShowDigitalInputs(ZUL_Modbus &modbus, std::span<QLabel *const> labels)
{
    const int count = static_cast<int>(labels.size());
    std::vector<bool> bits(labels.size(), false);
    if (!modbus.ReadInputBits(FirstInput, count, bits) || static_cast<int>(bits.size()) < count)
        bits.assign(labels.size(), false);
    for (int n = 0; n < count; ++n)
        labels[n]->setEnabled(bits[n]);
}
