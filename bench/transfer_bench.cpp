// Whole reads and writes of 1 to 3 manuals against the in-process MCU chain. The link runs
// on a 100 ms tick, so what matters on a console is the number of ticks a transfer uses next
// to the fewest its pacing allows (MinimumPacing, which the status window's time estimate
// uses too); the wall time shows what one simulated transfer costs, progress reports included.

#include "model/config_file.h"
#include "model/program_image.h"
#include "tests/link/sim_link.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace vtl {
namespace {

constexpr long kTickLimit = 5000;
constexpr double kSecondsPerTick = 0.1;

ConsoleModel SampleConsole() {
    ConsoleModel model;
    if (!LoadConfigFile(model, VTL_SAMPLES_DIR "/three-manuals.vtl")) return {};
    return model;
}

void Transfer(benchmark::State& state, TransferMode mode) {
    const int manuals = static_cast<int>(state.range(0));
    ConsoleModel console = SampleConsole();
    if (console.manualCount != kMaxManuals) {
        state.SkipWithError("cannot load the sample console");
        return;
    }
    console.manualCount = static_cast<std::int16_t>(manuals);
    std::vector<Bytes> images;
    for (int m = 1; m <= manuals; ++m) {
        console.currentManual = static_cast<std::int16_t>(m);
        const auto image = EncodeProgramImage(console);
        if (!image) {
            state.SkipWithError(image.error().message.c_str());
            return;
        }
        images.emplace_back(image->begin(), image->begin() + kImageSize);
    }

    long ticks = 0;
    std::size_t sent = 0;
    std::size_t reports = 0;
    for (auto _ : state) {
        test::SimLink link(manuals);
        for (int m = 1; m <= manuals; ++m)
            link.chain.StoreProgram(m, 0, images[m - 1]);
        link.model = console;
        mode == TransferMode::Reading ? link.transfer.StartRead() : link.transfer.StartWrite();
        if (!link.RunToEnd(kTickLimit, test::SimLink::Until::TrafficDone)) {
            state.SkipWithError("the transfer did not finish");
            return;
        }
        ticks = link.transfer.TickCount();
        sent = static_cast<std::size_t>(
            std::count_if(link.traffic.begin(), link.traffic.end(), [](const auto& r) {
                return r.direction == TrafficListener::Direction::Sent;
            }));
        reports = link.log.TicksOf<TransferProgress>().size();
        benchmark::DoNotOptimize(link.model);
    }
    const long minimum = MinimumPacing(mode, manuals).MinimumTicks();
    state.counters["ticks"] = static_cast<double>(ticks);
    state.counters["min_ticks"] = static_cast<double>(minimum);
    state.counters["ratio"] = static_cast<double>(ticks) / static_cast<double>(minimum);
    state.counters["sent"] = static_cast<double>(sent);
    state.counters["reports"] = static_cast<double>(reports);
    state.counters["console_s"] = static_cast<double>(ticks) * kSecondsPerTick;
}

void ReadConsole(benchmark::State& state) {
    Transfer(state, TransferMode::Reading);
}
void WriteConsole(benchmark::State& state) {
    Transfer(state, TransferMode::Writing);
}

BENCHMARK(ReadConsole)->DenseRange(1, kMaxManuals)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteConsole)->DenseRange(1, kMaxManuals)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vtl
