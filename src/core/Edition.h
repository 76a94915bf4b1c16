// The start-up choice of edition and model-name variant from the executable's own file name.
#pragma once

#include <string>

namespace zul {

struct Edition
{
    bool productionTestVersion = false;
    int modelVariant = 0;
};

// path: argv[0] or the executable's path; only its base name counts, upper-cased. The production
// test version is chosen when the character before the extension (the last character when there
// is no extension) is "T": CFG_ZULT.EXE and cfg_zult both qualify. Folders end at "/" or "\\";
// a name's leading dot does not start an extension.
Edition chooseEdition(const std::string &path);

} // namespace zul
