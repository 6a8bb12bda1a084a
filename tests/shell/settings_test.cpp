#include "shell/settings.h"

#include "shell/app_log.h"
#include "shell/app_paths.h"
#include "shell/widget_placement.h"
#include "shell_test_support.h"
#include "tests/gui/listed_ports.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace vtl::test {
namespace {

// Each test starts without a settings folder; the home folder is a scratch one.
class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir::homePath().startsWith(QDir::tempPath()));
        ASSERT_TRUE(QDir(AppDataFolder()).removeRecursively());
        ASSERT_TRUE(program_.isValid());
        state_.programFolder = program_.path();
    }

    std::filesystem::path settingsFile() const { return FsPath(SettingsFilePath(AppDataFolder())); }
    void GivenSettings(const std::optional<std::string>& content) const {
        std::filesystem::remove(settingsFile());
        if (content) WriteText(settingsFile(), *content);
    }
    std::optional<std::string> log() const {
        return ReadText(FsPath(program_.filePath(QLatin1String(kLogFileName))));
    }

    // What the start-up does with the settings, on a fresh process.
    void Start() {
        state_ = AppState{};
        state_.programFolder = program_.path();
        cInifile ini;
        ReadLogSwitch(state_, ini);
        WriteLog(state_, StartLogLine(QDateTime::currentDateTime()));
        ReadSettings(state_, ini);
    }

    QTemporaryDir program_;
    AppState state_;
};

TEST_F(SettingsTest, LogSwitchIsOnOnlyForExactlyOne) {
    const struct {
        const char* name;
        std::optional<std::string> file;
        bool on;
    } cases[] = {
        {"no settings file", std::nullopt, false},
        {"1", "[Tabulist]\nLog=1\n", true},
        {"1 with blanks", "[Tabulist]\nLog = 1 \n", true},
        {"01", "[Tabulist]\nLog=01\n", false},
        {"yes", "[Tabulist]\nLog=yes\n", false},
        {"section in other case", "[tabulist]\nLog=1\n", false},
        {"key in other case", "[Tabulist]\nlog=1\n", false},
        {"other section", "[Preferences]\nLog=1\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GivenSettings(c.file);
        AppState state;
        cInifile ini;
        ReadLogSwitch(state, ini);
        EXPECT_EQ(state.logEnabled, c.on);
        EXPECT_EQ(state.appDataFolder, AppDataFolder());
        EXPECT_EQ(ini.path(), settingsFile());
    }
}

TEST_F(SettingsTest, EveryStartWritesOneLogLineWhenLoggingIsOn) {
    GivenSettings("[Tabulist]\nLog=1\n");
    for (int start = 1; start <= 3; ++start)
        Start();
    WriteLog(state_, QStringLiteral("No MIDI Card present."));
    const QStringList lines = QString::fromStdString(log().value_or("")).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 5); // four lines, each ended by LF
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[i].startsWith(QLatin1String("MCU Config: start at ")))
            << lines[i].toStdString();
    EXPECT_EQ(lines[3], QStringLiteral("No MIDI Card present."));
    EXPECT_TRUE(lines[4].isEmpty());
}

TEST_F(SettingsTest, NoLogFileWhileLoggingIsOff) {
    GivenSettings("[Tabulist]\nLog=0\n");
    Start();
    WriteLog(state_, QStringLiteral("MIDI error opening MIDI tx stream."));
    EXPECT_FALSE(log().has_value());
}

