// Whole reads and writes of 1 to 3 manuals against the in-process MCU chain. The link runs
// on a 100 ms tick, so what matters on a console is the number of ticks a transfer uses next
// to the fewest its pacing allows; the wall time shows what one simulated transfer costs.

#include "model/config_file.h"
#include "model/program_image.h"
#include "tests/link/sim_link.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace vtl {
namespace {

enum class Direction { Read, Write };

constexpr long kTickLimit = 5000;
constexpr double kSecondsPerTick = 0.1;

// The fewest ticks a transfer of this many manuals can take, counted from the messages it
// cannot do without (repeats left out) and the link openings, each of which takes a turn of
// the output queue like a message:
//
// Reading: the queue sends one entry every 4 ticks, the first on tick 4. Needed are the
// MCU_REBOOT to every MCU and the counting TAG, then per manual a TAG, the identity request,
// the PROGRAM_REQUEST and the manual's MCU_REBOOT: 2 + 4n messages. The link opens before the
// first message and again before each PROGRAM_REQUEST (the input is closed once a manual has
// identified itself): 1 + n openings. On top the state machine waits 11 ticks after the
// first identity reply before it queues the request; the opening and the request could
// otherwise leave 4 and 8 ticks after the identity request, so the wait adds 8 ticks. (Later
// manuals pause only one tick: the counter is shared with the finishing state.) Each reply
// arrives one tick after its request, within the 4 ticks to the next turn. The transfer is
// over when its last message has left:
//     minimum = 4 * (2 + 4n + 1 + n) + 8
//
// Writing: nothing is queued before the first repeat, on tick 10, so the first entry leaves
// on tick 12; every entry, the opening included, is followed by 6 ticks of pause and then up
// to 4 ticks to the next turn: 10 ticks per entry. Needed are per manual a TAG, the identity
// request, four PROGRAM_UPDATEs and the MCU_REBOOT (7n), and one opening. A reply waits out
// the pause and its data is queued at the end of it, in time for the next turn. The
// transfer is over when the pause behind its last message has run:
//     minimum = 12 + 10 * (7n + 1 - 1) + 6 = 10 * (7n + 1) + 8
long MinimumTicks(Direction direction, int manuals) {
    if (direction == Direction::Read) return 4 * ((2 + 4 * manuals) + (1 + manuals)) + 8;
    return 10 * (7 * manuals + 1) + 8;
}

ConsoleModel SampleConsole() {
    ConsoleModel model;
    if (!LoadConfigFile(model, VTL_SAMPLES_DIR "/three-manuals.vtl")) return {};
    return model;
}

void Transfer(benchmark::State& state, Direction direction) {
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
    for (auto _ : state) {
        test::SimLink link(manuals);
        for (int m = 1; m <= manuals; ++m)
            link.chain.storeProgram(m, 0, images[m - 1]);
        link.model = console;
        direction == Direction::Read ? link.transfer.StartRead() : link.transfer.StartWrite();
        if (!link.RunToEnd(kTickLimit, test::SimLink::Until::TrafficDone)) {
            state.SkipWithError("the transfer did not finish");
            return;
        }
        ticks = link.transfer.tickCount();
        sent = static_cast<std::size_t>(
            std::count_if(link.traffic.begin(), link.traffic.end(), [](const auto& r) {
                return r.direction == TrafficListener::Direction::Sent;
            }));
        benchmark::DoNotOptimize(link.model);
    }
    const long minimum = MinimumTicks(direction, manuals);
    state.counters["ticks"] = static_cast<double>(ticks);
    state.counters["min_ticks"] = static_cast<double>(minimum);
    state.counters["ratio"] = static_cast<double>(ticks) / static_cast<double>(minimum);
    state.counters["sent"] = static_cast<double>(sent);
    state.counters["console_s"] = static_cast<double>(ticks) * kSecondsPerTick;
}

void ReadConsole(benchmark::State& state) {
    Transfer(state, Direction::Read);
}
void WriteConsole(benchmark::State& state) {
    Transfer(state, Direction::Write);
}

BENCHMARK(ReadConsole)->DenseRange(1, kMaxManuals)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteConsole)->DenseRange(1, kMaxManuals)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vtl
