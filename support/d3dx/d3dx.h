// D3DX utility layer over DirectDraw 7 and Direct3D 7.
//
// Start and stop, the D3DX device list, video modes, surface formats and the
// rendering context. Every call returns an HRESULT unless noted; the layer's own
// failures are the D3DXERR_* codes below, and failures of DirectDraw or Direct3D
// are handed back unchanged (DDERR_* / D3DERR_* / E_*).
//
// D3DX devices
// ------------
// D3DXInitialize builds the device list once per start (the first D3DXInitialize
// after the count was zero) and keeps it until the count drops back to zero,
// together with one DirectDraw object per driver (cooperative level normal, no
// window) that the mode, format and caps queries share.
//
//   * DirectDraw drivers come from DirectDrawEnumerateExA with
//     DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES, in the order
//     DirectDraw reports them. The first is the primary display driver (no GUID,
//     name "display"); then each attached monitor's driver and any 3D add-on card.
//   * For each driver, the Direct3D 7 devices of IDirect3D7::EnumDevices, ordered
//     by hardware level, best first (equal levels keep DirectDraw's order):
//         T&L HAL        (IID_IDirect3DTnLHalDevice) -> D3DX_HWLEVEL_TL
//         HAL            (IID_IDirect3DHALDevice)    -> D3DX_HWLEVEL_RASTER
//         RGB, MMX       (software rasterisers)      -> D3DX_HWLEVEL_2D
//         Reference      (IID_IDirect3DRefDevice)    -> D3DX_HWLEVEL_REFERENCE
//         Null device    (IID_IDirect3DNullDevice)   -> D3DX_HWLEVEL_NULL
//       Any other device: D3DX_HWLEVEL_TL if it reports D3DDEVCAPS_HWTRANSFORMANDLIGHT,
//       D3DX_HWLEVEL_RASTER if it reports D3DDEVCAPS_HWRASTERIZATION, else 2D.
//   * Device index 0 is therefore the best device of the primary display.
//     Under Wine: 0-2 "DirectDraw HAL" with T&L HAL, HAL and RGB; 3-5 the same
//     three on the named adapter (\\.\DISPLAY1, the same monitor).
//   * driverDesc is "<DirectDraw driver description> (<Direct3D device name>)",
//     for example "DirectDraw HAL (Wine D3D7 T&L HAL)", cut to 255 bytes.
//   * ddDeviceID is the DirectDraw driver's GUID (GUID_NULL for the primary display
//     driver), d3dDeviceID the Direct3D device's GUID. monitor is the driver's
//     monitor (the primary monitor for the primary display driver, NULL for a
//     non-display card); onPrimary is TRUE when that monitor is the primary one.
//
// Wherever a call takes a device index it also accepts:
//   D3DX_DEFAULT or D3DX_HWLEVEL_HIGHEST -> device 0, the best device;
//   D3DX_HWLEVEL_TL / _RASTER / _2D / _REFERENCE / _NULL -> the first device in the
//   list with exactly that level (D3DXERR_INVALIDD3DXDEVICEINDEX when none has it).
//
// A windowed context of a software level (2D, reference, null) keeps its back
// buffer and z-buffer in system memory.
// Every DirectDraw object of this layer sets DDSCL_FPUPRESERVE, so that Direct3D
// leaves the caller's floating-point precision alone.
#pragma once

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

