// Drawing a loaded .x model: the calls a stand-in device receives in each pass and the
// states it is left with, then pixels read back from a real Direct3D 7 device.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <vector>
#include "device_fixture.h"
#include "devicestate.h"
#include "testkit.h"
#include "texturestore.h"
#include "xfile.h"

namespace {

using device_fixture::DeviceSuite;
using device_fixture::FakeDevice;
using device_fixture::FakeSurface;

std::string Folder()
{
    static const std::string dir = testkit::ProcessFolder("zyk_xrender_");
    return dir;
}

std::string Write(const std::string& name, const std::string& text)
{
    const std::string path = Folder() + name;
    testkit::WriteAll(path, text);
    return path;
}

std::string F(float v)
{
    char s[32];
    snprintf(s, sizeof s, "%.6f", v);
    return s;
}

std::string Translation(float x, float y, float z)
{
    return "FrameTransformMatrix {\n1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, " + F(x) + "," + F(y) + "," +
           F(z) + ",1.0;;\n}\n";
}

std::string Material(float r, float g, float b, float a, const std::string& texture = "")
{
    std::string s =
        "Material {\n " + F(r) + ";" + F(g) + ";" + F(b) + ";" + F(a) + ";;\n 1.0;\n 0.0;0.0;0.0;;\n 0.0;0.0;0.0;;\n";
    if (!texture.empty()) s += " TextureFilename { \"" + texture + "\"; }\n";
    return s + "}\n";
}

// A square of side 2h centred on (cx, cy) at depth z, as two triangles, with the
// triangles' material indices and the materials.
std::string Square(const std::string& name, float cx, float cy, float h, float z, const std::string& list)
{
    auto v = [&](float x, float y) { return F(x) + ";" + F(y) + ";" + F(z) + ";"; };
    return "Mesh " + name + " {\n 4;\n " + v(cx - h, cy - h) + ", " + v(cx + h, cy - h) + ", " + v(cx + h, cy + h) +
           ", " + v(cx - h, cy + h) + ";\n 2;\n 3;0,1,2;, 3;0,2,3;;\n" + list + "}\n";
}

std::string List(const std::string& faceMaterials, int count, const std::string& materials)
{
    return "MeshMaterialList {\n " + std::to_string(count) + ";\n 2;\n " + faceMaterials + ";;\n" + materials + "}\n";
}

const char kHeader[] = "xof 0302txt 0064\n";

D3DMATRIX Translate(float x, float y, float z)
{
    D3DMATRIX m = {};
    m._11 = m._22 = m._33 = m._44 = 1;
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

D3DMATERIAL7 Marker()
{
    D3DMATERIAL7 m = {};
    m.diffuse.r = 0.125f;
    m.power = 7;
    return m;
}

class XFileRenderFake : public ::testing::Test {
protected:
    void SetUp() override
    {
        device.transforms[D3DTRANSFORMSTATE_WORLD] = Translate(10, 20, 30);
        device.states[D3DRENDERSTATE_ALPHABLENDENABLE] = 0;
        device.states[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
        device.states[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
        device.material = Marker();
        device.textures[0] = callerTexture.Get();
    }
    HRESULT Load(const std::string& body) { return model.Load(Write("fake.x", kHeader + body).c_str()); }
    IDirect3DDevice7* Device() { return reinterpret_cast<IDirect3DDevice7*>(&device); }

    void ExpectRestored()
    {
        EXPECT_EQ(device.states[D3DRENDERSTATE_ALPHABLENDENABLE], 0u);
        EXPECT_EQ(device.states[D3DRENDERSTATE_SRCBLEND], DWORD(D3DBLEND_ONE));
        EXPECT_EQ(device.states[D3DRENDERSTATE_DESTBLEND], DWORD(D3DBLEND_ZERO));
        EXPECT_EQ(device.transforms[D3DTRANSFORMSTATE_WORLD]._41, 10.0f);
        EXPECT_EQ(device.transforms[D3DTRANSFORMSTATE_WORLD]._43, 30.0f);
        EXPECT_EQ(device.textures[0], callerTexture.Get());
        EXPECT_EQ(callerTexture.refs, 1); // the reference GetTexture added was given back
        EXPECT_EQ(device.material.diffuse.r, 0.125f);
        EXPECT_EQ(device.material.power, 7.0f);
    }

    FakeDevice device;
    FakeSurface callerTexture;
    CXFile model;
};

TEST_F(XFileRenderFake, OpaqueModelDrawsInTheFirstPassAndRestoresWhatItChanged)
{
    ASSERT_EQ(Load(Square("Two", 0, 0, 1, 0, List("0,1", 2, Material(1, 0, 0, 1) + Material(0, 1, 0, 1)))), S_OK);
    EXPECT_EQ(model.Render(Device()), S_OK);
    ASSERT_EQ(device.indexedDraws.size(), 2u);
    for (const auto& d : device.indexedDraws) {
        EXPECT_EQ(d.type, DWORD(D3DPT_TRIANGLELIST));
        EXPECT_EQ(d.format, 0x112u);
        EXPECT_EQ(d.vertexCount, 4u);
        EXPECT_EQ(d.flags, 0u);
        EXPECT_EQ(d.alphaBlend, 0u);
        EXPECT_EQ(d.world._41, 10.0f);             // a top-level mesh: the world matrix as set
        EXPECT_EQ(d.texture, callerTexture.Get()); // no texture named: stage 0 untouched
    }
    EXPECT_EQ(device.indexedDraws[0].material.diffuse.r, 1.0f);
    EXPECT_EQ(device.indexedDraws[0].indices, (std::vector<WORD>{0, 1, 2}));
    EXPECT_EQ(device.indexedDraws[1].material.diffuse.g, 1.0f);
    EXPECT_EQ(device.indexedDraws[1].indices, (std::vector<WORD>{0, 2, 3}));
    // nothing is drawn blended, so blending is never switched on; everything goes back
    EXPECT_TRUE(device.statesSet.empty());
    ExpectRestored();
}

TEST_F(XFileRenderFake, NodeWithAHalfTransparentMaterialDrawsAllItsSlotsBlended)
{
    ASSERT_EQ(Load(Square("Glass", 0, 0, 1, 0, List("0,1", 2, Material(1, 0, 0, 1) + Material(0, 0, 1, 0.5f))) +
                   Square("Solid", 0, 0, 1, 0, "")),
              S_OK);
    EXPECT_EQ(model.Render(Device()), S_OK);
    ASSERT_EQ(device.indexedDraws.size(), 3u);
    // the opaque node first, then both slots of the blended one
    EXPECT_EQ(device.indexedDraws[0].alphaBlend, 0u);
    EXPECT_EQ(device.indexedDraws[0].material.diffuse.g, 1.0f); // white default
    EXPECT_EQ(device.indexedDraws[1].alphaBlend, 1u);
    EXPECT_EQ(device.indexedDraws[1].material.diffuse.a, 1.0f);
    EXPECT_EQ(device.indexedDraws[2].alphaBlend, 1u);
    EXPECT_EQ(device.indexedDraws[2].material.diffuse.a, 0.5f);
    ExpectRestored();
}

TEST_F(XFileRenderFake, EmptySlotsAreSkippedWithoutMovingTheRun)
{
    ASSERT_EQ(Load(Square("Gap", 0, 0, 1, 0,
                          List("2,0", 3, Material(1, 0, 0, 1) + Material(0, 1, 0, 1) + Material(0, 0, 1, 1)))),
              S_OK);
    model.Render(Device());
    ASSERT_EQ(device.indexedDraws.size(), 2u);
    EXPECT_EQ(device.indexedDraws[0].material.diffuse.r, 1.0f);
    EXPECT_EQ(device.indexedDraws[0].indices, (std::vector<WORD>{0, 2, 3}));
    EXPECT_EQ(device.indexedDraws[1].material.diffuse.b, 1.0f);
    EXPECT_EQ(device.indexedDraws[1].indices, (std::vector<WORD>{0, 1, 2}));
}

TEST_F(XFileRenderFake, NestedFramesComposeWithTheWorldMatrix)
{
    ASSERT_EQ(Load("Frame A {\n" + Translation(1, 0, 0) + "Frame B {\n" + Translation(0, 2, 0) +
                   Square("Inner", 0, 0, 1, 0, "") + "}\n" + Square("Middle", 0, 0, 1, 0, "") + "}\n" +
                   "Frame Childless {\n" + Translation(50, 50, 50) + "}\n"),
              S_OK);
    model.Render(Device());
    ASSERT_EQ(device.indexedDraws.size(), 2u);
    const D3DMATRIX& inner = device.indexedDraws[0].world;
    EXPECT_EQ(inner._41, 11.0f);
    EXPECT_EQ(inner._42, 22.0f);
    EXPECT_EQ(inner._43, 30.0f);
    const D3DMATRIX& middle = device.indexedDraws[1].world;
    EXPECT_EQ(middle._41, 11.0f);
    EXPECT_EQ(middle._42, 20.0f);
    ExpectRestored();
}

TEST_F(XFileRenderFake, TexturesOfSlotsAndFailuresAreTraced)
{
    DestroyAllTextures();
    ASSERT_EQ(
        Load(Square("T", 0, 0, 1, 0, List("0,1", 2, Material(1, 1, 1, 1, "unloadable.bmp") + Material(1, 1, 1, 1)))),
        S_OK);
    device.failDrawIndexedPrimitive = E_FAIL;
    testkit::DebugCapture capture;
    EXPECT_EQ(model.Render(Device()), S_OK);
    // the named texture is not in the store: texturing goes off for that slot, and the
    // slot without a name keeps it off
    EXPECT_EQ(device.texturesSet.size(), 2u);
    EXPECT_EQ(device.texturesSet[0].second, nullptr);
    EXPECT_EQ(device.texturesSet[1].second, callerTexture.Get()); // the restore
    EXPECT_TRUE(capture.Contains("ZYK: X-File Rendering --> (Error) DrawIndexedPrimitive Failed."));
    ExpectRestored();
}

TEST_F(XFileRenderFake, ARunOfModelsSendsWhatItsDrawsNeedAndPutsBackTheRestAtItsEnd)
{
    ASSERT_EQ(Load("Frame A {\n" + Translation(1, 0, 0) + "Frame B {\n" + Translation(0, 2, 0) +
                   Square("Inner", 0, 0, 1, 0, List("0,0", 1, Material(1, 0, 0, 1))) + "}\n}\n"),
              S_OK);
    for (float x : {10.0f, 100.0f}) {
        // set on the device between runs, and read afresh by the next
        device.transforms[D3DTRANSFORMSTATE_WORLD] = Translate(x, 20, 30);
        device.transformsSet.clear();
        device.materialsSet = 0;
        device.indexedDraws.clear();
        {
            DeviceStateScope run(Device()); // as a frame of objects draws them
            for (int i = 0; i < 3; ++i) EXPECT_EQ(model.Render(Device()), S_OK);
        }
        ASSERT_EQ(device.indexedDraws.size(), 3u);
        for (const auto& d : device.indexedDraws) {
            EXPECT_EQ(d.world._41, x + 1);
            EXPECT_EQ(d.world._42, 22.0f);
            EXPECT_EQ(d.material.diffuse.r, 1.0f);
            EXPECT_EQ(d.alphaBlend, 0u);
        }
        // the composed matrix and the material once, and the caller's back once at the end
        EXPECT_EQ(device.transformsSet.size(), 2u);
        EXPECT_EQ(device.materialsSet, 2);
        EXPECT_TRUE(device.statesSet.empty());
        EXPECT_EQ(device.transforms[D3DTRANSFORMSTATE_WORLD]._41, x);
        EXPECT_EQ(device.material.power, 7.0f);
        EXPECT_EQ(device.textures[0], callerTexture.Get());
        EXPECT_EQ(callerTexture.refs, 1);
    }
}

TEST_F(XFileRenderFake, EmptyModelDrawsNothing)
{
    EXPECT_EQ(model.Render(Device()), S_OK);
    EXPECT_TRUE(device.statesSet.empty());
    EXPECT_TRUE(device.indexedDraws.empty());
    EXPECT_EQ(model.Render(nullptr), S_OK);
}

// ---- on a real device ----

struct Rgb {
    int r, g, b;
};

class XFileRenderDevice : public DeviceSuite {
protected:
    void SetUp() override
    {
        DeviceSuite::SetUp();
        DestroyAllTextures();
        SetTexturePath(Folder().c_str());
        // clip space is world space: x and y from -1 to 1, z from 0 to 1
        SetTransform(D3DTRANSFORMSTATE_VIEW, Translate(0, 0, 0));
        SetTransform(D3DTRANSFORMSTATE_PROJECTION, Translate(0, 0, 0));
        SetTransform(D3DTRANSFORMSTATE_WORLD, Translate(0, 0, 0));
        SetState(D3DRENDERSTATE_LIGHTING, TRUE);
        SetState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
        SetState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        SetState(D3DRENDERSTATE_ZENABLE, FALSE);
        SetState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
        SetState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        SetState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
        ASSERT_EQ(device_->SetTexture(0, nullptr), S_OK);
    }
    void TearDown() override
    {
        DestroyAllTextures();
        SetTexturePath(nullptr);
    }

    HRESULT Load(const std::string& body) { return model.Load(Write("device.x", kHeader + body).c_str()); }

    // Clears to blue, draws the model in a scene.
    void Frame()
    {
        ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), S_OK);
        ASSERT_EQ(device_->BeginScene(), S_OK);
        EXPECT_EQ(model.Render(device_), S_OK);
        ASSERT_EQ(device_->EndScene(), S_OK);
    }

    // The render target's pixel where clip-space (x, y) lands.
    Rgb At(float x, float y)
    {
        IDirectDrawSurface7* target = nullptr;
        Rgb out = {-1, -1, -1};
        if (FAILED(device_->GetRenderTarget(&target))) return out;
        DDSURFACEDESC2 d = {};
        d.dwSize = sizeof d;
        if (SUCCEEDED(target->Lock(nullptr, &d, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
            const int px = int((x + 1) / 2 * d.dwWidth), py = int((1 - y) / 2 * d.dwHeight);
            const BYTE* row = static_cast<const BYTE*>(d.lpSurface) + py * d.lPitch;
            const DDPIXELFORMAT& pf = d.ddpfPixelFormat;
            const DWORD v = pf.dwRGBBitCount == 32 ? reinterpret_cast<const DWORD*>(row)[px]
                                                   : reinterpret_cast<const WORD*>(row)[px];
            auto channel = [&](DWORD mask) {
                int low = 0;
                while (mask && !(mask >> low & 1)) ++low;
                return mask ? int(((v & mask) >> low) * 255 / (mask >> low)) : 0;
            };
            out = {channel(pf.dwRBitMask), channel(pf.dwGBitMask), channel(pf.dwBBitMask)};
            target->Unlock(nullptr);
        }
        target->Release();
        return out;
    }

    static ::testing::AssertionResult Near(Rgb got, Rgb want)
    {
        const int tolerance = 10;
        if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
            std::abs(got.b - want.b) <= tolerance)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "got (" << got.r << ", " << got.g << ", " << got.b << "), wanted ("
                                             << want.r << ", " << want.g << ", " << want.b << ")";
    }

    CXFile model;
};

const Rgb kBlue = {0, 0, 255};

TEST_F(XFileRenderDevice, ModelUnderNestedFramesLandsWhereTheMatricesPutIt)
{
    // the file's z translations change sign: -0.5 and -0.25 place the square at depth 0.75
    ASSERT_EQ(Load("Frame Outer {\n" + Translation(0.5f, 0, -0.5f) + "Frame Inner {\n" + Translation(0, 0.5f, -0.25f) +
                   Square("S", 0, 0, 0.125f, 0, List("0,0", 1, Material(1, 0, 0, 1))) + "}\n}\n"),
              S_OK);
    // the camera: the world matrix in force moves the whole model left by 0.25
    SetTransform(D3DTRANSFORMSTATE_WORLD, Translate(-0.25f, 0, 0));
    Frame();
    EXPECT_TRUE(Near(At(0.25f, 0.5f), {255, 0, 0}));
    EXPECT_TRUE(Near(At(0.5f, 0.5f), kBlue));
    EXPECT_TRUE(Near(At(0, 0), kBlue));

    // a frame whose z lands outside the depth range shows nothing
    ASSERT_EQ(Load("Frame Outer {\n" + Translation(0, 0, 1.5f) + Square("S", 0, 0, 0.5f, 0, "") + "}\n"), S_OK);
    SetTransform(D3DTRANSFORMSTATE_WORLD, Translate(0, 0, 0));
    Frame();
    EXPECT_TRUE(Near(At(0, 0), kBlue));
    ASSERT_EQ(Load("Frame Outer {\n" + Translation(0, 0, -0.5f) + Square("S", 0, 0, 0.5f, 0, "") + "}\n"), S_OK);
    Frame();
    EXPECT_TRUE(Near(At(0, 0), {255, 255, 255})); // the white default material
}

TEST_F(XFileRenderDevice, MaterialListColoursTheFaces)
{
    // two squares side by side, each two triangles: green and red, and one of red and blue
    ASSERT_EQ(Load(Square("Left", -0.5f, 0, 0.25f, 0.5f, List("1,1", 2, Material(1, 0, 0, 1) + Material(0, 1, 0, 1))) +
                   Square("Right", 0.5f, 0, 0.25f, 0.5f, List("0,1", 2, Material(1, 0, 0, 1) + Material(0, 0, 0, 1)))),
              S_OK);
    Frame();
    EXPECT_TRUE(Near(At(-0.5f, 0), {0, 255, 0}));
    // the right square's first triangle (lower right half) is red, the second black
    EXPECT_TRUE(Near(At(0.65f, -0.15f), {255, 0, 0}));
    EXPECT_TRUE(Near(At(0.35f, 0.15f), {0, 0, 0}));
    EXPECT_TRUE(Near(At(0, 0), kBlue));
}

TEST_F(XFileRenderDevice, AlphaPassBlendsAndStatesAreRestored)
{
    ASSERT_EQ(Load(Square("Glass", 0, 0, 0.5f, 0.5f, List("0,0", 1, Material(1, 0, 0, 0.5f)))), S_OK);
    D3DMATERIAL7 before = Marker();
    ASSERT_EQ(device_->SetMaterial(&before), S_OK);
    SetTransform(D3DTRANSFORMSTATE_WORLD, Translate(0.0625f, 0, 0));
    SetState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO);
    SetState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    Frame();
    // half red over the blue background
    EXPECT_TRUE(Near(At(0, 0), {128, 0, 128}));

    EXPECT_EQ(State(D3DRENDERSTATE_ALPHABLENDENABLE), DWORD(FALSE));
    EXPECT_EQ(State(D3DRENDERSTATE_SRCBLEND), DWORD(D3DBLEND_ZERO));
    EXPECT_EQ(State(D3DRENDERSTATE_DESTBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(Transform(D3DTRANSFORMSTATE_WORLD)._41, 0.0625f);
    D3DMATERIAL7 after = {};
    ASSERT_EQ(device_->GetMaterial(&after), S_OK);
    EXPECT_EQ(memcmp(&after, &before, sizeof after), 0);
    IDirectDrawSurface7* texture = reinterpret_cast<IDirectDrawSurface7*>(1);
    ASSERT_EQ(device_->GetTexture(0, &texture), S_OK);
    EXPECT_EQ(texture, nullptr);
}

// A w x h bitmap file of one colour (0xRRGGBB).
std::string Bitmap(int w, int h, DWORD colour)
{
    std::string b = "BM";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) b += char(v >> (8 * i));
    };
    auto put16 = [&](uint32_t v) {
        for (int i = 0; i < 2; ++i) b += char(v >> (8 * i));
    };
    const int stride = (w * 3 + 3) & ~3;
    put32(54 + stride * h);
    put32(0);
    put32(54);
    put32(40);
    put32(w);
    put32(h);
    put16(1);
    put16(24);
    for (int i = 0; i < 6; ++i) put32(0);
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) row += {char(colour), char(colour >> 8), char(colour >> 16)};
        row.resize(stride, '\0');
        b += row;
    }
    return b;
}

