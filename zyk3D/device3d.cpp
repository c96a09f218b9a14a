#include "device3d.h"
#include "colour.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "framerate.h"
#include "texturestore.h"
#include "worldfile.h"
#include "com/ptr.h"
#include "com/text.h"
#include "com/trace.h"
#include <mmsystem.h>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

using zyk::com::DebugOut;

namespace {

template <class T>
void ReleaseChild(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

void CheckChannel(float value, const char* text)
{
    if (!(value >= 0.0f && value <= 1.0f)) throw failure(E_INVALIDARG, text);
}

const char* const kChannelTexts[] = {"Invalid Red Intensity.", "Invalid Green Intensity.", "Invalid Blue Intensity.",
                                     "Invalid Alpha Intensity."};

} // namespace

// ---------------------------------------------------------------------------
// Construction and destruction
// ---------------------------------------------------------------------------

CDevice3D::CDevice3D()
{
    InitialiseCOM();
    lastUpdate_ = thisUpdate_ = timeGetTime();
    // The first child that cannot be created stops the sequence; the object exists all
    // the same, and members that need a missing child say so.
    Member([&] {
        cameras_ = CreateChild<ICameras>(CLSID_Cameras, IID_ICameras, "Cameras Not Registered.");
        fog_ = CreateChild<IFog>(CLSID_Fog, IID_IFog, "Fog Not Registered.");
        flares_ = CreateChild<IFlares>(CLSID_Flares, IID_IFlares, "Flares Not Registered.");
        ambient_ = CreateChild<IColour>(CLSID_Colour, IID_IColour, "Colour Not Registered.");
        ambient_->put_Red(0.0f);
        ambient_->put_Green(0.0f);
        ambient_->put_Blue(0.0f);
        ambient_->put_Alpha(0.0f);
        lights_ = CreateChild<ILights>(CLSID_Lights, IID_ILights, "Lights Not Registered.");
        objects_ = CreateChild<IObjects>(CLSID_Objects, IID_IObjects, "Objects Not Registered.");
        simpleObjects_ =
            CreateChild<ISimpleObjects>(CLSID_SimpleObjects, IID_ISimpleObjects, "SimpleObjects Not Registered.");
        textures_ = CreateChild<ITextures>(CLSID_Textures, IID_ITextures, "Textures Not Registered.");
        textureFormats_ =
            CreateChild<ITextureFormats>(CLSID_TextureFormats, IID_ITextureFormats, "TextureFormats Not Registered.");
        sprites_ = CreateChild<ISprites>(CLSID_Sprites, IID_ISprites, "Sprites Not Registered.");
        deviceCaps_ = CreateChild<IDeviceCaps>(CLSID_DeviceCaps, IID_IDeviceCaps, "DeviceCaps Not Registered.");
    });
}

CDevice3D::~CDevice3D()
{
    FreeResources();
    // Children a client still holds are let go with the device.
    generation_.Cut();
    ReleaseChild(cameras_);
    ReleaseChild(fog_);
    ReleaseChild(flares_);
    ReleaseChild(ambient_);
    ReleaseChild(lights_);
    ReleaseChild(objects_);
    ReleaseChild(simpleObjects_);
    ReleaseChild(textures_);
    ReleaseChild(textureFormats_);
    ReleaseChild(sprites_);
    ReleaseChild(deviceCaps_);
}

// ---------------------------------------------------------------------------
// Initialise, Free, Resize
// ---------------------------------------------------------------------------

HRESULT CDevice3D::Initialise(long hInstance, long width, long Height, VARIANT_BOOL Fullscreen, long)
{
    return Member([&] {
        instance_ = hInstance;
        if (!window_) window_ = GetActiveWindow();
        if (!window_) throw failure(E_FAIL, "Failed to Obtain a Valid Rendering Window.");

        RECT outer{};
        GetWindowRect(window_, &outer);
        GetClientRect(window_, &rect_);
        rect_.left += outer.left;
        rect_.top += outer.top;
        rect_.right += outer.left;
        rect_.bottom += outer.top;

        char title[261] = {};
        GetWindowTextA(window_, title, 260);
        ZYK_TRACE("ZYK: Initialising Device3D on '%s'.\n", title);

        // A second Initialise starts again from a fresh context; the children are let go
        // of the device it releases, and tied again when they are handed the new one.
        if (context_) ReleaseContext();

        if (!d3dxStarted_) {
            HRESULT hr = D3DXInitialize();
            if (FAILED(hr)) throw failure(hr, IDS_D3DXINITFAILED);
            d3dxStarted_ = true;
        }
        // The mode to give back after full screen; an index D3DX does not know falls back
        // to the default device below, and so does the mode.
        if (FAILED(D3DXGetCurrentVideoMode(index_, &savedMode_))) D3DXGetCurrentVideoMode(D3DX_DEFAULT, &savedMode_);

        const DWORD flags = Fullscreen ? D3DX_CONTEXT_FULLSCREEN : 0;
        HRESULT hr =
            D3DXCreateContext(index_, flags, window_, static_cast<DWORD>(width), static_cast<DWORD>(Height), &context_);
        if (FAILED(hr)) {
            context_ = nullptr;
            hr = D3DXCreateContext(D3DX_DEFAULT, flags, window_, static_cast<DWORD>(width), static_cast<DWORD>(Height),
                                   &context_);
        }
        if (FAILED(hr)) {
            context_ = nullptr;
            ThrowContextCreationFailure(hr);
        }
        fullscreen_ = flags != 0;

        device_ = context_->GetD3DDevice();
        d3d_ = context_->GetD3D();
        dd_ = context_->GetDD();
        backBuffer_ = context_->GetBackBuffer(0);
        if (!device_) throw failure(E_FAIL, "Exception Raised.");

        D3DVIEWPORT7 vp{};
        vp.dwX = 0;
        vp.dwY = 0;
        vp.dwWidth = static_cast<DWORD>(width);
        vp.dwHeight = static_cast<DWORD>(Height);
        vp.dvMinZ = 0.0f;
        vp.dvMaxZ = 1.0f;
        hr = device_->SetViewport(&vp);
        if (FAILED(hr)) {
            if (hr == E_INVALIDARG) throw failure(hr, IDS_INVALIDPARAMETER);
            if (hr == DDERR_INVALIDOBJECT) throw failure(hr, IDS_INVALIDOBJECT);
            if (hr == D3DERR_VIEWPORTHASNODEVICE) throw failure(hr, "Viewport Has No Device Set.");
            throw failure(hr, IDS_UNKNOWNERROR);
        }

        ConfigureChildren();
        if (cameras_) {
            IDispatch* camera = nullptr;
            zyk::com::Bstr name(L"Default");
            if (SUCCEEDED(cameras_->get_Add(name.Get(), &camera)) && camera) camera->Release();
        }
        RestoreAllTextures(device_);

        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
        device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);

        device_->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
        device_->SetRenderState(D3DRENDERSTATE_CULLMODE, static_cast<DWORD>(cull_));
        device_->SetRenderState(D3DRENDERSTATE_NORMALIZENORMALS, TRUE);

        hr = device_->GetViewport(&viewport_);
        if (FAILED(hr)) throw failure(hr, "Failed to Get Viewport.");
        status_ = sm_Ready;
    });
}

