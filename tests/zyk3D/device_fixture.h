// Devices for the tests of the classes that talk to Direct3D: a real windowed D3DX
// context, and an in-memory stand-in that can refuse chosen calls.
#pragma once
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <d3dx.h>
#include <cstring>
#include <map>
#include <vector>
#include <gtest/gtest.h>

namespace device_fixture {

inline long Handle(const void* p) { return static_cast<long>(reinterpret_cast<LONG_PTR>(p)); }

inline DWORD Bits(float f)
{
    DWORD d;
    memcpy(&d, &f, sizeof d);
    return d;
}

inline float Float(DWORD d)
{
    float f;
    memcpy(&f, &d, sizeof f);
    return f;
}

// A suite with one real Direct3D 7 device on a small shown window, made once for the suite.
class DeviceSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(D3DXInitialize(), S_OK);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZykCameraFogTests";
        RegisterClassA(&wc); // already registered by an earlier suite: fine
        window_ = CreateWindowExA(0, wc.lpszClassName, "zyk3D", WS_OVERLAPPEDWINDOW, 40, 40, 300, 300, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
        ASSERT_EQ(D3DXCreateContext(D3DX_DEFAULT, 0, window_, 256, 256, &context_), S_OK);
        device_ = context_->GetD3DDevice();
        ASSERT_NE(device_, nullptr);
    }

    static void TearDownTestSuite()
    {
        if (device_) device_->Release();
        if (context_) context_->Release();
        device_ = nullptr;
        context_ = nullptr;
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
        D3DXUninitialize();
    }

    void SetUp() override { ASSERT_NE(device_, nullptr) << "no Direct3D device for this suite"; }

    static long DeviceHandle() { return Handle(device_); }

    static DWORD State(DWORD state)
    {
        DWORD value = 0xDEADBEEF;
        EXPECT_EQ(device_->GetRenderState(static_cast<D3DRENDERSTATETYPE>(state), &value), S_OK);
        return value;
    }

    static void SetState(DWORD state, DWORD value)
    {
        ASSERT_EQ(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value), S_OK);
    }

    static D3DMATRIX Transform(D3DTRANSFORMSTATETYPE which)
    {
        D3DMATRIX m;
        memset(&m, 0xFF, sizeof m);
        EXPECT_EQ(device_->GetTransform(which, &m), S_OK);
        return m;
    }

    static void SetTransform(D3DTRANSFORMSTATETYPE which, D3DMATRIX m)
    {
        ASSERT_EQ(device_->SetTransform(which, &m), S_OK);
    }

    static inline HWND window_ = nullptr;
    static inline ID3DXContext* context_ = nullptr;
    static inline IDirect3DDevice7* device_ = nullptr;
};

// An IDirect3DDevice7 stand-in that keeps transforms and render states in memory and
// fails the calls a test asks it to fail. Only the slots the scene classes call are
// served: IUnknown, SetTransform, GetTransform, SetRenderState and GetRenderState.
struct FakeDevice {
    FakeDevice() : vtable(Table()) {}
    FakeDevice(const FakeDevice&) = delete;
    FakeDevice& operator=(const FakeDevice&) = delete;

    long Handle() const { return device_fixture::Handle(this); }

