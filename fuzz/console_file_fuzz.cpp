// Console files from anywhere: a load never counts more than three manuals, an error names
// the file, and a console that loaded saves, and loads back to the same file text.

#include "fuzz_check.h"
#include "model/config_file.h"

#include <sstream>
#include <string>

using vtl::fuzz::Require;

namespace {

constexpr std::string_view kFileName = "fuzz.vtl";

vtl::Status Load(vtl::ConsoleModel& model, std::string_view text) {
    std::istringstream in{std::string(text)};
    const vtl::Status loaded = vtl::LoadConfigStream(model, in, kFileName);
    Require(model.manualCount >= 0 && model.manualCount <= vtl::kMaxManuals,
            "a load counts more manuals than a console has");
    return loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vtl::ConsoleModel model;
    if (const auto loaded = Load(model, vtl::fuzz::AsText(data, size)); !loaded) {
        Require(loaded.error().message.starts_with(std::string(kFileName) + ":"),
                "a load error does not name the file");
        return 0;
    }
    // Whatever a file holds, decoding gives values an image can carry again.
    const auto saved = vtl::FormatConfigFile(model);
    Require(saved.has_value(), "a loaded console cannot be saved");
    vtl::ConsoleModel again;
    Require(Load(again, *saved).has_value(), "a saved console does not load");
    const auto resaved = vtl::FormatConfigFile(again);
    Require(resaved && *resaved == *saved, "a saved console loads back differently");
    return 0;
}
