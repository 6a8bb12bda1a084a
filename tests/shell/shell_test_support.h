#pragma once
// Helpers of the shell tests: whole files as text, and a window that only remembers what is
// done to it.

#include "platform/window_placement.h"

#include <QString>

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
    return path.toStdString();
}

struct Placement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Placement&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << "(" << p.left << ", " << p.top << ", " << p.width << " x " << p.height << ")";
}

class FakeWindow : public WindowPlacement {
public:
    Placement placement{100, 100, 400, 300};
    bool minimised = false;
    bool maximised = false;
    int screenW = 1920;
    int screenH = 1080;
    int unitsPerPixel = 1;
    int moves = 0;

    bool isMinimised() const override { return minimised; }
    bool isMaximised() const override { return maximised; }
    int left() const override { return placement.left; }
    int top() const override { return placement.top; }
    int width() const override { return placement.width; }
    int height() const override { return placement.height; }
    void move(int l, int t, int w, int h) override {
        placement = {l, t, w, h};
        ++moves;
    }
    void maximise() override { maximised = true; }
    int screenWidth() const override { return screenW; }
    int screenHeight() const override { return screenH; }
    int unitsPerPixelX() const override { return unitsPerPixel; }
    int unitsPerPixelY() const override { return unitsPerPixel; }
};

} // namespace vtl::test
