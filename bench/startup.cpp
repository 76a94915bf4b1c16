// Start-up benchmark: time from exec to the first painted main window, and resident memory at
// that moment, for the tool's main window next to two baselines under the same Qt and the same
// platform plugin (offscreen unless QT_QPA_PLATFORM says otherwise): a bare QMainWindow, and the
// same window showing one QLabel. The labelled one pays what any window with text pays (the font
// database, the first glyphs), so the tool's own cost is its ratio to that one.
//
//   startup [rounds]        runs the three programs in turn, prints medians, minima and ratios
//   startup --child         (internal) the tool's window; startup_bare [--label] the baselines
//
// Each child reports the CLOCK_MONOTONIC instant right after its first paint was handled, and
// VmHWM / VmRSS from /proc/self/status, on one line of stdout. The parent takes the same clock
// just before posix_spawn, so the figure includes loading the program and its libraries.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#ifndef ZUL_STARTUP_BARE
#include "app/FormZULConfigure.h"
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

long long nowNs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

long statusKb(const char *key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

// Reports once, after the window's first paint event has been handled: when the application
// object stood, when the window was built, when it was painted, and the memory then.
class FirstPaint : public QObject
{
public:
    FirstPaint(long long applicationNs, long long builtNs)
        : m_applicationNs(applicationNs)
        , m_builtNs(builtNs)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [this] {
                std::printf("%lld %lld %lld %ld %ld\n", m_applicationNs, m_builtNs, nowNs(),
                    statusKb("VmHWM"), statusKb("VmRSS"));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    long long m_applicationNs;
    long long m_builtNs;
    bool m_seen = false;
};

int runChild(int argc, char **argv)
{
    QApplication application(argc, argv);
    const long long applicationNs = nowNs();
#ifdef ZUL_STARTUP_BARE
    QMainWindow window;
    window.resize(764, 569);
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0)
        window.setCentralWidget(new QLabel(QStringLiteral("ZUL Module Configuration")));
#else
    QApplication::setApplicationName(QStringLiteral("zulconfig"));
    TForm_ZULConfigure window(QStringLiteral("zulconfig"));
#endif
    FirstPaint watcher(applicationNs, nowNs());
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}

#ifndef ZUL_STARTUP_BARE

struct Sample
{
    double applicationMs = 0; // exec to QApplication constructed
    double builtMs = 0; // exec to main window constructed
    double ms = 0;
    double hwmMiB = 0;
    double rssMiB = 0;
};

bool runOnce(const std::string &program, const char *arg, Sample &sample)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char *> args { const_cast<char *>(program.c_str()) };
    if (arg)
        args.push_back(const_cast<char *>(arg));
    args.push_back(nullptr);
    pid_t pid = 0;
    const long long start = nowNs();
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(spawned));
        return false;
    }
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        if (got > 0)
            output.append(buffer, static_cast<size_t>(got));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long application = 0;
    long long built = 0;
    long long painted = 0;
    long hwm = 0;
    long rss = 0;
    if (std::sscanf(
            output.c_str(), "%lld %lld %lld %ld %ld", &application, &built, &painted, &hwm, &rss)
        != 5) {
        std::fprintf(stderr, "%s reported nothing\n", program.c_str());
        return false;
    }
    const auto ms = [start](long long at) { return static_cast<double>(at - start) / 1e6; };
    sample = { ms(application), ms(built), ms(painted), hwm / 1024.0, rss / 1024.0 };
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string siblingProgram(const char *name)
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
    return path.substr(0, path.rfind('/') + 1) + name;
}

double minimum(std::vector<double> values)
{
    return *std::min_element(values.begin(), values.end());
}

struct Program
{
    const char *label;
    std::string path;
    const char *arg;
    std::vector<Sample> samples;
};

std::vector<double> column(const std::vector<Sample> &samples, double Sample::*field)
{
    std::vector<double> values;
    values.reserve(samples.size());
    for (const Sample &sample : samples)
        values.push_back(sample.*field);
    return values;
}

void printRow(const Program &program)
{
    const std::vector<Sample> &s = program.samples;
    // Where the time goes: up to the application object, up to the built window, and painting.
    std::printf("%-20s %9.1f %9.1f %11.1f %11.1f %8.1f %8.1f\n", program.label,
        median(column(s, &Sample::ms)), minimum(column(s, &Sample::ms)),
        median(column(s, &Sample::hwmMiB)), median(column(s, &Sample::rssMiB)),
        median(column(s, &Sample::applicationMs)), median(column(s, &Sample::builtMs)));
}

void printRatio(const char *label, const Program &tool, const Program &baseline)
{
    const auto ratio = [&](double Sample::*field, double (*statistic)(std::vector<double>)) {
        return statistic(column(tool.samples, field)) / statistic(column(baseline.samples, field));
    };
    std::printf("%-20s %9.2f %9.2f %11.2f %11.2f\n", label, ratio(&Sample::ms, median),
        ratio(&Sample::ms, minimum), ratio(&Sample::hwmMiB, median),
        ratio(&Sample::rssMiB, median));
}

int runDriver(int rounds)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<Program> programs {
        { "bare QMainWindow", siblingProgram("startup_bare"), nullptr, {} },
        { "labelled window", siblingProgram("startup_bare"), "--label", {} },
        { "zulconfig window", siblingProgram("startup"), "--child", {} },
    };
    const size_t count = programs.size();
    Sample warm;
    // One unmeasured run of each, so that all start from a warm page cache.
    for (const Program &program : programs)
        if (!runOnce(program.path, program.arg, warm))
            return 1;
    // Each round starts with the next program, so that none always follows the same one.
    for (int round = 0; round < rounds; ++round)
        for (size_t n = 0; n < count; ++n) {
            Program &program = programs[(static_cast<size_t>(round) + n) % count];
            Sample sample;
            if (!runOnce(program.path, program.arg, sample))
                return 1;
            program.samples.push_back(sample);
        }
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("exec to first painted main window, platform %s, %d runs each; medians, and the "
                "minimum time\n\n",
        platform, rounds);
    std::printf("%-20s %9s %9s %11s %11s %8s %8s\n", "", "time ms", "min ms", "VmHWM MiB",
        "VmRSS MiB", "app ms", "built ms");
    for (const Program &program : programs)
        printRow(program);
    std::printf("\n");
    printRatio("ratio to bare", programs[2], programs[0]);
    printRatio("ratio to labelled", programs[2], programs[1]);
    std::printf("(targets against the labelled window: time at most 1.30, memory at most 1.20)\n");
    return 0;
}

#endif

} // namespace

int main(int argc, char **argv)
{
#ifdef ZUL_STARTUP_BARE
    return runChild(argc, argv);
#else
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    return runDriver(rounds);
#endif
}
