// CGfxDevice: DirectDraw, Initialise on a window with its surfaces and sub-objects, Clear, Flip, Free and the rest.
#include "device.h"
#include "com/create.h"
#include "image/display.h"

using gfx::CodeText;
using zyk::com::Ptr;
using zyk::com::ToHandle;

namespace {

using DirectDrawCreateExFn = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

const CodeText kCreateDirectDraw[] = {
    {E_FAIL, "Generic Error."},
    {E_OUTOFMEMORY, "Out Of Memory."},
    {E_INVALIDARG, "Invalid Parameters."},
    {DDERR_INVALIDDIRECTDRAWGUID, "Invalid DirectDraw GUID."},
    {DDERR_DIRECTDRAWALREADYCREATED, "DirectDraw Already Created."},
    {DDERR_NODIRECTDRAWHW, "No DirectDraw Hardware Available."},
};

const CodeText kCooperativeLevel[] = {
    {DDERR_OUTOFMEMORY, "Out of Memory."},          {DDERR_INVALIDPARAMS, "Invalid Parameters."},
    {DDERR_INVALIDOBJECT, "Invalid Object."},       {DDERR_HWNDSUBCLASSED, "HWND is Subclassed."},
    {DDERR_HWNDALREADYSET, "HWND is Already Set."}, {DDERR_EXCLUSIVEMODEALREADYSET, "Exclusive Mode Already Set."},
};

const CodeText kFlipBlt[] = {
    {DDERR_UNSUPPORTED, "Flip Failed. (Unsupported)"},
    {DDERR_GENERIC, "Flip Failed. (Generic)"},
    {DDERR_INVALIDPARAMS, "Flip Failed. (Invalid Parameters)"},
    {DDERR_INVALIDCLIPLIST, "Flip Failed. (Invalid Clip List)"},
    {DDERR_INVALIDOBJECT, "Flip Failed. (Invalid Object)"},
    {DDERR_INVALIDRECT, "Flip Failed. (Invalid Rectangle)"},
    {DDERR_NOALPHAHW, "Flip Failed. (No Alpha Hardware)"},
    {DDERR_NOCLIPLIST, "Flip Failed. (No Clip List)"},
    {DDERR_NOMIRRORHW, "Flip Failed. (No Mirror Hardware)"},
    {DDERR_NORASTEROPHW, "Flip Failed. (No Raster Operation Hardware)"},
    {DDERR_NOROTATIONHW, "Flip Failed. (No Rotation Hardware)"},
    {DDERR_NOSTRETCHHW, "Flip Failed. (No Stretch Hardware)"},
    {DDERR_NOZBUFFERHW, "Flip Failed. (No Z-Buffer Hardware)"},
    {DDERR_SURFACEBUSY, "Flip Failed. (Surface Busy)"},
    {DDERR_SURFACELOST, "Flip Failed. (Surface Lost)"},
    {DDERR_WASSTILLDRAWING, "Flip Failed. (Was Still Drawing)"},
    {DDERR_NOBLTHW, "Flip Failed. (No Blitter Hardware)"},
    {DDERR_NODDROPSHW, "Flip Failed. (No Direct Draw Raster Operation Hardware)"},
};

// The surface caps of the full-screen flip chain and its back buffer, and of a 3D target.
constexpr DWORD k3DCaps = DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;

bool IsZero(const GUID& g) { return g == GUID_NULL; }

void RestoreIfLost(IDirectDrawSurface7* surface)
{
    if (surface && surface->IsLost() == DDERR_SURFACELOST) surface->Restore();
}

} // namespace

CGfxDevice::~CGfxDevice()
{
    FreeDevice();
    hardware_.Reset();
    palette_.Reset();
    objects_.Reset();
    mode_.Reset();
    modes_.Reset();
    textureMemory_.Reset();
    videoMemory_.Reset();
    caps_.Reset();
    dd_.Reset();
}

