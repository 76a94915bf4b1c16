// The tables the AIN pages are built from: the four configuration pages and the calibration
// page's control numbers.
#pragma once

#include "analog/WidgetAnalogCheckPage.h"
#include "analog/WidgetAnalogResultsPage.h"
#include "analog/WidgetCalibrationPage.h"
#include "analog/WidgetScaleConfigPage.h"

#include <array>

namespace zul::ain {

// "Single-ended Voltage input", "Differential Voltage input", "Single-ended Current Input",
// "Differential Current Input", in page order.
const std::array<TScaleConfigPageInfo, 4> &ConfigPages();
extern const TCalibrationPageNames CalibrationPage;
extern const TAnalogCheckPageNames CheckPage;
extern const TAnalogResultsPageNames ResultsPage;

} // namespace zul::ain
