#pragma once
// Runs vtlconfig-cli commands in process, inside a fresh temporary folder that is also the
// current directory, so that messages name files by short relative paths.

#include "model/catalogue.h"
#include "model/config_file.h"
#include "tests/core/core_test_support.h"
#include "tools/cli/command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace vtl::cli {

struct RunResult {
    int exit;
    std::string out;
    std::string err;
};

using test::Piston;
using test::ReadFile;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::current_path(folder_.Path()); }
    void TearDown() override { std::filesystem::current_path(previous_); }

    static RunResult Run(const Command& command, const QStringList& args,
                         const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        CommandIo io{in, out, err};
        const int exit = command.run(command, args, io);
        return {exit, out.str(), err.str()};
    }

    static void Save(ConsoleModel model, const std::string& name) {
        ASSERT_TRUE(SaveConfigFile(model, name));
    }

    // One manual: channels 1, 2, 5-8, a volume shoe on channel 3, five pistons set.
    static ConsoleModel SmallConsole() {
        ConsoleModel model;
        model.manualCount = 1;
        model.Channels(1) = 0xf3;
        model.Shoe(1) = {2, true, true};
        model.Piston(1, 0) = Piston(kCouplerGroup, 3, 1);
        model.Piston(1, 1) = Piston(kProgramChangeGroup, 0, 2, 12);
        model.Piston(1, 2) = Piston(kTrevaGroup, 22, 16);
        model.Piston(1, 3) = Piston(kTrevaGroup, 60, 3);
        model.Piston(1, 4) = Piston(kCancelGroup, 0, 1);
        return model;
    }

private:
    const std::filesystem::path previous_ = std::filesystem::current_path();
    test::ScratchFolder folder_;
};

} // namespace vtl::cli
