// What zulconfig answers on its command line before any window or display exists, so that
// --help and --version work on a machine without a screen. main() asks it first; every other
// argument goes on to Qt (-platform and the like).
#pragma once

#include <optional>
#include <string>
#include <vector>

struct TCommandLineAnswer
{
    int exitCode;
    std::string text; // for standard output
};

// Nothing when the arguments are for the window; argument 0 is the program's name.
std::optional<TCommandLineAnswer> AnswerCommandLine(const std::vector<std::string> &arguments);
