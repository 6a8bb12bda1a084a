// read and write against the simulated console of --demo: the file read and the traffic
// trace. The commands run their transfer in an event loop, so this runner has an
// application object.

#include "cli_fixture.h"
#include "tools/cli/link_commands.h"

#include <QCoreApplication>

#include <regex>

namespace vtl::cli {
namespace {

class LinkCommandsTest : public CliTest {};

TEST_F(LinkCommandsTest, ReadDemoSavesTheConsoleAndTracesTheTraffic) {
    const auto result =
        Run(kReadCommand, {"--demo", "-o", "console.vtl", "--trace", "traffic.txt"});
    ASSERT_EQ(result.exit, kExitOk) << result.err;

    ConsoleModel model;
    const auto loaded = LoadConfigFile(model, "console.vtl");
    ASSERT_TRUE(loaded) << loaded.error().message;
    EXPECT_EQ(model.manualCount, 3);

    // "<tick> > <hex>" sent, "<tick> < <hex>" received: lower-case pairs, single blanks.
    const std::regex line("([0-9]+) ([<>]) [0-9a-f]{2}( [0-9a-f]{2})*");
    std::istringstream trace(Read("traffic.txt"));
    int sent = 0;
    int received = 0;
    long lastTick = 0;
    for (std::string text; std::getline(trace, text);) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << '"' << text << '"';
        const long tick = std::stol(match[1]);
        EXPECT_GE(tick, lastTick) << text;
        lastTick = tick;
        (match[2] == ">" ? sent : received) += 1;
    }
    EXPECT_GT(sent, 0);
    EXPECT_GT(received, 0);
    EXPECT_EQ(Read("traffic.txt").substr(0, 31), "8 > f0 00 3d 62 7f 04 01 20 f7\n");
}

} // namespace
} // namespace vtl::cli

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
