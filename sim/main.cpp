// zul-sim: a simulated ZUL module on a pseudo-terminal, driven by commands on stdin.
#include "Simulator.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

// The kinds come from the simulator's list, between these parts.
const char *const UsageStart = "Usage: zul-sim [--kind ";
const char *const UsageOptions =
    R"(] [--slave N] [--baud B] [--parity P] [--stop S] [--pace] [--lenient] [--link PATH]

Simulates one ZUL module as a MODBUS RTU slave on a pseudo-terminal. The first line of output
is the device to open (the link when --link is given); it is also registered for discovery.

  --kind K     module kind, )";
const char *const UsageRest = R"( (default AIN)
  --slave N    slave address 1..247 (default 100)
  --baud B     line speed (default 9600)
  --parity P   none, odd or even (default none)
  --stop S     stop bits, 1 or 2 (default 1)
               The module answers only at its slave address and these line settings
               (parity where the kernel keeps it on a pseudo-terminal).
  --pace       send replies at the wire speed of B (11 bits per byte)
  --lenient    answer holding-register reads of every writable register; without it a
               holding read of a register the module reads only as an input register (scales,
               calibration, hardware codes, outputs) gets exception 02, as on a real module
  --link PATH  make PATH a symlink to the device (removed at exit)
  --help       this text

Control commands on stdin, one per line, answered with one line "ok ..." or "error ...":
)";

const char *const UsageEnd = R"(
At the end of stdin the simulator keeps serving until SIGINT or SIGTERM.
)";

// The command lines come from the simulator's own table, so they never drift from what it takes.
void printUsage(std::ostream &out)
{
    out << UsageStart << zulsim::simulatedKindNames("|", "|") << UsageOptions
        << zulsim::simulatedKindNames(", ", " or ") << UsageRest << zulsim::Simulator::commandHelp()
        << UsageEnd;
}

bool parseArguments(int argc, char **argv, zulsim::Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            printUsage(std::cout);
            std::exit(0);
        } else if (arg == "--pace") {
            options.pace = true;
        } else if (arg == "--lenient") {
            options.lenientHoldingReads = true;
        } else if (arg == "--kind" && hasValue) {
            const auto kind = zulsim::kindFromName(argv[++i]);
            if (!kind)
                return false;
            options.kind = *kind;
        } else if ((arg == "--slave" || arg == "--baud") && hasValue) {
            char *end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0')
                return false;
            if (arg == "--slave") {
                if (value < 1 || value > 247)
                    return false;
                options.slave = static_cast<std::uint8_t>(value);
            } else {
                if (value < 50 || value > 4000000)
                    return false;
                options.baud = static_cast<int>(value);
            }
        } else if (arg == "--parity" && hasValue) {
            const std::string word = argv[++i];
            const char *const names[] = { "none", "odd", "even" };
            const auto *found = std::find(std::begin(names), std::end(names), word);
            if (found == std::end(names))
                return false;
            options.parity = static_cast<int>(found - std::begin(names));
        } else if (arg == "--stop" && hasValue) {
            const std::string word = argv[++i];
            if (word != "1" && word != "2")
                return false;
            options.stopBits = word == "2" ? 2 : 1;
        } else if (arg == "--link" && hasValue) {
            options.link = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

// Runs the control commands from stdin until `quit` or a signal; stdin's end only stops reading.
void serveCommands(zulsim::Simulator &simulator, int signals)
{
    pollfd fds[2] = { { signals, POLLIN, 0 }, { STDIN_FILENO, POLLIN, 0 } };
    int count = 2;
    std::string pending;
    for (;;) {
        if (poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        if (count < 2 || !fds[1].revents)
            continue;
        char buffer[1024];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            count = 1; // keep serving: `zul-sim &` has no stdin
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line.find_first_not_of(" \t\r") == std::string::npos)
                continue;
            const std::string answer = simulator.command(line);
            std::cout << answer << std::endl;
            if (answer == "ok quit")
                return;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    zulsim::Options options;
    options.announce = true;
    options.strictLine = true;
    if (!parseArguments(argc, argv, options)) {
        std::cerr << "zul-sim: bad arguments\n";
        printUsage(std::cerr);
        return 2;
    }
    // Signals arrive as readable data, so the links are removed on the normal way out.
    sigset_t set;
    sigemptyset(&set);
    for (int sig : { SIGINT, SIGTERM, SIGHUP })
        sigaddset(&set, sig);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int signals = signalfd(-1, &set, SFD_CLOEXEC);
    if (signals < 0) {
        std::cerr << "zul-sim: signalfd: " << std::strerror(errno) << "\n";
        return 1;
    }
    zulsim::Simulator simulator(options);
    try {
        std::cout << simulator.start() << std::endl;
    } catch (const std::exception &error) {
        std::cerr << "zul-sim: " << error.what() << "\n";
        return 1;
    }
    serveCommands(simulator, signals);
    simulator.stop();
    return 0;
}