HRESULT CGfxDevice::WriteOnce(zyk::com::Bstr& field, BSTR value)
{
    return Member([&] {
        if (field.Length() != 0) return S_OK;
        return field.Assign(value);
    });
}

// ---- creation of the DirectDraw object and the sub-objects ----

// Every sub-object of the current set-up is let go, those the device keeps included; what
// comes next is tied under a new generation.
void CGfxDevice::LetGoOfSubObjects()
{
    generation_.Cut();
    generation_ = zyk::com::Tie();
}

template <class Itf>
Ptr<Itf> CGfxDevice::CreateSubObject(const CLSID& clsid, const IID& iid, const char* notRegistered)
{
    return zyk::com::CreateOwned<Itf>(clsid, iid, notRegistered, generation_);
}

// A sub-object kept through Free belongs to the set-up again once it is handed the
// device's DirectDraw object anew.
void CGfxDevice::TieAgain(IUnknown* kept) { zyk::com::TieTo(kept, generation_); }

// The sub-objects, made anew in a fixed order; the first that cannot be made ends it. The
// ones they replace are let go.
bool CGfxDevice::CreateSubObjects()
{
    HRESULT hr = Member([&] {
        LetGoOfSubObjects();
        objects_.Reset();
        objects_ = CreateSubObject<IObjects>(CLSID_Objects, IID_IObjects, "Objects Not Registered.");
        modes_.Reset();
        modes_ = CreateSubObject<IModes>(CLSID_Modes, IID_IModes, "Modes Not Registered.");
        caps_.Reset();
        caps_ = CreateSubObject<ICaps>(CLSID_Caps, IID_ICaps, "Caps Not Registered.");
        textureMemory_.Reset();
        textureMemory_ =
            CreateSubObject<ITextureMemory>(CLSID_TextureMemory, IID_ITextureMemory, "TextureMemory Not Registered.");
        videoMemory_.Reset();
        videoMemory_ =
            CreateSubObject<IVideoMemory>(CLSID_VideoMemory, IID_IVideoMemory, "VideoMemory Not Registered.");
        hardware_.Reset();
        hardware_ = CreateSubObject<IHardware>(CLSID_Hardware, IID_IHardware, "Hardware Not Registered.");
        mode_.Reset();
        mode_ = CreateSubObject<IMode>(CLSID_Mode, IID_IMode, "Mode Not Registered.");
        palette_.Reset();
        palette_ = CreateSubObject<IPalette>(CLSID_Palette, IID_IPalette, "Palette Not Registered.");

        const long dd = ToHandle(dd_.Get());
        objects_->put_DD(dd);
        objects_->put_BackSurface(ToHandle(back_.Get()));
        modes_->put_DD(dd);
        if (window_) modes_->put_Window(ToHandle(window_));
        hardware_->put_DD(dd);
        textureMemory_->put_DD(dd);
        videoMemory_->put_DD(dd);
        caps_->put_DD(dd);
        palette_->put_DD(dd);
        objects_->put_ScreenWidth(width_);
        objects_->put_ScreenHeight(height_);
    });
    return SUCCEEDED(hr);
}

// The given pointer to every sub-object that keeps one, each tied to the set-up again.
void CGfxDevice::HandDirectDraw()
{
    const long dd = ToHandle(dd_.Get());
    auto hand = [&](auto& child) {
        if (!child) return;
        TieAgain(child.Get());
        child->put_DD(dd);
    };
    hand(objects_);
    hand(modes_);
    hand(hardware_);
    hand(textureMemory_);
    hand(videoMemory_);
    hand(caps_);
    hand(palette_);
    // A palette kept through Free keeps no surface of the set-up before.
    if (palette_ && !primary_) palette_->put_Surface(0);
}

