// zulmb against the in-process simulator: most cases call its logic in-process; a few run the
// program itself to prove that main() hands the exit status and both streams through.
#include "ZulmbRun.h"

#include "Simulator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::string &path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs the zulmb program; a silent port costs it at most a few seconds, so this cannot hang.
Result runProgram(const std::string &args)
{
    char dir[] = "/tmp/zulmb-test-XXXXXX";
    if (!mkdtemp(dir))
        return {};
    const std::string out = std::string(dir) + "/out", err = std::string(dir) + "/err";
    const int raw = std::system(
        (std::string("'") + ZULMB_PROGRAM + "' " + args + " >" + out + " 2>" + err).c_str());
    Result result { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err) };
    std::remove(out.c_str());
    std::remove(err.c_str());
    rmdir(dir);
    return result;
}

class ZulmbSim : public ::testing::Test
{
protected:
    void SetUp() override { m_path = m_sim.start(); }

    Result run(std::vector<std::string> args)
    {
        args.insert(args.begin(), { "--port", m_path });
        std::ostringstream out, err;
        const int status = zulmb::runCommandLine(args, out, err);
        return { status, out.str(), err.str() };
    }

    static zulsim::Options ainOptions()
    {
        zulsim::Options options;
        options.kind = zulsim::Kind::named("AIN");
        return options;
    }

    zulsim::Simulator m_sim { ainOptions() };
    std::string m_path;
};

} // namespace

TEST_F(ZulmbSim, IdentifyPrintsKindAndIdentityTexts)
{
    auto &model = m_sim.model();
    model.setInputRegister(801, 0x0102);
    model.setInputRegister(802, 0x1241);
    model.setInputRegister(803, 0x00AB);
    model.setInputRegister(804, 0x12CD);

    const Result r = runProgram("--port " + m_path + " identify");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("0x0201 AIN"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("01.02"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1.2A"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("00AB12CD"), std::string::npos) << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(ZulmbSim, IdentifyNamesEveryKindAndACodeOfNone)
{
    const std::pair<std::uint16_t, std::string> kinds[] = {
        { 0x0101, "Kind: 0x0101 DIO (Digital I/O module)\n" },
        { 0x0201, "Kind: 0x0201 AIN (Analog input module)\n" },
        { 0x0301, "Kind: 0x0301 AOT (Analog output module)\n" },
        { 0x0401, "Kind: 0x0401 (no module detected)\n" },
    };
    for (const auto &[code, line] : kinds) {
        m_sim.model().setKindCode(code);
        const Result r = run({ "identify" });
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), line);
    }
}

TEST_F(ZulmbSim, WriteHoldingThenReadItBack)
{
    Result r = run({ "write-holding", "109", "$0010", "0x20", "48" });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(m_sim.model().holdingRegister(110), 0x20);

    r = run({ "read-holding", "109", "3" });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "109: 16 (0x0010)\n110: 32 (0x0020)\n111: 48 (0x0030)\n");
}

TEST_F(ZulmbSim, WriteCoilsThenReadThemBack)
{
    Result r = run({ "write-coils", "2", "1", "0", "1" });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(m_sim.model().coil(2));
    EXPECT_FALSE(m_sim.model().coil(3));
    EXPECT_TRUE(m_sim.model().coil(4));

    r = run({ "read-coils", "1", "4" });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1: 0\n2: 1\n3: 0\n4: 1\n");
}

