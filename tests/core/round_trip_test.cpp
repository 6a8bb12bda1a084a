// Random consoles saved and loaded again, which encodes and decodes every image. The
// consoles hold only what an image carries (programNumber equal to functionType outside
// group 6, unassigned pistons as group 8 on channel 0), so each must come back unchanged.

#include "core_test_support.h"

#include "model/catalogue.h"
#include "model/config_file.h"
#include "model/program_image.h"

#include <random>

namespace vtl {
namespace {

using test::Piston;
using test::Shoe;

ConsoleModel RandomConsole(std::mt19937& rng, const FunctionCatalogue& catalogue) {
    const auto random = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    ConsoleModel model;
    model.manualCount = static_cast<std::int16_t>(random(1, kMaxManuals));
    for (int m = 1; m <= kMaxManuals; ++m) {
        model.Channels(m) = random(0, 65535);
        const int state = random(0, 2); // disabled, volume, expression
        model.Shoe(m) = state == 0 ? ShoeInfo{} : Shoe(true, state == 1, random(0, 15));
        for (int p = 0; p < kPistonsPerManual; ++p) {
            const int group = random(kCouplerGroup, kUnassignedGroup);
            if (group == kUnassignedGroup) {
                model.Piston(m, p) = Piston(group, 0, 0, 0);
                continue;
            }
            const int types = catalogue.functionTypeNames[static_cast<std::size_t>(group)].Count();
            const int type = group == kProgramChangeGroup ? random(1, 128) : random(0, types - 1);
            model.Piston(m, p) = Piston(group, type, random(1, 16), type);
        }
    }
    return model;
}

TEST(RoundTrip, SaveThenLoadGivesTheConsoleAndTheSameFileBack) {
    const auto catalogue = BuildCatalogue();
    std::mt19937 rng(99);
    test::ScratchFolder folder;
    const auto path = folder / "console.vtl";
    for (int i = 0; i < 30; ++i) {
        SCOPED_TRACE("console " + std::to_string(i));
        ConsoleModel model = RandomConsole(rng, catalogue);
        model.identityByte21 = i % 2 == 0 ? kIdentityForFormat13 : 0; // format 13, then 12
        ASSERT_TRUE(SaveConfigFile(model, path).has_value());
        const std::string saved = test::ReadFile(path);
        EXPECT_EQ(saved.size(), 782u * static_cast<std::size_t>(model.manualCount));

        ConsoleModel loaded;
        const auto status = LoadConfigFile(loaded, path);
        ASSERT_TRUE(status.has_value()) << status.error().message;
        EXPECT_EQ(loaded.manualCount, model.manualCount);
        for (int m = 1; m <= model.manualCount; ++m)
            test::ExpectSameManual(model, loaded, m);

        ASSERT_TRUE(SaveConfigFile(loaded, path).has_value());
        EXPECT_EQ(test::ReadFile(path), saved);
    }
}

} // namespace
} // namespace vtl
