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
#define D3DXERR_NOMEMORY                  ((HRESULT)0xC8770BB8L)
#define D3DXERR_NULLPOINTER               ((HRESULT)0xC8770BB9L)
#define D3DXERR_INVALIDD3DXDEVICEINDEX    ((HRESULT)0xC8770BBAL)
#define D3DXERR_NODIRECTDRAWAVAILABLE     ((HRESULT)0xC8770BBBL)
#define D3DXERR_NODIRECT3DAVAILABLE       ((HRESULT)0xC8770BBCL)
#define D3DXERR_NODIRECT3DDEVICEAVAILABLE ((HRESULT)0xC8770BBDL)
#define D3DXERR_NOPRIMARYAVAILABLE        ((HRESULT)0xC8770BBEL)
#define D3DXERR_NOZBUFFERAVAILABLE        ((HRESULT)0xC8770BBFL)
#define D3DXERR_NOBACKBUFFERAVAILABLE     ((HRESULT)0xC8770BC0L)
#define D3DXERR_COULDNTUPDATECAPS         ((HRESULT)0xC8770BC1L)
#define D3DXERR_NOZBUFFER                 ((HRESULT)0xC8770BC2L)
#define D3DXERR_INVALIDMODE               ((HRESULT)0xC8770BC3L)
#define D3DXERR_INVALIDPARAMETER          ((HRESULT)0xC8770BC4L)
#define D3DXERR_INITFAILED                ((HRESULT)0xC8770BC5L)
#define D3DXERR_STARTUPFAILED             ((HRESULT)0xC8770BC6L)
#define D3DXERR_D3DXNOTSTARTEDYET         ((HRESULT)0xC8770BC7L)
#define D3DXERR_NOTINITIALIZED            ((HRESULT)0xC8770BC8L)
#define D3DXERR_FAILEDDRAWTEXT            ((HRESULT)0xC8770BC9L)
#define D3DXERR_BADD3DXCONTEXT            ((HRESULT)0xC8770BCAL)
#define D3DXERR_CAPSNOTSUPPORTED          ((HRESULT)0xC8770BCBL)
#define D3DXERR_UNSUPPORTEDFILEFORMAT     ((HRESULT)0xC8770BCCL)
#define D3DXERR_IFLERROR                  ((HRESULT)0xC8770BCDL)
#define D3DXERR_FAILEDGETCAPS             ((HRESULT)0xC8770BCEL)
#define D3DXERR_CANNOTRESIZEFULLSCREEN    ((HRESULT)0xC8770BCFL)
#define D3DXERR_CANNOTRESIZENONWINDOWED   ((HRESULT)0xC8770BD0L)
#define D3DXERR_FRONTBUFFERALREADYEXISTS  ((HRESULT)0xC8770BD1L)
#define D3DXERR_FULLSCREENPRIMARYEXISTS   ((HRESULT)0xC8770BD2L)
#define D3DXERR_GETDCFAILED               ((HRESULT)0xC8770BD3L)
#define D3DXERR_BITBLTFAILED              ((HRESULT)0xC8770BD4L)
#define D3DXERR_NOTEXTURE                 ((HRESULT)0xC8770BD5L)
#define D3DXERR_MIPLEVELABSENT            ((HRESULT)0xC8770BD6L)
#define D3DXERR_SURFACENOTPALETTED        ((HRESULT)0xC8770BD7L)
#define D3DXERR_ENUMFORMATSFAILED         ((HRESULT)0xC8770BD8L)
#define D3DXERR_COLORDEPTHTOOLOW          ((HRESULT)0xC8770BD9L)
#define D3DXERR_INVALIDFILEFORMAT         ((HRESULT)0xC8770BDAL)
#define D3DXERR_NOMATCHFOUND              ((HRESULT)0xC8770BDBL)

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
#define D3DX_DEFAULT            ((DWORD)0xFFFFFFFF)

// D3DXCreateContext flags.
#define D3DX_CONTEXT_FULLSCREEN 0x00000001

// ID3DXContext::UpdateFrame flags: full screen, flip without waiting for the
// vertical blank. A windowed frame is a Blt and never waits for it.
#define D3DX_UPDATE_NOVSYNC     0x00000001

