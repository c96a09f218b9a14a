// Bitmaps on DirectDraw surfaces: copying a bitmap onto a surface, the source colour key
// of a surface from a COLORREF, saving a surface, and the palette colours read from a
// bitmap resource or file. Bitmap files are loaded by support/image (file.h).
#pragma once
#include <windows.h>
#include <ddraw.h>

// Stretches the (x, y, dx, dy) part of the bitmap over the whole surface (dx or dy 0: the
// bitmap's width or height). Returns the result of the surface's GetDC.
HRESULT DDCopyBitmap(IDirectDrawSurface7* surface, HBITMAP bitmap, int x, int y, int dx, int dy);

// The surface's pixel value for a colour, found by drawing it at (0, 0) through GDI and
// reading it back; CLR_INVALID (0xFFFFFFFF) passes through.
DWORD DDMatchColor(IDirectDrawSurface7* surface, COLORREF colour);

// Sets the source colour key of the surface to the colour's pixel value.
HRESULT DDSetSourceColorKey(IDirectDrawSurface7* surface, COLORREF colour);

// Writes the surface as a 24-bit .bmp file, whole or not at all: a file that cannot be
// written to its end leaves the file there was.
HRESULT SaveSurfaceBitmap(IDirectDrawSurface7* surface, const char* path);

// A DIB section of a .bmp file whose headers agree with its size, as the picture the file
// holds; nullptr for a missing, unreadable, malformed or truncated file or one longer than
// maxBytes. The platform's loader reads most files; a top-down one (negative height) it
// reads as black, so that one's pixels are copied here.
HBITMAP LoadBitmapFile(const char* path, size_t maxBytes);

// The 256 colours that DDLoadPalette reads from a bitmap resource of the host program or
// a .bmp file, over the 3-3-2 ramp; an empty name gives the ramp. False when the name
// is neither a readable bitmap resource nor a readable bitmap file.
bool LoadPaletteEntries(const char* name, PALETTEENTRY (&entries)[256]);

// The 3-3-2 ramp: red from bits 5-7, green from bits 2-4, blue from bits 0-1.
void RampEntries(PALETTEENTRY (&entries)[256]);