TEST_F(XFileRenderDevice, MaterialTextureIsDrawnAndStageZeroRestored)
{
    Write("yellow.bmp", Bitmap(4, 4, 0xFFFF00));
    ASSERT_EQ(Load(Square("Left", -0.5f, 0, 0.25f, 0.5f, List("0,0", 1, Material(1, 1, 1, 1, "yellow.bmp"))) +
                   Square("Right", 0.5f, 0, 0.25f, 0.5f, List("0,0", 1, Material(1, 1, 1, 1, "nothing.bmp")))),
              S_OK);
    ASSERT_EQ(RestoreAllTextures(device_), S_OK);
    IDirectDrawSurface7* yellow = GetTextureSurface("yellow.bmp");
    ASSERT_NE(yellow, nullptr);

    // the caller's stage-0 texture: a surface of the store made for another name
    Write("cyan.bmp", Bitmap(4, 4, 0x00FFFF));
    ASSERT_EQ(CreateTextureFromFile("cyan.bmp", 0, 0), S_OK);
    ASSERT_EQ(RestoreTexture("cyan.bmp", device_), S_OK);
    IDirectDrawSurface7* cyan = GetTextureSurface("cyan.bmp");
    ASSERT_EQ(device_->SetTexture(0, cyan), S_OK);
    Frame();
    EXPECT_TRUE(Near(At(-0.5f, 0), {255, 255, 0}));
    // a texture the store could not load: drawn without texture, in the material's white
    EXPECT_TRUE(Near(At(0.5f, 0), {255, 255, 255}));
    IDirectDrawSurface7* after = nullptr;
    ASSERT_EQ(device_->GetTexture(0, &after), S_OK);
    EXPECT_EQ(after, cyan);
    if (after) after->Release();
    ASSERT_EQ(device_->SetTexture(0, nullptr), S_OK);
}

} // namespace
