// The player's choices, kept as decimal texts under the current user's key that a Visual
// Basic program reads with GetSetting("ZYK", "Config", ...).
#pragma once
#include <windows.h>

class CConfigSettings {
public:
    CConfigSettings();
    virtual ~CConfigSettings();
    CConfigSettings(const CConfigSettings&) = delete;
    CConfigSettings& operator=(const CConfigSettings&) = delete;

    long GetLanguage() { return ReadInteger("Language", 0); }
    long Get2DRenderer() { return ReadInteger("2DRenderer", -1); }
    long GetDisplayMode() { return ReadInteger("DisplayMode", -1); }
    long Get3DRenderer() { return ReadInteger("3DRenderer", -1); }
    long GetSound() { return ReadInteger("Sound", 0); }
    long GetController() { return ReadInteger("Controller", 0); }
    long GetFullscreen() { return ReadFlag("Fullscreen"); }
    long GetAntiAlias() { return ReadFlag("AntiAlias"); }
    long GetSpecular() { return ReadFlag("Specular"); }
    long GetDither() { return ReadFlag("Dither"); }
    long GetRenderMode() { return ReadFlag("RenderMode"); }

    void SetLanguage(long value) { Write("Language", value); }
    void Set2DRenderer(long value) { Write("2DRenderer", value); }
    void SetDisplayMode(long value) { Write("DisplayMode", value); }
    void Set3DRenderer(long value) { Write("3DRenderer", value); }
    void SetRenderMode(long value) { Write("RenderMode", value); }
    void SetSound(long value) { Write("Sound", value); }
    void SetController(long value) { Write("Controller", value); }
    void SetFullscreen(bool flag) { Write("Fullscreen", flag ? 1 : 0); }
    void SetAntiAlias(bool flag) { Write("AntiAlias", flag ? 1 : 0); }
    void SetSpecular(bool flag) { Write("Specular", flag ? 1 : 0); }
    void SetDither(bool flag) { Write("Dither", flag ? 1 : 0); }

private:
    static const DWORD kValueSize = 260;

    // The value's text in the buffer ("" when the key or the value is missing); false
    // without a buffer.
    bool Read(const char* name);
    long ReadInteger(const char* name, long withoutBuffer);
    long ReadFlag(const char* name);
    void Write(const char* name, long value);
    void CloseKey();

    char* value_;         // the value buffer, kValueSize bytes
    long lastValue_ = 0;  // the integer that the last read produced
    DWORD valueSize_ = 0; // what the last read was allowed to write
    HKEY key_ = nullptr;  // the key while a read is in progress
};

// The stored choices into the dialog's controls, and the controls back into the store.
void LoadSettings(HWND dialog);
void SaveSettings(HWND dialog);
