#include "platform/Display.h"

#include <sys/stat.h>

#include <cstdlib>

namespace platform {

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// nullopt when the X display named by DISPLAY can be reached.
std::optional<std::string> whyNoX() {
    const std::string display = env("DISPLAY");
    if (display.empty()) return "DISPLAY is not set";
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) return "DISPLAY (" + display + ") names no display";
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") return std::nullopt;  // a display over the network
    std::string number = display.substr(colon + 1);
    if (const std::size_t dot = number.find('.'); dot != std::string::npos) number.resize(dot);
    struct stat st {};
    if (number.empty() || ::stat(("/tmp/.X11-unix/X" + number).c_str(), &st) != 0)
        return "no X server answers on DISPLAY " + display;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> whyNoDisplay() {
    const std::string platform = env("QT_QPA_PLATFORM");
    const bool wantsX = platform.empty() || platform.find("xcb") != std::string::npos;
    const bool wantsWayland = platform.empty() || platform.find("wayland") != std::string::npos;
    if (!wantsX && !wantsWayland) return std::nullopt;  // offscreen, minimal, vnc, ...
    if (wantsWayland && !env("WAYLAND_DISPLAY").empty()) return std::nullopt;
    if (wantsX) return whyNoX();
    return "WAYLAND_DISPLAY is not set";
}

}  // namespace platform
