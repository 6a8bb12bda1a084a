#include "platform/ini_file.h"

#include "shell_test_support.h"

namespace vtl::test {
namespace {

using namespace std::string_literals;

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
        {"damaged file", "[S]\nk=v\n\0"s, "S", "k", "dflt", "dflt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given(c.file);
        ini_.SetSection(c.section);
        ini_.SetKey(c.key);
        ini_.SetDefaultValue(c.fallback);
        EXPECT_EQ(ini_.value(), c.expected);
    }
}

TEST_F(IniFileTest, WritesChangeOnlyTheirLineOrNothing) {
    using Op = void (*)(IniFile&, const std::string&);
    const Op set = [](IniFile& ini, const std::string& v) { ini.SetValue(v); };
    const Op deleteKey = [](IniFile& ini, const std::string&) { ini.DeleteKey(); };
    const Op deleteSection = [](IniFile& ini, const std::string&) { ini.DeleteSection(); };
    const Op setIniSection = [](IniFile& ini, const std::string& v) { ini.SetIniSection(v); };
    const Op setInMissingFolder = [](IniFile& ini, const std::string& v) {
        ini.SetPath(ini.Path().parent_path() / "missing" / "test.ini");
        ini.SetValue(v);
    };
    const std::string longValue(300, 'x'); // stored whole, read cut
    const struct {
        const char* name;
        std::optional<std::string> before;
        Op op;
        std::string section, key, value;
        std::optional<std::string> after;
        bool succeeds = true; // a failed write leaves the file as it was
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
        {"folder missing", "[S]\n", setInMissingFolder, "S", "k", "1", "[S]\n", false},
        {"no key name", "[S]\n", set, "S", "", "1", "[S]\n", false},
        {"no section name", "[S]\n", set, "", "k", "1", "[S]\n", false},
        {"line break in the value", "[S]\n", set, "S", "k", "1\n[Tabulist]\nLog=1", "[S]\n", false},
        {"line break in the key", "[S]\n", set, "S", "k\r", "1", "[S]\n", false},
        {"damaged file", "[S]\nk=1\n\0"s, set, "S", "k", "2", "[S]\nk=1\n\0"s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given(c.before);
        ini_.SetPath(file_);
        ini_.SetSection(c.section);
        ini_.SetKey(c.key);
        c.op(ini_, c.value);
        (void)ini_.value(); // reads leave the return code alone
        EXPECT_EQ(ini_.Success(), c.succeeds) << ini_.LastError();
        EXPECT_EQ(ini_.LastError().empty(), c.succeeds);
        EXPECT_EQ(ReadText(file_), c.after);
    }
}

TEST_F(IniFileTest, EnumeratesSectionsAndKeys) {
    // 1100 keys of 7 characters and a NUL: 8190 characters hold 1023 whole names, and the cut
    // 1024th has no NUL, so it is dropped.
    std::string manyKeys = "[S]\n";
    std::vector<std::string> keysThatFit;
    for (int i = 0; i < 1100; ++i) {
        manyKeys += "key" + std::to_string(1000 + i) + "=1\n";
        if (i < 1023) keysThatFit.push_back("key" + std::to_string(1000 + i));
    }
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
        {"key list cut to its buffer", manyKeys, "S", {"S"}, keysThatFit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given(c.file);
        ini_.SetSection(c.section);
        ini_.SetDefaultValue("FAIL"); // a missing section gives the default, which names nothing
        EXPECT_EQ(ini_.EnumerateAllSections(), c.sections);
        EXPECT_EQ(ini_.EnumerateCurrentSection(), c.keys);
    }
}

} // namespace
} // namespace vtl::test
