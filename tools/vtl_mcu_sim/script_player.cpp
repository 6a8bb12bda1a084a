#include "tools/vtl_mcu_sim/script_player.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <istream>
#include <string>
#include <thread>

namespace vtl {
namespace {

// Plays one script; false once the owner has gone.
template <class Shared> bool PlayScript(std::istream& in, const std::string& name, Shared& shared) {
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto step = ParsePlayStep(line);
        Status played = Ok();
        if (!step) {
            played = step.error();
        } else if (step->kind == PlayStep::Kind::Wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(step->number));
        } else {
            const std::lock_guard lock(shared.mutex);
            if (!shared.play) return false;
            played = shared.play(*step);
        }
        if (!played)
            std::cerr << "vtl-mcu-sim: " << name << ":" << number << ": " << played.error().message
                      << std::endl;
    }
    return true;
}

} // namespace

ScriptPlayer::ScriptPlayer(const std::filesystem::path& file, Play play)
    : shared_(std::make_shared<Shared>()) {
    shared_->play = std::move(play);
    std::thread([shared = shared_, file] {
        if (!file.empty()) {
            std::ifstream in(file);
            if (!in) std::cerr << "vtl-mcu-sim: cannot read " << file.string() << std::endl;
            if (!PlayScript(in, file.string(), *shared)) return;
        }
        PlayScript(std::cin, "standard input", *shared);
    }).detach();
}

ScriptPlayer::~ScriptPlayer() {
    const std::lock_guard lock(shared_->mutex);
    shared_->play = nullptr;
}

} // namespace vtl