// Ties each child it still holds under the generation, then hands it the pointers. A
// child that was handed the pointers of an earlier generation was let go with it; tied
// again, it takes the new ones.
void CDevice3D::ConfigureChildren()
{
    for (IUnknown* child : std::initializer_list<IUnknown*>{fog_, cameras_, deviceCaps_, lights_, objects_,
                                                            simpleObjects_, textures_, textureFormats_, sprites_})
        zyk::com::TieTo(child, generation_);
    const long device = zyk::com::ToHandle(device_), d3d = zyk::com::ToHandle(d3d_), dd = zyk::com::ToHandle(dd_);
    if (fog_) fog_->put_Device(device);
    if (cameras_) cameras_->put_Device(device);
    if (deviceCaps_) deviceCaps_->put_Device(device);
    if (lights_) {
        lights_->put_Direct3D(d3d);
        lights_->put_Device(device);
    }
    if (objects_) {
        objects_->put_Device(device);
        objects_->put_Direct3D(d3d);
    }
    if (simpleObjects_) {
        simpleObjects_->put_Device(device);
        simpleObjects_->put_Direct3D(d3d);
    }
    if (textures_) {
        textures_->put_Device(device);
        textures_->put_DirectDraw(dd);
    }
    if (textureFormats_) textureFormats_->put_Device(device);
    if (sprites_) sprites_->put_Device(device);
}

