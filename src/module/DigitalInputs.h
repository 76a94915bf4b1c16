// The live digital inputs of the check pages, shown as enabled labels. Used by the DIO, AIN and
// AOT check pages, which differ only in the number of points.
#pragma once

#include <QLabel>

#include <span>

class ZUL_Modbus;

// Discrete inputs 1..n; a failed read shows every input off.
void ShowDigitalInputs(ZUL_Modbus &modbus, std::span<QLabel *const> labels);
