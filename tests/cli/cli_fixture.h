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

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ =
            std::filesystem::path(::testing::TempDir()) / ("vtl_cli_" + std::string(info->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    static RunResult Run(const Command& command, const QStringList& args,
                         const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        CommandIo io{in, out, err};
        const int exit = command.run(command, args, io);
        return {exit, out.str(), err.str()};
    }

    static std::string Read(const std::filesystem::path& path) { return test::ReadFile(path); }

    static void Save(ConsoleModel model, const std::string& name) {
        ASSERT_TRUE(SaveConfigFile(model, name));
    }

    // One manual: channels 1, 2, 5-8, a volume shoe on channel 3, five pistons set.
    static ConsoleModel SmallConsole() {
        ConsoleModel model;
        model.manualCount = 1;
        model.channels(1) = 0xf3;
        model.shoe(1) = {2, true, true};
        model.piston(1, 0) = Piston(kCouplerGroup, 3, 1);
        model.piston(1, 1) = Piston(kProgramChangeGroup, 0, 2, 12);
        model.piston(1, 2) = Piston(kTrevaGroup, 22, 16);
        model.piston(1, 3) = Piston(kTrevaGroup, 60, 3);
        model.piston(1, 4) = Piston(kCancelGroup, 0, 1);
        return model;
    }

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

} // namespace vtl::cli