// ---------------------------------------------------------------------------
// Result codes
// ---------------------------------------------------------------------------
#define D3DXERR_NOMEMORY ((HRESULT)0xC8770BB8L)
#define D3DXERR_NULLPOINTER ((HRESULT)0xC8770BB9L)
#define D3DXERR_INVALIDD3DXDEVICEINDEX ((HRESULT)0xC8770BBAL)
#define D3DXERR_NODIRECTDRAWAVAILABLE ((HRESULT)0xC8770BBBL)
#define D3DXERR_NODIRECT3DAVAILABLE ((HRESULT)0xC8770BBCL)
#define D3DXERR_NODIRECT3DDEVICEAVAILABLE ((HRESULT)0xC8770BBDL)
#define D3DXERR_NOPRIMARYAVAILABLE ((HRESULT)0xC8770BBEL)
#define D3DXERR_NOZBUFFERAVAILABLE ((HRESULT)0xC8770BBFL)
#define D3DXERR_NOBACKBUFFERAVAILABLE ((HRESULT)0xC8770BC0L)
#define D3DXERR_COULDNTUPDATECAPS ((HRESULT)0xC8770BC1L)
#define D3DXERR_NOZBUFFER ((HRESULT)0xC8770BC2L)
#define D3DXERR_INVALIDMODE ((HRESULT)0xC8770BC3L)
#define D3DXERR_INVALIDPARAMETER ((HRESULT)0xC8770BC4L)
#define D3DXERR_INITFAILED ((HRESULT)0xC8770BC5L)
#define D3DXERR_STARTUPFAILED ((HRESULT)0xC8770BC6L)
#define D3DXERR_D3DXNOTSTARTEDYET ((HRESULT)0xC8770BC7L)
#define D3DXERR_NOTINITIALIZED ((HRESULT)0xC8770BC8L)
#define D3DXERR_FAILEDDRAWTEXT ((HRESULT)0xC8770BC9L)
#define D3DXERR_BADD3DXCONTEXT ((HRESULT)0xC8770BCAL)
#define D3DXERR_CAPSNOTSUPPORTED ((HRESULT)0xC8770BCBL)
#define D3DXERR_UNSUPPORTEDFILEFORMAT ((HRESULT)0xC8770BCCL)
#define D3DXERR_IFLERROR ((HRESULT)0xC8770BCDL)
#define D3DXERR_FAILEDGETCAPS ((HRESULT)0xC8770BCEL)
#define D3DXERR_CANNOTRESIZEFULLSCREEN ((HRESULT)0xC8770BCFL)
#define D3DXERR_CANNOTRESIZENONWINDOWED ((HRESULT)0xC8770BD0L)
#define D3DXERR_FRONTBUFFERALREADYEXISTS ((HRESULT)0xC8770BD1L)
#define D3DXERR_FULLSCREENPRIMARYEXISTS ((HRESULT)0xC8770BD2L)
#define D3DXERR_GETDCFAILED ((HRESULT)0xC8770BD3L)
#define D3DXERR_BITBLTFAILED ((HRESULT)0xC8770BD4L)
#define D3DXERR_NOTEXTURE ((HRESULT)0xC8770BD5L)
#define D3DXERR_MIPLEVELABSENT ((HRESULT)0xC8770BD6L)
#define D3DXERR_SURFACENOTPALETTED ((HRESULT)0xC8770BD7L)
#define D3DXERR_ENUMFORMATSFAILED ((HRESULT)0xC8770BD8L)
#define D3DXERR_COLORDEPTHTOOLOW ((HRESULT)0xC8770BD9L)
#define D3DXERR_INVALIDFILEFORMAT ((HRESULT)0xC8770BDAL)
#define D3DXERR_NOMATCHFOUND ((HRESULT)0xC8770BDBL)

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
#define D3DX_DEFAULT ((DWORD)0xFFFFFFFF)

// D3DXCreateContext flags.
#define D3DX_CONTEXT_FULLSCREEN 0x00000001

// ID3DXContext::UpdateFrame flags: full screen, flip without waiting for the
// vertical blank. A windowed frame is a Blt and never waits for it.
#define D3DX_UPDATE_NOVSYNC 0x00000001

// Hardware levels (D3DX_DEVICEDESC::hwLevel), also usable as device indices.
#define D3DX_HWLEVEL_HIGHEST ((DWORD)-2)   // index only: the best device
#define D3DX_HWLEVEL_REFERENCE ((DWORD)-3) // reference rasteriser
#define D3DX_HWLEVEL_2D ((DWORD)-4)        // 2D hardware, software rasterisation
#define D3DX_HWLEVEL_RASTER ((DWORD)-5)    // hardware rasterisation
#define D3DX_HWLEVEL_TL ((DWORD)-6)        // hardware transform, lighting, rasterisation
#define D3DX_HWLEVEL_NULL ((DWORD)-7)      // null device: renders nothing

// D3DXGetSurfaceFormat classes. Several may be or'ed together: the formats of
// the chosen classes are listed in this order (render target, depth buffer,
// colour texture, bump map), each format once.
//   RENDERTARGET  the display format of the mode (the current one, or pMode's
//                 depth), when the device can render at that depth;
//   DEPTHBUFFER   IDirect3D7::EnumZBufferFormats of the device, in its order;
//   COLORTEXTURE  IDirect3DDevice7::EnumTextureFormats without the bump formats;
//   BUMPMAP       the bump (DuDv) formats of EnumTextureFormats.
// Platform formats without a D3DX_SURFACEFORMAT (DXT2, DXT4, 24-bit z) are skipped.
#define D3DX_SC_RENDERTARGET 0x00000001
#define D3DX_SC_DEPTHBUFFER 0x00000002
#define D3DX_SC_COLORTEXTURE 0x00000004
#define D3DX_SC_BUMPMAP 0x00000008

