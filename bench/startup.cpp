// Start-up benchmark: time from exec to the first painted main window, and resident memory at
// that moment, for the tool's main window next to a bare QMainWindow under the same Qt and the
// same platform plugin (offscreen unless QT_QPA_PLATFORM says otherwise).
//
//   startup [rounds]        runs both programs alternately, prints medians and the ratios
//   startup --child         (internal) the tool's window; startup_bare is the bare one
//
// Each child reports the CLOCK_MONOTONIC instant right after its first paint was handled, and
// VmHWM / VmRSS from /proc/self/status, on one line of stdout. The parent takes the same clock
// just before posix_spawn, so the figure includes loading the program and its libraries.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#ifndef ZUL_STARTUP_BARE
#include "ui/FormZULConfigure.h"
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

int runDriver(int rounds)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string tool = siblingProgram("startup");
    const std::string bare = siblingProgram("startup_bare");
    Sample warm;
    // One unmeasured run of each, so that both start from a warm page cache.
    if (!runOnce(tool, "--child", warm) || !runOnce(bare, nullptr, warm))
        return 1;
    std::vector<Sample> tools;
    std::vector<Sample> bares;
    for (int round = 0; round < rounds; ++round) {
        Sample a;
        Sample b;
        const bool toolFirst = round % 2 == 0;
        const bool ok = toolFirst ? runOnce(tool, "--child", a) && runOnce(bare, nullptr, b)
                                  : runOnce(bare, nullptr, b) && runOnce(tool, "--child", a);
        if (!ok)
            return 1;
        tools.push_back(a);
        bares.push_back(b);
    }
    const auto column = [](const std::vector<Sample> &samples, double Sample::*field) {
        std::vector<double> values;
        values.reserve(samples.size());
        for (const Sample &sample : samples)
            values.push_back(sample.*field);
        return median(values);
    };
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("exec to first painted main window, platform %s, medians of %d runs each\n\n",
        platform, rounds);
    std::printf("%-20s %10s %12s %12s %10s %10s\n", "", "time ms", "VmHWM MiB", "VmRSS MiB",
        "app ms", "built ms");
    const double t0 = column(bares, &Sample::ms);
    const double h0 = column(bares, &Sample::hwmMiB);
    const double r0 = column(bares, &Sample::rssMiB);
    const double t1 = column(tools, &Sample::ms);
    const double h1 = column(tools, &Sample::hwmMiB);
    const double r1 = column(tools, &Sample::rssMiB);
    // Where the time goes: up to the application object, up to the built window, and painting.
    std::printf("%-20s %10.1f %12.1f %12.1f %10.1f %10.1f\n", "bare QMainWindow", t0, h0, r0,
        column(bares, &Sample::applicationMs), column(bares, &Sample::builtMs));
    std::printf("%-20s %10.1f %12.1f %12.1f %10.1f %10.1f\n", "zulconfig window", t1, h1, r1,
        column(tools, &Sample::applicationMs), column(tools, &Sample::builtMs));
    std::printf(
        "%-20s %10.2f %12.2f %12.2f   (target at most 1.30)\n", "ratio", t1 / t0, h1 / h0, r1 / r0);
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
