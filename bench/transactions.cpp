// Time per MODBUS transaction of our master against libmodbus on the same
// simulated link, unpaced and paced at 9600 and 115200 baud, the cost of the
// port open/close around one transaction, and of the window's traffic model on
// the frame hook. Run: build/bench/transactions [iteration factor, default 1]
#include "Masters.h"
#include "WireTime.h"

#include "Simulator.h"
#include "traffic/TrafficModel.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::Master;
using bench::Operation;
using Clock = std::chrono::steady_clock;

struct Rate
{
    const char *name;
    int baud;
    bool paced;
    int iterations; // per master and operation; paced 9600 costs ~30 ms a
                    // transaction
};

constexpr Rate Rates[] = {
    { "unpaced", 115200, false, 2000 },
    { "115200", 115200, true, 400 },
    { "9600", 9600, true, 40 },
};
constexpr Operation Operations[] = { Operation::Read1, Operation::Read8, Operation::Coils16,
    Operation::Write8 };
constexpr const char *MasterNames[] = { "ZUL_Modbus", "open port", "libmodbus", "ZUL+traffic" };
constexpr int MasterCount = static_cast<int>(std::size(MasterNames));
// Batches alternate between the masters, so a drift in machine load hits them
// alike.
constexpr int Rounds = 10;

struct Samples
{
    std::vector<double> micros;
    int failures = 0;

    double median()
    {
        if (micros.empty())
            return 0;
        std::sort(micros.begin(), micros.end());
        return micros[micros.size() / 2];
    }
};

void timeBatch(Master &master, Operation operation, int count, Samples &samples)
{
    master.begin();
    master.run(operation); // warm-up: first open of the pty, page faults
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        const bool ok = master.run(operation);
        const std::chrono::duration<double, std::micro> took = Clock::now() - start;
        // A failed transaction's time is a time-out, not a speed: it is counted
        // apart.
        if (ok)
            samples.micros.push_back(took.count());
        else
            ++samples.failures;
    }
    master.end();
}

// The paced simulator leaves out the silent interval between request and reply that the wire
// time counts; the master keeps the one before the request.
// Beyond the wire model, a transaction of the register layer may take this much (the port's
// open and close, the silence kept to the microsecond, the scheduler).
constexpr double TargetMarginMicros = 500;

// ZUL_Modbus with the window's traffic model on its frame hook. The window's event loop moves
// the queued frames into the table between polls; here that happens after each batch.
class TracedMaster : public bench::RegisterLayerMaster
{
public:
    TracedMaster(const bench::Link &link, TTrafficModel &model)
        : RegisterLayerMaster(
            link, [&model](const modbus::FrameEvent &event) { model.Record(event); })
        , m_model(model)
    {
    }
    void end() override { m_model.Flush(); }

private:
    TTrafficModel &m_model;
};

// ZUL_Modbus without and with the traffic model on its frame hook, per rate and operation.
struct HookCost
{
    std::string rate;
    std::string operation;
    double plain;
    double traced;
};
std::vector<HookCost> hookCosts;

std::string ratio(double a, double b)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", b > 0 ? a / b : 0.0);
    return b > 0 ? text : "-";
}

std::string difference(double a, double b, bool known)
{
    char text[16];
    std::snprintf(text, sizeof text, "%+.0f", a - b);
    return known ? text : "-";
}

void printHeader()
{
    std::printf("%-8s %-21s %9s %11s %10s %10s | %7s %8s | %8s %9s %8s %9s %7s\n", "rate",
        "operation", "wire", "ZUL_Modbus", "open port", "libmodbus", "ZUL/lib", "open/lib",
        "ZUL/wire", "open/wire", "lib/wire", "ZUL-wire", "target");
}