// A new DirectDraw object for the driver's GUID (a zero GUID is the primary display
// driver, asked for with NULL). The one it replaces is kept until Free, with the display
// mode it may have chosen: the new one takes that mode over when it takes the display.
bool CGfxDevice::CreateDirectDraw()
{
    HRESULT hr = Member([&] {
        creation_.Reset();
        if (dd_) replaced_.push_back(std::move(dd_));
        HMODULE ddraw = LoadLibraryA("ddraw.dll");
        if (!ddraw) throw failure(E_FAIL, "DDRAW.DLL Not Found.");
        HRESULT created;
        if (auto createEx = reinterpret_cast<DirectDrawCreateExFn>(GetProcAddress(ddraw, "DirectDrawCreateEx"))) {
            created = createEx(IsZero(guid_) ? nullptr : &guid_, reinterpret_cast<void**>(creation_.Out()),
                               IID_IDirectDraw7, nullptr);
        } else {
            created = DirectDrawCreate(nullptr, reinterpret_cast<IDirectDraw**>(creation_.Out()), nullptr);
        }
        FreeLibrary(ddraw);
        if (FAILED(created) || !creation_) {
            if (SUCCEEDED(created)) created = E_FAIL;
            throw failure(created, gfx::TextOf(kCreateDirectDraw, created));
        }
        HRESULT hr = creation_->QueryInterface(IID_IDirectDraw7, reinterpret_cast<void**>(dd_.Out()));
        if (FAILED(hr) || !dd_)
            throw failure(FAILED(hr) ? hr : E_NOINTERFACE, "Failed to obtain DirectDraw7 Interface.");
        HandDirectDraw();
    });
    return SUCCEEDED(hr);
}

HRESULT CGfxDevice::put_GUID(long guid)
{
    return Member([&] {
        if (guid) guid_ = *zyk::com::FromHandle<GUID>(guid);
        if (!CreateDirectDraw()) throw failure(E_FAIL, "Failed to Initialise DirectDraw");
    });
}

// ---- Initialise and its surfaces ----

// The window's client area: the size a game draws in and the area a frame is shown in.
void CGfxDevice::ClientSize(long& width, long& height) const
{
    RECT r;
    if (!GetClientRect(window_, &r)) throw failure(E_FAIL, "GetWindowRect Function Failed.");
    width = r.right - r.left;
    height = r.bottom - r.top;
}

HRESULT CGfxDevice::Initialise(long width, long height, long fullscreen, long use3D, long quickSetup)
{
    return Member([&] {
        fullscreen_ = fullscreen != 0;
        use3D_ = use3D != 0;
        long clientWidth = 0, clientHeight = 0;
        if (!quickSetup) {
            if (!window_) window_ = GetActiveWindow();
            ClientSize(clientWidth, clientHeight);
        }
        width_ = width ? width : clientWidth;
        height_ = height ? height : clientHeight;

        CreateSubObjects();
        CreateDirectDraw();
        if (quickSetup) return;

        try {
            CreatePrimarySurface(width_, height_);
        } catch (failure& f) {
            throw failure(f.Result(), "CreatePrimarySurface Function Failed.");
        }
    });
}

// Full screen on a window of another process draws in a device window of this process
// (image/display.h).
void CGfxDevice::SetCoopLevel()
{
    if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
    HRESULT hr = fullscreen_ ? zyk::image::SetFullScreenLevel(dd_.Get(), window_)
                             : dd_->SetCooperativeLevel(window_, DDSCL_NORMAL);
    if (FAILED(hr)) throw failure(hr, gfx::TextOf(kCooperativeLevel, hr));
}