    const void* const* vtable; // first, as in every COM object
    std::map<DWORD, D3DMATRIX> transforms;
    std::map<DWORD, DWORD> states;
    std::map<DWORD, HRESULT> failSetTransform, failSetState, failGetState;
    std::vector<DWORD> transformsSet; // in call order
    std::vector<DWORD> statesSet;
    // Lights: the records set, the enable state of each index set (GetLightEnable gives
    // 128 for an enabled light and E_INVALIDARG for an index never set, as Direct3D does),
    // the caps GetCaps reports, and the codes to refuse with (S_OK: not refused).
    std::map<DWORD, D3DLIGHT7> lights;
    std::map<DWORD, BOOL> lightsEnabled;
    DWORD vertexProcessingCaps = 0x3F, maxActiveLights = 8;
    HRESULT failGetCaps = S_OK, failSetLight = S_OK, failLightEnable = S_OK, failGetLightEnable = S_OK;
    // Materials: the record last set (all 0xFF bytes until one is), how many were set, and
    // the code to refuse SetMaterial with. Caps: the render and z-buffer depths reported.
    D3DMATERIAL7 material = Filled<D3DMATERIAL7>();
    int materialsSet = 0;
    HRESULT failSetMaterial = S_OK;
    DWORD renderBitDepth = 0x700, zBufferBitDepth = 0x600;
    // Drawing: the vertex lists DrawPrimitive was given (type, format, vertices as floats)
    // and the code to refuse it with. Texture limits GetCaps reports; the texture-manager
    // statistics GetInfo writes (nothing when infoResult is S_FALSE) and the code it gives.
    struct Draw {
        DWORD type, format;
        std::vector<float> vertices;
    };
    std::vector<Draw> draws;
    HRESULT failDrawPrimitive = S_OK;
    DWORD minTextureWidth = 1, minTextureHeight = 2, maxTextureWidth = 2048, maxTextureHeight = 1024;
    D3DDEVINFO_TEXTUREMANAGER textureManager{};
    HRESULT infoResult = S_OK;
    // Textures: the surface of each stage (GetTexture adds a reference to it, SetTexture
    // takes none), and the calls of SetTexture in order. Indexed drawing: what each
    // DrawIndexedPrimitive was given and the device's state at the time, and the code to
    // refuse it with.
    std::map<DWORD, IDirectDrawSurface7*> textures;
    std::vector<std::pair<DWORD, IDirectDrawSurface7*>> texturesSet;
    struct IndexedDraw {
        DWORD type, format, vertexCount, flags;
        const D3DVERTEX* vertices;
        std::vector<WORD> indices;
        D3DMATERIAL7 material;
        IDirectDrawSurface7* texture;
        D3DMATRIX world;
        DWORD alphaBlend;
    };
    std::vector<IndexedDraw> indexedDraws;
    HRESULT failDrawIndexedPrimitive = S_OK;

private:
    static HRESULT STDMETHODCALLTYPE QueryInterface(FakeDevice*, REFIID, void** out)
    {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    static ULONG STDMETHODCALLTYPE AddRef(FakeDevice*) { return 1; }
    static ULONG STDMETHODCALLTYPE Release(FakeDevice*) { return 1; }
    static HRESULT STDMETHODCALLTYPE SetTransformSlot(FakeDevice* self, D3DTRANSFORMSTATETYPE which, D3DMATRIX* m)
    {
        auto f = self->failSetTransform.find(which);
        if (f != self->failSetTransform.end()) return f->second;
        self->transforms[which] = *m;
        self->transformsSet.push_back(which);
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE GetTransformSlot(FakeDevice* self, D3DTRANSFORMSTATETYPE which, D3DMATRIX* m)
    {
        auto t = self->transforms.find(which);
        if (t == self->transforms.end()) return E_INVALIDARG;
        *m = t->second;
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE SetStateSlot(FakeDevice* self, D3DRENDERSTATETYPE state, DWORD value)
    {
        auto f = self->failSetState.find(state);
        if (f != self->failSetState.end()) return f->second;
        self->states[state] = value;
        self->statesSet.push_back(state);
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE GetStateSlot(FakeDevice* self, D3DRENDERSTATETYPE state, DWORD* value)
    {
        auto f = self->failGetState.find(state);
        if (f != self->failGetState.end()) return f->second;
        *value = self->states[state];
        return S_OK;
    }

    static HRESULT STDMETHODCALLTYPE GetCapsSlot(FakeDevice* self, D3DDEVICEDESC7* desc)
    {
        if (FAILED(self->failGetCaps)) return self->failGetCaps;
        memset(desc, 0, sizeof *desc);
        desc->dwVertexProcessingCaps = self->vertexProcessingCaps;
        desc->dwMaxActiveLights = self->maxActiveLights;
        desc->dwDeviceRenderBitDepth = self->renderBitDepth;
        desc->dwDeviceZBufferBitDepth = self->zBufferBitDepth;
        desc->dwMinTextureWidth = self->minTextureWidth;
        desc->dwMinTextureHeight = self->minTextureHeight;
        desc->dwMaxTextureWidth = self->maxTextureWidth;
        desc->dwMaxTextureHeight = self->maxTextureHeight;
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE DrawPrimitiveSlot(FakeDevice* self, D3DPRIMITIVETYPE type, DWORD format,
                                                       void* vertices, DWORD count, DWORD)
    {
        if (FAILED(self->failDrawPrimitive)) return self->failDrawPrimitive;
        const float* f = static_cast<const float*>(vertices);
        self->draws.push_back({static_cast<DWORD>(type), format, std::vector<float>(f, f + count * 8)});
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE GetInfoSlot(FakeDevice* self, DWORD id, void* info, DWORD size)
    {
        if (FAILED(self->infoResult)) return self->infoResult;
        if (id != D3DDEVINFOID_TEXTUREMANAGER || size != sizeof self->textureManager) return E_INVALIDARG;
        if (self->infoResult == S_OK) memcpy(info, &self->textureManager, size);
        return self->infoResult;
    }
    static HRESULT STDMETHODCALLTYPE SetLightSlot(FakeDevice* self, DWORD index, D3DLIGHT7* light)
    {
        if (FAILED(self->failSetLight)) return self->failSetLight;
        self->lights[index] = *light;
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE GetLightSlot(FakeDevice* self, DWORD index, D3DLIGHT7* light)
    {
        auto l = self->lights.find(index);
        if (l == self->lights.end()) return E_INVALIDARG;
        *light = l->second;
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE LightEnableSlot(FakeDevice* self, DWORD index, BOOL enable)
    {
        if (FAILED(self->failLightEnable)) return self->failLightEnable;
        self->lightsEnabled[index] = enable ? 128 : 0;
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE GetLightEnableSlot(FakeDevice* self, DWORD index, BOOL* enabled)
    {
        if (FAILED(self->failGetLightEnable)) return self->failGetLightEnable;
        auto l = self->lightsEnabled.find(index);
        if (l == self->lightsEnabled.end()) return E_INVALIDARG;
        *enabled = l->second;
        return S_OK;
    }

    template <class T>
    static T Filled()
    {
        T t;
        memset(&t, 0xFF, sizeof t);
        return t;
    }
    static HRESULT STDMETHODCALLTYPE SetMaterialSlot(FakeDevice* self, D3DMATERIAL7* m)
    {
        if (FAILED(self->failSetMaterial)) return self->failSetMaterial;
        self->material = *m;
        ++self->materialsSet;
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE GetMaterialSlot(FakeDevice* self, D3DMATERIAL7* m)
    {
        *m = self->material;
        return S_OK;
    }

    static HRESULT STDMETHODCALLTYPE GetTextureSlot(FakeDevice* self, DWORD stage, IDirectDrawSurface7** surface)
    {
        IDirectDrawSurface7* s = self->textures[stage];
        if (s) s->AddRef();
        *surface = s;
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE SetTextureSlot(FakeDevice* self, DWORD stage, IDirectDrawSurface7* surface)
    {
        self->textures[stage] = surface;
        self->texturesSet.push_back({stage, surface});
        return S_OK;
    }
    static HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveSlot(FakeDevice* self, D3DPRIMITIVETYPE type, DWORD format,
                                                              void* vertices, DWORD vertexCount, WORD* indices,
                                                              DWORD indexCount, DWORD flags)
    {
        if (FAILED(self->failDrawIndexedPrimitive)) return self->failDrawIndexedPrimitive;
        IndexedDraw d{static_cast<DWORD>(type),
                      format,
                      vertexCount,
                      flags,
                      static_cast<const D3DVERTEX*>(vertices),
                      std::vector<WORD>(indices, indices + indexCount),
                      self->material,
                      self->textures[0],
                      self->transforms[D3DTRANSFORMSTATE_WORLD],
                      self->states[D3DRENDERSTATE_ALPHABLENDENABLE]};
        self->indexedDraws.push_back(d);
        return S_OK;
    }

    // Slots of IDirect3DDevice7: 0-2 IUnknown, 11 SetTransform, 12 GetTransform,
    // 20 SetRenderState, 21 GetRenderState.
    static const void* const* Table()
    {
        static const void* table[49] = {reinterpret_cast<const void*>(&QueryInterface),
                                        reinterpret_cast<const void*>(&AddRef),
                                        reinterpret_cast<const void*>(&Release)};
        table[11] = reinterpret_cast<const void*>(&SetTransformSlot);
        table[12] = reinterpret_cast<const void*>(&GetTransformSlot);
        table[20] = reinterpret_cast<const void*>(&SetStateSlot);
        table[21] = reinterpret_cast<const void*>(&GetStateSlot);
        // Lights: 3 GetCaps, 18 SetLight, 19 GetLight, 44 LightEnable, 45 GetLightEnable.
        table[3] = reinterpret_cast<const void*>(&GetCapsSlot);
        table[18] = reinterpret_cast<const void*>(&SetLightSlot);
        table[19] = reinterpret_cast<const void*>(&GetLightSlot);
        table[44] = reinterpret_cast<const void*>(&LightEnableSlot);
        table[45] = reinterpret_cast<const void*>(&GetLightEnableSlot);
        // Materials: 16 SetMaterial, 17 GetMaterial.
        table[16] = reinterpret_cast<const void*>(&SetMaterialSlot);
        table[17] = reinterpret_cast<const void*>(&GetMaterialSlot);
        // Drawing and texture caps: 25 DrawPrimitive (D3DVERTEX lists), 48 GetInfo.
        table[25] = reinterpret_cast<const void*>(&DrawPrimitiveSlot);
        table[48] = reinterpret_cast<const void*>(&GetInfoSlot);
        // Textures and indexed drawing: 26 DrawIndexedPrimitive, 34 GetTexture, 35 SetTexture.
        table[26] = reinterpret_cast<const void*>(&DrawIndexedPrimitiveSlot);
        table[34] = reinterpret_cast<const void*>(&GetTextureSlot);
        table[35] = reinterpret_cast<const void*>(&SetTextureSlot);
        return table;
    }
};

// A stand-in texture surface that only counts its references (IUnknown slots only).
struct FakeSurface {
    FakeSurface() : vtable(Table()) {}
    IDirectDrawSurface7* Get() { return reinterpret_cast<IDirectDrawSurface7*>(this); }

    const void* const* vtable;
    LONG refs = 1;

private:
    static HRESULT STDMETHODCALLTYPE QueryInterface(FakeSurface*, REFIID, void** out)
    {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    static ULONG STDMETHODCALLTYPE AddRef(FakeSurface* self) { return ++self->refs; }
    static ULONG STDMETHODCALLTYPE Release(FakeSurface* self) { return --self->refs; }
    static const void* const* Table()
    {
        static const void* table[] = {reinterpret_cast<const void*>(&QueryInterface),
                                      reinterpret_cast<const void*>(&AddRef), reinterpret_cast<const void*>(&Release)};
        return table;
    }
};

// A device pointer whose vtable is null: any call through it is a machine fault.
struct BrokenDevice {
    const void* vtable = nullptr;
    long Handle() const { return device_fixture::Handle(this); }
};

} // namespace device_fixture
