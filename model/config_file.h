#pragma once
// Console files (*.vtl): one line per manual, each the manual's image and four 00 bytes
// as hex text, ending with CR LF.

#include "model/console_model.h"
#include "sysex/result.h"

#include "sysex/bytes.h"

#include <filesystem>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

namespace vtl {

// The line loop of every reader of console files: hands each line's 1-based number and its
// bytes, or what is wrong with the line (not hex text, longer than a console line), to take.
// A byte-order mark and LF or CR LF line ends are accepted. Line maxLines + 1 is an error
// with the text tooMany. The first error take returns stops the loop; every error names
// the file and line.
using ConsoleLineHandler = std::function<Status(int number, const Expected<Bytes>& image)>;
Status ForEachConsoleLine(std::istream& in, std::string_view fileName, int maxLines,
                          const std::string& tooMany, const ConsoleLineHandler& take);

// Decodes every line into the manual of its number: manualCount becomes the number of
// lines and currentManual one more; identityByte21 is set so that a save writes the first
// line's format byte again. A line that is not hex text, too short to decode or
// too long to be a console line, or a fourth line, stops the load with an error naming
// the file and line; the lines before it stay decoded and manualCount counts the bad
// line but never exceeds three. A byte-order mark and LF or CR LF line ends are accepted.
Status LoadConfigStream(ConsoleModel& model, std::istream& in, std::string_view fileName);
// The same, all or nothing: the model changes only when the whole file loaded. A file of
// more than 16 KiB, which no three console lines fill, is refused by its size unread.
Status LoadConfigFile(ConsoleModel& model, const std::filesystem::path& path);

// The file text for manuals 1 to manualCount (none when the count is outside 1 to 3);
// leaves currentManual at the last manual encoded. Fails without text when a manual
// cannot be encoded.
Expected<std::string> FormatConfigFile(ConsoleModel& model);

// Writes the file atomically: on any failure the previous file stays as it was. Errors
// name the file.
Status SaveConfigFile(ConsoleModel& model, const std::filesystem::path& path);

} // namespace vtl
