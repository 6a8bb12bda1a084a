// Random consoles within the model's ranges saved and loaded again, which encodes and decodes
// every image. What survives is what the image carries: an unassigned piston reads back as
// group 8 on channel 0, and every piston reads back with programNumber equal to functionType.

#include "core_test_support.h"

#include "model/catalogue.h"
#include "model/config_file.h"

#include <random>

namespace vtl {
namespace {

using test::Piston;
using test::Shoe;

struct Random {
    std::mt19937 rng;
    int operator()(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
};

pistonInfo RandomPiston(Random& random, const FunctionCatalogue& catalogue) {
    const int group = random(kCouplerGroup, kNeverSetGroup);
    if (group == kUnassignedGroup || group == kNeverSetGroup) {
        return Piston(group, random(0, 55), random(0, 16), random(0, 128));
    }
    const int types = catalogue.functionTypeNames[static_cast<std::size_t>(group)].count();
    return Piston(group, random(0, types - 1), random(1, 16), random(1, 128));
}

ConsoleModel RandomConsole(Random& random, const FunctionCatalogue& catalogue) {
    ConsoleModel model;
    model.manualCount = static_cast<std::int16_t>(random(1, kMaxManuals));
    model.identityByte21 = static_cast<std::uint8_t>(random(0, 255));
    for (int m = 1; m <= kMaxManuals; ++m) {
        model.channels(m) = random(0, 65535);
        const int state = random(0, 2); // disabled, volume, expression
        model.shoe(m) = Shoe(state != 0, state == 1, random(0, 15));
        for (int p = 0; p < kPistonsPerManual; ++p)
            model.piston(m, p) = RandomPiston(random, catalogue);
    }
    return model;
}

// The console as it reads back into a fresh model.
ConsoleModel AsReadBack(const ConsoleModel& model) {
    ConsoleModel out;
    out.manualCount = model.manualCount;
    for (int m = 1; m <= kMaxManuals; ++m) {
        out.channels(m) = model.channels(m);
        // A disabled shoe keeps what the fresh model had.
        if (model.shoe(m).expressionOn) out.shoe(m) = model.shoe(m);
        for (int p = 0; p < kPistonsPerManual; ++p) {
            const pistonInfo& in = model.piston(m, p);
            const int group = in.functionGroup;
            if (group == kProgramChangeGroup) {
                out.piston(m, p) =
                    Piston(group, in.programNumber, in.midiChannel, in.programNumber);
            } else if (group >= kCouplerGroup && group <= kTrevaGroup) {
                out.piston(m, p) = Piston(group, in.functionType, in.midiChannel, in.functionType);
            } else {
                out.piston(m, p) = Piston(kUnassignedGroup, 0, 0, 0);
            }
        }
    }
    return out;
}

TEST(RoundTrip, SaveThenLoadKeepsWhatTheImageCarries) {
    const auto catalogue = BuildCatalogue();
    Random random{std::mt19937(99)};
    test::ScratchFolder folder;
    const auto path = folder / "console.vtl";
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE("console " + std::to_string(i));
        ConsoleModel model = RandomConsole(random, catalogue);
        ASSERT_TRUE(SaveConfigFile(model, path).has_value());
        const std::string saved = test::ReadFile(path);
        EXPECT_EQ(saved.size(), 782u * static_cast<std::size_t>(model.manualCount));

        ConsoleModel loaded;
        const auto status = LoadConfigFile(loaded, path);
        ASSERT_TRUE(status.has_value()) << status.error().message;
        EXPECT_EQ(loaded.manualCount, model.manualCount);
        EXPECT_EQ(loaded.currentManual, model.manualCount + 1);
        const ConsoleModel expected = AsReadBack(model);
        for (int m = 1; m <= model.manualCount; ++m)
            test::ExpectSameManual(expected, loaded, m);

        // What was read back saves to the very same file (the format byte aside, which
        // comes from the identity reply, not from the file).
        loaded.identityByte21 = model.identityByte21;
        ASSERT_TRUE(SaveConfigFile(loaded, path).has_value());
        EXPECT_EQ(test::ReadFile(path), saved);
    }
}

} // namespace
} // namespace vtl