void CGfxDevice::CreatePrimarySurface(long width, long height)
{
    if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
    if (primary_) throw failure(E_POINTER, "Primary Surface Already Created.");
    try {
        SetCoopLevel();
    } catch (const failure&) {
        // The surfaces are asked for all the same: they answer why they cannot be made.
    }
    try {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        if (fullscreen_) {
            desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
            desc.dwBackBufferCount = 1;
            desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        } else {
            desc.dwFlags = DDSD_CAPS;
            desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        }
        if (use3D_) desc.ddsCaps.dwCaps |= k3DCaps;
        HRESULT hr = dd_->CreateSurface(&desc, primary_.Out(), nullptr);
        if (FAILED(hr) || !primary_) {
            if (fullscreen_) SetAsideDirectDraw();
            throw failure(FAILED(hr) ? hr : E_FAIL, "CreateSurface Function Failed.");
        }

        CreateBackSurface(width, height);
        if (objects_) {
            hr = objects_->put_BackSurface(ToHandle(back_.Get()));
            if (FAILED(hr)) throw failure(hr, "Back Surface Failed to be Set.");
        }
        if (palette_) palette_->put_Surface(ToHandle(primary_.Get()));
        try {
            CreateClipper();
        } catch (const failure&) {
            throw failure(E_FAIL, "CreateClipper Function Failed.");
        }
    } catch (...) {
        // A set-up that fails half-way leaves no surface behind.
        if (objects_) objects_->put_BackSurface(0);
        if (palette_) palette_->put_Surface(0);
        back_.Reset();
        primary_.Reset();
        throw;
    }
}

// The platform can leave the DirectDraw object of a full-screen primary surface that it
// failed to make half made: setting its cooperative level or releasing it the last time
// faults inside the platform. The sub-objects let go of what they keep of it, and the
// device keeps its references without ever using or releasing them; the next Initialise
// makes a new one.
void CGfxDevice::SetAsideDirectDraw()
{
    generation_.ReleaseKept();
    creation_.Detach();
    dd_.Detach();
}

void CGfxDevice::CreateBackSurface(long width, long height)
{
    HRESULT hr;
    if (fullscreen_) {
        // The flip chain's back buffer (never an off-screen plain surface).
        DDSCAPS2 caps{};
        caps.dwCaps = DDSCAPS_BACKBUFFER | (use3D_ ? k3DCaps : 0);
        hr = primary_->GetAttachedSurface(&caps, back_.Out());
    } else {
        DDSURFACEDESC2 desc = gfx::SurfaceDescription(width, height, use3D_ ? k3DCaps : DDSCAPS_OFFSCREENPLAIN);
        hr = dd_->CreateSurface(&desc, back_.Out(), nullptr);
    }
    if (FAILED(hr) || !back_) {
        back_.Reset();
        throw failure(FAILED(hr) ? hr : E_FAIL, "CreateBackSurface Function Failed.");
    }
}

// A clipper on the window, kept by the primary surface.
void CGfxDevice::CreateClipper()
{
    if (!dd_) throw failure(E_POINTER, "Direct Draw Not Initialised.");
    Ptr<IDirectDrawClipper> clipper;
    HRESULT hr = dd_->CreateClipper(0, clipper.Out(), nullptr);
    if (FAILED(hr)) throw failure(hr, "CreateClipper Function Failed.");
    if (!clipper) throw failure(E_POINTER, "Clipper Not Initialised.");
    if (!primary_) throw failure(E_POINTER, "Primary Surface Not Initialised.");
    hr = clipper->SetHWnd(0, window_);
    if (FAILED(hr)) throw failure(hr, "SetHWnd Function Failed.");
    hr = primary_->SetClipper(clipper.Get());
    if (FAILED(hr)) throw failure(hr, "SetClipper Function Failed.");
}

// ---- drawing ----

HRESULT CGfxDevice::Clear(long colour, long x1, long y1, long x2, long y2)
{
    return Member([&] {
        if (!back_) throw failure(E_POINTER, "BackSurface Not Initialised.");
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        // 0x00BBGGRR to 0x00RRGGBB.
        const DWORD c = static_cast<DWORD>(colour);
        fx.dwFillColor = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
        RECT r{x1, y1, x2 ? x2 : width_, y2 ? y2 : height_};
        HRESULT hr = back_->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        if (FAILED(hr)) throw failure(hr, "Blit Failed.");
    });
}

