#pragma once
// Metrics of the primary screen, with an override so that tests never depend on the real one.

#include <optional>

namespace platform {

struct TScreenMetrics {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
};

// The override if one is set, else $ZARVO_SCREEN ("WIDTHxHEIGHT" or "WIDTHxHEIGHTxDEPTH"), else
// the primary screen of the running Qt application; zeros when there is none.
TScreenMetrics GetScreenMetrics();
void SetScreenOverride(std::optional<TScreenMetrics> metrics);
// Parses "1024x768" or "1024x768x32"; empty optional when malformed.
std::optional<TScreenMetrics> ParseScreenMetrics(const char* text);

} // namespace platform
