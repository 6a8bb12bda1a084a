#pragma once
// A folder of the harness's own for what it saves, in memory where the system has it (the
// atomic save's flushes then cost nothing), removed at exit; and a whole file read back.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace vtl::fuzz {

class ScratchFolder {
public:
    explicit ScratchFolder(std::string_view name) {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        folder_ = base / (std::string(name) + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path Path(std::string_view name) const { return folder_ / name; }

private:
    std::filesystem::path folder_;
};

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace vtl::fuzz