// D3DXGetMaxNumVideoModes / D3DXGetVideoMode flags: list every refresh rate as a
// mode of its own (otherwise modes that differ only in refresh rate are one).
#define D3DX_GVM_REFRESHRATE 0x00000001

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------
typedef enum _D3DX_SURFACEFORMAT {
    D3DX_SF_UNKNOWN = 0,
    D3DX_SF_R8G8B8 = 1,
    D3DX_SF_A8R8G8B8 = 2,
    D3DX_SF_X8R8G8B8 = 3,
    D3DX_SF_R5G6B5 = 4,
    D3DX_SF_R5G5B5 = 5,
    D3DX_SF_PALETTE4 = 6,
    D3DX_SF_PALETTE8 = 7,
    D3DX_SF_A1R5G5B5 = 8,
    D3DX_SF_X4R4G4B4 = 9,
    D3DX_SF_A4R4G4B4 = 10,
    D3DX_SF_L8 = 11,
    D3DX_SF_A8L8 = 12,
    D3DX_SF_U8V8 = 13,
    D3DX_SF_U5V5L6 = 14,
    D3DX_SF_U8V8L8 = 15, // 32 bits a pixel: U, V, L and 8 unused bits
    D3DX_SF_UYVY = 16,
    D3DX_SF_YUY2 = 17,
    D3DX_SF_DXT1 = 18,
    D3DX_SF_DXT3 = 19,
    D3DX_SF_DXT5 = 20,
    D3DX_SF_R3G3B2 = 21,
    D3DX_SF_A8 = 22,
    D3DX_SF_TEXTUREMAX = 23,

    D3DX_SF_Z16S0 = 256,
    D3DX_SF_Z32S0 = 257, // any 32-bit depth buffer without stencil
    D3DX_SF_Z15S1 = 258, // z in the high 15 bits, stencil in bit 0
    D3DX_SF_Z24S8 = 259, // z in the high 24 bits, stencil in the low byte
    D3DX_SF_S1Z15 = 260, // stencil in bit 15, z below
    D3DX_SF_S8Z24 = 261, // stencil in the high byte, z below
    D3DX_SF_DEPTHMAX = 262,

    D3DX_SF_FORCEMAX = 0x7FFFFFFF
} D3DX_SURFACEFORMAT;

typedef struct _D3DX_VIDMODE {
    DWORD width;
    DWORD height;
    DWORD bpp;
    DWORD refreshRate; // Hz, 0 when the driver does not say
    DWORD flags;       // reserved, 0
} D3DX_VIDMODE;

typedef struct _D3DX_DEVICEDESC {
    DWORD deviceIndex; // the real index, also when asked with D3DX_DEFAULT
    DWORD hwLevel;     // D3DX_HWLEVEL_TL ... D3DX_HWLEVEL_NULL
    GUID ddDeviceID;
    GUID d3dDeviceID;
    char driverDesc[256];
    HMONITOR monitor;
    DWORD onPrimary;
} D3DX_DEVICEDESC;

// ---------------------------------------------------------------------------
// The rendering context
// ---------------------------------------------------------------------------
// {9CB78604-869D-40DA-B603-437516760A7E}
extern const IID IID_ID3DXContext;

// Getters return their object AddRef'ed (release it when done), or NULL.
struct ID3DXContext : public IUnknown {
    // The primary (front) surface.
    virtual IDirectDrawSurface7* STDMETHODCALLTYPE GetPrimary() = 0;
    // The Direct3D device, which renders into back buffer 0.
    virtual IDirect3DDevice7* STDMETHODCALLTYPE GetD3DDevice() = 0;
    virtual IDirect3D7* STDMETHODCALLTYPE GetD3D() = 0;
    virtual IDirectDraw7* STDMETHODCALLTYPE GetDD() = 0;
    // Back buffer 0 is the one rendered into; a context has one back buffer.
    virtual IDirectDrawSurface7* STDMETHODCALLTYPE GetBackBuffer(DWORD which) = 0;
    // NULL when the device offers no depth format.
    virtual IDirectDrawSurface7* STDMETHODCALLTYPE GetZBuffer() = 0;

