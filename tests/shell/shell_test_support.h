#pragma once
// Helpers of the shell tests: whole files as text, a settings file in a scratch folder, and
// a window that only remembers what is done to it.

#include "model/file_path.h"
#include "platform/ini_file.h"
#include "platform/window_placement.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace vtl::test {

inline std::optional<std::string> ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::filesystem::path FsPath(const QString& path) {
    return PathFromUtf8(path.toStdString());
}

// The name of a scratch folder under the temporary folder with letters beyond ASCII, as many
// a user's folder has (on Windows %APPDATA% holds the account's name).
inline QString ScratchName() {
    return QDir::tempPath() + QStringLiteral("/Kirche St. Märien-XXXXXX");
}

class IniFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.isValid());
        ini_.SetPath(file_);
    }

    // Starts from this file content; none means no file.
    void Given(const std::optional<std::string>& content) {
        std::filesystem::remove(file_);
        if (content) WriteText(file_, *content);
    }

    QTemporaryDir scratch_{ScratchName()};
    std::filesystem::path file_ = FsPath(scratch_.filePath("test.ini"));
    IniFile ini_;
};

// Left, top, width, height.
using Placement = std::array<int, 4>;

// On a 1920 x 1080 screen.
class FakeWindow : public WindowPlacement {
public:
    Placement placement{100, 100, 400, 300};
    bool minimised = false;
    bool maximised = false;
    int unitsPerPixel = 1;

    bool IsMinimised() const override { return minimised; }
    bool IsMaximised() const override { return maximised; }
    int Left() const override { return placement[0]; }
    int Top() const override { return placement[1]; }
    int Width() const override { return placement[2]; }
    int Height() const override { return placement[3]; }
    void Move(int l, int t, int w, int h) override { placement = {l, t, w, h}; }
    void Maximise() override { maximised = true; }
    int ScreenWidth() const override { return 1920; }
    int ScreenHeight() const override { return 1080; }
    int UnitsPerPixelX() const override { return unitsPerPixel; }
    int UnitsPerPixelY() const override { return unitsPerPixel; }
};

} // namespace vtl::test
