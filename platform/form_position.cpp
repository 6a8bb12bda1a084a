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

void SaveFormPosition(cInifile& ini, const WindowPlacement& window) {
    if (window.isMinimised()) return;
    const std::string section = ini.section();
    const bool maximised = window.isMaximised();
    ini.Store(section, "Maximised", maximised ? "1" : "0");
    if (maximised) return;
    const std::pair<const char*, int> numbers[] = {{"Left", window.left()},
                                                   {"Top", window.top()},
                                                   {"Width", window.width()},
                                                   {"Height", window.height()}};
    for (const auto& [key, number] : numbers)
        ini.Store(section, key, std::to_string(number));
}

void LoadFormPosition(const cInifile& ini, WindowPlacement& window, int minWidth, int minHeight) {
    const auto stored = [&](const char* key, int fallback) -> std::int64_t {
        return CLngDefault(ini.Lookup(ini.section(), key).value_or(""), fallback);
    };
    std::int64_t left = stored("Left", window.left());
    std::int64_t top = stored("Top", window.top());
    std::int64_t width = std::max<std::int64_t>(stored("Width", window.width()), minWidth);
    std::int64_t height = std::max<std::int64_t>(stored("Height", window.height()), minHeight);

    FitOnScreen(left, width, window.screenWidth(), 4 * std::int64_t{window.unitsPerPixelX()});
    FitOnScreen(top, height, window.screenHeight(), 4 * std::int64_t{window.unitsPerPixelY()});
    // Every value lies between a stored 32-bit number and the screen's size here.
    if (width >= minWidth && height >= minHeight) {
        window.move(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                    static_cast<int>(height));
    }
    if (stored("Maximised", 0) != 0) window.maximise();
}

} // namespace vtl
