// The MIDI commands: choosing ports by number or part of a name, read against the simulated
// console of --demo with its traffic trace, and the progress read and write print when their
// standard error is no terminal. The commands run their transfer in an event loop, so this
// runner has an application object.

#include "cli_fixture.h"
#include "tests/gui/listed_ports.h"
#include "tools/cli/link_commands.h"
#include "tools/cli/terminal_link.h"

#include <QCoreApplication>

#include <fstream>
#include <iterator>
#include <regex>

namespace vtl::cli {
namespace {

using test::ListedOutput;

TEST(FindPort, TakesANumberOrAPartOfOneName) {
    ListedOutput ports({"USB MIDI 20:0", "Through 14:0", "Other midi 24:0"});
    ListedOutput none;
    const struct {
        MidiPort& port;
        const char* choice;
        bool output;
        int device; // -2: an error starting with the message
        std::string message = "";
    } cases[] = {
        {ports, "", false, 0},
        {ports, "usb", false, 0},
        {ports, "through 14", true, 1},
        {ports, "2", false, 2},
        {ports, "-1", true, -1},
        {ports, "MIDI", false, -2,
         "\"MIDI\" matches 2 input ports: USB MIDI 20:0, Other midi 24:0 (see vtlconfig-cli"},
        {ports, "Piano", true, -2, "\"Piano\" matches no MIDI output port (see vtlconfig-cli"},
        {ports, "3", false, -2, "there is no MIDI input 3 (see vtlconfig-cli ports)"},
        {ports, "-1", false, -2, "there is no MIDI input -1"},
        {none, "", true, -2, "no MIDI output port found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.choice) + (c.output ? " (output)" : " (input)"));
        const auto found = FindPort(c.port, c.choice, c.output);
        EXPECT_EQ(found ? *found : -2, c.device);
        if (!found) {
            EXPECT_EQ(found.error().message.rfind(c.message, 0), 0u) << found.error().message;
        }
    }
}

class LinkCommandsTest : public CliTest {};

TEST_F(LinkCommandsTest, ReadDemoSavesTheConsoleAndTracesTheTraffic) {
    const auto result =
        Run(kReadCommand, {"--demo", "-o", "console.vtl", "--trace", "traffic.txt"});
    ASSERT_EQ(result.exit, kExitOk) << result.err;

    ConsoleModel model;
    const auto loaded = LoadConfigFile(model, "console.vtl");
    ASSERT_TRUE(loaded) << loaded.error().message;
    EXPECT_EQ(model.manualCount, 3);

    // "<tick> > <hex>" sent, "<tick> < <hex>" received: lower-case pairs, single blanks; read
    // as text, whose lines end in CR LF on Windows.
    std::ifstream traced("traffic.txt");
    const std::string trace{std::istreambuf_iterator<char>(traced), {}};
    EXPECT_EQ(trace.substr(0, 31), "8 > f0 00 3d 62 7f 04 01 20 f7\n");
    EXPECT_NE(trace.find(" < "), std::string::npos);
    std::istringstream lines(trace);
    for (std::string text; std::getline(lines, text);) {
        EXPECT_TRUE(std::regex_match(text, std::regex("[0-9]+ [<>] [0-9a-f]{2}( [0-9a-f]{2})*")))
            << '"' << text << '"';
    }
}

// A file that cannot be made stops the read before it sends anything: no traffic is traced.
TEST_F(LinkCommandsTest, ReadChecksItsFileFirst) {
    const struct {
        QString file;
        std::string message;
    } cases[] = {
        {"missing/console.vtl",
         "missing/console.vtl: cannot create a file in the folder: No such file or directory\n"},
        {".", ".: Is a directory\n"},
    };
    for (const auto& c : cases) {
        const auto result = Run(kReadCommand, {"--demo", "-o", c.file, "--trace", "traffic.txt"});
        EXPECT_EQ(result.exit, kExitFailure);
        EXPECT_EQ(result.err, c.message);
        EXPECT_FALSE(std::filesystem::exists("traffic.txt"));
    }
}

// Off a terminal the progress is one plain line per manual, among the status texts, which
// are whole lines and nothing is redrawn in place.
TEST_F(LinkCommandsTest, ProgressIsAPlainLinePerManualOffATerminal) {
    const RunResult read = Run(kReadCommand, {"--demo", "-o", "console.vtl"});
    const RunResult written = Run(kWriteCommand, {"console.vtl", "--demo"});
    for (const auto& [result, verb] : {std::pair{read, " read"}, {written, " written"}}) {
        SCOPED_TRACE(verb);
        ASSERT_EQ(result.exit, kExitOk) << result.err;
        EXPECT_EQ(result.err.find('\r'), std::string::npos);
        std::vector<std::string> progress;
        std::istringstream lines(result.err);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("manual ")) progress.push_back(line);
        }
        EXPECT_EQ(progress, (std::vector<std::string>{"manual 1 of 3" + std::string(verb),
                                                      "manual 2 of 3" + std::string(verb),
                                                      "manual 3 of 3" + std::string(verb)}));
    }
    EXPECT_NE(read.err.find("\nNumber of manuals detected = 3"), std::string::npos);
    EXPECT_NE(written.err.find("\nVTLConfig Writing...\n"), std::string::npos);
}

// The bytes above 127 of one message are a warning line each, on lines of their own.
TEST(TerminalPresenter, PrintsEachConversionErrorAsAWarningLine) {
    std::ostringstream err;
    TerminalPresenter presenter(err);
    presenter.Report(ConversionError{{"00 90 ff ", {2, 3}}});
    EXPECT_EQ(err.str(), "warning: Error in conversion at pos 2: 00 90 ff \n"
                         "warning: Error in conversion at pos 3: 00 90 ff \n");
    EXPECT_EQ(presenter.Failure(), "");
}

// A console that misbehaves: the read either gets every manual whole, or it fails, saying
// what to check, and the file that was there stays as it was.
TEST_F(LinkCommandsTest, ReadOfAFaultyConsoleSavesItWholeOrNotAtAll) {
    const struct {
        const char* fault;
        std::string says; // empty: the read gets the console
    } cases[] = {
        {"no-pass:2", "gave up after 5 s: MCU 2 answers, but passes nothing on: check MCU 2"},
        {"silent:2", "gave up after 5 s: Manual 2 does not answer, though messages pass its MCU"},
        {"mcus:0", "gave up after 5 s: The test message came back without passing any MCU"},
        {"mcus:4", "gave up after 5 s: The test message passed 4 MCUs, but a console has at most"},
        {"vanish:12", "The MIDI device stopped working during the read: its port is no longer "
                      "there, as if it was unplugged"},
        {"port-error:12", "The MIDI device stopped working during the read: error sending MIDI "
                          "message to port. Check that it is still connected"},
        {"drop:3:2", ""},
        {"late:2:15", ""},
        {"twice:1", ""},
        {"high-byte:2", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        test::WriteFile("console.vtl", "as it was");
        const auto result = Run(kReadCommand, {"--demo", "--demo-fault", c.fault, "--timeout", "5",
                                               "-o", "console.vtl"});
        EXPECT_EQ(result.exit, c.says.empty() ? kExitOk : kExitFailure);
        if (!c.says.empty()) {
            EXPECT_NE(result.err.find("\n" + c.says), std::string::npos) << result.err;
            EXPECT_EQ(ReadFile("console.vtl"), "as it was");
            continue;
        }
        ConsoleModel model;
        ASSERT_TRUE(LoadConfigFile(model, "console.vtl")) << result.err;
        EXPECT_EQ(model.manualCount, 3);
    }
    const auto wrong = Run(kReadCommand, {"--demo", "--demo-fault", "silent:5", "-o", "x.vtl"});
    EXPECT_EQ(wrong.err, "fault \"silent:5\": there is no MCU 5 on a chain of 3\n");
}

} // namespace
} // namespace vtl::cli

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
