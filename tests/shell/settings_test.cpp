#include "shell/settings.h"

#include "shell/app_log.h"
#include "shell/app_paths.h"
#include "shell_test_support.h"
#include "tests/gui/listed_ports.h"

#include <QDir>

#include <functional>

namespace vtl::test {
namespace {

using namespace std::string_literals;

// Each test starts without a settings folder; the home folder is a scratch one.
class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AppDataFolder().startsWith(QDir::tempPath()));
        ASSERT_TRUE(program_.isValid());
        GivenSettings(std::nullopt);
    }

    // Starts from this settings file, in a folder of its own; none means no folder either.
    void GivenSettings(const std::optional<std::string>& content) const {
        ASSERT_TRUE(QDir(AppDataFolder()).removeRecursively());
        if (content) WriteText(SettingsFile(AppDataFolder()), *content);
    }

    // What the start-up does with the settings, on a fresh process.
    void Start() {
        state_ = AppState{};
        state_.programFolder = program_.path();
        IniFile ini;
        ReadLogSwitch(state_, ini);
        told_ = SetAsideDamagedSettings(ini);
        WriteLog(state_, StartLogLine(QDateTime::currentDateTime()));
        ASSERT_TRUE(ReadSettings(state_, ini));
    }

    // The settings read that are not at their defaults.
    std::string ReadSummary() const {
        std::string summary;
        const auto add = [&](bool read, const std::string& item) {
            if (read) summary += (summary.empty() ? "" : " ") + item;
        };
        add(state_.logEnabled, "log");
        add(state_.midi.midiInSetting != 0, "in=" + std::to_string(state_.midi.midiInSetting));
        add(state_.midi.midiOutSetting != 0, "out=" + std::to_string(state_.midi.midiOutSetting));
        add(state_.midiConfigured, "configured");
        add(!state_.midiInName.isEmpty(), "inName=" + state_.midiInName.toStdString());
        add(!state_.midiOutName.isEmpty(), "outName=" + state_.midiOutName.toStdString());
        add(state_.configFolder != DocumentsFolder(), "path=" + state_.configFolder.toStdString());
        add(state_.verifyAfterWrite, "verify");
        return summary;
    }

    std::filesystem::path Log() const {
        return FsPath(program_.filePath(QLatin1String(kLogFileName)));
    }

    QTemporaryDir program_;
    AppState state_;
    std::optional<std::string> told_; // about a damaged settings file
};