    // Values Clear uses; at creation colour 0 (black), depth 1.0, stencil 0.
    virtual HRESULT STDMETHODCALLTYPE SetClearColor(D3DCOLOR color) = 0;
    virtual D3DCOLOR STDMETHODCALLTYPE GetClearColor() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClearDepth(float z) = 0; // 0..1
    virtual float STDMETHODCALLTYPE GetClearDepth() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClearStencil(DWORD stencil) = 0;
    virtual DWORD STDMETHODCALLTYPE GetClearStencil() = 0;
    // Clears the whole viewport; flags are D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER |
    // D3DCLEAR_STENCIL. D3DXERR_NOZBUFFER when depth or stencil is asked for
    // without a z-buffer; D3DXERR_INVALIDPARAMETER for flags 0 or unknown bits.
    virtual HRESULT STDMETHODCALLTYPE Clear(DWORD flags) = 0;
    // Presents back buffer 0. Windowed: a Blt into the window's client area
    // (stretched when the sizes differ), clipped by the window's clipper and cut
    // to the screen; a minimised, empty or off-screen window presents nothing
    // and succeeds. Full screen: Flip.
    // A lost surface is restored and DDERR_SURFACELOST returned: draw again.
    virtual HRESULT STDMETHODCALLTYPE UpdateFrame(DWORD flags) = 0;
    // Windowed only: new back buffer and z-buffer of width x height (0 or
    // D3DX_DEFAULT: the window's client size), the device retargeted to them and
    // its viewport set to cover them. On failure the old buffers stay in use.
    // Buffers obtained earlier with GetBackBuffer/GetZBuffer are the old ones.
    virtual HRESULT STDMETHODCALLTYPE Resize(DWORD width, DWORD height) = 0;
    // Text through GDI on back buffer 0: x and y are fractions (0..1) of its
    // width and height for the top left corner, transparent background, the
    // colour's RGB; '\n' starts a new line. Call it outside BeginScene/EndScene.
    virtual HRESULT STDMETHODCALLTYPE DrawDebugText(float x, float y, D3DCOLOR color, LPSTR text) = 0;

    virtual HWND STDMETHODCALLTYPE GetWindow() = 0;
    virtual DWORD STDMETHODCALLTYPE GetDeviceIndex() = 0; // the real index
    virtual BOOL STDMETHODCALLTYPE IsFullscreen() = 0;
};
typedef ID3DXContext* LPD3DXCONTEXT;

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(ID3DXContext, 0x9cb78604, 0x869d, 0x40da, 0xb6, 0x03, 0x43, 0x75, 0x16, 0x76, 0x0a, 0x7e)
#endif

// ---------------------------------------------------------------------------
// Functions
// ---------------------------------------------------------------------------
// Counted start and stop. The first start enumerates the devices; it fails
// (and counts nothing) with D3DXERR_NODIRECTDRAWAVAILABLE when DirectDraw lists
// no driver, D3DXERR_NODIRECT3DAVAILABLE when none offers Direct3D 7,
// D3DXERR_NODIRECT3DDEVICEAVAILABLE when none has a Direct3D 7 device, or
// D3DXERR_NOMEMORY. A stop at zero does nothing and returns S_OK.
// Calls other than these, the format helpers and the calls on a caller's device
// (textures, shapes, sprites) return D3DXERR_D3DXNOTSTARTEDYET while the count is zero.
HRESULT D3DXInitialize();
HRESULT D3DXUninitialize();

// Number of D3DX devices; 0 when not started.
DWORD D3DXGetDeviceCount();
HRESULT D3DXGetDeviceDescription(DWORD deviceIndex, D3DX_DEVICEDESC* pDesc);

// Caps of a device: any of the pointers may be NULL, not all of them. pVidMode
// is accepted for symmetry and not used (the caps do not depend on the mode).
// D3DXERR_FAILEDGETCAPS when DirectDraw cannot give its caps.
HRESULT D3DXGetDeviceCaps(DWORD deviceIndex, const D3DX_VIDMODE* pVidMode, D3DDEVICEDESC7* pD3DCaps, DDCAPS* pDDHALCaps,
                          DDCAPS* pDDHELCaps);

// The adapter's current display mode (IDirectDraw7::GetDisplayMode).
HRESULT D3DXGetCurrentVideoMode(DWORD deviceIndex, D3DX_VIDMODE* pMode);
// Display modes of the adapter at the colour depths the device renders to
// (IDirectDraw7::EnumDisplayModes order). D3DXGetMaxNumVideoModes returns 0
// when not started or for a bad index; D3DXGetVideoMode gives
// D3DXERR_NOMATCHFOUND past the end.
DWORD D3DXGetMaxNumVideoModes(DWORD deviceIndex, DWORD flags);
HRESULT D3DXGetVideoMode(DWORD deviceIndex, DWORD flags, DWORD modeIndex, D3DX_VIDMODE* pMode);

// The surfaceIndex-th format of the classes in surfClassFlags (D3DX_SC_*) that
// the device supports; D3DXERR_NOMATCHFOUND past the end, D3DXERR_INVALIDPARAMETER
// for no class or an unknown bit. pMode (may be NULL: the current mode) only
// matters for render targets: its bpp chooses the format (32 X8R8G8B8,
// 24 R8G8B8, 16 R5G6B5 then R5G5B5, 8 PALETTE8); at the current mode's depth
// the mode's own pixel format is used.
HRESULT D3DXGetSurfaceFormat(DWORD deviceIndex, const D3DX_VIDMODE* pMode, DWORD surfClassFlags, DWORD surfaceIndex,
                             D3DX_SURFACEFORMAT* pFormat);