// Hardware levels (D3DX_DEVICEDESC::hwLevel), also usable as device indices.
#define D3DX_HWLEVEL_HIGHEST    ((DWORD)-2)  // index only: the best device
#define D3DX_HWLEVEL_REFERENCE  ((DWORD)-3)  // reference rasteriser
#define D3DX_HWLEVEL_2D         ((DWORD)-4)  // 2D hardware, software rasterisation
#define D3DX_HWLEVEL_RASTER     ((DWORD)-5)  // hardware rasterisation
#define D3DX_HWLEVEL_TL         ((DWORD)-6)  // hardware transform, lighting, rasterisation
#define D3DX_HWLEVEL_NULL       ((DWORD)-7)  // null device: renders nothing

// D3DXGetSurfaceFormat classes. Several may be or'ed together: the formats of
// the chosen classes are listed in this order (render target, depth buffer,
// colour texture, bump map), each format once.
//   RENDERTARGET  the display format of the mode (the current one, or pMode's
//                 depth), when the device can render at that depth;
//   DEPTHBUFFER   IDirect3D7::EnumZBufferFormats of the device, in its order;
//   COLORTEXTURE  IDirect3DDevice7::EnumTextureFormats without the bump formats;
//   BUMPMAP       the bump (DuDv) formats of EnumTextureFormats.
// Platform formats without a D3DX_SURFACEFORMAT (DXT2, DXT4, 24-bit z) are skipped.
#define D3DX_SC_RENDERTARGET    0x00000001
#define D3DX_SC_DEPTHBUFFER     0x00000002
#define D3DX_SC_COLORTEXTURE    0x00000004
#define D3DX_SC_BUMPMAP         0x00000008

// D3DXGetMaxNumVideoModes / D3DXGetVideoMode flags: list every refresh rate as a
// mode of its own (otherwise modes that differ only in refresh rate are one).
#define D3DX_GVM_REFRESHRATE    0x00000001

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------
typedef enum _D3DX_SURFACEFORMAT {
    D3DX_SF_UNKNOWN    = 0,
    D3DX_SF_R8G8B8     = 1,
    D3DX_SF_A8R8G8B8   = 2,
    D3DX_SF_X8R8G8B8   = 3,
    D3DX_SF_R5G6B5     = 4,
    D3DX_SF_R5G5B5     = 5,
    D3DX_SF_PALETTE4   = 6,
    D3DX_SF_PALETTE8   = 7,
    D3DX_SF_A1R5G5B5   = 8,
    D3DX_SF_X4R4G4B4   = 9,
    D3DX_SF_A4R4G4B4   = 10,
    D3DX_SF_L8         = 11,
    D3DX_SF_A8L8       = 12,
    D3DX_SF_U8V8       = 13,
    D3DX_SF_U5V5L6     = 14,
    D3DX_SF_U8V8L8     = 15,  // 32 bits a pixel: U, V, L and 8 unused bits
    D3DX_SF_UYVY       = 16,
    D3DX_SF_YUY2       = 17,
    D3DX_SF_DXT1       = 18,
    D3DX_SF_DXT3       = 19,
    D3DX_SF_DXT5       = 20,
    D3DX_SF_R3G3B2     = 21,
    D3DX_SF_A8         = 22,
    D3DX_SF_TEXTUREMAX = 23,

    D3DX_SF_Z16S0      = 256,
    D3DX_SF_Z32S0      = 257,  // any 32-bit depth buffer without stencil
    D3DX_SF_Z15S1      = 258,  // z in the high 15 bits, stencil in bit 0
    D3DX_SF_Z24S8      = 259,  // z in the high 24 bits, stencil in the low byte
    D3DX_SF_S1Z15      = 260,  // stencil in bit 15, z below
    D3DX_SF_S8Z24      = 261,  // stencil in the high byte, z below
    D3DX_SF_DEPTHMAX   = 262,

    D3DX_SF_FORCEMAX   = 0x7FFFFFFF
} D3DX_SURFACEFORMAT;

