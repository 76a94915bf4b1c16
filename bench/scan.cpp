// A full address scan (1 to 247) at one line setting against the simulator paced at the wire
// speed, timed against what 247 probes cost on the wire with their time-outs. One module answers,
// at the simulator's address, as on a bench with one module plugged in.
// Run: build/bench/scan [runs, default 3] [baud, default 9600]
#include "Simulator.h"
#include "comms/ModuleScan.h"
#include "comms/RKCOMM.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int KindRegister = 195;
constexpr int SerialRegister = 803;

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int baud = argc > 2 ? std::atoi(argv[2]) : 9600;
    const int baudIndex = TRKComm::BaudIndexOf(baud);
    if (baudIndex < 0) {
        std::fprintf(stderr, "scan: %d is not a rate of the tool\n", baud);
        return 2;
    }

    zulsim::Options options;
    options.kind = zulsim::Kind::named("DIO");
    options.baud = baud;
    options.pace = true;
    options.strictLine = true;
    zulsim::Simulator sim(options);
    const std::string device = sim.start();

    modbus::ScanPlan plan;
    plan.devicePath = device;
    plan.baudIndices = { baudIndex };
    plan.parities = { 0 };
    plan.stopBits = { 0 };
    plan.kindRegister = KindRegister;
    plan.serialRegister = SerialRegister;
    const std::chrono::microseconds perProbe =
        modbus::probeTimeout({ baudIndex, 0, 0 }, 8, 7, plan.adapterMargin);
    const double budgetMs = 247 * static_cast<double>(perProbe.count()) / 1000.0;

    std::printf("full scan, addresses 1-247 at %d baud 8N1, paced simulator at slave %d\n", baud,
        options.slave);
    std::printf("per probe: request 8 + reply 7 bytes at 11 bits, 3.5 characters and %lld ms "
                "for the adapter = %.3f ms\n",
        static_cast<long long>(plan.adapterMargin.count() / 1000),
        static_cast<double>(perProbe.count()) / 1000.0);
    std::printf("247 probes with their time-outs: %.1f ms\n\n", budgetMs);
    std::printf("run   scan ms   answers   ratio\n");
    std::vector<double> ratios;
    for (int run = 1; run <= runs; ++run) {
        modbus::ModuleScan scan(plan);
        int answers = 0;
        const auto begin = Clock::now();
        scan.run([&](const modbus::ScanAnswer &) { ++answers; });
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        ratios.push_back(ms / budgetMs);
        std::printf("%3d  %8.1f  %8d   %5.3f\n", run, ms, answers, ratios.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("\nmedian ratio %.3f (target at most 1.1)\n", ratios[ratios.size() / 2]);
    return 0;
}
