// The dialog's interface languages: flags, the language's name, its captions and its help
// file, and the English state captions of the toggle buttons.
#pragma once
#include <windows.h>

void ApplyLanguageCaptions(HWND dialog);

void SetFullscreenCaption(HWND dialog, bool set);
void SetSpecularCaption(HWND dialog, bool set);
void SetAntiAliasCaption(HWND dialog, bool set);
void SetDitherCaption(HWND dialog, bool set);

// The WM_HELP handler: the current language's pop-up for the control under the request.
void ShowContextHelp(HWND dialog, const HELPINFO* info);
// Ends the help viewer that ShowContextHelp started, if it did (HELP_QUIT).
void QuitContextHelp(HWND dialog);

// Takes the flag pictures back from their controls and frees them.
void ReleaseFlags(HWND dialog);
