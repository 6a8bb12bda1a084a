#include "platform/form_position.h"

#include "platform/number_text.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace vtl {
namespace {

// Fits one axis of a window on the screen, keeping a margin on both sides.
void FitOnScreen(std::int64_t& position, std::int64_t& size, std::int64_t screen,
                 std::int64_t margin) {
    if (position < margin) position = margin;
    if (position + size > screen - margin) {
        position = screen - margin - size;
        if (position < margin) position = margin;
        if (position + size > screen - margin) size = screen - position - margin;
    }
}

} // namespace

void SaveFormPosition(IniFile& ini, const WindowPlacement& window) {
    if (window.IsMinimised()) return;
    const std::string section = ini.Section();
    const bool maximised = window.IsMaximised();
    ini.Store(section, "Maximised", maximised ? "1" : "0");
    if (maximised) return;
    const std::pair<const char*, int> numbers[] = {{"Left", window.Left()},
                                                   {"Top", window.Top()},
                                                   {"Width", window.Width()},
                                                   {"Height", window.Height()}};
    for (const auto& [key, number] : numbers)
        ini.Store(section, key, std::to_string(number));
}

void LoadFormPosition(const IniFile& ini, WindowPlacement& window, int minWidth, int minHeight) {
    const auto stored = [&](const char* key, int fallback) -> std::int64_t {
        return CLngDefault(ini.Lookup(ini.Section(), key).value_or(""), fallback);
    };
    std::int64_t left = stored("Left", window.Left());
    std::int64_t top = stored("Top", window.Top());
    std::int64_t width = std::max<std::int64_t>(stored("Width", window.Width()), minWidth);
    std::int64_t height = std::max<std::int64_t>(stored("Height", window.Height()), minHeight);

    FitOnScreen(left, width, window.ScreenWidth(), 4 * std::int64_t{window.UnitsPerPixelX()});
    FitOnScreen(top, height, window.ScreenHeight(), 4 * std::int64_t{window.UnitsPerPixelY()});
    // Every value lies between a stored 32-bit number and the screen's size here.
    if (width >= minWidth && height >= minHeight) {
        window.Move(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                    static_cast<int>(height));
    }
    if (stored("Maximised", 0) != 0) window.Maximise();
}

} // namespace vtl
