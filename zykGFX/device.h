// CGfxDevice: the root object of the 2D graphics server.
#pragma once
#include "gfx.h"
#include "com/create.h"
#include "com/object.h"
#include <vector>

// One DirectDraw driver of the machine: its DirectDraw object (made anew by each Initialise)
// and, once initialised on a window, the primary and back surfaces, the clipper and the
// eight sub-objects. The
// sub-objects of one set-up are tied under a generation of the device's own: Free, a new
// set of sub-objects and the device's end let that generation go, so that a sub-object a
// client still holds answers as without a device. Hardware, Mode and Palette are kept
// through Free and tied again when the device hands them its DirectDraw object anew.
class CGfxDevice : public zyk::com::CoClass<IDevice, &IID_IDevice, &CLSID_Device> {
public:
    ~CGfxDevice() override;

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Get(name_, out); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override { return WriteOnce(name_, name); }
    HRESULT STDMETHODCALLTYPE put_GUID(long guid) override;
    HRESULT STDMETHODCALLTYPE Clear(long colour, long x1, long y1, long x2, long y2) override;
    HRESULT STDMETHODCALLTYPE Flip(long stretchToWindow) override;
    HRESULT STDMETHODCALLTYPE get_Window(long* out) override { return Get(zyk::com::ToHandle(window_), out); }
    HRESULT STDMETHODCALLTYPE put_Window(long window) override;
    HRESULT STDMETHODCALLTYPE WaitVBL(WaitVBL_Constants wait) override;
    HRESULT STDMETHODCALLTYPE get_Modes(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Objects(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE RestoreMode() override;
    HRESULT STDMETHODCALLTYPE get_Caps(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_TextureMemory(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_VideoMemory(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* out) override { return Get(description_, out); }
    HRESULT STDMETHODCALLTYPE put_Description(BSTR text) override { return WriteOnce(description_, text); }
    HRESULT STDMETHODCALLTYPE Initialise(long width, long height, long fullscreen, long use3D,
                                         long quickSetup) override;
    HRESULT STDMETHODCALLTYPE get_DirectDrawPointer(long* out) override
    {
        return Get(zyk::com::ToHandle(dd_.Get()), out);
    }
    HRESULT STDMETHODCALLTYPE put_DirectDrawPointer(long dd) override;
    HRESULT STDMETHODCALLTYPE get_BackSurface(long* out) override { return Get(zyk::com::ToHandle(back_.Get()), out); }
    HRESULT STDMETHODCALLTYPE put_BackSurface(long surface) override;
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE get_MonitorFreq(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Hardware(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_DisplayMode(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Palette(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Machine(BSTR* out) override { return Get(machine_, out); }
    HRESULT STDMETHODCALLTYPE put_Machine(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Brightness(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Brightness(long value) override;

private:
    HRESULT WriteOnce(zyk::com::Bstr& field, BSTR value);
    void LetGoOfSubObjects();
    template <class Itf>
    zyk::com::Ptr<Itf> CreateSubObject(const CLSID& clsid, const IID& iid, const char* notRegistered);
    void TieAgain(IUnknown* kept);
    void FreeDevice();
    bool CreateSubObjects();
    bool CreateDirectDraw();
    void HandDirectDraw();
    void CreatePrimarySurface(long width, long height);
    void CreateBackSurface(long width, long height);
    void SetCoopLevel();
    void CreateClipper();
    void SetAsideDirectDraw();
    void ClientSize(long& width, long& height) const;

    zyk::com::Apartment apartment_;
    zyk::com::Ptr<IUnknown> creation_; // what DirectDrawCreateEx (or DirectDrawCreate) gave
    zyk::com::Ptr<IDirectDraw7> dd_;
    // The DirectDraw objects that new ones replaced since the last Free: a display mode
    // chosen through one stays until then.
    std::vector<zyk::com::Ptr<IDirectDraw7>> replaced_;
    zyk::com::Ptr<IDirectDrawSurface7> back_, primary_;
    HWND window_ = nullptr;
    bool use3D_ = false, fullscreen_ = false;
    zyk::com::Bstr name_, description_, machine_;
    zyk::com::Ptr<ICaps> caps_;
    zyk::com::Ptr<IVideoMemory> videoMemory_;
    zyk::com::Ptr<ITextureMemory> textureMemory_;
    zyk::com::Ptr<IModes> modes_;
    zyk::com::Ptr<IMode> mode_;
    zyk::com::Ptr<IObjects> objects_;
    zyk::com::Ptr<IPalette> palette_;
    zyk::com::Ptr<IHardware> hardware_;
    zyk::com::Tie generation_; // what the sub-objects of the current set-up are tied under
    GUID guid_{};              // all zero: the primary display driver
    long height_ = 0, width_ = 0;
};