void runRate(const Rate &rate, int factor)
{
    zulsim::Options options;
    options.kind = zulsim::Kind::named("DIO");
    options.baud = rate.baud;
    options.pace = rate.paced;
    zulsim::Simulator sim(options);
    const bench::Link link { sim.start(), rate.baud, options.slave };

    bench::RegisterLayerMaster ours(link);
    bench::OpenPortMaster openPort(link);
    bench::LibmodbusMaster libmodbus(link);
    TTrafficModel traffic;
    TracedMaster traced(link, traffic);
    Master *masters[] = { &ours, &openPort, &libmodbus, &traced };
    const int perRound = std::max(1, rate.iterations * factor / Rounds);

    for (const Operation operation : Operations) {
        Samples samples[MasterCount];
        for (int round = 0; round < Rounds; ++round)
            for (int m = 0; m < MasterCount; ++m)
                timeBatch(*masters[m], operation, perRound, samples[m]);

        const auto op = bench::info(operation);
        const double wire =
            rate.paced ? bench::wireMicros(op.requestBytes, op.replyBytes, rate.baud) : 0;
        const double zul = samples[0].median(), open = samples[1].median(),
                     lib = samples[2].median();
        char wireText[16] = "-";
        if (rate.paced)
            std::snprintf(wireText, sizeof wireText, "%.0f", wire);
        const char *target = !rate.paced       ? "-"
            : zul <= wire + TargetMarginMicros ? "met"
                                               : "MISSED";
        std::printf("%-8s %-21s %9s %11.0f %10.0f %10.0f | %7s %8s | %8s %9s %8s %9s %7s\n",
            rate.name, op.name, wireText, zul, open, lib, ratio(zul, lib).c_str(),
            ratio(open, lib).c_str(), ratio(zul, wire).c_str(), ratio(open, wire).c_str(),
            ratio(lib, wire).c_str(), difference(zul, wire, rate.paced).c_str(), target);
        hookCosts.push_back({ rate.name, op.name, zul, samples[3].median() });
        for (int m = 0; m < MasterCount; ++m)
            if (samples[m].failures)
                std::printf("         ! %s: %d of %zu transactions failed\n", MasterNames[m],
                    samples[m].failures, samples[m].micros.size() + samples[m].failures);
    }
}

void runOpenClose(int factor)
{
    zulsim::Simulator sim;
    const bench::Link link { sim.start(), 9600, 100 };
    bench::OpenCloseOnly openClose(link);
    Samples samples;
    timeBatch(openClose, Operation::Read1, 2000 * factor, samples);
    std::printf("\nTRKComm Open + Close alone (median of %zu): %.0f us%s\n", samples.micros.size(),
        samples.median(), samples.failures ? "  (some opens failed)" : "");
}

void printHookCosts()
{
    std::printf(
        "\nZUL_Modbus with the traffic model on its frame hook (the window's traffic view and\n"
        "counters) against none, median microseconds:\n");
    std::printf(
        "%-8s %-21s %11s %11s %7s\n", "rate", "operation", "ZUL_Modbus", "+traffic", "ratio");
    for (const HookCost &cost : hookCosts)
        std::printf("%-8s %-21s %11.0f %11.0f %7s\n", cost.rate.c_str(), cost.operation.c_str(),
            cost.plain, cost.traced, ratio(cost.traced, cost.plain).c_str());
}

} // namespace

int main(int argc, char **argv)
{
    // The traffic model's batching timer wants an application object; no event loop runs.
    QCoreApplication application(argc, argv);
    const int factor = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    std::printf("Median microseconds per transaction against the in-process "
                "simulator (slave 100).\n"
                "ZUL_Modbus opens and closes the port around each transaction; "
                "\"open port\" is\n"
                "TModbusSerial on a port held open; libmodbus is connected once "
                "per batch.\n"
                "wire: request and reply at 11 bits a byte plus both "
                "3.5-character gaps;\n"
                "ZUL-wire: microseconds ZUL_Modbus takes beyond that (negative: "
                "within it);\n"
                "target: ZUL_Modbus within the wire time + 0.5 ms, on the paced lines.\n"
                "Unpaced, each reply comes sooner than a line could carry it, so the master "
                "listens\n"
                "on for 3.5 characters after it (a second copy of the reply before would "
                "come then).\n\n");
    printHeader();
    try {
        for (const Rate &rate : Rates)
            runRate(rate, factor);
        runOpenClose(factor);
        printHookCosts();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "transactions: %s\n", e.what());
        return 1;
    }
    return 0;
}
