// Console files: the saved form, the spellings loading accepts, lines that stop a load,
// and saves that fail without touching the file already on disk.

#include "core_test_support.h"

#include "model/config_file.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <sstream>

#include <sys/resource.h>

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
        model.channels(m) = 0x0101 * m;
        model.shoe(m) = Shoe(true, m % 2 == 1, m + 4);
        for (int p = 0; p < kPistonsPerManual; ++p) {
            model.piston(m, p) = Piston(p % 9, 0, m, 10 * m);
        }
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

ConsoleModel Touched() {
    ConsoleModel model;
    for (int m = 1; m <= kMaxManuals; ++m)
        model.channels(m) = kMarker;
    return model;
}

Status Load(ConsoleModel& model, const std::string& text) {
    std::istringstream in(text);
    return LoadConfigStream(model, in, "organ.vtl");
}

TEST(ConfigFile, SavedFormIsOneLowerCaseLinePerManualEndingCrLf) {
    test::ScratchFolder folder;
    ConsoleModel model = SampleConsole(2);
    ASSERT_TRUE(SaveConfigFile(model, folder / "organ.vtl").has_value());
    EXPECT_EQ(model.currentManual, 2);

    const std::string text = ReadFile(folder / "organ.vtl");
    ASSERT_EQ(text.size(), 2 * 782u);
    for (std::size_t line = 0; line < 2; ++line) {
        const std::string_view l = std::string_view(text).substr(782 * line, 782);
        EXPECT_TRUE(l.ends_with("00 00 00 00 00 \r\n")) << l; // byte 256 and the four 00 bytes
        EXPECT_EQ(l.find_first_not_of("0123456789abcdef \r\n"), std::string_view::npos);
        for (std::size_t i = 2; i < 780; i += 3)
            EXPECT_EQ(l[i], ' ');
    }
}

TEST(ConfigFile, NoManualsSaveAnEmptyFile) {
    test::ScratchFolder folder;
    for (int count : {0, 4}) {
        ConsoleModel model = SampleConsole(3);
        model.manualCount = static_cast<std::int16_t>(count);
        ASSERT_TRUE(SaveConfigFile(model, folder / "empty.vtl").has_value());
        EXPECT_EQ(ReadFile(folder / "empty.vtl"), "") << count;
    }
    ConsoleModel loaded = SampleConsole(3);
    ASSERT_TRUE(LoadConfigFile(loaded, folder / "empty.vtl").has_value());
    EXPECT_EQ(loaded.manualCount, 0);
    EXPECT_EQ(loaded.currentManual, 1);
}

TEST(ConfigFile, ShorterFileLeavesLaterManualsAsTheyWere) {
    ConsoleModel model = Touched();
    model.manualCount = 3;
    ASSERT_TRUE(Load(model, SavedText(2)).has_value());
    EXPECT_EQ(model.manualCount, 2);
    EXPECT_EQ(model.currentManual, 3);
    EXPECT_EQ(model.channels(2), 0x0202);
    EXPECT_EQ(model.channels(3), kMarker);
}