void CDevice3D::NextGeneration()
{
    generation_.Cut();
    generation_ = zyk::com::Tie();
}

// Releases the context and everything taken from it. A full-screen context gets the
// display mode that was current before Initialise back, while it still holds the
// exclusive level that SetDisplayMode needs.
void CDevice3D::ReleaseContext()
{
    // Nothing the children were handed may be used once it is released.
    NextGeneration();
    if (context_ && fullscreen_) {
        IDirectDraw7* dd = context_->GetDD();
        if (!dd) {
            DebugOut("Failed to Obtain DirectDraw. (Error Code=%lx).", static_cast<unsigned long>(E_POINTER));
        } else {
            HRESULT hr =
                dd->SetDisplayMode(savedMode_.width, savedMode_.height, savedMode_.bpp, savedMode_.refreshRate, 0);
            if (FAILED(hr)) hr = dd->RestoreDisplayMode();
            if (FAILED(hr))
                DebugOut("Failed to Set Exclusive Cooperative Level. (Error Code=%lx).",
                         static_cast<unsigned long>(hr));
            dd->Release();
        }
    }
    ReleaseChild(backBuffer_);
    ReleaseChild(device_);
    ReleaseChild(d3d_);
    ReleaseChild(dd_);
    ReleaseChild(context_);
    fullscreen_ = false;
}

// Free answers S_OK whatever happens inside it, and leaves no error information.
HRESULT CDevice3D::Free()
{
    return Member([&] { FreeResources(); });
}

void CDevice3D::FreeResources()
{
    auto body = [&]() {
        try {
            status_ = sm_NotInitialised;
            if (!context_) return;
            // A client may still hold the fog, the cameras or the collections: they are let
            // go of the released device with this generation.
            ReleaseContext();
            ReleaseChild(cameras_);
            ReleaseChild(textures_);
            ReleaseChild(lights_);
            ReleaseChild(objects_);
            ReleaseChild(fog_);
            ReleaseChild(textureFormats_);
            ReleaseChild(deviceCaps_);
            window_ = nullptr;
            adapter_ = GUID{};
            if (d3dxStarted_) {
                D3DXUninitialize();
                d3dxStarted_ = false;
            }
        } catch (...) {
            DebugOut("Exception Raised.\n");
        }
    };
    if (zyk::com::RunWithFaultFrame(body) != 0) DebugOut("Exception Raised.\n");
}

HRESULT CDevice3D::Resize(long width, long Height)
{
    return Member([&] {
        if (!context_) throw failure(E_POINTER, "Context Not Initialised.");
        HRESULT hr = context_->Resize(static_cast<DWORD>(width), static_cast<DWORD>(Height));
        if (FAILED(hr)) throw failure(hr, "Resize Failed.");
    });
}

HRESULT CDevice3D::get_Level(HWLevels* pVal)
{
    return Member([&] {
        RequireOut(pVal);
        D3DX_DEVICEDESC desc{};
        HRESULT hr = D3DXGetDeviceDescription(index_, &desc);
        if (FAILED(hr)) {
            switch (hr) {
            case D3DXERR_NULLPOINTER: throw failure(hr, "Null Pointer.");
            case D3DXERR_INVALIDD3DXDEVICEINDEX: throw failure(hr, "Invalid Index.");
            case D3DXERR_INITFAILED: throw failure(hr, "Direct3DX Initialisation Failed.");
            case D3DXERR_D3DXNOTSTARTEDYET: throw failure(hr, "Direct3DX Not Started Yet.");
            default: throw failure(hr, IDS_UNKNOWNERROR);
            }
        }
        *pVal = static_cast<HWLevels>(static_cast<long>(desc.hwLevel));
    });
}