TEST_F(SettingsTest, ReadAtStart) {
    const struct {
        const char* name;
        std::optional<std::string> file;
        std::string read;
    } cases[] = {
        {"no settings file", std::nullopt, ""},
        {"log 1", "[Tabulist]\nLog=1\n", "log"},
        {"log 1 with blanks", "[Tabulist]\nLog = 1 \n", "log"},
        {"log 01", "[Tabulist]\nLog=01\n", ""},
        {"log yes", "[Tabulist]\nLog=yes\n", ""},
        {"log section in other case", "[tabulist]\nLog=1\n", ""},
        {"log key in other case", "[Tabulist]\nlog=1\n", ""},
        {"log in another section", "[Preferences]\nLog=1\n", ""},
        {"all keys",
         "[MIDI I/O]\nInput=3\nOutput=2\nConfigured=True\nInputName=Ümlaut In\n"
         "OutputName=Out [2] = \"B\"\n[Preferences]\nPath=/home/Müller/Orgel ; files\n",
         "in=3 out=2 configured inName=Ümlaut In outName=Out [2] = \"B\" "
         "path=/home/Müller/Orgel ; files"},
        {"3.5 rounds to 4", "[MIDI I/O]\nInput=3.5\nOutput=2.5\n", "in=4 out=2"},
        {"leading number", "[MIDI I/O]\nInput=7 devices\nOutput=x7\n", "in=7"},
        {"section in other case", "[midi i/o]\nInput=3\n[preferences]\nPath=/p\n", ""},
        {"keys in other case", "[MIDI I/O]\ninput=3\nconfigured=True\n[Preferences]\npath=/p\n",
         ""},
        {"Boolean text in any case", "[MIDI I/O]\nConfigured=tRUE\n", "configured"},
        {"False", "[MIDI I/O]\nConfigured=false\nInput=3\n", "in=3"},
        {"first of two keys", "[MIDI I/O]\nConfigured=True\nConfigured=false\n", "configured"},
        {"whole number -1 is True", "[MIDI I/O]\nConfigured=-1\n", "configured"},
        {"whole number 0 is False", "[MIDI I/O]\nConfigured=0\n", ""},
        {"out of range stops the reading",
         "[MIDI I/O]\nOutput=5\nInput=40000\nConfigured=True\n[Preferences]\nPath=/p\n", "out=5"},
        {"not Boolean stops the reading",
         "[MIDI I/O]\nInput=3\nConfigured=yes\nOutput=2\n[Preferences]\nPath=/p\n", "in=3"},
        {"what was read before the stop stays",
         "[Preferences]\nPath=/p\n[MIDI I/O]\nInput=-32769\n", "path=/p"},
        {"range ends", "[MIDI I/O]\nInput=-32768\nOutput=32767\n", "in=-32768 out=32767"},
        {"empty path", "[Preferences]\nPath=\n", "path="},
        {"verify after write", "[Preferences]\nVerifyAfterWrite=true\n", "verify"},
        {"verify not Boolean", "[Preferences]\nVerifyAfterWrite=yes\n[MIDI I/O]\nInput=3\n",
         "in=3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GivenSettings(c.file);
        std::filesystem::remove(Log());
        Start();
        EXPECT_EQ(ReadSummary(), c.read);
        EXPECT_EQ(ReadText(Log()).has_value(), state_.logEnabled);
        EXPECT_TRUE(QDir(AppDataFolder()).exists());
        EXPECT_EQ(ReadText(SettingsFile(AppDataFolder())), c.file); // reading writes nothing
    }
}

// A damaged settings file is told of, kept aside whole and the start goes on with the
// defaults; the shutdown then writes a fresh file. A cut file is no damage: what it still
// holds is read. Files too big are refused by their size unread (the 4 GiB one is sparse).
TEST_F(SettingsTest, DamagedSettingsFileIsKeptAside) {
    const std::filesystem::path file = SettingsFile(AppDataFolder());
    using Make = std::function<void()>;
    const auto text = [&file](std::string content) -> Make {
        return [&file, content] { WriteText(file, content); };
    };
    const Make binary = text("[Tabulist]\nLog=1\n\0\x01"s);
    const struct {
        const char* name;
        Make make;
        std::string why, aside, read;
    } cases[] = {
        {"cut", text("[Tabulist]\nLog=1\n[MIDI I/O]\nInput=3\nOutp"), "", "", "log in=3"},
        {"binary", binary, ": NUL bytes, so not the text of a settings file", ".damaged", ""},
        {"a line of 3 million characters", text(std::string(3'000'000, 'x')),
         ": 3000000 bytes is too big for a settings file (at most 65536)", ".damaged", ""},
        {"4 GiB, the low 32 bits of its size 0",
         [&] {
             text("")();
             std::filesystem::resize_file(file, std::uintmax_t{1} << 32);
         },
         ": 4294967296 bytes is too big for a settings file (at most 65536)", ".damaged", ""},
        {"a folder", [&] { std::filesystem::create_directories(file); }, ": Is a directory",
         ".damaged", ""},
        {"one kept aside before",
         [&] {
             binary();
             WriteText(PathFromUtf8(Utf8Name(file) + ".damaged"), "older");
         },
         ": NUL bytes, so not the text of a settings file", ".damaged-2", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GivenSettings(std::nullopt);
        c.make();
        const auto size =
            std::filesystem::is_regular_file(file) ? std::filesystem::file_size(file) : 0;
        const auto content = size < 10'000'000 ? ReadText(file) : std::nullopt;
        Start();
        EXPECT_EQ(ReadSummary(), c.read);
        if (c.why.empty()) {
            EXPECT_EQ(told_, std::nullopt);
            continue;
        }
        const std::filesystem::path aside = PathFromUtf8(Utf8Name(file) + c.aside);
        EXPECT_EQ(told_, "The settings file cannot be used: " + Utf8Name(file) + c.why +
                             ".\n\nThe program starts with its default settings; the damaged file "
                             "is kept as " +
                             Utf8Name(aside) + ".");
        IniFile ini;
        WriteSettings(state_, ini, FakeWindow{});
        EXPECT_TRUE(ini.Success());
        EXPECT_EQ(content ? ReadText(aside) : std::nullopt, content);
        EXPECT_EQ(size > 0 ? std::filesystem::file_size(aside) : 0, size);
    }
}

// A fresh account may have no documents folder: the file dialogs then start in the home
// folder, and a remembered folder that is gone gives way to the documents folder.
TEST_F(SettingsTest, FileDialogsStartInAFolderThatExists) {
    const QString home = QDir::homePath();
    // Windows takes the home folder from the account, not from a variable: there it is the
    // real one, whose documents folder the test leaves alone.
    if (!home.startsWith(QDir::tempPath())) GTEST_SKIP() << "the home folder is the account's";
    const QString documents = home + QStringLiteral("/Documents");
    const QString gone = home + QStringLiteral("/gone");
    ASSERT_TRUE(QDir(documents).removeRecursively());
    Start();
    EXPECT_EQ(state_.configFolder, home);
    EXPECT_EQ(ExistingFolder(gone), home);
    ASSERT_TRUE(QDir().mkpath(documents));
    EXPECT_EQ(DocumentsFolder(), documents);
    EXPECT_EQ(ExistingFolder(gone), documents);
    EXPECT_EQ(ExistingFolder(home), home);
    ASSERT_TRUE(QDir(documents).removeRecursively());
}

TEST(StartLogLineTest, LocaleDateAndTimeWithSeconds) {
    const QDateTime now(QDate(2024, 3, 5), QTime(14, 7, 9));
    const struct {
        const char* locale;
        const char* dateTime;
    } cases[] = {
        {"en_US", "3/5/24 2:07:09 PM"},
        {"de_DE", "05.03.24 14:07:09"},
        {"ca_ES", "5/3/24 14:07:09"}, // the time zone in brackets in the long format
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartLogLine(now, QLocale(QString::fromLatin1(c.locale))),
                  QStringLiteral("MCU Config: start at ") + QString::fromUtf8(c.dateTime))
            << c.locale;
    }
}

TEST_F(SettingsTest, WriteSettingsAtShutdown) {
    const std::string window = "[VTLConfig]\nMaximised=0\nLeft=10\nTop=20\nWidth=800\nHeight=600\n";
    // Only the fresh file has Verify after Write on.
    const auto path = [](bool verify) {
        return "[Preferences]\nPath=/home/Müller/Orgel ; files\nVerifyAfterWrite="s +
               (verify ? "True" : "False") + "\n";
    };
    const std::string names = "InputName=Ümlaut In\nOutputName=Out [2] = \"B\"\n";
    const struct {
        const char* name;
        std::optional<std::string> before;
        int in, out;
        bool minimised;
        std::string after;
    } cases[] = {
        {"fresh", std::nullopt, 3, 1, false,
         window + "[MIDI I/O]\nInput=3\nOutput=1\nConfigured=True\n" + names + path(true)},
        {"input 0 is not written back", "[MIDI I/O]\nInput=0\nOutput=5\n; mine\n", 0, 5, false,
         "[MIDI I/O]\nInput=0\nOutput=5\n; mine\n" + window + path(false)},
        {"output 0 leaves the section", "[MIDI I/O]\nInput=2\n", 2, 0, false,
         "[MIDI I/O]\nInput=2\n" + window + path(false)},
        {"updated in place",
         "; settings\n[Preferences]\nPath=/old\nVerifyAfterWrite=True\n[MIDI I/O]\nInput=1\n", -1,
         4, true,
         "; settings\n" + path(false) + "[MIDI I/O]\nInput=-1\nOutput=4\nConfigured=True\n" +
             names},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GivenSettings(c.before);
        ASSERT_TRUE(MakePath(AppDataFolder()));
        AppState state;
        state.appDataFolder = AppDataFolder();
        state.midi = {c.in, c.out};
        state.midiInName = QStringLiteral("Ümlaut In");
        state.midiOutName = QStringLiteral("Out [2] = \"B\"");
        state.configFolder = QStringLiteral("/home/Müller/Orgel ; files");
        state.verifyAfterWrite = !c.before;
        FakeWindow main;
        main.placement = {10, 20, 800, 600};
        main.minimised = c.minimised;
        IniFile ini;
        WriteSettings(state, ini, main);
        EXPECT_TRUE(ini.Success()) << ini.LastError();
        EXPECT_EQ(ReadText(SettingsFile(AppDataFolder())), c.after);
    }
}

TEST(RefindPortsTest, SettingsFollowTheirDevicesByName) {
    // Each row is one list of devices, given to the input and to the output; the output's
    // setting is one above the input's, so both name the same device.
    const struct {
        const char* name;
        std::vector<std::string> devices;
        int in;
        QString deviceName;
        int expectedIn;
        QString expectedDeviceName;
    } cases[] = {
        {"unchanged", {"A", "B"}, 2, "B", 2, "B"},
        {"device added before", {"New", "A"}, 1, "A", 2, "A"},
        {"device removed before", {"B"}, 2, "B", 1, "B"},
        {"device gone", {"B"}, 1, "A", 1, "A"},
        {"same name twice", {"A", "A"}, 2, "A", 2, "A"},
        {"names are exact", {"a", "A "}, 3, "A", 3, "A"},
        {"none chosen, default output", {"A"}, 0, "A", 0, "A"},
        {"negative setting", {"A"}, -1, "A", -1, "A"},
        {"a name is learnt", {"A", "B"}, 2, "", 2, "B"},
        {"no name to learn", {"A"}, 5, "", 5, ""},
        {"new ALSA numbers", {"Thru 14:0", "USB 24:0"}, 1, "USB 20:0", 2, "USB 24:0"},
        {"new numbers, two candidates", {"USB 24:0", "USB 28:0"}, 1, "USB 20:0", 1, "USB 20:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListedInput input(c.devices);
        ListedOutput output(c.devices);
        AppState state;
        state.midi = {c.in, c.in + 1};
        state.midiInName = state.midiOutName = c.deviceName;
        RefindPorts(state, input, output);
        EXPECT_EQ(state.midi.midiInSetting, c.expectedIn);
        EXPECT_EQ(state.midi.midiOutSetting, c.expectedIn + 1);
        EXPECT_EQ(state.midiInName, c.expectedDeviceName);
        EXPECT_EQ(state.midiOutName, c.expectedDeviceName);
    }
}

} // namespace
} // namespace vtl::test
