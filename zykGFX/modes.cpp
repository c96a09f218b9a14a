// CModes: the display modes that DirectDraw enumerates, filed in the order it reports them.
#include "modes.h"
#include "com/create.h"
#include <string>

using zyk::com::Ptr;

CModes::~CModes() { items_.Clear(); }

// An enumeration that fails is reported and the member goes on.
HRESULT CModes::put_DD(long dd)
{
    return Member([&] {
        dd_.Hold(dd);
        Member([&] { EnumerateModes(); });
        items_.ForEach([&](const std::wstring&, IMode* mode) { mode->put_DD(dd_.Handle()); });
    });
}

HRESULT CModes::put_Window(long window)
{
    return Member([&] {
        window_ = window;
        Member([&] { EnumerateModes(); });
    });
}

// A new list each time: the modes of an earlier enumeration are let go.
void CModes::EnumerateModes()
{
    if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
    items_.Clear();
    next_ = 0;
    HRESULT hr = dd_->EnumDisplayModes(DDEDM_REFRESHRATES | DDEDM_STANDARDVGAMODES, nullptr, this, &EnumModesCallback);
    if (FAILED(hr)) throw failure(hr, "EnumDisplayModes Function Failed.");
}

HRESULT WINAPI CModes::EnumModesCallback(DDSURFACEDESC2* desc, void* context)
{
    auto* self = static_cast<CModes*>(context);
    Ptr<IMode> mode = Ptr<IMode>::Adopt(reinterpret_cast<IMode*>(CreateComObject(CLSID_Mode, IID_IMode)));
    if (!mode || !desc) return DDENUMRET_OK;
    mode->put_Width(static_cast<long>(desc->dwWidth));
    mode->put_Height(static_cast<long>(desc->dwHeight));
    mode->put_Depth(static_cast<long>(desc->ddpfPixelFormat.dwRGBBitCount));
    mode->put_RefreshRate(static_cast<long>(desc->dwRefreshRate));
    mode->put_DD(self->dd_.Handle());
    mode->put_Window(self->window_);
    try {
        const std::wstring key = L"Mode" + std::to_wstring(self->next_);
        self->items_.Put(key.c_str(), mode.Get());
    } catch (...) {
        return DDENUMRET_CANCEL;
    }
    ++self->next_;
    return DDENUMRET_OK;
}