TEST_F(SettingsTest, ReadSettingsAtStart) {
    const struct {
        const char* name;
        std::optional<std::string> file;
        int in, out;
        bool configured;
        QString inName = {}, outName = {}, configFolder = DocumentsFolder();
    } cases[] = {
        {"no settings file", std::nullopt, 0, 0, false},
        {"all keys",
         "[MIDI I/O]\nInput=3\nOutput=2\nConfigured=True\nInputName=In A\nOutputName=Out B\n"
         "[Preferences]\nPath=/organ/files\n",
         3, 2, true, "In A", "Out B", "/organ/files"},
        {"3.5 rounds to 4", "[MIDI I/O]\nInput=3.5\nOutput=2.5\n", 4, 2, false},
        {"leading number", "[MIDI I/O]\nInput=7 devices\nOutput=x7\n", 7, 0, false},
        {"negative", "[MIDI I/O]\nInput=-1\n", -1, 0, false},
        {"section in other case", "[midi i/o]\nInput=3\n[preferences]\nPath=/p\n", 0, 0, false},
        {"keys in other case", "[MIDI I/O]\ninput=3\nconfigured=True\n[Preferences]\npath=/p\n", 0,
         0, false},
        {"Boolean text in any case", "[MIDI I/O]\nConfigured=tRUE\n", 0, 0, true},
        {"False", "[MIDI I/O]\nConfigured=false\nInput=3\n", 3, 0, false},
        {"first of two keys", "[MIDI I/O]\nConfigured=True\nConfigured=false\n", 0, 0, true},
        {"whole number -1 is True", "[MIDI I/O]\nConfigured=-1\n", 0, 0, true},
        {"whole number 0 is False", "[MIDI I/O]\nConfigured=0\n", 0, 0, false},
        {"out of range stops the reading",
         "[MIDI I/O]\nOutput=5\nInput=40000\nConfigured=True\n[Preferences]\nPath=/p\n", 0, 5,
         false},
        {"not Boolean stops the reading",
         "[MIDI I/O]\nInput=3\nConfigured=yes\nOutput=2\n[Preferences]\nPath=/p\n", 3, 0, false},
        {"empty Configured stops the reading", "[MIDI I/O]\nConfigured=\nInput=3\n", 0, 0, false},
        {"what was read before the stop stays",
         "[Preferences]\nPath=/p\n[MIDI I/O]\nInput=-32769\n", 0, 0, false, "", "", "/p"},
        {"range ends", "[MIDI I/O]\nInput=-32768\nOutput=32767\n", -32768, 32767, false},
        {"empty path", "[Preferences]\nPath=\n", 0, 0, false, "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GivenSettings(c.file);
        AppState state;
        cInifile ini;
        ReadSettings(state, ini);
        EXPECT_EQ(state.midi.midiInSetting, c.in);
        EXPECT_EQ(state.midi.midiOutSetting, c.out);
        EXPECT_EQ(state.midiConfigured, c.configured);
        EXPECT_EQ(state.configFolder, c.configFolder);
        EXPECT_EQ(state.midiInName, c.inName);
        EXPECT_EQ(state.midiOutName, c.outName);
        EXPECT_EQ(state.appDataFolder, AppDataFolder());
    }
}

TEST_F(SettingsTest, StartCreatesTheSettingsFolder) {
    ASSERT_FALSE(QDir(AppDataFolder()).exists());
    Start();
    EXPECT_TRUE(QDir(AppDataFolder()).exists());
    EXPECT_FALSE(std::filesystem::exists(settingsFile())); // reading writes nothing
}

TEST_F(SettingsTest, WriteSettingsAtShutdown) {
    const std::string window = "[VTLConfig]\nMaximised=0\nLeft=10\nTop=20\nWidth=800\nHeight=600\n";
    const struct {
        const char* name;
        std::optional<std::string> before;
        int in;
        int out;
        bool minimised;
        std::string after;
    } cases[] = {
        {"fresh", std::nullopt, 3, 1, false,
         window +
             "[MIDI I/O]\nInput=3\nOutput=1\nConfigured=True\nInputName=In A\nOutputName=Out B\n"
             "[Preferences]\nPath=/organ/files\n"},
        {"input 0 is not written back", "[MIDI I/O]\nInput=0\nOutput=5\n; mine\n", 0, 5, false,
         "[MIDI I/O]\nInput=0\nOutput=5\n; mine\n" + window + "[Preferences]\nPath=/organ/files\n"},
        {"output 0 leaves the section", "[MIDI I/O]\nInput=2\n", 2, 0, false,
         "[MIDI I/O]\nInput=2\n" + window + "[Preferences]\nPath=/organ/files\n"},
        {"updated in place", "; settings\n[Preferences]\nPath=/old\n[MIDI I/O]\nInput=1\n", -1, 4,
         true,
         "; settings\n[Preferences]\nPath=/organ/files\n[MIDI I/O]\nInput=-1\nOutput=4\n"
         "Configured=True\nInputName=In A\nOutputName=Out B\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MakePath(AppDataFolder()));
        GivenSettings(c.before);
        AppState state;
        state.appDataFolder = AppDataFolder();
        state.midi = {c.in, c.out};
        state.midiInName = "In A";
        state.midiOutName = "Out B";
        state.configFolder = "/organ/files";
        FakeWindow main;
        main.placement = {10, 20, 800, 600};
        main.minimised = c.minimised;
        cInifile ini;
        WriteSettings(state, ini, main);
        EXPECT_TRUE(ini.success()) << ini.lastError();
        EXPECT_EQ(ReadText(settingsFile()), c.after);
    }
}

TEST_F(SettingsTest, SettingsSurviveShutdownAndStart) {
    ASSERT_TRUE(MakePath(AppDataFolder()));
    AppState before;
    before.appDataFolder = AppDataFolder();
    before.midi = {2, 3};
    before.midiInName = QStringLiteral("Ümlaut In");
    before.midiOutName = QStringLiteral("Out [2] = \"B\"");
    before.configFolder = QStringLiteral("/home/Müller/Orgel ; files");
    FakeWindow main;
    cInifile ini;
    WriteSettings(before, ini, main);

    Start();
    EXPECT_EQ(state_.midi.midiInSetting, 2);
    EXPECT_EQ(state_.midi.midiOutSetting, 3);
    EXPECT_TRUE(state_.midiConfigured);
    EXPECT_EQ(state_.midiInName, before.midiInName);
    EXPECT_EQ(state_.midiOutName, before.midiOutName);
    EXPECT_EQ(state_.configFolder, before.configFolder);
}

TEST_F(SettingsTest, WidgetPlacementRoundTrip) {
    ASSERT_TRUE(MakePath(AppDataFolder()));
    cInifile ini;
    ini.setPath(settingsFile());
    ini.setSection(kPlacementSection);
    {
        QWidget window;
        window.move(30, 40);
        window.resize(300, 200);
        WidgetPlacement placement(window);
        ini.SaveFormPosition(placement);
    }
    QWidget window;
    WidgetPlacement placement(window);
    ini.LoadFormPosition(placement, 100, 100);
    EXPECT_EQ(window.pos(), QPoint(30, 40));
    EXPECT_EQ(window.size(), QSize(300, 200));
    EXPECT_FALSE(window.windowState().testFlag(Qt::WindowMaximized));

    ini.setKey("Maximised");
    ini.setValue("1");
    ini.LoadFormPosition(placement, 100, 100);
    EXPECT_TRUE(window.windowState().testFlag(Qt::WindowMaximized));
}

TEST(RefindPortsTest, SettingsFollowTheirDevicesByName) {
    using Names = std::vector<std::string>;
    const struct {
        const char* name;
        Names inputs, outputs;
        int in, out; // before: the settings and their names
        QString inName, outName;
        int expectedIn, expectedOut; // after
        QString expectedInName, expectedOutName;
    } cases[] = {
        {"unchanged", {"A", "B"}, {"X", "Y"}, 2, 3, "B", "Y", 2, 3, "B", "Y"},
        {"device added before", {"New", "A"}, {"New", "X"}, 1, 2, "A", "X", 2, 3, "A", "X"},
        {"device removed before", {"B"}, {"Y"}, 2, 3, "B", "Y", 1, 2, "B", "Y"},
        {"device gone", {"B"}, {"Y"}, 1, 2, "A", "X", 1, 2, "A", "X"},
        {"same name twice", {"A", "A"}, {"X", "X"}, 2, 3, "A", "X", 2, 3, "A", "X"},
        {"names are exact", {"a", "A "}, {}, 3, 0, "A", "", 3, 0, "A", ""},
        {"default output has no name", {}, {"X"}, 0, 1, "", "X", 0, 1, "", "X"},
        {"none chosen", {"A"}, {"X"}, 0, 0, "A", "X", 0, 0, "A", "X"},
        {"a name is learnt", {"A", "B"}, {"X", "Y"}, 2, 2, "", "", 2, 2, "B", "X"},
        {"no name to learn", {"A"}, {"X"}, 5, 5, "", "", 5, 5, "", ""},
        {"negative setting", {"A"}, {"X"}, -1, -1, "A", "X", -1, -1, "A", "X"},
        {"plugged in again under new ALSA numbers",
         {"Thru 14:0", "USB MIDI 24:0"},
         {"Thru 14:0", "USB MIDI 24:0"},
         2,
         2,
         "USB MIDI 20:0",
         "USB MIDI 20:0",
         2,
         3,
         "USB MIDI 24:0",
         "USB MIDI 24:0"},
        {"new numbers but two candidates",
         {"USB MIDI 24:0", "USB MIDI 28:0"},
         {},
         1,
         0,
         "USB MIDI 20:0",
         "",
         1,
         0,
         "USB MIDI 20:0",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListedInput input(c.inputs);
        ListedOutput output(c.outputs);
        AppState state;
        state.midi = {c.in, c.out};
        state.midiInName = c.inName;
        state.midiOutName = c.outName;
        RefindPorts(state, input, output);
        EXPECT_EQ(state.midi.midiInSetting, c.expectedIn);
        EXPECT_EQ(state.midiInName, c.expectedInName);
        EXPECT_EQ(state.midi.midiOutSetting, c.expectedOut);
        EXPECT_EQ(state.midiOutName, c.expectedOutName);
    }
}

} // namespace
} // namespace vtl::test