HRESULT CDevice3D::Debug(float X, float Y, Colours Colour, BSTR DebugText)
{
    return Member([&] {
        if (!DebugText) throw failure(E_POINTER, "No Text Passed.");
        std::string text;
        try {
            text = zyk::com::ToAnsi(DebugText);
        } catch (const std::bad_alloc&) {
            throw failure(E_OUTOFMEMORY, IDS_OUTOFMEMORY);
        }
        if (!context_) throw failure(E_FAIL, "Exception Raised.");
        HRESULT hr = context_->DrawDebugText(X, Y, static_cast<D3DCOLOR>(Colour), text.data());
        if (FAILED(hr)) {
            UINT id = IDS_UNKNOWNERROR;
            switch (hr) {
            case E_INVALIDARG: id = 102; break;
            case E_NOTIMPL: id = 105; break;
            case E_FAIL: id = 109; break;
            case DDERR_INVALIDOBJECT: id = 103; break;
            case DDERR_SURFACELOST: id = 107; break;
            case DDERR_WASSTILLDRAWING: id = 106; break;
            case DDERR_INVALIDSURFACETYPE: id = 108; break;
            case DDERR_DCALREADYCREATED: id = 110; break;
            case D3DXERR_NULLPOINTER: id = 112; break;
            case D3DXERR_FAILEDDRAWTEXT: id = 111; break;
            }
            throw failure(hr, id);
        }
    });
}

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------

HRESULT CDevice3D::Clear(float Red, float Green, float Blue, float Alpha)
{
    return Member([&] {
        RECT r;
        if (!window_ || !GetWindowRect(window_, &r)) throw failure(E_FAIL, "GetWindowRect Function Failed.");
        const float channels[] = {Red, Green, Blue, Alpha};
        for (int i = 0; i < 4; ++i) CheckChannel(channels[i], kChannelTexts[i]);
        if (!context_) throw failure(E_FAIL, "Exception Raised.");
        HRESULT hr = context_->SetClearColor(PackColour(Red, Green, Blue, Alpha));
        if (FAILED(hr)) throw failure(hr, "Failed to set Clear Colour.");
        hr = context_->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
        if (FAILED(hr)) throw failure(hr, "Clear Failed.");
    });
}

bool CDevice3D::UpdateAmbientLight()
{
    HRESULT hr = Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!ambient_) throw failure(E_POINTER, "Ambient Light Not Initialised.");
        float c[4] = {};
        ambient_->get_Red(&c[0]);
        CheckChannel(c[0], kChannelTexts[0]);
        ambient_->get_Green(&c[1]);
        CheckChannel(c[1], kChannelTexts[1]);
        ambient_->get_Blue(&c[2]);
        CheckChannel(c[2], kChannelTexts[2]);
        ambient_->get_Alpha(&c[3]);
        CheckChannel(c[3], kChannelTexts[3]);
        HRESULT r = device_->SetRenderState(D3DRENDERSTATE_AMBIENT, PackColour(c[0], c[1], c[2], c[3]));
        if (FAILED(r)) throw failure(r, "Failed to Set Ambient Light.");
    });
    return SUCCEEDED(hr);
}

