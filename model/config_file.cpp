#include "model/config_file.h"

#include "model/atomic_file.h"
#include "model/file_path.h"
#include "model/program_image.h"
#include "sysex/hex.h"

#include <sstream>

namespace vtl {
namespace {

// Far more than the 780 characters of a written line with generous blanks around it.
constexpr std::size_t kMaxLineLength = 4096;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Every file of at most three such lines fits; a saved one has 2346 bytes.
constexpr std::size_t kMaxFileSize = 16 * 1024;
static_assert(kMaxFileSize >= kMaxManuals * (kMaxLineLength + 2) + kByteOrderMark.size());

Error LineError(std::string_view fileName, int line, const std::string& what) {
    return Error{std::string(fileName) + ":" + std::to_string(line) + ": " + what};
}

// Reads up to the next LF without a CR before it; false at the end of the input. A line
// longer than kMaxLineLength is cut there and flagged.
bool ReadLine(std::istream& in, std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    char c;
    bool any = false;
    while (in.get(c)) {
        any = true;
        if (c == '\n') break;
        if (line.size() == kMaxLineLength) {
            tooLong = true;
            break;
        }
        line += c;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

} // namespace

Status ForEachConsoleLine(std::istream& in, std::string_view fileName, int maxLines,
                          const std::string& tooMany, const ConsoleLineHandler& take) {
    std::string line;
    bool tooLong = false;
    for (int number = 1; ReadLine(in, line, tooLong); ++number) {
        if (number > maxLines) return LineError(fileName, number, tooMany);
        if (number == 1 && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
        Expected<Bytes> bytes = Error{"the line is longer than a console line can be"};
        if (!tooLong) {
            bytes = HexToBytes(line);
            if (!bytes) {
                bytes = Error{"not hex text: " + bytes.error().message};
            } else if (bytes->size() > kFileImageSize) {
                bytes = Error{"the line holds " + std::to_string(bytes->size()) +
                              " bytes, more than the " + std::to_string(kFileImageSize) +
                              " of a console line"};
            }
        }
        if (const auto taken = take(number, bytes); !taken) {
            return LineError(fileName, number, taken.error().message);
        }
    }
    if (in.bad()) return Error{std::string(fileName) + ": cannot read the file"};
    return Ok();
}

Status LoadConfigStream(ConsoleModel& model, std::istream& in, std::string_view fileName) {
    model.manualCount = 0;
    model.currentManual = 1;
    return ForEachConsoleLine(
        in, fileName, kMaxManuals, "a console has at most three manuals",
        [&model](int number, const Expected<Bytes>& image) -> Status {
            ++model.manualCount;
            if (!image) return image.error();
            // A save gives the file's format byte back.
            if (number == 1 && !image->empty()) {
                model.identityByte21 =
                    (*image)[image::kFormat] == kFormat13 ? kIdentityForFormat13 : 0;
            }
            if (const auto decoded = DecodeProgramImage(model, *image); !decoded) {
                return decoded.error();
            }
            ++model.currentManual;
            return Ok();
        });
}

Status LoadConfigFile(ConsoleModel& model, const std::filesystem::path& path) {
    const auto text = ReadWholeFile(path, kMaxFileSize, "a console file");
    if (!text) return text.error();
    std::istringstream in(*text);
    ConsoleModel loaded = model;
    if (auto status = LoadConfigStream(loaded, in, Utf8Name(path)); !status) return status;
    model = loaded;
    return Ok();
}

Expected<std::string> FormatConfigFile(ConsoleModel& model) {
    std::string text;
    if (model.manualCount < 1 || model.manualCount > kMaxManuals) return text;
    for (int m = 1; m <= model.manualCount; ++m) {
        model.currentManual = static_cast<std::int16_t>(m);
        const auto image = EncodeProgramImage(model);
        if (!image) return image.error();
        text += BytesToHex(*image);
        text += "\r\n";
    }
    return text;
}

Status SaveConfigFile(ConsoleModel& model, const std::filesystem::path& path) {
    const auto text = FormatConfigFile(model);
    if (!text) return Error{Utf8Name(path) + ": " + text.error().message};
    const auto written = WriteFileAtomically(path, *text);
    if (!written) return Error{Utf8Name(path) + ": " + written.error().message};
    return Ok();
}

} // namespace vtl
