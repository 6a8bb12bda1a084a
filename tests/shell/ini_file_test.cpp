#include "platform/ini_file.h"

#include "shell_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vtl::test {
namespace {

using namespace std::string_literals;

class IniFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.isValid());
        ini_.setPath(file_);
    }

    // Starts from this file content; none means no file.
    void Given(const std::optional<std::string>& content) {
        std::filesystem::remove(file_);
        if (content) WriteText(file_, *content);
    }

    QTemporaryDir scratch_;
    std::filesystem::path file_ = FsPath(scratch_.filePath("test.ini"));
    cInifile ini_;
};

TEST_F(IniFileTest, ReadsAsTheProfileFunctionsDo) {
    const std::string longValue(300, 'v');
    // 253 single-byte characters, a two-byte one, then more: the cut keeps the whole "é".
    const std::string utf8Value = std::string(253, 'a') + "\xC3\xA9" + "bcd";
    const struct {
        const char* name;
        std::optional<std::string> file;
        std::string section, key, fallback, expected;
    } cases[] = {
        {"missing file", std::nullopt, "S", "k", "dflt", "dflt"},
        {"plain", "[S]\nk=v\n", "S", "k", "", "v"},
        {"section and key in other case", "[midi i/o]\ninput=3\n", "MIDI I/O", "Input", "", "3"},
        {"blanks around", "  [S]  \n\t k \t= v v \t\n", "S", "k", "", "v v"},
        {"double quotes", "[S]\nk=\"quoted \"\n", "S", "k", "", "quoted "},
        {"single quotes", "[S]\nk='x'\n", "S", "k", "", "x"},
        {"lone quote", "[S]\nk=\"\n", "S", "k", "", "\""},
        {"empty value", "[S]\nk=\n", "S", "k", "dflt", ""},
        {"no equals sign", "[S]\nk\n", "S", "k", "dflt", "dflt"},
        {"comment", "[S]\n;k=v\n", "S", ";k", "dflt", "dflt"},
        {"missing section", "[T]\nk=v\n", "S", "k", "dflt", "dflt"},
        {"missing key", "[S]\nj=v\n", "S", "k", "dflt", "dflt"},
        {"key of the next section", "[S]\n[T]\nk=v\n", "S", "k", "dflt", "dflt"},
        {"lines before any section", "k=v\n[S]\n", "S", "k", "dflt", "dflt"},
        {"first of two keys", "[S]\nk=1\nK=2\n", "S", "k", "", "1"},
        {"first of two sections", "[S]\nk=1\n[s]\nk=2\n", "S", "k", "", "1"},
        {"value with = and ;", "[S]\nk=a=b ; c\n", "S", "k", "", "a=b ; c"},
        {"CR LF", "[S]\r\nk=v\r\n", "S", "k", "", "v"},
        {"byte-order mark", "\xEF\xBB\xBF[S]\nk=v", "S", "k", "", "v"},
        {"text after the bracket", "[S] ; about S\nk=v\n", "S", "k", "", "v"},
        {"long value", "[S]\nk=" + longValue + "\n", "S", "k", "", longValue.substr(0, 254)},
        {"UTF-8 value", "[S]\nk=" + utf8Value + "\n", "S", "k", "", utf8Value.substr(0, 255)},
        {"default without trailing blanks", std::nullopt, "S", "k", "dflt \t", "dflt"},
        {"default ends at NUL", std::nullopt, "S", "k", "ab\0cd"s, "ab"},
        {"section ends at NUL", "[S]\nk=v\n", "S\0x"s, "k", "", "v"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given(c.file);
        ini_.setSection(c.section);
        ini_.setKey(c.key);
        ini_.setDefault(c.fallback);
        EXPECT_EQ(ini_.value(), c.expected);
    }
}

TEST_F(IniFileTest, WritesChangeOnlyTheirLine) {
    using Op = void (*)(cInifile&, const std::string&);
    const Op set = [](cInifile& ini, const std::string& v) { ini.setValue(v); };
    const Op deleteKey = [](cInifile& ini, const std::string&) { ini.deleteKey(); };
    const Op deleteSection = [](cInifile& ini, const std::string&) { ini.deleteSection(); };
    const Op setIniSection = [](cInifile& ini, const std::string& v) { ini.setIniSection(v); };
    const std::string longValue(300, 'x'); // stored whole, read cut
    const struct {
        const char* name;
        std::optional<std::string> before;
        Op op;
        std::string section, key, value;
        std::optional<std::string> after;
    } cases[] = {
        {"new file", std::nullopt, set, "S", "k", "v", "[S]\nk=v\n"},
        {"update in place", "; top\n[S]\nk = old \nother=1\n\n[T]\nx=1\n", set, "S", "k", "new",
         "; top\n[S]\nk = new\nother=1\n\n[T]\nx=1\n"},
        {"update in other case", "[s]\nK=1\n", set, "S", "k", "2", "[s]\nK=2\n"},
        {"same value", "[S]\nk = v  \n", set, "S", "k", "v", "[S]\nk = v  \n"},
        {"new key after the last entry", "[S]\na=1\n; about T\n\n[T]\n", set, "S", "b", "2",
         "[S]\na=1\nb=2\n; about T\n\n[T]\n"},
        {"new key in an empty section", "[S]\n[T]\n", set, "S", "b", "2", "[S]\nb=2\n[T]\n"},
        {"blank lines kept", "\n\n", set, "S", "k", "v", "\n\n[S]\nk=v\n"},
        {"new section after an open line", "[S]\na=1", set, "T", "b", "2", "[S]\na=1\n[T]\nb=2\n"},
        {"CR LF kept", "[S]\r\na=1\r\n", set, "S", "b", "2", "[S]\r\na=1\r\nb=2\r\n"},
        {"CR LF update", "[S]\r\na=1\r\n", set, "S", "a", "3", "[S]\r\na=3\r\n"},
        {"CR LF after an open line", "[S]\r\na=1", set, "T", "b", "2",
         "[S]\r\na=1\r\n[T]\r\nb=2\r\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[S]\na=1\n", set, "S", "a", "2",
         "\xEF\xBB\xBF[S]\na=2\n"},
        {"NULs removed", std::nullopt, set, "S", "k", "a\0b\0"s, "[S]\nk=ab\n"},
        {"key without equals sign", "[S]\nflag\n", set, "S", "flag", "1", "[S]\nflag=1\n"},
        {"long value", std::nullopt, set, "S", "k", longValue, "[S]\nk=" + longValue + "\n"},
        {"delete key", "[S]\na=1\nb=2\n", deleteKey, "S", "A", "", "[S]\nb=2\n"},
        {"delete missing key", "[S]\na=1\n", deleteKey, "S", "z", "", "[S]\na=1\n"},
        {"delete key of missing file", std::nullopt, deleteKey, "S", "a", "", std::nullopt},
        {"delete section", "[S]\na=1\n; c\n[T]\nb=2\n", deleteSection, "s", "", "", "[T]\nb=2\n"},
        {"write without key", "[S]\na=1\n[T]\nb=2\n", setIniSection, "T", "", "x=1", "[S]\na=1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given(c.before);
        ini_.setSection(c.section);
        ini_.setKey(c.key);
        c.op(ini_, c.value);
        EXPECT_TRUE(ini_.success()) << ini_.lastError();
        EXPECT_EQ(ReadText(file_), c.after);
    }
}

TEST_F(IniFileTest, FailedWritesLeaveTheFileAndReportThroughTheReturnCode) {
    const std::string before = "[S]\nk=v\n";
    const struct {
        const char* name;
        std::string section, key, value;
        bool missingFolder;
    } cases[] = {
        {"folder missing", "S", "k", "1", true},
        {"no key name", "S", "", "1", false},
        {"no section name", "", "k", "1", false},
        {"line break in the value", "S", "k", "1\n[Tabulist]\nLog=1", false},
        {"line break in the key", "S", "k\r", "1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given(before);
        ini_.setSection("S");
        ini_.setKey("k");
        ini_.setValue("v2"); // a success first
        ASSERT_EQ(ini_.lastReturnCode(), 1);
        Given(before);
        if (c.missingFolder) ini_.setPath(file_.parent_path() / "missing" / "test.ini");
        ini_.setSection(c.section);
        ini_.setKey(c.key);
        ini_.setValue(c.value);
        EXPECT_EQ(ini_.lastReturnCode(), 0);
        EXPECT_FALSE(ini_.lastError().empty());
        (void)ini_.value(); // reads leave the code alone
        EXPECT_FALSE(ini_.success());
        EXPECT_EQ(ReadText(file_), before);
        ini_.setPath(file_);
    }
}

TEST_F(IniFileTest, EnumeratesSectionsAndKeys) {
    const struct {
        const char* name;
        std::optional<std::string> file;
        std::string section;
        std::vector<std::string> sections, keys;
    } cases[] = {
        {"missing file", std::nullopt, "A", {}, {}},
        {"empty file", "", "A", {}, {}},
        {"file order, nameless skipped",
         "x=0\n[B]\n[]\n[A]\nk1=1\nflag\n;c=1\n\nK2 = 2\n[a]\nk3=3\n",
         "A",
         {"B", "A", "a"},
         {"k1", "K2"}},
        {"missing section", "[B]\nk=1\n", "A", {"B"}, {}},
        {"section without keys", "[A]\n; nothing\n", "A", {"A"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given(c.file);
        ini_.setSection(c.section);
        ini_.setDefault("FAIL"); // a missing section gives the default, which names nothing
        EXPECT_EQ(ini_.enumerateAllSections(), c.sections);
        EXPECT_EQ(ini_.enumerateCurrentSection(), c.keys);
    }
}

TEST_F(IniFileTest, KeyListIsCutToItsBuffer) {
    std::string file = "[S]\n";
    for (int i = 0; i < 1100; ++i)
        file += "key" + std::to_string(1000 + i) + "=1\n"; // 7 characters and a NUL each
    Given(file);
    ini_.setSection("S");
    // 8190 characters hold 1023 whole names; the cut 1024th has no NUL and is dropped.
    const auto keys = ini_.enumerateCurrentSection();
    ASSERT_EQ(keys.size(), 1023u);
    EXPECT_EQ(keys.back(), "key2022");
}

TEST(CLngDefaultTest, ConvertsWholeTextRoundingHalfToEven) {
    constexpr std::int32_t kFallback = 77;
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"12", 12},    {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"-3.5", -4},     {"2.50001", 3},
        {"2.4999", 2}, {".5", 0},  {"5.", 5},  {"+5", 5},    {" \t42\t ", 42},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CLngDefault(c.text, kFallback), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(CLngDefault("2147483647.4", kFallback), 2147483647);
    EXPECT_EQ(CLngDefault("-2147483648", kFallback), -2147483647 - 1);
    for (const char* text : {"12x", "", "   ", "- 5", "5-", "-", ".", "1 2", "1e3", "&H10", "FAIL",
                             "2147483647.5", "2147483648", "99999999999999999999999"})
        EXPECT_EQ(CLngDefault(text, kFallback), kFallback) << '"' << text << '"';
}

TEST_F(IniFileTest, SaveFormPositionStoresWhatTheWindowStateAllows) {
    const std::string stored = "[VTLConfig]\nMaximised=0\nLeft=1\nTop=2\nWidth=3\nHeight=4\n";
    const struct {
        const char* name;
        bool minimised, maximised;
        std::string after;
    } cases[] = {
        {"normal", false, false,
         "[VTLConfig]\nMaximised=0\nLeft=10\nTop=-20\nWidth=800\nHeight=600\n"},
        {"minimised saves nothing", true, false, stored},
        {"maximised keeps the placement", false, true,
         "[VTLConfig]\nMaximised=1\nLeft=1\nTop=2\nWidth=3\nHeight=4\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given(stored);
        FakeWindow window;
        window.placement = {10, -20, 800, 600};
        window.minimised = c.minimised;
        window.maximised = c.maximised;
        ini_.setSection("VTLConfig");
        ini_.setKey("Other");
        ini_.SaveFormPosition(window);
        EXPECT_EQ(ReadText(file_), c.after);
        EXPECT_EQ(ini_.key(), "Other");
    }
}

TEST_F(IniFileTest, LoadFormPositionFitsTheStoredPlacementOnTheScreen) {
    // The window is at (100, 100, 400 x 300) on a 1920 x 1080 screen.
    const struct {
        const char* name;
        std::string keys;
        Placement expected;
        bool maximised = false;
        int minWidth = 0, minHeight = 0, unitsPerPixel = 1;
    } cases[] = {
        {"nothing stored", "", {100, 100, 400, 300}},
        {"stored placement", "Left=10\nTop=20\nWidth=800\nHeight=600\n", {10, 20, 800, 600}},
        {"bad numbers", "Left=12x\nTop=\nWidth=2.5\nHeight=abc\n", {100, 100, 2, 300}},
        {"minimum size", "Width=200\nHeight=100\n", {100, 100, 500, 400}, false, 500, 400},
        {"left and top margin", "Left=-50\nTop=0\n", {4, 4, 400, 300}},
        {"beyond right and bottom", "Left=1800\nTop=1000\n", {1516, 776, 400, 300}},
        {"larger than the screen", "Left=0\nTop=0\nWidth=3000\nHeight=2000\n", {4, 4, 1912, 1072}},
        {"fitted below the minimum", "Left=0\nWidth=3000\n", {100, 100, 400, 300}, false, 2000},
        {"margin in units", "Left=0\nTop=0\n", {60, 60, 400, 300}, false, 0, 0, 15},
        {"maximised", "Left=10\nMaximised=1\n", {10, 100, 400, 300}, true},
        {"not maximised", "Maximised=0\n", {100, 100, 400, 300}},
        {"bad maximised", "Maximised=yes\n", {100, 100, 400, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given("[Other]\nLeft=999\n[VTLConfig]\n" + c.keys);
        FakeWindow window;
        window.unitsPerPixel = c.unitsPerPixel;
        ini_.setSection("VTLConfig");
        ini_.setKey("k");
        ini_.setDefault("d");
        ini_.LoadFormPosition(window, c.minWidth, c.minHeight);
        EXPECT_EQ(window.placement, c.expected);
        EXPECT_EQ(window.maximised, c.maximised);
        EXPECT_EQ(ini_.key(), "k");
        EXPECT_EQ(ini_.defaultValue(), "d");
    }
}

} // namespace
} // namespace vtl::test