HRESULT CDevice3D::Render()
{
    return Member([&] {
        if (!device_) throw failure(E_FAIL, "Exception Raised.");
        HRESULT hr = device_->BeginScene();
        if (FAILED(hr)) throw failure(hr, "Begin Scene Function Failed.");
        UpdateAmbientLight(); // a failure is published and the frame goes on
        if (objects_) {
            hr = objects_->Render();
            if (FAILED(hr)) DebugOut("Failed to Render Object (Error Code = %lx)\n", static_cast<unsigned long>(hr));
        }
        if (simpleObjects_) {
            hr = simpleObjects_->Render();
            if (FAILED(hr))
                DebugOut("SimpleObjects Render Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
        }
        if (sprites_) sprites_->Render();
        hr = device_->EndScene();
        if (FAILED(hr)) {
            if (hr == D3DERR_SCENE_END_FAILED) throw failure(hr, "End Scene Function Failed.");
            throw failure(hr, "Unknown Error.");
        }
    });
}

// The frame rate is measured on every call, before anything else, also when the rest fails.
HRESULT CDevice3D::Update()
{
    thisUpdate_ = timeGetTime();
    frameRate_ = FrameRateTenths(thisUpdate_ - lastUpdate_, frameRate_);
    lastUpdate_ = timeGetTime();
    return Member([&] {
        if (!context_) throw failure(E_POINTER, "Context Device Not Initialised.");
        HRESULT hr = context_->UpdateFrame(D3DX_UPDATE_NOVSYNC);
        if (FAILED(hr)) ThrowFramePresentationFailure(hr);
    });
}

HRESULT CDevice3D::get_FrameRate(float* pVal) { return Get(static_cast<float>(frameRate_) / 10.0f, pVal); }

// ---------------------------------------------------------------------------
// Identity
// ---------------------------------------------------------------------------

HRESULT CDevice3D::get_Status(StatusModes* pVal) { return Get(status_, pVal); }
HRESULT CDevice3D::get_Name(BSTR* pVal) { return Get(name_, pVal); }
HRESULT CDevice3D::put_Name(BSTR newVal) { return Put(name_, newVal); }
HRESULT CDevice3D::get_Description(BSTR* pVal) { return Get(description_, pVal); }
HRESULT CDevice3D::put_Description(BSTR newVal) { return Put(description_, newVal); }
HRESULT CDevice3D::get_Index(long* pVal) { return Get(index_, pVal); }
HRESULT CDevice3D::put_Index(long newVal) { return Put(index_, newVal); }

// An address that does not hold 16 readable bytes is E_POINTER alone.
HRESULT CDevice3D::put_GUID(long newVal)
{
    return Member([&]() -> HRESULT {
        const void* source = reinterpret_cast<const void*>(static_cast<LONG_PTR>(newVal));
        if (!source || IsBadReadPtr(source, sizeof(GUID))) return E_POINTER;
        memcpy(&adapter_, source, sizeof(GUID));
        return S_OK;
    });
}

// ---------------------------------------------------------------------------
// Render options
// ---------------------------------------------------------------------------

HRESULT CDevice3D::SetRenderState(D3DRENDERSTATETYPE state, DWORD value, const char* failText)
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        HRESULT hr = device_->SetRenderState(state, value);
        if (FAILED(hr)) throw failure(hr, failText);
    });
}

// The four render-state properties with texts: a boolean one reads 1 for any non-zero
// state and writes TRUE for any non-zero value; the others pass values unchanged.
template <class T>
HRESULT CDevice3D::GetOption(D3DRENDERSTATETYPE state, T* out, const char* failText, bool boolean)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        DWORD v = 0;
        HRESULT hr = device_->GetRenderState(state, &v);
        if (FAILED(hr)) throw failure(hr, failText);
        *out = static_cast<T>(boolean ? (v ? 1 : 0) : v);
        return S_OK;
    });
}

HRESULT CDevice3D::get_AntiAlias(AntiAliasModes* pVal)
{
    return GetOption(D3DRENDERSTATE_ANTIALIAS, pVal, "Failed to Obtain Anti-Alias Setting.", false);
}
HRESULT CDevice3D::put_AntiAlias(AntiAliasModes newVal)
{
    return SetRenderState(D3DRENDERSTATE_ANTIALIAS, static_cast<DWORD>(newVal), "Failed to Set Anti-Alias Setting.");
}
HRESULT CDevice3D::get_Dither(VARIANT_BOOL* pVal)
{
    return GetOption(D3DRENDERSTATE_DITHERENABLE, pVal, "Failed to Obtain Dither Setting.", true);
}
HRESULT CDevice3D::put_Dither(VARIANT_BOOL newVal)
{
    return SetRenderState(D3DRENDERSTATE_DITHERENABLE, newVal ? TRUE : FALSE, "Failed to Set Dither Setting.");
}
HRESULT CDevice3D::get_ShadeMode(ShadeModes* pVal)
{
    return GetOption(D3DRENDERSTATE_SHADEMODE, pVal, "Failed to Obtain Shade Mode.", false);
}
HRESULT CDevice3D::put_ShadeMode(ShadeModes newVal)
{
    return SetRenderState(D3DRENDERSTATE_SHADEMODE, static_cast<DWORD>(newVal), "Failed to Set Shade Mode.");
}
HRESULT CDevice3D::get_Specular(VARIANT_BOOL* pVal)
{
    return GetOption(D3DRENDERSTATE_SPECULARENABLE, pVal, "Failed to Obtain Specular Setting.", true);
}
HRESULT CDevice3D::put_Specular(VARIANT_BOOL newVal)
{
    return SetRenderState(D3DRENDERSTATE_SPECULARENABLE, newVal ? TRUE : FALSE, "Failed to Set Specular Setting.");
}