TEST_F(ZulmbSim, StoreCommandSucceeds)
{
    const Result r = run({ "command", "193" });
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(ZulmbSim, FailedTransactionsExitOneWithTheMastersText)
{
    m_sim.setFault(zulsim::Fault::ExceptionReply, 1, 2);
    Result r = run({ "read-input", "195", "1" });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Modbus Exception Response = 02.\n");
    EXPECT_TRUE(r.out.empty()) << "nothing printed for a failed read";

    m_sim.setFault(zulsim::Fault::Silent);
    r = run({ "--verbose", "read-input", "195", "1" });
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Socket READ Timeout."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(">> 64 04 00 C2 00 01"), std::string::npos) << r.err;
}

TEST_F(ZulmbSim, RepeatCountsFailuresAndStatsSumUpTheLine)
{
    m_sim.setFault(zulsim::Fault::BadCrc, 2);
    const Result r = run({ "--repeat", "5", "--stats", "read-input", "195", "1" });
    EXPECT_EQ(r.status, 1); // some runs failed
    EXPECT_EQ(r.err, "run 1: CRC error in response.\nrun 2: CRC error in response.\n");
    const std::string expected = "195: 513 (0x0201)\n" // once, from the last run
                                 "runs 5, failed 2\n"
                                 "requests 5, good 3, time-outs 0, CRC/length 2, exceptions 0, "
                                 "other 0\n"
                                 "round trip min ";
    EXPECT_EQ(r.out.substr(0, expected.size()), expected) << r.out;
    EXPECT_NE(r.out.find(" ms, median "), std::string::npos) << r.out;

    // Every run good; an echoing line read with --echo.
    m_sim.setFault(zulsim::Fault::Echo);
    const Result echoed = run({ "--echo", "--repeat", "3", "write-holding", "109", "1", "2" });
    EXPECT_EQ(echoed.status, 0) << echoed.err;
    EXPECT_EQ(m_sim.model().holdingRegister(110), 2);
}

TEST_F(ZulmbSim, VerboseTracesBothDirections)
{
    const Result r = run({ "read-input", "195", "1", "--verbose" });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "195: 513 (0x0201)\n");
    EXPECT_NE(r.err.find(" >> 64 04 00 C2 00 01"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" << 64 04 02 02 01"), std::string::npos) << r.err;
}

TEST(ZulmbScan, OneLinePerModuleFoundExitZeroElseOne)
{
    zulsim::Options options;
    options.kind = zulsim::Kind::named("DIO");
    options.slave = 17;
    options.baud = 19200;
    options.strictLine = true;
    zulsim::Simulator sim(options);
    sim.model().setInputRegister(803, 0x0012);
    sim.model().setInputRegister(804, 0xABCD);
    const std::string port = sim.start();
    const std::string found = "slave 17, 19200 baud, parity none, 1 stop bit: 0x0101 DIO "
                              "(Digital I/O module), serial 0012ABCD\n";

    // Through the program, so that the exit status and the line come from main().
    Result r = runProgram(
        "--port " + port + " scan --addresses 14-19 --bauds 9600,19200 --parities none --stops 1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, found);
    EXPECT_TRUE(r.err.empty()) << r.err;

    // Nothing at these addresses and rates: exit 1 and a word on stderr.
    std::ostringstream out, err;
    EXPECT_EQ(zulmb::runCommandLine({ "--port", port, "scan", "--addresses", "18-21", "--bauds",
                                        "19200,9600", "--parities", "none", "--stops", "1" },
                  out, err),
        1);
    EXPECT_TRUE(out.str().empty()) << out.str();
    EXPECT_EQ(err.str(), "No module answered.\n");

    // A device that refuses the read is listed, not taken for a module.
    sim.setFault(zulsim::Fault::ExceptionReply, 1, 2);
    std::ostringstream out2, err2;
    EXPECT_EQ(zulmb::runCommandLine({ "--port", port, "scan", "--addresses", "17", "--bauds",
                                        "19200", "--parities", "none", "--stops", "1" },
                  out2, err2),
        0);
    EXPECT_EQ(out2.str(),
        "slave 17, 19200 baud, parity none, 1 stop bit: exception 02 to the module kind read "
        "(not a ZUL module)\n");

    // The scan only ever read.
    for (const zulsim::RequestRecord &request : sim.requestLog())
        EXPECT_EQ(request.function, 4) << request.text();

    r = runProgram("--port /dev/zulmb-no-such-port scan --addresses 1-2 --bauds 9600");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "/dev/zulmb-no-such-port- This port may be already in use or not present.\n");
}

TEST(ZulmbProgram, PortAndUsageErrorsExitTwo)
{
    Result r = runProgram("--port /dev/zulmb-no-such-port identify");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "/dev/zulmb-no-such-port- This port may be already in use or not present.\n");

    r = runProgram("--port COM1 read-holding 1");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Usage: zulmb"), std::string::npos) << r.err;

    r = runProgram("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("write-coils"), std::string::npos);
}
