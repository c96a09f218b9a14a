// The player's choices that the configuration applet saved, read the way a Visual Basic
// game reads its program settings: GetSetting("ZYK", "Config", name, default).
#pragma once
#include <windows.h>

namespace sample {

struct PlayerChoices {
    bool stored = false; // whether the applet has saved anything yet
    long adapter3D = 0;  // position in the 3D adapter list (zyk3D.Devices)
    bool gouraud = true; // render mode: 0 "Flat", 1 "Gouraud"
    bool specular = false;
    bool antiAlias = false;
    bool dither = false;
    bool fullscreen = false;
};

PlayerChoices ReadPlayerChoices();

} // namespace sample