typedef struct _D3DX_VIDMODE {
    DWORD width;
    DWORD height;
    DWORD bpp;
    DWORD refreshRate;  // Hz, 0 when the driver does not say
    DWORD flags;        // reserved, 0
} D3DX_VIDMODE;

typedef struct _D3DX_DEVICEDESC {
    DWORD    deviceIndex;   // the real index, also when asked with D3DX_DEFAULT
    DWORD    hwLevel;       // D3DX_HWLEVEL_TL ... D3DX_HWLEVEL_NULL
    GUID     ddDeviceID;
    GUID     d3dDeviceID;
    char     driverDesc[256];
    HMONITOR monitor;
    DWORD    onPrimary;
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
    virtual HRESULT STDMETHODCALLTYPE SetClearDepth(float z) = 0;  // 0..1
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
    virtual DWORD STDMETHODCALLTYPE GetDeviceIndex() = 0;  // the real index
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
// Calls other than these and the format helpers return D3DXERR_D3DXNOTSTARTEDYET
// while the count is zero.
HRESULT D3DXInitialize();
HRESULT D3DXUninitialize();

// Number of D3DX devices; 0 when not started.
DWORD D3DXGetDeviceCount();
HRESULT D3DXGetDeviceDescription(DWORD deviceIndex, D3DX_DEVICEDESC* pDesc);

// Caps of a device: any of the pointers may be NULL, not all of them. pVidMode
// is accepted for symmetry and not used (the caps do not depend on the mode).
// D3DXERR_FAILEDGETCAPS when DirectDraw cannot give its caps.
HRESULT D3DXGetDeviceCaps(DWORD deviceIndex, const D3DX_VIDMODE* pVidMode,
                          D3DDEVICEDESC7* pD3DCaps, DDCAPS* pDDHALCaps, DDCAPS* pDDHELCaps);

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
HRESULT D3DXGetSurfaceFormat(DWORD deviceIndex, const D3DX_VIDMODE* pMode, DWORD surfClassFlags,
                             DWORD surfaceIndex, D3DX_SURFACEFORMAT* pFormat);

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
//     a flip chain with one back buffer, z-buffer, device, viewport.
// Codes: D3DXERR_NULLPOINTER (ppCtx NULL), D3DXERR_D3DXNOTSTARTEDYET,
// D3DXERR_INVALIDD3DXDEVICEINDEX, D3DXERR_INVALIDPARAMETER (hwnd NULL or not a
// window, unknown flag bits, empty client area), D3DXERR_COLORDEPTHTOOLOW (the
// device cannot render at the display's depth of 8 bits or less),
// D3DXERR_INVALIDMODE (nor at a deeper one), D3DXERR_FULLSCREENPRIMARYEXISTS
// (another full-screen context lives), else DirectDraw's or Direct3D's own code.
// A failed creation leaves nothing behind and the cooperative level normal;
// a mode it has set is restored by the caller, as after a full-screen context.
HRESULT D3DXCreateContext(DWORD deviceIndex, DWORD flags, HWND hwnd, DWORD width, DWORD height,
                          ID3DXContext** ppCtx);

// Text for a result code, zero-terminated and cut to strLength bytes:
// the D3DXERR_* names, common DirectDraw/Direct3D/COM codes, else "0x%08X".
HRESULT D3DXGetErrorString(HRESULT hr, DWORD strLength, LPSTR pStr);

// ---------------------------------------------------------------------------
// Inside the library only.
// ---------------------------------------------------------------------------
#ifdef ZYK_D3DX_BUILDING
#include <string>
#include <vector>

namespace d3dx_detail {

struct Device {
    // The start's DirectDraw object of the driver (owned by the device list;
    // cooperative level normal, no window). Never used past the start.
    IDirectDraw7* dd = nullptr;
    bool     hasDDGuid = false;
    GUID     ddGuid{};
    GUID     d3dGuid{};
    DWORD    hwLevel = D3DX_HWLEVEL_2D;
    char     desc[256] = {};
    HMONITOR monitor = nullptr;
    bool     onPrimary = false;
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

template <class T> void SafeRelease(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

}  // namespace d3dx_detail
#endif
