#include "platform/number_text.h"

#include <gtest/gtest.h>

namespace vtl {
namespace {

TEST(CLngDefaultTest, ConvertsWholeTextRoundingHalfToEven) {
    constexpr std::int32_t kFallback = 77;
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"12", 12},    {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"-3.5", -4},     {"2.50001", 3},
        {"2.4999", 2}, {".5", 0},  {"5.", 5},  {"+5", 5},    {" \t42\t ", 42},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CLngDefault(c.text, kFallback), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(CLngDefault("2147483647.4", kFallback), 2147483647);
    EXPECT_EQ(CLngDefault("-2147483648", kFallback), -2147483647 - 1);
    for (const char* text : {"12x", "", "   ", "- 5", "5-", "-", ".", "1 2", "1e3", "&H10", "FAIL",
                             "2147483647.5", "2147483648", "99999999999999999999999"})
        EXPECT_EQ(CLngDefault(text, kFallback), kFallback) << '"' << text << '"';
}

} // namespace
} // namespace vtl
