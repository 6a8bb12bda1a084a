#include "platform/form_position.h"

#include "shell_test_support.h"

#include <tuple>

namespace vtl::test {
namespace {

using FormPositionTest = IniFileTest;

TEST_F(FormPositionTest, SaveStoresWhatTheWindowStateAllows) {
    const std::string before = "[VTLConfig]\nMaximised=0\nLeft=1\nTop=2\nWidth=3\nHeight=4\n";
    const std::tuple<bool, bool, std::string> cases[] = {
        {false, false, "[VTLConfig]\nMaximised=0\nLeft=10\nTop=-20\nWidth=800\nHeight=600\n"},
        {true, false, before}, // minimised: nothing
        {false, true, "[VTLConfig]\nMaximised=1\nLeft=1\nTop=2\nWidth=3\nHeight=4\n"},
    };
    for (const auto& [minimised, maximised, after] : cases) {
        Given(before);
        FakeWindow window;
        window.placement = {10, -20, 800, 600};
        window.minimised = minimised;
        window.maximised = maximised;
        ini_.SetSection("VTLConfig");
        ini_.SetKey("Other");
        SaveFormPosition(ini_, window);
        EXPECT_EQ(ReadText(file_), after);
        EXPECT_EQ(ini_.Key(), "Other");
    }
}

TEST_F(FormPositionTest, LoadFitsTheStoredPlacementOnTheScreen) {
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
        {"bad maximised", "Maximised=yes\n", {100, 100, 400, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Given("[Other]\nLeft=999\n[VTLConfig]\n" + c.keys);
        FakeWindow window;
        window.unitsPerPixel = c.unitsPerPixel;
        ini_.SetSection("VTLConfig");
        LoadFormPosition(ini_, window, c.minWidth, c.minHeight);
        EXPECT_EQ(window.placement, c.expected);
        EXPECT_EQ(window.maximised, c.maximised);
    }
}

} // namespace
} // namespace vtl::test
