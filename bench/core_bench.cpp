// What one console costs: encoding and decoding its three manuals (done on every read and
// write of the MCUs), and saving and loading its file.

#include "model/config_file.h"
#include "model/program_image.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace vtl {
namespace {

// Three manuals using every kind of piston entry, a shoe each and varied channel sets.
ConsoleModel ThreeManualConsole() {
    ConsoleModel model;
    model.manualCount = kMaxManuals;
    for (int m = 1; m <= kMaxManuals; ++m) {
        model.channels(m) = 0x1357 * m;
        model.shoe(m) = shoeInfo{static_cast<std::uint8_t>(m * 4), m % 2 == 0, true};
        for (int p = 0; p < kPistonsPerManual; ++p) {
            pistonInfo& piston = model.piston(m, p);
            piston.functionGroup = static_cast<std::int16_t>(p % 9);
            piston.functionType = 0;
            piston.midiChannel = static_cast<std::int16_t>(p % 16 + 1);
            piston.programNumber = static_cast<std::int16_t>(p * 6 + 1);
        }
    }
    return model;
}

void EncodeDecodeConsole(benchmark::State& state) {
    ConsoleModel model = ThreeManualConsole();
    ConsoleModel decoded;
    for (auto _ : state) {
        for (int m = 1; m <= kMaxManuals; ++m) {
            model.currentManual = decoded.currentManual = static_cast<std::int16_t>(m);
            const auto image = EncodeProgramImage(model);
            if (!image) {
                state.SkipWithError(image.error().message.c_str());
                return;
            }
            benchmark::DoNotOptimize(DecodeProgramImage(decoded, *image));
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(EncodeDecodeConsole);

// Includes the flushes to disk that make a save safe.
void SaveLoadConfigFile(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "vtl-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("cannot create a temporary folder");
        return;
    }
    const auto path = std::filesystem::path(folder) / "console.vtl";
    ConsoleModel model = ThreeManualConsole();
    ConsoleModel loaded;
    for (auto _ : state) {
        const auto saved = SaveConfigFile(model, path);
        const auto read = saved ? LoadConfigFile(loaded, path) : saved;
        if (!read) {
            state.SkipWithError(read.error().message.c_str());
            break;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(SaveLoadConfigFile);

} // namespace
} // namespace vtl
