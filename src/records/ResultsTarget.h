// Where saves go, in words a technician recognises: "local file ~/.local/share/zul/
// ZUL_472K_Log.sqlite" or "PostgreSQL zul_results on results.lab.example as station7". Shown on
// the results pages, in the About box and in the results history, so that a station whose alias
// is missing does not fill a private file unnoticed.
#pragma once

#include "DatabaseAlias.h"

#include <QString>

// The settings as the alias resolves them; home is shown as "~" when a path lies inside it.
QString describeResultsTarget(
    const DatabaseSettings &settings, const DatabasePaths &paths, const QString &home);

// Resolves the alias afresh (an edited alias file shows at once) against the user's home.
QString describeResultsTarget(const DatabasePaths &paths);

// "/home/al/x" -> "~/x"; a path only sharing the prefix ("/home/alice") stays as it is.
QString abbreviateHome(const QString &path, const QString &home);
