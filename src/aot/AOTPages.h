// The tables the AOT pages are built from: the two configuration pages and the calibration
// page's control numbers.
#pragma once

#include "analog/WidgetAnalogCheckPage.h"
#include "analog/WidgetAnalogResultsPage.h"
#include "analog/WidgetCalibrationPage.h"
#include "analog/WidgetScaleConfigPage.h"

#include <array>

namespace zul::aot {

// "Voltage Output", "Current Output", in page order.
const std::array<TScaleConfigPageInfo, 2> &ConfigPages();
extern const TCalibrationPageNames CalibrationPage;
extern const TAnalogCheckPageNames CheckPage;
extern const TAnalogResultsPageNames ResultsPage;

} // namespace zul::aot