// Cull and Outline answer by the device's code alone, and E_POINTER without a device.
HRESULT CDevice3D::get_Cull(CullModes* pVal)
{
    return Member([&]() -> HRESULT {
        if (!device_) return E_POINTER;
        if (!pVal) return E_POINTER;
        DWORD v = 0;
        HRESULT hr = device_->GetRenderState(D3DRENDERSTATE_CULLMODE, &v);
        if (SUCCEEDED(hr)) {
            cull_ = static_cast<CullModes>(v);
            *pVal = cull_;
        }
        return hr;
    });
}

HRESULT CDevice3D::put_Cull(CullModes newVal)
{
    return Member([&]() -> HRESULT {
        if (!device_) return E_POINTER;
        cull_ = newVal;
        return device_->SetRenderState(D3DRENDERSTATE_CULLMODE, static_cast<DWORD>(newVal));
    });
}

HRESULT CDevice3D::get_Outline(long* pVal)
{
    return Member([&]() -> HRESULT {
        if (!device_) return E_POINTER;
        if (!pVal) return E_POINTER;
        DWORD v = 0;
        HRESULT hr = device_->GetRenderState(D3DRENDERSTATE_LINEPATTERN, &v);
        if (SUCCEEDED(hr)) *pVal = static_cast<long>(v);
        return hr;
    });
}

HRESULT CDevice3D::put_Outline(long newVal)
{
    return Member([&]() -> HRESULT {
        if (!device_) return E_POINTER;
        return device_->SetRenderState(D3DRENDERSTATE_LINEPATTERN, static_cast<DWORD>(newVal));
    });
}

// D3DX's code alone, without error information.
HRESULT CDevice3D::get_SurfaceFormat(SurfaceFormats* pVal)
{
    return Member([&]() -> HRESULT {
        if (!context_ || !pVal) return E_POINTER;
        D3DX_SURFACEFORMAT format = D3DX_SF_UNKNOWN;
        HRESULT hr = D3DXGetSurfaceFormat(index_, nullptr, D3DX_SC_COLORTEXTURE, 0, &format);
        if (SUCCEEDED(hr)) *pVal = static_cast<SurfaceFormats>(format);
        return hr;
    });
}

HRESULT CDevice3D::get_Graphics(IDispatch**)
{
    return Member([] { return E_NOTIMPL; });
}

HRESULT CDevice3D::get_DirectDraw(long* pVal) { return Get(zyk::com::ToHandle(dd_), pVal); }

// ---------------------------------------------------------------------------
// Window and rectangle
// ---------------------------------------------------------------------------

HRESULT CDevice3D::get_Window(long* pVal) { return Get(zyk::com::ToHandle(window_), pVal); }
HRESULT CDevice3D::put_Window(long newVal)
{
    return Member([&] { window_ = zyk::com::FromHandle<HWND__>(newVal); });
}
HRESULT CDevice3D::get_Left(long* pVal) { return Get(rect_.left, pVal); }
HRESULT CDevice3D::put_Left(long newVal) { return Put(rect_.left, newVal); }
HRESULT CDevice3D::get_Top(long* pVal) { return Get(rect_.top, pVal); }
HRESULT CDevice3D::put_Top(long newVal) { return Put(rect_.top, newVal); }
HRESULT CDevice3D::get_Right(long* pVal) { return Get(rect_.right, pVal); }
HRESULT CDevice3D::put_Right(long newVal) { return Put(rect_.right, newVal); }
HRESULT CDevice3D::get_Bottom(long* pVal) { return Get(rect_.bottom, pVal); }
HRESULT CDevice3D::put_Bottom(long newVal) { return Put(rect_.bottom, newVal); }

// ---------------------------------------------------------------------------
// Children
// ---------------------------------------------------------------------------

HRESULT CDevice3D::GetChild(IUnknown* child, const char* missingText, IDispatch** out)
{
    return Member([&] {
        RequireOut(out);
        zyk::com::HandOut(child, out, missingText);
    });
}

// Cameras and Caps answer S_OK with an empty reference when the child is missing, and
// their failures carry no error information.
HRESULT CDevice3D::GetChildOrNone(IUnknown* child, IDispatch** out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!child) return S_OK;
        return zyk::com::HandOutCode(child, out);
    });
}