// DirectDraw pixel format of a D3DX format and back. These need no start.
// D3DXMakeDDPixelFormat: D3DXERR_INVALIDPARAMETER for D3DX_SF_UNKNOWN or an
// unknown value. D3DXMakeSurfaceFormat: D3DX_SF_UNKNOWN when nothing matches.
HRESULT D3DXMakeDDPixelFormat(D3DX_SURFACEFORMAT d3dxFormat, DDPIXELFORMAT* pddpf);
D3DX_SURFACEFORMAT D3DXMakeSurfaceFormat(const DDPIXELFORMAT* pddpf);

// Creates a rendering context on window hwnd (a top-level window when full
// screen). flags: 0 (windowed) or D3DX_CONTEXT_FULLSCREEN.
//   Windowed: DDSCL_NORMAL, primary surface with a clipper on hwnd, off-screen
//     3D back buffer of width x height (0 or D3DX_DEFAULT: hwnd's client size),
//     z-buffer (16-bit preferred), the device, a viewport covering the buffer.
//   Full screen: DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, the display mode
//     width x height (0 or D3DX_DEFAULT: the current size) at the current depth,
//     a flip chain with one back buffer, z-buffer, device, viewport. On a window
//     of another process that window is the focus window (DDSCL_SETFOCUSWINDOW)
//     and the flip chain presents to a device window DirectDraw makes in this
//     process (DDSCL_CREATEDEVICEWINDOW).
// Codes: D3DXERR_NULLPOINTER (ppCtx NULL), D3DXERR_D3DXNOTSTARTEDYET,
// D3DXERR_INVALIDD3DXDEVICEINDEX, D3DXERR_INVALIDPARAMETER (hwnd NULL or not a
// window, unknown flag bits, empty client area), D3DXERR_COLORDEPTHTOOLOW (the
// device cannot render at the display's depth of 8 bits or less),
// D3DXERR_INVALIDMODE (nor at a deeper one), D3DXERR_FULLSCREENPRIMARYEXISTS
// (another full-screen context lives), else DirectDraw's or Direct3D's own code.
// A failed creation leaves nothing behind and the cooperative level normal;
// a mode it has set is restored by the caller, as after a full-screen context.
// Only a full-screen flip chain the platform could not make leaves its
// DirectDraw object set aside, never used or released again, with the mode
// given back.
HRESULT D3DXCreateContext(DWORD deviceIndex, DWORD flags, HWND hwnd, DWORD width, DWORD height, ID3DXContext** ppCtx);

// Text for a result code, zero-terminated and cut to strLength bytes:
// the D3DXERR_* names, common DirectDraw/Direct3D/COM codes, else "0x%08X".
HRESULT D3DXGetErrorString(HRESULT hr, DWORD strLength, LPSTR pStr);

// ---------------------------------------------------------------------------
// Textures from files
// ---------------------------------------------------------------------------
// D3DXCreateTextureFromFile flags (*pFlags; pFlags may be NULL for 0): the texture
// stage written into the surface description (0-7), and no mip-maps whatever
// *pNumMipMaps asks for. Other bits: D3DXERR_INVALIDPARAMETER.
#define D3DX_TEXTURE_STAGE0 0
#define D3DX_TEXTURE_STAGE1 1
#define D3DX_TEXTURE_STAGE2 2
#define D3DX_TEXTURE_STAGE3 3
#define D3DX_TEXTURE_STAGE4 4
#define D3DX_TEXTURE_STAGE5 5
#define D3DX_TEXTURE_STAGE6 6
#define D3DX_TEXTURE_STAGE7 7
#define D3DX_TEXTURE_STAGE_MASK 0x00000007
#define D3DX_TEXTURE_NOMIPMAP 0x00000100

// How an image is resized to a texture of another size, and mip-levels made.
typedef enum _D3DX_FILTERTYPE {
    D3DX_FT_POINT = 0x01,         // nearest source pixel
    D3DX_FT_LINEAR = 0x02,        // bilinear; each mip-level the 2 x 2 average of the one above
    D3DX_FT_DEFAULT = 0xFFFFFFFF, // D3DX_DEFAULT: linear
} D3DX_FILTERTYPE;

