// Saves a console file for scripts/kill_saves.sh, which kills it at random moments:
//   atomic_save_probe FILE old|new          one save
//   atomic_save_probe FILE alternate         new, old, new ... each after a line "saving",
//                                            until killed (at most a million saves)
// The two consoles differ in every manual, so a file holding parts of both is neither. The
// repeated saves are for Wine, where a process takes far longer to start than a save lasts:
// the kill falls in some save wherever it lands after the line.

#include "model/config_file.h"

#include <iostream>
#include <string_view>

namespace {

vtl::ConsoleModel Console(bool isNew) {
    vtl::ConsoleModel model;
    model.manualCount = vtl::kMaxManuals;
    for (int m = 1; m <= vtl::kMaxManuals; ++m)
        model.Channels(m) = isNew ? 0x0f0f * m : 0x1111;
    return model;
}

bool Save(bool isNew, const char* path) {
    vtl::ConsoleModel model = Console(isNew);
    if (const auto saved = vtl::SaveConfigFile(model, path); !saved) {
        std::cerr << saved.error().message << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 3 ? argv[2] : "";
    if (mode != "old" && mode != "new" && mode != "alternate") {
        std::cerr << "usage: atomic_save_probe FILE old|new|alternate\n";
        return 2;
    }
    if (mode != "alternate") return Save(mode == "new", argv[1]) ? 0 : 1;
    for (int save = 0; save < 1'000'000; ++save) {
        std::cout << "saving" << std::endl;
        if (!Save(save % 2 == 0, argv[1])) return 1;
    }
    return 0;
}
