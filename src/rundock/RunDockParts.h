// What the run dock's files share: the step table's columns and the texts more than one of them
// uses. Internal to the dock.
#pragma once

#include <QString>

namespace zul::rundock {

inline const QString OperatorKey = QStringLiteral("Run/Operator");
inline const QString NoPlanText =
    QStringLiteral("No production run plan exists for this kind of module.");

enum Column { NameColumn, StatusColumn, AttemptsColumn, ResultColumn, TimeColumn, ColumnCount };

} // namespace zul::rundock
