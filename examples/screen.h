// Reading what a window shows, and writing it as a .bmp file (for the sample clients).
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <vector>

namespace sample {

// width x height pixels of the screen from the point origin, 0x00RRGGBB per pixel, top row
// first; the client area of a window as the screen shows it; the whole frame of a full-screen
// device is the screen's from its corner.
bool CaptureScreen(POINT origin, int width, int height, std::vector<DWORD>& pixels);
bool CaptureClient(HWND window, int width, int height, std::vector<DWORD>& pixels);

// A 24-bit bottom-up .bmp of the pixels.
bool WriteBmp(const char* path, int width, int height, const std::vector<DWORD>& pixels);

// Prints what failed, its code and the thread's error description, and ends the program.
[[noreturn]] void Fail(const char* what, HRESULT hr);

// A new BSTR of ANSI text (the caller frees it).
BSTR AnsiBstr(const char* text);

// A shown window with a client area of width x height and no class background brush (an
// erase would paint over a presented frame).
HWND CreateGameWindow(const char* title, int width, int height);
void PumpMessages();

// When the program runs under "tools/zyk game", the script takes a screenshot of the whole
// display while the program holds its last frame on the screen: this tells the script
// that the frame is shown (through the file named by ZYK_SCREENSHOT_SIGNAL), waits for
// the screenshot while pumping messages, and returns the screenshot's path ("" when no
// script is listening or none came within two minutes). With an area (screen
// coordinates) the picture shows only that part of the display.
std::string OfferScreenshot(const RECT* area = nullptr);

} // namespace sample
