#pragma once
// Plays the console from scripts on a thread of its own: first a script file, then standard
// input, line by line, as the lines come. "wait MS" sleeps; every other step is handed to the
// caller's play function, and what it refuses is said on standard error with the line it came
// from.

#include "sim/console_play.h"
#include "sysex/result.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

namespace vtl {

class ScriptPlayer {
public:
    using Play = std::function<Status(const PlayStep&)>;

    // Starts playing at once; an empty file name plays standard input alone.
    ScriptPlayer(const std::filesystem::path& file, Play play);
    // No step is played after this. A thread still waiting for standard input is left to end
    // with the process.
    ~ScriptPlayer();
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

private:
    // What the thread shares with the owner; it keeps it alive while it runs.
    struct Shared {
        std::mutex mutex;
        Play play; // empty once the owner has gone
    };
    std::shared_ptr<Shared> shared_;
};

} // namespace vtl
