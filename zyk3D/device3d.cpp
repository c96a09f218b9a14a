// Device3D's construction and set-up: the children it makes, Initialise, Free, Resize, Level and the context.
#include "device3d.h"
#include "colour.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "texturestore.h"
#include "com/ptr.h"
#include "com/trace.h"
#include <mmsystem.h>
#include <cstring>

using zyk::com::DebugOut;
using zyk::com::Ptr;

namespace {

template <class Itf>
Ptr<Itf> MakeChild(const CLSID& clsid, const IID& iid, const char* notRegistered)
{
    return Ptr<Itf>::Adopt(CreateChild<Itf>(clsid, iid, notRegistered));
}

} // namespace

CDevice3D::CDevice3D()
{
    InitialiseCOM();
    lastUpdate_ = thisUpdate_ = timeGetTime();
    // The first child that cannot be created stops the sequence; the object exists all
    // the same, and members that need a missing child say so.
    Member([&] {
        cameras_ = MakeChild<ICameras>(CLSID_Cameras, IID_ICameras, "Cameras Not Registered.");
        fog_ = MakeChild<IFog>(CLSID_Fog, IID_IFog, "Fog Not Registered.");
        flares_ = MakeChild<IFlares>(CLSID_Flares, IID_IFlares, "Flares Not Registered.");
        ambient_ = MakeColour();
        lights_ = MakeChild<ILights>(CLSID_Lights, IID_ILights, "Lights Not Registered.");
        objects_ = MakeChild<IObjects>(CLSID_Objects, IID_IObjects, "Objects Not Registered.");
        simpleObjects_ =
            MakeChild<ISimpleObjects>(CLSID_SimpleObjects, IID_ISimpleObjects, "SimpleObjects Not Registered.");
        textures_ = MakeChild<ITextures>(CLSID_Textures, IID_ITextures, "Textures Not Registered.");
        textureFormats_ =
            MakeChild<ITextureFormats>(CLSID_TextureFormats, IID_ITextureFormats, "TextureFormats Not Registered.");
        sprites_ = MakeChild<ISprites>(CLSID_Sprites, IID_ISprites, "Sprites Not Registered.");
        deviceCaps_ = MakeChild<IDeviceCaps>(CLSID_DeviceCaps, IID_IDeviceCaps, "DeviceCaps Not Registered.");
    });
}

CDevice3D::~CDevice3D()
{
    FreeResources();
    // Children a client still holds are let go with the device.
    generation_.Cut();
    cameras_.Reset();
    fog_.Reset();
    flares_.Reset();
    ambient_.Reset();
    lights_.Reset();
    objects_.Reset();
    simpleObjects_.Reset();
    textures_.Reset();
    textureFormats_.Reset();
    sprites_.Reset();
    deviceCaps_.Reset();
}

