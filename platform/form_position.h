#pragma once
// A window's placement kept in the settings file, under the file's current section, as the
// keys "Maximised", "Left", "Top", "Width" and "Height".

#include "platform/ini_file.h"
#include "platform/window_placement.h"

namespace vtl {

// Stores nothing for a minimised window, only "Maximised" = "1" for a maximised one (its
// older normal placement stays), else "Maximised" = "0" and the four numbers.
void SaveFormPosition(IniFile& ini, const WindowPlacement& window);

// Missing or bad numbers keep the window's own, the size grows to the minimum, and the
// window is fitted on the screen with a margin of four pixels (left alone when the fit
// would make it smaller than the minimum); then it is maximised when stored so.
void LoadFormPosition(const IniFile& ini, WindowPlacement& window, int minWidth = 0,
                      int minHeight = 0);

} // namespace vtl