HRESULT CGfxDevice::Flip(long stretchToWindow)
{
    return Member([&] {
        if (!primary_) throw failure(E_POINTER, "Primary Surface Not Initialised.");
        if (!back_) throw failure(E_POINTER, "Back Surface Not Initialised.");
        RECT source{0, 0, width_, height_};
        // The window's client area on the screen.
        RECT destination;
        POINT origin{0, 0};
        if (!GetClientRect(window_, &destination) || !ClientToScreen(window_, &origin))
            throw failure(E_FAIL, "Get Window Dimensions Failed.");
        OffsetRect(&destination, origin.x, origin.y);
        if (!stretchToWindow) {
            destination.right = destination.left + width_;
            destination.bottom = destination.top + height_;
        }
        RestoreIfLost(primary_.Get());
        RestoreIfLost(back_.Get());

        // A page lock that fails changes nothing of the flip.
        primary_->PageLock(0);
        HRESULT hr;
        const char* text = nullptr;
        if (fullscreen_) {
            hr = primary_->Flip(nullptr, 0);
            if (FAILED(hr)) text = "Flip Failed.";
        } else {
            hr = primary_->Blt(&destination, back_.Get(), &source, DDBLT_WAIT, nullptr);
            if (FAILED(hr)) text = gfx::TextOf(kFlipBlt, hr, "Flip Failed. (Blitting)");
        }
        primary_->PageUnlock(0);
        if (text) throw failure(hr, text);
    });
}

// ---- window, modes and the sub-objects ----

HRESULT CGfxDevice::put_Window(long window)
{
    return Member([&] {
        window_ = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
        if (modes_) modes_->put_Window(window);
    });
}

HRESULT CGfxDevice::WaitVBL(WaitVBL_Constants wait)
{
    return Member([&] {
        if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
        HRESULT hr = dd_->WaitForVerticalBlank(static_cast<DWORD>(wait), nullptr);
        if (FAILED(hr)) throw failure(hr, "WaitForVerticalBlank Function Failed.");
    });
}

HRESULT CGfxDevice::RestoreMode()
{
    return Member([&] {
        if (!dd_) throw failure(E_POINTER, "Direct Draw Not Initialised.");
        HRESULT hr = dd_->RestoreDisplayMode();
        if (FAILED(hr)) throw failure(hr, "RestoreDisplayMode Function Failed.");
    });
}

HRESULT CGfxDevice::get_Modes(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(modes_, out, "Modes Not Initialised."); });
}

HRESULT CGfxDevice::get_Objects(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(objects_, out, "Objects Not Initialised."); });
}

HRESULT CGfxDevice::get_Caps(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(caps_, out, "Caps Not Initialised."); });
}

HRESULT CGfxDevice::get_TextureMemory(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(textureMemory_, out, "TextureMemory Not Initialised."); });
}

HRESULT CGfxDevice::get_VideoMemory(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(videoMemory_, out, "VideoMemory Not Initialised."); });
}

HRESULT CGfxDevice::get_Hardware(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(hardware_, out, "Failed to obtain Hardware Interface."); });
}

HRESULT CGfxDevice::get_Palette(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(palette_, out, "Failed to obtain Palette Interface."); });
}

HRESULT CGfxDevice::get_DisplayMode(IDispatch** out)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = nullptr;
        if (!mode_) throw failure(E_POINTER, "Failed to obtain Mode Interface.");
        if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        HRESULT hr = dd_->GetDisplayMode(&desc);
        if (FAILED(hr)) throw failure(hr, "GetDisplayMode Function Failed.");
        TieAgain(mode_.Get());
        mode_->put_DD(ToHandle(dd_.Get()));
        mode_->put_Width(static_cast<long>(desc.dwWidth));
        mode_->put_Height(static_cast<long>(desc.dwHeight));
        mode_->put_RefreshRate(static_cast<long>(desc.dwRefreshRate));
        mode_->put_Window(ToHandle(window_));
        mode_->put_Depth(static_cast<long>(desc.ddpfPixelFormat.dwRGBBitCount));
        zyk::com::HandOut(mode_, out, "Failed to obtain Mode Interface.");
    });
}

HRESULT CGfxDevice::put_Machine(BSTR name)
{
    return Member([&] {
        HRESULT hr = machine_.Assign(name);
        if (FAILED(hr)) throw failure(hr, "Out of Memory.");
        CreateSubObjects();
    });
}

