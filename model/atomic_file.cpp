#include "model/atomic_file_shared.h"

#include "model/file_path.h"

#include <algorithm>

namespace vtl {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned long process,
                                    int attempt) {
    std::filesystem::path temporary = target;
    temporary.replace_filename(PathFromUtf8("." + Utf8Name(target.filename()) +
                                            std::string(kTemporaryMark) + std::to_string(process) +
                                            "-" + std::to_string(attempt)));
    return temporary;
}

bool IsTemporaryName(const std::filesystem::path& path) {
    const std::string name = Utf8Name(path.filename());
    const std::size_t mark = name.rfind(kTemporaryMark);
    if (!name.starts_with('.') || mark == std::string::npos || mark < 2) return false;
    const std::string_view tail = std::string_view(name).substr(mark + kTemporaryMark.size());
    const std::size_t dash = tail.find('-');
    return dash != std::string_view::npos && IsDigits(tail.substr(0, dash)) &&
           IsDigits(tail.substr(dash + 1));
}

std::filesystem::path FolderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

Error SystemError(const std::string& what, const std::string& why) {
    return Error{what + ": " + why};
}

Error FileError(const std::filesystem::path& path, const std::string& why) {
    return SystemError(Utf8Name(path), why);
}

Error TooBig(const std::filesystem::path& path, std::uintmax_t size, std::size_t maxSize,
             std::string_view kind) {
    return Error{Utf8Name(path) + ": " + std::to_string(size) + " bytes is too big for " +
                 std::string(kind) + " (at most " + std::to_string(maxSize) + ")"};
}

Error NotPlainFile(const std::filesystem::path& path, std::string_view kind) {
    return Error{Utf8Name(path) + ": not a plain file, so not " + std::string(kind)};
}

} // namespace vtl