// Reading is looser than writing, but never guesses: each spelling loads as the saved form.
TEST(ConfigFile, AcceptedSpellingsLoadLikeTheSavedForm) {
    const std::string saved = SavedText(3);
    ConsoleModel reference;
    ASSERT_TRUE(Load(reference, saved).has_value());

    const std::string line = GoodLine();
    std::string upper = line.substr(0, 779); // no trailing blank
    for (auto& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    std::string lf = saved;
    std::erase(lf, '\r');
    ConsoleModel oneManual;
    ASSERT_TRUE(Load(oneManual, SavedText(1)).has_value());

    const struct {
        const char* name;
        std::string text;
        const ConsoleModel& expected;
    } cases[] = {
        {"LF line ends", lf, reference},
        {"byte-order mark", "\xEF\xBB\xBF" + saved, reference},
        {"no line end on the last line", saved.substr(0, saved.size() - 2), reference},
        {"upper case without trailing blank", upper + "\r\n", oneManual},
        {"blanks around", "   " + line + "   \n", oneManual},
        {"image without the four 00 bytes", line.substr(0, 768) + "\r\n", oneManual},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConsoleModel model;
        const auto loaded = Load(model, c.text);
        ASSERT_TRUE(loaded.has_value()) << loaded.error().message;
        EXPECT_EQ(model.manualCount, c.expected.manualCount);
        for (int m = 1; m <= c.expected.manualCount; ++m)
            test::ExpectSameManual(c.expected, model, m);
    }
}

// A bad line ends the load at once with the file and line named; earlier lines stay
// decoded, manualCount counts the bad line but never passes three.
TEST(ConfigFile, BadLineStopsTheLoadAndIsNamed) {
    const std::string g = GoodLine() + "\r\n";
    std::string withNul = GoodLine();
    withNul[300] = '\0';
    std::string withCr = GoodLine();
    withCr[300] = '\r';
    const std::string loneDigit = GoodLine().substr(0, 778);

    const struct {
        const char* name;
        std::string text;
        int badLine;
    } cases[] = {
        {"not hex", g + "zz 00 11\r\n", 2},
        {"NUL", g + g + withNul + "\r\n", 3},
        {"CR inside a line", withCr + "\r\n", 1},
        {"two blanks", "f0  00 " + g.substr(6), 1},
        {"lone digit", g + loneDigit + "\r\n", 2},
        {"too short to decode", g + g + "12 ff ff\r\n", 3},
        {"empty line", g + "\r\n" + g, 2},
        {"261 bytes", g + GoodLine() + "00 \r\n", 2},
        {"10000 characters", g + std::string(10000, '0') + "\r\n", 2},
        {"fourth line", g + g + g + g, 4},
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
        for (int m = 1; m <= kMaxManuals; ++m) {
            EXPECT_EQ(model.channels(m), m < c.badLine ? 0x0101 : kMarker) << "manual " << m;
        }
    }
}

TEST(ConfigFile, LoadingFromDiskNamesTheFile) {
    test::ScratchFolder folder;
    ConsoleModel model;
    const auto missing = LoadConfigFile(model, folder / "missing.vtl");
    ASSERT_FALSE(missing.has_value());
    EXPECT_TRUE(Contains(missing.error().message, (folder / "missing.vtl").string()));

    WriteFile(folder / "bad.vtl", GoodLine() + "\r\n" + GoodLine() + "x\r\n");
    const auto bad = LoadConfigFile(model, folder / "bad.vtl");
    ASSERT_FALSE(bad.has_value());
    EXPECT_TRUE(Contains(bad.error().message, (folder / "bad.vtl").string() + ":2"));
    EXPECT_EQ(model.manualCount, 2);
}

class AtomicSave : public testing::Test {
protected:
    static constexpr std::string_view kOld = "the previous file\r\n";

    // The file on disk before the save being tested.
    void SetUp() override { WriteFile(target_, kOld); }

    void ExpectNothingChanged(const Status& saved) {
        ASSERT_FALSE(saved.has_value());
        EXPECT_TRUE(Contains(saved.error().message, target_.string()));
        EXPECT_EQ(ReadFile(target_), kOld);
        EXPECT_EQ(folder_.Names(), std::set<std::string>{"organ.vtl"});
    }

    test::ScratchFolder folder_;
    std::filesystem::path target_ = folder_ / "organ.vtl";
    ConsoleModel model_ = SampleConsole(3);
};

TEST_F(AtomicSave, SuccessReplacesTheFileAndLeavesNothingElse) {
    ASSERT_TRUE(SaveConfigFile(model_, target_).has_value());
    EXPECT_EQ(ReadFile(target_), SavedText(3));
    EXPECT_EQ(folder_.Names(), std::set<std::string>{"organ.vtl"});
}

TEST_F(AtomicSave, UnencodableManualLeavesTheFile) {
    model_.piston(2, 6) = Piston(6, 0, 3, 0);
    const auto saved = SaveConfigFile(model_, target_);
    ExpectNothingChanged(saved);
    EXPECT_TRUE(Contains(saved.error().message, "Manual 2"));
    EXPECT_TRUE(Contains(saved.error().message, "piston 7"));
}

// A file size limit with SIGXFSZ ignored makes the write fail with EFBIG, as on a full
// disk. Nothing between lowering and restoring them can return early.
TEST_F(AtomicSave, FullDiskLeavesTheFile) {
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit lowered = previous;
    lowered.rlim_cur = 100;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const int limited = ::setrlimit(RLIMIT_FSIZE, &lowered);
    const auto saved = SaveConfigFile(model_, target_);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    ASSERT_EQ(limited, 0);
    ExpectNothingChanged(saved);
}

TEST_F(AtomicSave, TargetThatIsAFolderIsLeftAlone) {
    std::filesystem::remove(target_);
    std::filesystem::create_directory(target_);
    WriteFile(target_ / "inside.txt", kOld);
    const auto saved = SaveConfigFile(model_, target_);
    ASSERT_FALSE(saved.has_value());
    EXPECT_TRUE(Contains(saved.error().message, target_.string()));
    EXPECT_TRUE(std::filesystem::is_directory(target_));
    EXPECT_EQ(ReadFile(target_ / "inside.txt"), kOld);
    EXPECT_EQ(folder_.Names(), std::set<std::string>{"organ.vtl"});
}

TEST_F(AtomicSave, MissingFolderIsAnErrorNamingTheFile) {
    const auto target = folder_ / "missing" / "organ.vtl";
    const auto saved = SaveConfigFile(model_, target);
    ASSERT_FALSE(saved.has_value());
    EXPECT_TRUE(Contains(saved.error().message, target.string()));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

} // namespace
} // namespace vtl
