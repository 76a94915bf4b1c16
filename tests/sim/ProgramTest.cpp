// zul-sim as a child process: its first line, control commands on stdin, a foreign master
// (mbpoll when installed, else libmodbus), and a clean exit that removes its registration.
#include "Discovery.h"
#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>

namespace {

class Child
{
public:
    explicit Child(std::vector<std::string> args)
    {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            ::close(in[1]);
            ::close(out[0]);
            std::vector<char *> argv { const_cast<char *>("zul-sim") };
            for (std::string &arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(ZUL_SIM_PROGRAM, argv.data());
            _exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_stdin = in[1];
        m_stdout = out[0];
    }
    ~Child()
    {
        closeStdin();
        if (m_pid > 0 && !exited(0)) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        ::close(m_stdout);
    }
    pid_t pid() const { return m_pid; }
    std::string line() { return simtest::readLine(m_stdout, 3000); }
    std::string ask(const std::string &command)
    {
        const std::string text = command + "\n";
        (void)!write(m_stdin, text.data(), text.size());
        return line();
    }
    void closeStdin()
    {
        if (m_stdin >= 0)
            ::close(m_stdin);
        m_stdin = -1;
    }
    // Waits up to `ms` for the child to end; true with its exit status in `status`.
    bool exited(int ms, int *status = nullptr)
    {
        for (int waited = 0; m_pid > 0; waited += 10) {
            int st = 0;
            if (waitpid(m_pid, &st, WNOHANG) == m_pid) {
                m_pid = -1;
                if (status)
                    *status = st;
                return true;
            }
            if (waited >= ms)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
};

bool haveMbpoll()
{
    return std::system("command -v mbpoll >/dev/null 2>&1") == 0;
}

// Input register 195 through mbpoll, as a user would read it; -1 when it did not answer.
long mbpollKind(const std::string &device, int slave)
{
    const std::string cmd = "timeout 10 mbpoll -m rtu -a " + std::to_string(slave)
        + " -b 9600 -P none -t 3 -r 195 -c 1 -1 -o 1 " + device + " 2>/dev/null";
    FILE *pipe = popen(cmd.c_str(), "r");
    if (!pipe)
        return -1;
    long value = -1;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        std::sscanf(buffer, "[195]: %ld", &value);
    pclose(pipe);
    return value;
}

long libmodbusKind(const std::string &device, int slave)
{
    simtest::ModbusClient client(device, slave);
    std::uint16_t word = 0;
    return modbus_read_input_registers(*client, 194, 1, &word) == 1 ? word : -1;
}

class ZulSimProgram : public ::testing::Test
{
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", m_runtime.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }
    long kindOf(const std::string &device, int slave)
    {
        return haveMbpoll() ? mbpollKind(device, slave) : libmodbusKind(device, slave);
    }

    simtest::TempDir m_runtime;
};

} // namespace

TEST_F(ZulSimProgram, ServesAndTakesCommandsUntilQuit)
{
    if (!haveMbpoll())
        GTEST_LOG_(INFO) << "mbpoll is not installed; reading through libmodbus instead";
    Child sim({ "--kind", "DIO", "--slave", "7" });
    const std::string device = sim.line();
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(kindOf(device, 7), 0x0101);
    EXPECT_EQ(sim.ask("kindcode $1234"), "ok kindcode $1234");
    EXPECT_EQ(kindOf(device, 7), 0x1234);
    EXPECT_EQ(sim.ask("log"), "fn=4 addr=194 qty=1");

    const auto listed = zulsim::runningSimulators();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].first, "zul-sim DIO (pid " + std::to_string(sim.pid()) + ")");
    EXPECT_EQ(listed[0].second, device);

    EXPECT_EQ(sim.line(), "fn=4 addr=194 qty=1");
    EXPECT_EQ(sim.line(), "ok 2 requests");
    EXPECT_EQ(sim.ask("quit"), "ok quit");
    int status = -1;
    ASSERT_TRUE(sim.exited(5000, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(zulsim::runningSimulators().empty());
}

TEST_F(ZulSimProgram, KeepsServingAfterStdinEndsAndCleansUpOnSigterm)
{
    Child sim({ "--kind", "aot" });
    const std::string device = sim.line();
    ASSERT_FALSE(device.empty());
    sim.closeStdin();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(libmodbusKind(device, 100), 0x0301);
    ASSERT_EQ(kill(sim.pid(), SIGTERM), 0);
    int status = -1;
    ASSERT_TRUE(sim.exited(5000, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(zulsim::runningSimulators().empty());
    EXPECT_TRUE(std::filesystem::is_empty(m_runtime.path() + "/zul-sim"));
}

TEST_F(ZulSimProgram, HelpNamesTheKindsItPlays)
{
    Child sim({ "--help" });
    EXPECT_EQ(sim.line(),
        "Usage: zul-sim [--kind " + simtest::registryKindNames("|", "|")
            + "] [--slave N] [--baud B] [--parity P] [--stop S] [--pace] [--lenient] [--link "
              "PATH]");
    std::string line;
    for (int n = 0; n < 5; ++n)
        line = sim.line();
    EXPECT_EQ(line,
        "  --kind K     module kind, " + simtest::registryKindNames(", ", " or ")
            + " (default AIN)");
    int status = -1;
    ASSERT_TRUE(sim.exited(5000, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
