// CDevice3D: the root object of the 3D engine.
#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include "d3dx.h"
#include <utility>
#include <vector>

struct RenderOption; // device3d_options.cpp

// The root of a 3D scene: the D3DX rendering context on the client's window, the
// Direct3D interfaces taken from it, and the eleven child objects it hands them to.
//
//   device3d.cpp           construction, Initialise, Free, Resize, Level and the context
//   device3d_frame.cpp     Clear, Render, Update, the frame rate and Debug
//   device3d_options.cpp   the render options
//   device3d_children.cpp  the child getters and the pointers handed down to the children
//   device3d_carry.cpp     the scene carried over to the new device of a second Initialise
//   device3d_world.cpp     Save and Load of the world file
class CDevice3D : public zyk::com::CoClass<IDevice3D, &IID_IDevice3D, &CLSID_Device3D> {
public:
    CDevice3D();
    ~CDevice3D() override;

    // Frame
    HRESULT STDMETHODCALLTYPE Clear(float red, float green, float blue, float alpha) override;
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE get_FrameRate(float* out) override
    {
        return Get(static_cast<float>(frameRate_) / 10.0f, out);
    }
    HRESULT STDMETHODCALLTYPE Debug(float x, float y, Colours colour, BSTR text) override;

    // Set-up and tear-down
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE Initialise(long instance, long width, long height, VARIANT_BOOL fullscreen,
                                         long backBuffers) override;
    HRESULT STDMETHODCALLTYPE Resize(long width, long height) override;
    HRESULT STDMETHODCALLTYPE get_Level(HWLevels* out) override;
    HRESULT STDMETHODCALLTYPE get_Status(StatusModes* out) override { return Get(status_, out); }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Get(name_, out); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override { return Put(name_, name); }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* out) override { return Get(description_, out); }
    HRESULT STDMETHODCALLTYPE put_Description(BSTR text) override { return Put(description_, text); }
    HRESULT STDMETHODCALLTYPE get_Index(long* out) override { return Get(index_, out); }
    HRESULT STDMETHODCALLTYPE put_Index(long index) override { return Put(index_, index); }
    HRESULT STDMETHODCALLTYPE put_GUID(long guid) override;
    HRESULT STDMETHODCALLTYPE Save(BSTR filename) override;
    HRESULT STDMETHODCALLTYPE Load(BSTR filename) override;

    // Render options
    HRESULT STDMETHODCALLTYPE get_AntiAlias(AntiAliasModes* out) override;
    HRESULT STDMETHODCALLTYPE put_AntiAlias(AntiAliasModes mode) override;
    HRESULT STDMETHODCALLTYPE get_Dither(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_Dither(VARIANT_BOOL flag) override;
    HRESULT STDMETHODCALLTYPE get_ShadeMode(ShadeModes* out) override;
    HRESULT STDMETHODCALLTYPE put_ShadeMode(ShadeModes mode) override;
    HRESULT STDMETHODCALLTYPE get_Specular(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_Specular(VARIANT_BOOL flag) override;
    HRESULT STDMETHODCALLTYPE get_Cull(CullModes* out) override;
    HRESULT STDMETHODCALLTYPE put_Cull(CullModes mode) override;
    HRESULT STDMETHODCALLTYPE get_Outline(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Outline(long pattern) override;
    HRESULT STDMETHODCALLTYPE get_SurfaceFormat(SurfaceFormats* out) override;
    HRESULT STDMETHODCALLTYPE get_Graphics(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_DirectDraw(long* out) override { return Get(zyk::com::ToHandle(dd_.Get()), out); }

    // Window and rectangle
    HRESULT STDMETHODCALLTYPE get_Window(long* out) override { return Get(zyk::com::ToHandle(window_), out); }
    HRESULT STDMETHODCALLTYPE put_Window(long window) override;
    HRESULT STDMETHODCALLTYPE get_Left(long* out) override { return Get(rect_.left, out); }
    HRESULT STDMETHODCALLTYPE put_Left(long left) override { return Put(rect_.left, left); }
    HRESULT STDMETHODCALLTYPE get_Top(long* out) override { return Get(rect_.top, out); }
    HRESULT STDMETHODCALLTYPE put_Top(long top) override { return Put(rect_.top, top); }
    HRESULT STDMETHODCALLTYPE get_Right(long* out) override { return Get(rect_.right, out); }
    HRESULT STDMETHODCALLTYPE put_Right(long right) override { return Put(rect_.right, right); }
    HRESULT STDMETHODCALLTYPE get_Bottom(long* out) override { return Get(rect_.bottom, out); }
    HRESULT STDMETHODCALLTYPE put_Bottom(long bottom) override { return Put(rect_.bottom, bottom); }

    // Children
    HRESULT STDMETHODCALLTYPE get_Ambient(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Cameras(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Fog(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Lights(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Objects(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Textures(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Caps(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_TextureFormats(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Sprites(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_SimpleObjects(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Flares(IDispatch** out) override;

private:
    // Frame: sends the ambient colour to the device; false after publishing its failure.
    bool UpdateAmbientLight();

    // Render options: the ones with texts, and the ones that answer by the device's code alone.
    template <class T>
    HRESULT GetOption(const RenderOption& option, T* out);
    template <class T>
    HRESULT SetOption(const RenderOption& option, T value);
    template <class T>
    HRESULT SetBareOption(D3DRENDERSTATETYPE state, T value, T* kept);
    template <class T>
    HRESULT GetBareOption(D3DRENDERSTATETYPE state, T* out, T* kept);

    // Children
    HRESULT GetChild(IUnknown* child, const char* missingText, IDispatch** out);
    HRESULT GetChildOrNone(IUnknown* child, IDispatch** out);
    // Ties the children it still holds under the generation and hands them the pointers.
    void ConfigureChildren();
    // Lets the children of this generation go, and starts the next one.
    void NextGeneration();

    // A second Initialise: what the scene set on the device itself (the lights of the
    // filed lights, the fog and the render options, the transforms and the material) is
    // read from the old device and set on the new one, and every member still filed, and
    // each texture they hold, is handed the new device's pointers.
    struct SceneStates {
        std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> renderStates;
        std::vector<std::pair<D3DTRANSFORMSTATETYPE, D3DMATRIX>> transforms;
        struct Light {
            DWORD index;
            D3DLIGHT7 record;
            BOOL enabled;
        };
        std::vector<Light> lights;
        bool hasMaterial = false;
        D3DMATERIAL7 material{};
    };
    SceneStates ReadSceneStates() const;
    void WriteSceneStates(const SceneStates& states) const;
    void HandSceneOn() const;

    // Set-up: releases the context and what was taken from it, the texture surfaces made on
    // its DirectDraw object first. The children must have released what they keep of it.
    void ReleaseContext();
    // The body of Free, which destruction runs too: it never throws and never faults out.
    void FreeResources();

    // World file
    void WriteOrReadWorld(BSTR filename, bool save);

    GUID adapter_{};
    long instance_ = 0;
    HWND window_ = nullptr;
    D3DVIEWPORT7 viewport_{};
    zyk::com::Ptr<IDirect3DDevice7> device_;
    zyk::com::Ptr<IDirect3D7> d3d_;
    zyk::com::Ptr<IDirectDraw7> dd_;
    zyk::com::Ptr<IDirectDrawSurface7> backBuffer_;
    DWORD index_ = 0;
    StatusModes status_ = sm_NotInitialised;
    CullModes cull_ = cm_None;
    DWORD lastUpdate_ = 0;
    DWORD thisUpdate_ = 0;
    DWORD frameRate_ = 0;

    // The children hold the pointers handed down to them for one generation: from the
    // Initialise that hands them the device to the Free or the end that releases it; a
    // second Initialise hands the same children the new device. Its tie is the device's
    // own, not under the device's tie.
    zyk::com::Tie generation_;
    bool handedOn_ = false; // the children of this generation were handed a device
    SceneStates carried_;   // read from the old device, until a new one takes them
    zyk::com::Ptr<ITextureFormats> textureFormats_;
    zyk::com::Ptr<IFlares> flares_;
    zyk::com::Ptr<ITextures> textures_;
    zyk::com::Ptr<ISprites> sprites_;
    zyk::com::Ptr<ISimpleObjects> simpleObjects_;
    zyk::com::Ptr<IObjects> objects_;
    zyk::com::Ptr<ILights> lights_;
    zyk::com::Ptr<IFog> fog_;
    zyk::com::Ptr<IColour> ambient_;
    zyk::com::Ptr<IDeviceCaps> deviceCaps_;
    zyk::com::Ptr<ICameras> cameras_;

    zyk::com::Bstr description_;
    zyk::com::Bstr name_;
    RECT rect_{};
    zyk::com::Ptr<ID3DXContext> context_;
    D3DX_VIDMODE savedMode_{};
    bool fullscreen_ = false;
    bool d3dxStarted_ = false; // this object holds one D3DX start
};
