// Reading the player's choices from the settings that the configuration applet saved.
#include "choices.h"
#include <cstdlib>

namespace sample {

namespace {

// GetSetting: the value's text as a number, or the default when there is none.
long Setting(HKEY key, const char* name, long fallback, bool& found)
{
    char text[64] = {};
    DWORD size = sizeof text - 1, type = 0;
    if (!key || RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return fallback;
    found = true;
    return std::atol(text);
}

} // namespace

PlayerChoices ReadPlayerChoices()
{
    PlayerChoices c;
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\ZYK\\Config", 0, KEY_QUERY_VALUE, &key);
    c.adapter3D = Setting(key, "3DRenderer", c.adapter3D, c.stored);
    c.gouraud = Setting(key, "RenderMode", c.gouraud, c.stored) != 0;
    c.specular = Setting(key, "Specular", c.specular, c.stored) != 0;
    c.antiAlias = Setting(key, "AntiAlias", c.antiAlias, c.stored) != 0;
    c.dither = Setting(key, "Dither", c.dither, c.stored) != 0;
    c.fullscreen = Setting(key, "Fullscreen", c.fullscreen, c.stored) != 0;
    if (key) RegCloseKey(key);
    return c;
}

} // namespace sample
