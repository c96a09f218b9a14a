// Reading what a window shows, and writing it as a .bmp file (for the sample clients).
#pragma once
#include <windows.h>
#include <vector>

namespace sample {

// The client area of a window as the screen shows it, 0x00RRGGBB per pixel, top row first.
bool CaptureClient(HWND window, int width, int height, std::vector<DWORD>& pixels);

// A 24-bit bottom-up .bmp of the pixels.
bool WriteBmp(const char* path, int width, int height, const std::vector<DWORD>& pixels);

HWND CreateGameWindow(const char* title, int width, int height);
void PumpMessages();

} // namespace sample
