// Console files: the saved form, the spellings loading accepts, lines that stop a load,
// and saves that fail without touching what is on disk.

#include "core_test_support.h"
#include "file_faults.h"

#include "model/atomic_file.h"
#include "model/config_file.h"

#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

namespace vtl {
namespace {

using test::Contains;
using test::Piston;
using test::ReadFile;
using test::Shoe;
using test::WriteFile;

constexpr std::int32_t kMarker = 0x7777; // channels of a manual no load has touched

ConsoleModel SampleConsole(int manuals) {
    ConsoleModel model;
    model.manualCount = static_cast<std::int16_t>(manuals);
    for (int m = 1; m <= kMaxManuals; ++m) {
        model.Channels(m) = 0x0101 * m;
        model.Shoe(m) = Shoe(true, m % 2 == 1, m + 4);
        for (int p = 0; p < kPistonsPerManual; ++p)
            model.Piston(m, p) = Piston(p % 9, 0, m, 10 * m);
    }
    return model;
}

std::string SavedText(int manuals) {
    ConsoleModel model = SampleConsole(manuals);
    const auto text = FormatConfigFile(model);
    EXPECT_TRUE(text.has_value());
    return text ? *text : std::string{};
}

// One saved line without its CR LF.
std::string GoodLine() {
    return SavedText(1).substr(0, 780);
}

// Three manuals no load has touched yet.
ConsoleModel Touched() {
    ConsoleModel model;
    model.manualCount = 3;
    for (int m = 1; m <= kMaxManuals; ++m)
        model.Channels(m) = kMarker;
    return model;
}

Status Load(ConsoleModel& model, const std::string& text) {
    std::istringstream in(text);
    return LoadConfigStream(model, in, "organ.vtl");
}

// Each line is the image and four 00 bytes as lower-case pairs, each followed by a blank,
// then CR LF; a count outside 1 to 3 saves an empty file.
TEST(ConfigFile, SavedFormIsOneLinePerManual) {
    test::ScratchFolder folder;
    for (int count : {2, 0, 4}) {
        ConsoleModel model = SampleConsole(3);
        model.manualCount = static_cast<std::int16_t>(count);
        ASSERT_TRUE(SaveConfigFile(model, folder / "organ.vtl").has_value());
        const std::regex form(count == 2 ? "(([0-9a-f]{2} ){256}(00 ){4}\r\n){2}" : "");
        EXPECT_TRUE(std::regex_match(ReadFile(folder / "organ.vtl"), form)) << count;
    }
}

// Reading is looser than writing, but never guesses: each spelling loads as the saved form.
// Manuals after the last line keep what they had.
TEST(ConfigFile, AcceptedSpellingsLoadLikeTheSavedForm) {
    const std::string saved = SavedText(3);
    ConsoleModel reference;
    ASSERT_TRUE(Load(reference, saved).has_value());
    const std::string line = GoodLine();
    std::string lf = saved;
    std::erase(lf, '\r');

    const struct {
        const char* name;
        std::string text;
        int manuals;
    } cases[] = {
        {"LF line ends", lf, 3},
        {"byte-order mark", "\xEF\xBB\xBF" + saved, 3},
        {"no line end on the last line", saved.substr(0, saved.size() - 2), 3},
        {"blanks around", "   " + line + "   \n", 1},
        {"image without the four 00 bytes", line.substr(0, 768) + "\r\n", 1},
        {"two lines", SavedText(2), 2},
        {"empty file", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConsoleModel model = Touched();
        const auto loaded = Load(model, c.text);
        ASSERT_TRUE(loaded.has_value()) << loaded.error().message;
        EXPECT_EQ(model.manualCount, c.manuals);
        EXPECT_EQ(model.currentManual, c.manuals + 1);
        for (int m = 1; m <= kMaxManuals; ++m) {
            if (m <= c.manuals)
                test::ExpectSameManual(reference, model, m);
            else
                EXPECT_EQ(model.Channels(m), kMarker) << "manual " << m;
        }
    }
}

// A bad line ends the load at once with the file and line named; earlier lines stay
// decoded, manualCount counts the bad line but never passes three.
TEST(ConfigFile, BadLineStopsTheLoadAndIsNamed) {
    const std::string g = GoodLine() + "\r\n";
    std::string withCr = GoodLine();
    withCr[300] = '\r';

    const struct {
        const char* name;
        std::string text;
        int badLine;
    } cases[] = {
        {"not hex", g + "zz 00 11\r\n", 2},
        {"CR inside a line", withCr + "\r\n", 1},
        {"too short to decode", g + g + "12 ff ff\r\n", 3},
        {"NUL", g + std::string(1, '\0') + "\r\n", 2},
        {"empty line", g + "\r\n" + g, 2},
        {"261 bytes", g + GoodLine() + "00 \r\n", 2},
        {"fourth and fifth line", g + g + g + g + g, 4},
        {"bad fourth line", g + g + g + "zz\r\n", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConsoleModel model = Touched();
        const auto loaded = Load(model, c.text);
        ASSERT_FALSE(loaded.has_value());
        EXPECT_TRUE(Contains(loaded.error().message, "organ.vtl:" + std::to_string(c.badLine)));
        EXPECT_EQ(model.manualCount, std::min(c.badLine, kMaxManuals));
        for (int m = 1; m <= kMaxManuals; ++m)
            EXPECT_EQ(model.Channels(m), m < c.badLine ? 0x0101 : kMarker) << "manual " << m;
    }
}

// A damaged file is refused whole with the file named; the console keeps all it had. Files
// too big for a console are refused by their size unread: the sparse 4 GiB one would exhaust
// memory if it were read, and a size taken from its low 32 bits alone would be 0. (Not larger:
// Wine refuses a size beyond the disk's free space, sparse or not.)
TEST(ConfigFile, DamagedFilesLeaveTheConsoleAsItWas) {
    // Makes the file, and gives the name to load it by.
    using Make = std::function<std::filesystem::path(const std::filesystem::path&)>;
    const auto text = [](std::string content) -> Make {
        return [content](const std::filesystem::path& path) {
            WriteFile(path, content);
            return path;
        };
    };
    std::string binary(3000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7919 % 251);
    std::string changed = SavedText(3);
    changed[2000] = 'g';
    const struct {
        const char* name;
        Make make;
        std::string error; // after the file's name
    } cases[] = {
        {"missing", [](const std::filesystem::path& path) { return path; },
         ": No such file or directory"},
        {"cut in line 2", text(SavedText(3).substr(0, 1000)),
         ":2: image of 73 bytes is too short: byte 211 is missing (a full image has 256)"},
        {"binary", text(binary), ":1: not hex text: column 1: byte 0x00 is not a hex digit"},
        {"a byte changed in line 3", text(changed),
         ":3: not hex text: column 437: 'g' is not a hex digit"},
        {"a line of 10000 characters", text(std::string(10000, '0')),
         ":1: the line is longer than a console line can be"},
        {"a line of 5 million characters", text(std::string(5'000'000, 'a')),
         ": 5000000 bytes is too big for a console file (at most 16384)"},
        {"4 GiB, the low 32 bits of its size 0",
         [](const std::filesystem::path& path) {
             WriteFile(path, "");
             std::filesystem::resize_file(path, std::uintmax_t{1} << 32);
             return path;
         },
         ": 4294967296 bytes is too big for a console file (at most 16384)"},
        {"a folder",
         [](const std::filesystem::path& path) {
             std::filesystem::create_directory(path);
             return path;
         },
         ": Is a directory"},
        {"a pipe without writer (the NUL device on Windows)", test::NotPlainFile,
         ": not a plain file, so not a console file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScratchFolder folder;
        const auto path = c.make(folder / "organ.vtl");
        const ConsoleModel before = SampleConsole(2);
        ConsoleModel model = before;
        const auto loaded = LoadConfigFile(model, path);
        ASSERT_FALSE(loaded.has_value());
        EXPECT_EQ(loaded.error().message, Utf8Name(path) + c.error);
        EXPECT_EQ(std::tuple(model.manualCount, model.currentManual, model.identityByte21),
                  std::tuple(before.manualCount, before.currentManual, before.identityByte21));
        for (int m = 1; m <= kMaxManuals; ++m)
            test::ExpectSameManual(before, model, m);
    }
}

// Every file and folder under the scratch folder with its contents.
std::map<std::string, std::string> Snapshot(const test::ScratchFolder& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path()))
        entries[Utf8Name(entry.path())] = entry.is_directory() ? "<folder>" : ReadFile(entry);
    return entries;
}

// A save replaces the file and leaves nothing else; a failed one names the file and
// leaves the folder as it was, temporary files included. Loading names the file too. The
// file's name has letters beyond ASCII, and so has the folder's.
TEST(ConfigFile, SavesAreAtomic) {
    const auto name = PathFromUtf8("Orgel für St. Märien.vtl");
    enum class Case { Success, Unencodable, FailsMidway, TargetIsAFolder, MissingFolder };
    for (Case c : {Case::Success, Case::Unencodable, Case::FailsMidway, Case::TargetIsAFolder,
                   Case::MissingFolder}) {
        SCOPED_TRACE("case " + std::to_string(static_cast<int>(c)));
        test::ScratchFolder folder;
        const auto target = c == Case::MissingFolder ? folder / "missing" / name : folder / name;
        if (c == Case::TargetIsAFolder) std::filesystem::create_directory(target);
        WriteFile(c == Case::TargetIsAFolder ? target / "inside.txt" : folder / name, "old");
        const auto before = Snapshot(folder);
        ConsoleModel model = SampleConsole(3);
        if (c == Case::Unencodable) model.Piston(2, 6) = Piston(6, 0, 3, 0);

        const auto failed = c == Case::FailsMidway ? test::SaveFailingMidway(model, target)
                                                   : test::FailedSave{Ok(), ""};
        const auto saved = c == Case::FailsMidway ? failed.saved : SaveConfigFile(model, target);
        ConsoleModel loaded;
        const auto load = LoadConfigFile(loaded, target);
        if (c == Case::Success) {
            EXPECT_TRUE(saved.has_value());
            EXPECT_TRUE(load.has_value());
            EXPECT_EQ(Snapshot(folder),
                      (std::map<std::string, std::string>{{Utf8Name(target), SavedText(3)}}));
            continue;
        }
        ASSERT_FALSE(saved.has_value());
        EXPECT_TRUE(Contains(saved.error().message, Utf8Name(target)));
        if (c == Case::Unencodable) {
            EXPECT_TRUE(Contains(saved.error().message, "Manual 2, piston 7"));
        }
        EXPECT_TRUE(Contains(saved.error().message, failed.reason));
        EXPECT_EQ(Snapshot(folder), before);
        ASSERT_FALSE(load.has_value()); // "old" is no console line; the others are no file
        EXPECT_TRUE(Contains(load.error().message, Utf8Name(target)));
    }
}

// A read takes room for the file, not for the most it allows: a small file reads under any
// limit.
TEST(ConfigFile, ReadsTakeRoomForTheFileNotForItsLimit) {
    test::ScratchFolder folder;
    WriteFile(folder / "small.txt", "seven b");
    const auto read = ReadWholeFile(folder / "small.txt", std::size_t{1} << 46, "a text");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, "seven b");
}

// A save first removes what killed saves left in its folder; the temporary file of a save
// that runs, whose lock another process holds, stays, and so do files only named alike.
TEST(ConfigFile, SavesRemoveWhatKilledSavesLeft) {
    test::ScratchFolder folder;
    const std::vector<std::string> kept = {".organ.vtl.tmp-77-0", ".organ.vtl.tmp-x", "organ.vtl",
                                           "organ.vtl.tmp-5-0"};
    for (const char* name :
         {".organ.vtl.tmp-4194305-0", ".notes.txt.tmp-12-3", ".Orgel für St. Märien.vtl.tmp-9-1",
          ".organ.vtl.tmp-77-0", ".organ.vtl.tmp-x", "organ.vtl.tmp-5-0"})
        WriteFile(folder / PathFromUtf8(name), "half");
    {
        const test::HeldLock held(folder / kept[0]);
        ConsoleModel model = SampleConsole(3);
        EXPECT_TRUE(SaveConfigFile(model, folder / "organ.vtl").has_value());
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(Utf8Name(entry.path().filename()));
    std::ranges::sort(names);
    EXPECT_EQ(names, kept);
}

} // namespace
} // namespace vtl
