#include "CommandLine.h"

#include "FormZULConfigure.h"

namespace {

std::string usage(const std::string &program)
{
    return "Usage: " + program + R"( [Qt options]

Configures, calibrates and tests ZUL serial I/O modules (DIO, AIN, AOT) as a MODBUS RTU master.
Started under a name whose last letter before the extension is T (zulconfigt), it is the
production test version with the calibration and results pages.

  --help       this text
  --version    the version

Qt options go to Qt, e.g. -platform offscreen, or -platform vnc to see the window from a VNC
viewer on a machine without a screen. The results database is chosen by the alias file
$XDG_CONFIG_HOME/zul/db-aliases.ini (ZUL_DB_ALIASES names another); without an alias a SQLite
file in $XDG_DATA_HOME/zul (ZUL_DB_DEFAULT names another).
)";
}

} // namespace

std::optional<TCommandLineAnswer> AnswerCommandLine(const std::vector<std::string> &arguments)
{
    for (std::size_t n = 1; n < arguments.size(); ++n) {
        const std::string &argument = arguments[n];
        if (argument == "--help" || argument == "-h")
            return TCommandLineAnswer { 0,
                usage(arguments.empty() ? std::string("zulconfig") : arguments[0]) };
        if (argument == "--version")
            return TCommandLineAnswer { 0, AboutText(zul::toolVersion()).toStdString() + "\n" };
    }
    return std::nullopt;
}