HRESULT CDevice3D::Initialise(long instance, long width, long height, VARIANT_BOOL fullscreen, long)
{
    return Member([&] {
        instance_ = instance;
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

        // A second Initialise starts again from a fresh context and carries the scene over:
        // the children release what they keep of the old device, without being let go, and
        // are handed the new one below.
        const bool carried = handedOn_;
        if (context_) {
            carried_ = ReadSceneStates();
            generation_.ReleaseKept();
            ReleaseContext();
            status_ = sm_NotInitialised; // ready again only once the new context is set up
        }

        if (!d3dxStarted_) {
            HRESULT hr = D3DXInitialize();
            if (FAILED(hr)) throw failure(hr, IDS_D3DXINITFAILED);
            d3dxStarted_ = true;
        }
        // The mode to give back after full screen; an index D3DX does not know falls back
        // to the default device below, and so does the mode.
        if (FAILED(D3DXGetCurrentVideoMode(index_, &savedMode_))) D3DXGetCurrentVideoMode(D3DX_DEFAULT, &savedMode_);

        const DWORD flags = fullscreen ? D3DX_CONTEXT_FULLSCREEN : 0;
        const DWORD w = static_cast<DWORD>(width), h = static_cast<DWORD>(height);
        HRESULT hr = D3DXCreateContext(index_, flags, window_, w, h, context_.Out());
        if (FAILED(hr)) {
            context_.Detach(); // a failed creation gives no context
            hr = D3DXCreateContext(D3DX_DEFAULT, flags, window_, w, h, context_.Out());
        }
        if (FAILED(hr)) {
            context_.Detach();
            ThrowContextCreationFailure(hr);
        }
        fullscreen_ = flags != 0;

        device_ = Ptr<IDirect3DDevice7>::Adopt(context_->GetD3DDevice());
        d3d_ = Ptr<IDirect3D7>::Adopt(context_->GetD3D());
        dd_ = Ptr<IDirectDraw7>::Adopt(context_->GetDD());
        backBuffer_ = Ptr<IDirectDrawSurface7>::Adopt(context_->GetBackBuffer(0));
        if (!device_) throw failure(E_FAIL, "Exception Raised.");

        D3DVIEWPORT7 vp{};
        vp.dwX = 0;
        vp.dwY = 0;
        vp.dwWidth = w;
        vp.dwHeight = h;
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
        if (carried) {
            HandSceneOn();
            WriteSceneStates(carried_);
            carried_ = SceneStates{};
        }
        // The scene's "Default" camera carries over too: one is added when none is filed.
        if (cameras_) {
            zyk::com::Bstr name(L"Default");
            VARIANT key;
            V_VT(&key) = VT_BSTR;
            V_BSTR(&key) = name.Get();
            VARIANT found;
            VariantInit(&found);
            if (FAILED(cameras_->Item(key, &found))) {
                Ptr<IDispatch> camera;
                cameras_->get_Add(name.Get(), camera.Out());
            }
            VariantClear(&found);
        }
        RestoreAllTextures(device_.Get());

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

// Releases the context and everything taken from it. A full-screen context gets the
// display mode that was current before Initialise back, while it still holds the
// exclusive level that SetDisplayMode needs.
void CDevice3D::ReleaseContext()
{
    // The store's texture surfaces made on this DirectDraw object go before it.
    if (dd_) InvalidateTexturesOf(dd_.Get());
    if (context_ && fullscreen_) {
        auto dd = Ptr<IDirectDraw7>::Adopt(context_->GetDD());
        if (!dd) {
            DebugOut("Failed to Obtain DirectDraw. (Error Code=%lx).", static_cast<unsigned long>(E_POINTER));
        } else {
            HRESULT hr =
                dd->SetDisplayMode(savedMode_.width, savedMode_.height, savedMode_.bpp, savedMode_.refreshRate, 0);
            if (FAILED(hr)) hr = dd->RestoreDisplayMode();
            if (FAILED(hr))
                DebugOut("Failed to Set Exclusive Cooperative Level. (Error Code=%lx).",
                         static_cast<unsigned long>(hr));
        }
    }
    backBuffer_.Reset();
    device_.Reset();
    d3d_.Reset();
    dd_.Reset();
    context_.Reset();
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
            // go with this generation, and release what they keep of the device before it goes.
            NextGeneration();
            ReleaseContext();
            cameras_.Reset();
            textures_.Reset();
            lights_.Reset();
            objects_.Reset();
            fog_.Reset();
            textureFormats_.Reset();
            deviceCaps_.Reset();
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

HRESULT CDevice3D::Resize(long width, long height)
{
    return Member([&] {
        if (!context_) throw failure(E_POINTER, "Context Not Initialised.");
        HRESULT hr = context_->Resize(static_cast<DWORD>(width), static_cast<DWORD>(height));
        if (FAILED(hr)) throw failure(hr, "Resize Failed.");
    });
}

HRESULT CDevice3D::get_Level(HWLevels* out)
{
    return Member([&] {
        RequireOut(out);
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
        *out = static_cast<HWLevels>(static_cast<long>(desc.hwLevel));
    });
}

// An address that does not hold 16 readable bytes is E_POINTER alone.
HRESULT CDevice3D::put_GUID(long guid)
{
    return Member([&]() -> HRESULT {
        const void* source = reinterpret_cast<const void*>(static_cast<LONG_PTR>(guid));
        if (!source || IsBadReadPtr(source, sizeof(GUID))) return E_POINTER;
        memcpy(&adapter_, source, sizeof(GUID));
        return S_OK;
    });
}

HRESULT CDevice3D::put_Window(long window)
{
    return Member([&] { window_ = zyk::com::FromHandle<HWND__>(window); });
}
