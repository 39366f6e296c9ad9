#pragma once
// Whether a window can be opened at all, asked before the window toolkit
// starts (which would abort the program without one).
#include <optional>
#include <string>

namespace platform {

// Why no display can be opened (for example "DISPLAY is not set"), or
// nullopt when one can, as far as the environment shows: a toolkit platform
// that needs no display (QT_QPA_PLATFORM=offscreen), a Wayland display, or
// an X display whose local socket is there (remote X displays are trusted).
std::optional<std::string> whyNoDisplay();

}  // namespace platform
