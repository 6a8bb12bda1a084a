// Saves a console file once, for scripts/kill_saves.sh, which kills it at random moments:
//   atomic_save_probe FILE old|new
// The two consoles differ in every manual, so a file holding parts of both is neither.

#include "model/config_file.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: atomic_save_probe FILE old|new\n";
        return 2;
    }
    vtl::ConsoleModel model;
    model.manualCount = vtl::kMaxManuals;
    for (int m = 1; m <= vtl::kMaxManuals; ++m)
        model.Channels(m) = std::string_view(argv[2]) == "new" ? 0x0f0f * m : 0x1111;
    if (const auto saved = vtl::SaveConfigFile(model, argv[1]); !saved) {
        std::cerr << saved.error().message << '\n';
        return 1;
    }
    return 0;
}
