#include "ToolSettings.h"

#include <QCoreApplication>

namespace zul {

QSettings toolSettings()
{
    return QSettings(QStringLiteral("zul"), QCoreApplication::applicationName());
}

} // namespace zul
