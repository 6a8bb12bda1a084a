// What one console costs: encoding and decoding its three manuals (done on every read and
// write of the MCUs), saving and loading its file, and checking it (done on every edit), each
// step on its own; and what the live console costs per received message.

#include "link/midi_stream.h"
#include "model/config_file.h"
#include "model/console_check.h"
#include "model/live_attribution.h"
#include "model/program_image.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vtl {
namespace {

// Three manuals using every kind of piston entry, a shoe each and varied channel sets.
ConsoleModel ThreeManualConsole() {
    ConsoleModel model;
    model.manualCount = kMaxManuals;
    for (int m = 1; m <= kMaxManuals; ++m) {
        model.Channels(m) = 0x1357 * m;
        model.Shoe(m) = ShoeInfo{static_cast<std::uint8_t>(m * 4), m % 2 == 0, true};
        for (int p = 0; p < kPistonsPerManual; ++p) {
            PistonInfo& piston = model.Piston(m, p);
            piston.functionGroup = static_cast<std::int16_t>(p % 9);
            piston.functionType = 0;
            piston.midiChannel = static_cast<std::int16_t>(p % 16 + 1);
            piston.programNumber = static_cast<std::int16_t>(p * 6 + 1);
        }
    }
    return model;
}

// One console's three images, each made once so the loops time only their own step.
std::vector<ProgramImage> EncodeAll(ConsoleModel& model) {
    std::vector<ProgramImage> images;
    for (int m = 1; m <= kMaxManuals; ++m) {
        model.currentManual = static_cast<std::int16_t>(m);
        auto image = EncodeProgramImage(model);
        if (image) images.push_back(*image);
    }
    return images;
}

void EncodeConsole(benchmark::State& state) {
    ConsoleModel model = ThreeManualConsole();
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeAll(model));
    state.SetItemsProcessed(state.iterations() * kMaxManuals);
}
BENCHMARK(EncodeConsole);

void DecodeConsole(benchmark::State& state) {
    ConsoleModel model = ThreeManualConsole();
    const std::vector<ProgramImage> images = EncodeAll(model);
    if (images.size() != kMaxManuals) return state.SkipWithError("a manual cannot be encoded");
    ConsoleModel decoded;
    for (auto _ : state) {
        for (int m = 1; m <= kMaxManuals; ++m) {
            decoded.currentManual = static_cast<std::int16_t>(m);
            benchmark::DoNotOptimize(DecodeProgramImage(decoded, images[m - 1]));
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kMaxManuals);
}
BENCHMARK(DecodeConsole);

// A scratch folder holding one console file, removed afterwards.
class ScratchFile {
public:
    ScratchFile() {
        std::string folder = (std::filesystem::temp_directory_path() / "vtl-bench-XXXXXX").string();
        if (::mkdtemp(folder.data()) != nullptr) folder_ = folder;
    }
    ~ScratchFile() {
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
    }
    bool Ok() const { return !folder_.empty(); }
    std::filesystem::path Path() const { return folder_ / "console.vtl"; }

private:
    std::filesystem::path folder_;
};

// Includes the flushes to disk that make a save safe.
void SaveConfigFile(benchmark::State& state) {
    const ScratchFile file;
    if (!file.Ok()) return state.SkipWithError("cannot create a temporary folder");
    ConsoleModel model = ThreeManualConsole();
    for (auto _ : state) {
        if (const auto saved = SaveConfigFile(model, file.Path()); !saved)
            return state.SkipWithError(saved.error().message.c_str());
    }
}
BENCHMARK(SaveConfigFile);

void LoadConfigFile(benchmark::State& state) {
    const ScratchFile file;
    ConsoleModel model = ThreeManualConsole();
    if (!file.Ok() || !SaveConfigFile(model, file.Path()))
        return state.SkipWithError("cannot write the console file");
    ConsoleModel loaded;
    for (auto _ : state) {
        if (const auto read = LoadConfigFile(loaded, file.Path()); !read)
            return state.SkipWithError(read.error().message.c_str());
    }
}
BENCHMARK(LoadConfigFile);

// The whole check with its sentences, on a console where it finds something of every kind
// but the silent keyboard.
void CheckThreeManuals(benchmark::State& state) {
    ConsoleModel model = ThreeManualConsole();
    model.Shoe(3) = model.Shoe(1);
    model.Piston(3, 19) = model.Piston(1, 6);
    model.Piston(2, 19) = PistonInfo{40, 1, 40, kTremulantGroup};
    const FunctionCatalogue catalogue = BuildCatalogue();
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckConsole(model, catalogue));
}
BENCHMARK(CheckThreeManuals);

// The live console's burst: three manuals on two channels each playing, and a shoe sweeping,
// one message a millisecond. Each message is cut from the byte stream, decoded and attributed.
void DecodeAndAttribute(benchmark::State& state) {
    ConsoleModel console;
    console.manualCount = kMaxManuals;
    for (int m = 1; m <= kMaxManuals; ++m)
        console.Channels(m) = 3 << (2 * (m - 1));
    console.Shoe(1) = ShoeInfo{6, true, true};
    Bytes stream;
    constexpr int kMessages = 3000;
    for (int i = 0; i < kMessages; ++i) {
        const int key = i / 2 % 6; // one key: its message on each of its two channels
        const auto channel = static_cast<std::uint8_t>(key / 2 * 2 + i % 2);
        const auto note = static_cast<std::uint8_t>(36 + i / 12 % 61);
        if (i % 7 == 6)
            stream.insert(stream.end(), {0xB6, 0x07, static_cast<std::uint8_t>(i % 128)});
        else
            stream.insert(stream.end(), {static_cast<std::uint8_t>(0x90 | channel), note,
                                         static_cast<std::uint8_t>(i / 12 % 2 * 100)});
    }
    std::size_t events = 0;
    for (auto _ : state) {
        MidiStreamParser parser;
        LiveAttribution attribution(console);
        double timeMs = 0;
        for (std::size_t at = 0; at < stream.size(); at += 3) {
            for (const Bytes& message : parser.Feed(std::span(stream).subspan(at, 3)))
                events += attribution.Feed(timeMs, DecodeMessage(message)).size();
            timeMs += 1;
        }
        events += attribution.Finish(timeMs).size();
    }
    benchmark::DoNotOptimize(events);
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(DecodeAndAttribute);

} // namespace
} // namespace vtl
