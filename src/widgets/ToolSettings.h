// Where the tool keeps the choices it remembers between runs (docks shown, theme, adapter echo,
// trend window): per program name, so that test programs never read or write the tool's own.
#pragma once

#include <QSettings>

namespace zul {

QSettings toolSettings();

} // namespace zul