// Loads an image file into a new texture surface of pDevice.
//   Files: Windows bitmaps (any file starting with "BM": 1, 4, 8, 16, 24 and 32 bits a
//     pixel, RLE and bit-field forms, checked against the file's size before GDI reads
//     them; always opaque) and Truevision Targa files (names ending ".tga" in any case:
//     uncompressed or run-length true colour of 24 or 32 bits, the fourth byte alpha).
//   *pWidth, *pHeight (either pointer may be NULL): 0 or D3DX_DEFAULT for the image's
//     size, else the size wanted; the image is stretched to the texture's full size.
//     Where the device needs powers of two (D3DPTEXTURECAPS_POW2) each side grows to
//     the next one; then each is cut to the device's maximum (256 when it reports 0),
//     and made square when it needs square textures. The size made is written back.
//   *pPixelFormat (may be NULL): D3DX_SF_UNKNOWN to let the layer choose, else the
//     format wanted; a format the device does not offer for textures, or that the layer
//     does not write (palettes, bump, YUV and compressed formats), is replaced by the
//     layer's choice, the first offered of
//       image with alpha (any pixel not opaque): A8R8G8B8, A4R4G4B4, A1R5G5B5, then
//         the opaque list;
//       opaque image: X8R8G8B8, R8G8B8, R5G6B5, R5G5B5, X4R4G4B4, A8R8G8B8, A1R5G5B5,
//         A4R4G4B4, R3G3B2, A8L8, L8.
//     The format made is written back. Channels are cut to the format's bits; L is
//     (77 R + 150 G + 29 B) / 256.
//   pDDPal: accepted and not used (no palettised texture is made).
//   *ppDDSurf: the texture, with one reference for the caller. On a hardware device
//     (HAL, T&L HAL) it is managed (DDSCAPS2_TEXTUREMANAGE), otherwise in system memory.
//     It can be locked.
//   *pNumMipMaps (may be NULL: one level): 0 or D3DX_DEFAULT for every level down to
//     1 x 1, else at most that many; one level when the device cannot filter between
//     mip-maps or with D3DX_TEXTURE_NOMIPMAP. The number made is written back.
//   filterType: D3DX_FT_POINT, D3DX_FT_LINEAR or D3DX_FT_DEFAULT, else
//     D3DXERR_INVALIDPARAMETER.
// Codes: D3DXERR_NULLPOINTER (no device, no name or ppDDSurf NULL),
// DDERR_NOTFOUND (the file cannot be opened), D3DXERR_UNSUPPORTEDFILEFORMAT (not a
// bitmap or a Targa file by name, a Targa kind not read, an image over 16384 pixels a
// side), D3DXERR_INVALIDFILEFORMAT (a bitmap or Targa file that is truncated or does
// not fit its headers), D3DXERR_NOMEMORY, D3DXERR_ENUMFORMATSFAILED (the device lists
// no texture format the layer writes), else DirectDraw's code. *ppDDSurf is NULL after
// a failure, and nothing is written back. Needs no D3DXInitialize.
HRESULT D3DXCreateTextureFromFile(IDirect3DDevice7* pDevice, DWORD* pFlags, DWORD* pWidth, DWORD* pHeight,
                                  D3DX_SURFACEFORMAT* pPixelFormat, IDirectDrawPalette* pDDPal,
                                  IDirectDrawSurface7** ppDDSurf, DWORD* pNumMipMaps, LPCSTR pSrcName,
                                  D3DX_FILTERTYPE filterType);

// ---------------------------------------------------------------------------
// Simple shapes
// ---------------------------------------------------------------------------
// {5D3E8A41-2C7B-4F19-9E60-B1A4D2C8F375}
extern const IID IID_ID3DXSimpleShape;

// A shape is a triangle list in a vertex buffer of the device it was made for (the
// shape holds the device and the buffer). Space is Direct3D's left-handed one: x to
// the right, y up, z away from a camera at the default place; every shape is centred
// on the origin, and triangles are clockwise seen from outside (front faces for the
// default cull mode), with outward unit normals.
// Vertex format: D3DFVF_XYZ | D3DFVF_NORMAL and numTexCoords sets of two-dimensional
// texture coordinates (D3DFVF_TEXn), all sets alike; numTexCoords 0 to 8, D3DX_DEFAULT
// for 1. A one-set shape's vertex is the 32-byte D3DVERTEX.
struct ID3DXSimpleShape : public IUnknown {
    // The vertex buffer, AddRef'ed (release it when done). It may be locked to read the
    // vertices, and optimised (IDirect3DVertexBuffer7::Optimize): Draw still works.
    virtual IDirect3DVertexBuffer7* STDMETHODCALLTYPE GetVB() = 0;
    // The number of indices (three a triangle) of the triangle list; *ppIndices, when
    // ppIndices is not NULL, points to them for as long as the shape lives.
    virtual DWORD STDMETHODCALLTYPE GetIndices(const WORD** ppIndices) = 0;
    // Draws the shape with the device's current transforms, material, lights, textures
    // and render states (DrawIndexedPrimitiveVB); inside BeginScene/EndScene.
    virtual HRESULT STDMETHODCALLTYPE Draw() = 0;
};
typedef ID3DXSimpleShape* LPD3DXSIMPLESHAPE;

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(ID3DXSimpleShape, 0x5d3e8a41, 0x2c7b, 0x4f19, 0x9e, 0x60, 0xb1, 0xa4, 0xd2, 0xc8, 0xf3, 0x75)
#endif

