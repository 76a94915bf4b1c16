// The kind plug-ins the tool installs, each by the name of its kind registry row. The list is
// made at build time from the kind folders' zul_kind() lines (src/app/CMakeLists.txt), so a kind
// more is registered in its own folder.
#pragma once

#include "module/KindPlugin.h"

#include <span>
#include <string_view>

struct TKindFactoryEntry
{
    std::string_view Name; // the registry row's Name: "DIO"
    TKindFactory Create;
};

std::span<const TKindFactoryEntry> KindFactories();
