// The device rounds of the soak benchmark for zykGFX and zykSOUND, each bound through its
// server's header in a file of its own: each creates, initialises and frees one device
// and answers false, after a message on stderr, when a step fails.
#pragma once
#include <windows.h>

namespace soak {

// A ZYKGFX.Device initialised windowed on the window at width x height, then freed.
bool GfxRound(HWND window, int width, int height);

// A ZYKSound.Device initialised on the default driver, the sound file loaded into its
// Buffers, then freed.
bool SoundRound(const wchar_t* wave);

} // namespace soak