// The shapes. Sizes are in world units and must be finite and not negative (zero is
// accepted and makes a shape that draws nothing); counts take D3DX_DEFAULT for the
// default named. A shape has at most 65535 vertices. Texture coordinates run from 0
// to 1 over each face of a box; around (u) and from top to bottom (v) on a turned shape.
// Codes: D3DXERR_NULLPOINTER (no device or ppShape NULL), D3DXERR_INVALIDPARAMETER (a
// size or count out of range, too many vertices), D3DXERR_NOMEMORY, else the
// device's code for the vertex buffer. *ppShape is NULL after a failure. Needs no
// D3DXInitialize.
//
// Box of width (x) x height (y) x depth (z); each face its own four vertices.
HRESULT D3DXCreateBox(IDirect3DDevice7* pDevice, float width, float height, float depth, DWORD numTexCoords,
                      ID3DXSimpleShape** ppShape);
// Cylinder (or cone) along y from -height/2 (base) to height/2 (top), closed by two
// flat caps; slices around (3 or more, default 16), stacks along (1 or more, default 1).
HRESULT D3DXCreateCylinder(IDirect3DDevice7* pDevice, float baseRadius, float topRadius, float height, DWORD numSlices,
                           DWORD numStacks, DWORD numTexCoords, ID3DXSimpleShape** ppShape);
// Regular polygon of numSides (3 to 65534; no default) sides of length sideSize in the
// plane z = 0, facing -z (the default camera); first corner straight up. A centre
// vertex and one a corner; u, v map the circumscribed circle's square onto 0..1.
HRESULT D3DXCreatePolygon(IDirect3DDevice7* pDevice, float sideSize, DWORD numSides, DWORD numTexCoords,
                          ID3DXSimpleShape** ppShape);
// Sphere; slices around (3 or more, default 16), stacks from pole to pole (2 or more,
// default 16).
HRESULT D3DXCreateSphere(IDirect3DDevice7* pDevice, float radius, DWORD numSlices, DWORD numStacks, DWORD numTexCoords,
                         ID3DXSimpleShape** ppShape);
// Teapot standing on the plane y = -0.62: body of radius 1 turned about y, lid with a
// knob up to y = 0.98, spout towards +x (tip at x = 1.62), handle towards -x (out to
// x = -1.5). The spout and handle are open tubes whose ends lie inside the body.
HRESULT D3DXCreateTeapot(IDirect3DDevice7* pDevice, DWORD numTexCoords, ID3DXSimpleShape** ppShape);
// Torus lying in the plane y = 0 about the y axis: innerRadius is the radius of the
// hole, outerRadius that of the outer edge (innerRadius < outerRadius), so the tube's
// radius is (outer - inner) / 2. numSides segments around the tube (3 or more, default
// 8), numRings around the hole (3 or more, default 16).
HRESULT D3DXCreateTorus(IDirect3DDevice7* pDevice, float innerRadius, float outerRadius, DWORD numSides, DWORD numRings,
                        DWORD numTexCoords, ID3DXSimpleShape** ppShape);

// ---------------------------------------------------------------------------
// Sprites
// ---------------------------------------------------------------------------
typedef struct D3DXVECTOR2 {
    float x, y;
} D3DXVECTOR2;
typedef struct D3DXVECTOR3 {
    float x, y, z;
} D3DXVECTOR3;

// Sets the device up for D3DXDrawSpriteSimple; call it inside the scene before the
// sprites. Sets: alpha blending on (SRCALPHA, INVSRCALPHA), alpha test on (alpha
// above 0), lighting, fog, specular and culling off, z-buffering (test LESSEQUAL and
// write) on only when zEnable; stage 0 modulating texture and diffuse colour and
// alpha, bilinear filters without mip-maps, clamped addressing, coordinates passed
// through untransformed, no wrapping; stage 1 off. Codes: D3DXERR_NULLPOINTER, else
// the device's. Needs no D3DXInitialize.
HRESULT D3DXPrepareDeviceForSprite(IDirect3DDevice7* pDevice, BOOL zEnable = FALSE);

