#pragma once
// Helpers shared by the core tests: byte strings written as hex text, field-by-field
// comparison of manuals, and a scratch folder that disappears after the test.

#include "model/console_model.h"
#include "model/file_path.h"
#include "sysex/hex.h"
#include "sysex/seven_bit.h"
#include "tests/hex_literal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace vtl::test {

inline testing::AssertionResult Contains(std::string_view text, std::string_view part) {
    if (text.find(part) != std::string_view::npos) return testing::AssertionSuccess();
    return testing::AssertionFailure() << '"' << text << "\" does not contain \"" << part << '"';
}

// Keeps the lines of the conversion errors reported to it, and counts the reports.
class RecordingReporter : public ConversionReporter {
public:
    void ReportConversionErrors(const ConversionFaults& faults) override {
        ++messages;
        for (std::string& line : ConversionErrorLines(faults))
            reports.push_back(std::move(line));
    }
    std::vector<std::string> reports;
    int messages = 0;
};

inline PistonInfo Piston(int group, int type, int channel, int program = 0) {
    const auto i16 = [](int value) { return static_cast<std::int16_t>(value); };
    return PistonInfo{i16(program), i16(channel), i16(type), i16(group)};
}

inline ShoeInfo Shoe(bool on, bool volume, int channel) {
    return ShoeInfo{static_cast<std::uint8_t>(channel), volume, on};
}

// As (group, type, channel, program) and (on, volume, channel), so that failures print.
inline auto Fields(const PistonInfo& p) {
    return std::tuple(p.functionGroup, p.functionType, p.midiChannel, p.programNumber);
}
inline auto Fields(const ShoeInfo& s) {
    return std::tuple(s.expressionOn, s.volumeControl, int{s.midiChannel});
}

inline void ExpectSameManual(const ConsoleModel& expected, const ConsoleModel& actual, int m) {
    SCOPED_TRACE("manual " + std::to_string(m));
    EXPECT_EQ(expected.Channels(m), actual.Channels(m));
    EXPECT_EQ(Fields(expected.Shoe(m)), Fields(actual.Shoe(m)));
    for (int p = 0; p < kPistonsPerManual; ++p) {
        EXPECT_EQ(Fields(expected.Piston(m, p)), Fields(actual.Piston(m, p))) << "piston " << p;
    }
}

// A fresh folder under the system's temporary folder, removed with everything in it. Its name
// has a letter beyond ASCII, as many a user's folder has.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        std::error_code error;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto folder = std::filesystem::temp_directory_path() /
                                PathFromUtf8("vtl-test-Märien-" + std::to_string(random()));
            if (std::filesystem::create_directory(folder, error)) path_ = folder;
        }
        if (path_.empty()) ADD_FAILURE() << "cannot create a scratch folder: " << error.message();
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace vtl::test
