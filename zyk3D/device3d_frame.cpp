// Device3D's frame: Clear, Render, Update with the frame rate it measures, and Debug text.
#include "device3d.h"
#include "colour.h"
#include "errormaps.h"
#include "com/failure.h"
#include "framerate.h"
#include "com/text.h"
#include "com/trace.h"
#include <mmsystem.h>
#include <new>
#include <string>

using zyk::com::DebugOut;

namespace {

// Each channel of a colour from 0.0 to 1.0, checked red, green, blue, alpha; NaN fails.
void CheckChannels(float red, float green, float blue, float alpha)
{
    const float channels[] = {red, green, blue, alpha};
    const char* const texts[] = {"Invalid Red Intensity.", "Invalid Green Intensity.", "Invalid Blue Intensity.",
                                 "Invalid Alpha Intensity."};
    for (int i = 0; i < 4; ++i)
        if (!(channels[i] >= 0.0f && channels[i] <= 1.0f)) throw failure(E_INVALIDARG, texts[i]);
}

} // namespace

HRESULT CDevice3D::Clear(float red, float green, float blue, float alpha)
{
    return Member([&] {
        RECT r;
        if (!window_ || !GetWindowRect(window_, &r)) throw failure(E_FAIL, "GetWindowRect Function Failed.");
        CheckChannels(red, green, blue, alpha);
        if (!context_) throw failure(E_FAIL, "Exception Raised.");
        HRESULT hr = context_->SetClearColor(PackColour(red, green, blue, alpha));
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
        D3DCOLORVALUE c{};
        ReadColour(ambient_.Get(), c);
        CheckChannels(c.r, c.g, c.b, c.a);
        HRESULT r = device_->SetRenderState(D3DRENDERSTATE_AMBIENT, PackColour(c.r, c.g, c.b, c.a));
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

HRESULT CDevice3D::Debug(float x, float y, Colours colour, BSTR text)
{
    return Member([&] {
        if (!text) throw failure(E_POINTER, "No Text Passed.");
        std::string ansi;
        try {
            ansi = zyk::com::ToAnsi(text);
        } catch (const std::bad_alloc&) {
            throw failure(E_OUTOFMEMORY, IDS_OUTOFMEMORY);
        }
        if (!context_) throw failure(E_FAIL, "Exception Raised.");
        HRESULT hr = context_->DrawDebugText(x, y, static_cast<D3DCOLOR>(colour), ansi.data());
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