// Draws texture pTexture (a surface of pDevice) as a flat quad on the render target:
//   the source is pSourceRect of the texture in texels (NULL: the whole surface);
//   its size in pixels is the source's size times scale (a negative scale mirrors it);
//   ppointDest->x, y is where the pivot lands, in pixels of the render target from its
//   top-left corner, and z its depth (0..1, seen only with zEnable);
//   the pivot is the quad's centre moved by *pOffset (NULL: none), in pixels of the
//   scaled quad, x right and y down; the quad turns about it by angleRad radians,
//   clockwise on the screen for positive angles;
//   alpha (0..1) multiplies the texture's alpha (1 where it has none), and the quad is
//   blended as D3DXPrepareDeviceForSprite set up.
// At angle 0 and scale 1 each texel covers one pixel exactly. Codes:
// D3DXERR_NULLPOINTER (no texture, device or point), E_INVALIDARG (alpha outside
// 0..1, a scale, angle, point or offset not finite, a source rectangle empty or not
// inside the texture), else the device's. Draw inside BeginScene/EndScene (Wine also
// draws outside a scene; other drivers may refuse). Sets stage 0's texture. Needs no
// D3DXInitialize.
HRESULT D3DXDrawSpriteSimple(IDirectDrawSurface7* pTexture, IDirect3DDevice7* pDevice, const D3DXVECTOR3* ppointDest,
                             float alpha = 1.0f, float scale = 1.0f, float angleRad = 0.0f,
                             const D3DXVECTOR2* pOffset = NULL, const RECT* pSourceRect = NULL);

// ---------------------------------------------------------------------------
// Inside the library only.
// ---------------------------------------------------------------------------
#ifdef ZYK_D3DX_BUILDING
#include <string>
#include <vector>

namespace d3dx_detail {

// The IUnknown of the layer's own objects: IUnknown and one interface, a count that starts
// at 1 for the creator, and deletion when it reaches 0.
template <class Itf, const IID* Iid>
class Counted : public Itf {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, *Iid)) {
            *ppv = static_cast<Itf*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

protected:
    Counted() = default;
    virtual ~Counted() = default;

private:
    LONG refs_ = 1;
};

// DirectDraw's entry points, taken from "ddraw.dll" at run time, so that a machine
// without it can still load the modules built on this layer; null when it is missing.
struct DirectDrawEntries {
    HRESULT(WINAPI* createEx)(GUID*, void**, REFIID, IUnknown*) = nullptr;
    HRESULT(WINAPI* enumerateExA)(LPDDENUMCALLBACKEXA, void*, DWORD) = nullptr;
};
const DirectDrawEntries& DirectDraw();

struct Device {
    // The start's DirectDraw object of the driver (owned by the device list;
    // cooperative level normal, no window). Never used past the start.
    IDirectDraw7* dd = nullptr;
    bool hasDDGuid = false;
    GUID ddGuid{};
    GUID d3dGuid{};
    DWORD hwLevel = D3DX_HWLEVEL_2D;
    char desc[256] = {};
    HMONITOR monitor = nullptr;
    bool onPrimary = false;
    D3DDEVICEDESC7 caps{};
    // Formats, filled on first use during one start.
    bool depthKnown = false, texturesKnown = false;
    std::vector<D3DX_SURFACEFORMAT> depthFormats, textureFormats, bumpFormats;
};

// Holds the layer's lock for its lifetime.
struct Lock {
    Lock();
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
};

// With the lock held: whether the layer is started, and the device for an index
// (D3DX_DEFAULT and hardware levels resolved). FindDevice returns
// D3DXERR_D3DXNOTSTARTEDYET or D3DXERR_INVALIDD3DXDEVICEINDEX.
bool Started();
HRESULT FindDevice(DWORD deviceIndex, Device** ppDevice, DWORD* pRealIndex);

// The device's DirectDraw object of this start, AddRef'ed. Making one costs
// Wine half a second, so the queries share one per driver.
HRESULT SharedDirectDraw(const Device& device, IDirectDraw7** ppDD);

// The caps bit (DDBD_*) for a colour depth, 0 for an unusual depth.
DWORD DepthBit(DWORD bpp);
// Whether the device's surfaces belong in system memory.
bool SoftwareLevel(DWORD hwLevel);

template <class T>
void SafeRelease(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

// Shape meshes (d3dx_geometry.cpp).
struct MeshVertex {
    float x, y, z, nx, ny, nz, u, v;
};
struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<WORD> indices; // triangle list
};
struct ProfilePoint {
    float r, y;
};
struct PathPoint {
    float x, y, radius;
};
void AddLathe(Mesh& mesh, const std::vector<ProfilePoint>& profile, bool closed, DWORD segments, float v0, float v1);
void AddTube(Mesh& mesh, const std::vector<PathPoint>& path, DWORD sides);
void BuildBox(Mesh& mesh, float width, float height, float depth);
void BuildPolygon(Mesh& mesh, float side, DWORD sides);
void BuildCylinder(Mesh& mesh, float baseRadius, float topRadius, float height, DWORD slices, DWORD stacks);
void BuildSphere(Mesh& mesh, float radius, DWORD slices, DWORD stacks);
void BuildTorus(Mesh& mesh, float innerRadius, float outerRadius, DWORD sides, DWORD rings);
void BuildTeapot(Mesh& mesh);

} // namespace d3dx_detail
#endif