// ---- adopted pointers ----

HRESULT CGfxDevice::put_DirectDrawPointer(long dd)
{
    return Member([&] {
        CreateSubObjects();
        dd_ = zyk::com::Hold<IDirectDraw7>(dd);
        if (!window_) window_ = GetActiveWindow();
        ClientSize(width_, height_);
        if (objects_) {
            objects_->put_ScreenWidth(width_);
            objects_->put_ScreenHeight(height_);
        }
        HandDirectDraw();
    });
}

HRESULT CGfxDevice::put_BackSurface(long surface)
{
    return Member([&] { back_ = zyk::com::Hold<IDirectDrawSurface7>(surface); });
}

// Back to the state before Initialise. Every sub-object is let go; Hardware, Mode and
// Palette stay with the device until it hands them its DirectDraw object again.
HRESULT CGfxDevice::Free()
{
    return Member([&] { FreeDevice(); });
}

// The body of Free, also run at the device's end (where no error information is touched).
// A failing restore of the display mode leaves nothing the client would see. What the
// sub-objects made of the DirectDraw objects goes first (their tie is cut), then the
// device's surfaces, then the DirectDraw objects that new ones replaced: released once the
// display is given back, each gives back the display mode it chose.
void CGfxDevice::FreeDevice()
{
    LetGoOfSubObjects();
    name_ = zyk::com::Bstr();
    if (dd_) dd_->RestoreDisplayMode();
    textureMemory_.Reset();
    videoMemory_.Reset();
    caps_.Reset();
    objects_.Reset();
    modes_.Reset();
    back_.Reset();
    primary_.Reset();
    // A freed full-screen device gives the display back to the other programs.
    if (dd_ && fullscreen_) zyk::image::SetNormalLevelAfterFullScreen(dd_.Get(), window_);
    fullscreen_ = false;
    replaced_.clear();
    creation_.Reset();
}

HRESULT CGfxDevice::get_MonitorFreq(long* out)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = 0;
        if (!dd_) throw failure(E_FAIL, "Failed to Obtain Monitor Frequency.");
        DWORD frequency = 0;
        HRESULT hr = dd_->GetMonitorFrequency(&frequency);
        if (FAILED(hr)) throw failure(hr, "GetMonitorFrequency Function Failed.");
        *out = static_cast<long>(frequency);
    });
}

HRESULT CGfxDevice::get_Brightness(long* out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        if (!primary_) return E_POINTER;
        Ptr<IDirectDrawGammaControl> gamma = primary_.As<IDirectDrawGammaControl>(IID_IDirectDrawGammaControl);
        if (!gamma) return E_NOINTERFACE;
        DDGAMMARAMP ramp{};
        HRESULT hr = gamma->GetGammaRamp(0, &ramp);
        if (FAILED(hr)) return hr;
        Ptr<IDirectDrawColorControl> colour;
        hr = primary_->QueryInterface(IID_IDirectDrawColorControl, reinterpret_cast<void**>(colour.Out()));
        if (FAILED(hr)) return hr;
        DDCOLORCONTROL controls{};
        controls.dwSize = sizeof controls;
        hr = colour->GetColorControls(&controls);
        if (FAILED(hr)) return hr;
        *out = controls.lBrightness;
        return S_OK;
    });
}

HRESULT CGfxDevice::put_Brightness(long value)
{
    return Member([&]() -> HRESULT {
        if (!primary_) return E_POINTER;
        Ptr<IDirectDrawColorControl> colour;
        HRESULT hr = primary_->QueryInterface(IID_IDirectDrawColorControl, reinterpret_cast<void**>(colour.Out()));
        if (FAILED(hr)) return hr;
        DDCOLORCONTROL controls{};
        controls.dwSize = sizeof controls;
        controls.dwFlags = DDCOLOR_BRIGHTNESS;
        controls.lBrightness = value;
        return colour->SetColorControls(&controls);
    });
}
