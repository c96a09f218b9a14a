#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include "d3dx.h"

// The root of a 3D scene: the D3DX rendering context on the client's window, the
// Direct3D interfaces taken from it, and the eleven child objects it hands them to.
class CDevice3D : public zyk::com::CoClass<CDevice3D, IDevice3D, &IID_IDevice3D, &CLSID_Device3D> {
public:
    CDevice3D();
    ~CDevice3D() override;

    // Frame
    HRESULT STDMETHODCALLTYPE Clear(float Red, float Green, float Blue, float Alpha) override;
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE get_FrameRate(float* pVal) override;

    // Set-up and tear-down
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE Initialise(long hInstance, long width, long Height, VARIANT_BOOL Fullscreen,
                                         long BackBuffers) override;
    HRESULT STDMETHODCALLTYPE Resize(long width, long Height) override;
    HRESULT STDMETHODCALLTYPE get_Level(HWLevels* pVal) override;
    HRESULT STDMETHODCALLTYPE Debug(float X, float Y, Colours Colour, BSTR DebugText) override;
    HRESULT STDMETHODCALLTYPE get_Status(StatusModes* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Description(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Index(long* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Index(long newVal) override;
    HRESULT STDMETHODCALLTYPE put_GUID(long newVal) override;
    HRESULT STDMETHODCALLTYPE Save(BSTR Filename) override;
    HRESULT STDMETHODCALLTYPE Load(BSTR Filename) override;

    // Render options
    HRESULT STDMETHODCALLTYPE get_AntiAlias(AntiAliasModes* pVal) override;
    HRESULT STDMETHODCALLTYPE put_AntiAlias(AntiAliasModes newVal) override;
    HRESULT STDMETHODCALLTYPE get_Dither(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Dither(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShadeMode(ShadeModes* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShadeMode(ShadeModes newVal) override;
    HRESULT STDMETHODCALLTYPE get_Specular(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Specular(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_Cull(CullModes* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Cull(CullModes newVal) override;
    HRESULT STDMETHODCALLTYPE get_Outline(long* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Outline(long newVal) override;
    HRESULT STDMETHODCALLTYPE get_SurfaceFormat(SurfaceFormats* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Graphics(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_DirectDraw(long* pVal) override;

    // Window and rectangle
    HRESULT STDMETHODCALLTYPE get_Window(long* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Window(long newVal) override;
    HRESULT STDMETHODCALLTYPE get_Left(long* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Left(long newVal) override;
    HRESULT STDMETHODCALLTYPE get_Top(long* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Top(long newVal) override;
    HRESULT STDMETHODCALLTYPE get_Right(long* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Right(long newVal) override;
    HRESULT STDMETHODCALLTYPE get_Bottom(long* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Bottom(long newVal) override;

    // Children
    HRESULT STDMETHODCALLTYPE get_Ambient(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Cameras(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Fog(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Lights(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Objects(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Textures(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Caps(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_TextureFormats(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Sprites(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_SimpleObjects(IDispatch** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Flares(IDispatch** pVal) override;

    // Sends the ambient colour to the device; false after publishing its failure.
    bool UpdateAmbientLight();

private:
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value, const char* failText);
    template <class T>
    HRESULT GetOption(D3DRENDERSTATETYPE state, T* out, const char* failText, bool boolean);
    HRESULT GetChild(IUnknown* child, const char* missingText, IDispatch** out);
    HRESULT GetChildOrNone(IUnknown* child, IDispatch** out);
    // Ties the children it still holds under the generation and hands them the pointers.
    void ConfigureChildren();
    // Lets the children of this generation go, and starts the next one.
    void NextGeneration();
    void ReleaseContext();
    // The body of Free, which destruction runs too: it never throws and never faults out.
    void FreeResources();
    void WriteOrReadWorld(BSTR filename, bool save);
    template <class Child>
    void WorldSection(Child* child, const CLSID& clsid, const IID& iid, long stream, bool save);

    GUID adapter_{};
    long instance_ = 0;
    HWND window_ = nullptr;
    D3DVIEWPORT7 viewport_{};
    IDirect3DDevice7* device_ = nullptr;
    IDirect3D7* d3d_ = nullptr;
    IDirectDraw7* dd_ = nullptr;
    IDirectDrawSurface7* backBuffer_ = nullptr;
    DWORD index_ = 0;
    StatusModes status_ = sm_NotInitialised;
    CullModes cull_ = cm_None;
    DWORD lastUpdate_ = 0;
    DWORD thisUpdate_ = 0;
    DWORD frameRate_ = 0;

    // The children hold the pointers handed down to them for one generation: from the
    // Initialise that hands them the device to the Free, the next Initialise or the end
    // that releases it. Its tie is the device's own, not under the device's tie.
    zyk::com::Tie generation_;
    ITextureFormats* textureFormats_ = nullptr;
    IFlares* flares_ = nullptr;
    ITextures* textures_ = nullptr;
    ISprites* sprites_ = nullptr;
    ISimpleObjects* simpleObjects_ = nullptr;
    IObjects* objects_ = nullptr;
    ILights* lights_ = nullptr;
    IFog* fog_ = nullptr;
    IColour* ambient_ = nullptr;
    IDeviceCaps* deviceCaps_ = nullptr;
    ICameras* cameras_ = nullptr;

    zyk::com::Bstr description_;
    zyk::com::Bstr name_;
    RECT rect_{};
    ID3DXContext* context_ = nullptr;
    D3DX_VIDMODE savedMode_{};
    bool fullscreen_ = false;
    bool d3dxStarted_ = false; // this object holds one D3DX start
};