HRESULT CDevice3D::get_Ambient(IDispatch** p) { return GetChild(ambient_, "Ambient Light Not Initialised.", p); }
HRESULT CDevice3D::get_Fog(IDispatch** p) { return GetChild(fog_, "Fog Not Initialised.", p); }
HRESULT CDevice3D::get_Lights(IDispatch** p) { return GetChild(lights_, "Lights Not Initialised.", p); }
HRESULT CDevice3D::get_Objects(IDispatch** p) { return GetChild(objects_, "Objects Not Initialised.", p); }
HRESULT CDevice3D::get_Textures(IDispatch** p) { return GetChild(textures_, "Textures Not Initialised.", p); }
HRESULT CDevice3D::get_TextureFormats(IDispatch** p)
{
    return GetChild(textureFormats_, "TextureFormats Not Initialised.", p);
}
HRESULT CDevice3D::get_Sprites(IDispatch** p) { return GetChild(sprites_, "Sprites Not Initialised.", p); }
HRESULT CDevice3D::get_SimpleObjects(IDispatch** p)
{
    return GetChild(simpleObjects_, "SimpleObjects Not Initialised.", p);
}
HRESULT CDevice3D::get_Flares(IDispatch** p) { return GetChild(flares_, "Flares Not Initialised.", p); }

HRESULT CDevice3D::get_Cameras(IDispatch** p) { return GetChildOrNone(cameras_, p); }
HRESULT CDevice3D::get_Caps(IDispatch** p) { return GetChildOrNone(deviceCaps_, p); }

// ---------------------------------------------------------------------------
// World file
// ---------------------------------------------------------------------------

// A child of the device that is missing (after Free) still has its section in the file:
// the one a fresh child writes, and reading passes over it through a fresh child that is
// not kept.
template <class Child>
void CDevice3D::WorldSection(Child* child, const CLSID& clsid, const IID& iid, long stream, bool save)
{
    zyk::com::Ptr<Child> section(child);
    if (!section) section = world::Unfiled<Child>(clsid, iid);
    if (!section) return;
    save ? section->Save(stream) : section->Load(stream);
}

// A file that cannot be opened, or not written whole (a full disk, a write that fails on
// closing), fails, and so does a file that ends before its last section does: it is read
// as far as it goes, the rest reading as empty lines.
void CDevice3D::WriteOrReadWorld(BSTR filename, bool save)
{
    const char* const failed = save ? "Failed to Save the World File." : "Failed to Load the World File.";
    const std::string path = filename ? zyk::com::ToAnsi(filename) : std::string();
    ZYK_TRACE(save ? "Saving World: %s.\n" : "Loading World: %s.\n", path.c_str());
    // Written as text (lines end in CR LF), read as bytes: character 26 in a name would
    // end a text stream early (worldfile.h).
    FILE* f = path.empty() ? nullptr : fopen(path.c_str(), save ? "w" : "rb");
    if (!f) throw failure(E_FAIL, failed);
    bool whole = false, early = false;
    {
        std::unique_ptr<FILE, int (*)(FILE*)> open(f, fclose);
        world::EndWatch watch(f);
        const long stream = zyk::com::ToHandle(f);
        // A load makes each object's children: their class objects are fetched once for it.
        CreationScope creating;
        WorldSection(cameras_, CLSID_Cameras, IID_ICameras, stream, save);
        WorldSection(fog_, CLSID_Fog, IID_IFog, stream, save);
        WorldSection(lights_, CLSID_Lights, IID_ILights, stream, save);
        WorldSection(textures_, CLSID_Textures, IID_ITextures, stream, save);
        WorldSection(objects_, CLSID_Objects, IID_IObjects, stream, save);
        early = watch.Ended();
        // Flushed first: the platform's fclose does not always report a write that fails.
        whole = fflush(f) == 0 && !ferror(f);
        whole = fclose(open.release()) == 0 && whole;
    }
    ZYK_TRACE(save ? "Finished Saving World.\n" : "Finished Loading World.\n");
    if (save && !whole) throw failure(E_FAIL, failed);
    if (!save && early) throw failure(E_FAIL, "World File Ended Early.");
}

HRESULT CDevice3D::Save(BSTR Filename)
{
    return Member([&] { WriteOrReadWorld(Filename, true); });
}

HRESULT CDevice3D::Load(BSTR Filename)
{
    return Member([&] { WriteOrReadWorld(Filename, false); });
}
