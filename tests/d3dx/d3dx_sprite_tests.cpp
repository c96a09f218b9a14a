// Sprites drawn into the back buffer over a cleared colour: placement, blending,
// scale, rotation, pivot and source rectangle.
#include "d3dx_device_fixture.h"

#include <cmath>

using namespace d3dxtest;

namespace {

constexpr float kPi = 3.14159265f;
constexpr D3DCOLOR kBlue = 0xFF0000FF;
constexpr int kCx = 100, kCy = 75;

class D3DXSprite : public DeviceTest {
protected:
    void TearDown() override
    {
        for (IDirectDrawSurface7* t : textures)
            if (t) t->Release();
        DeviceTest::TearDown();
    }
    // A texture from a 32-bit Targa file painted 0xAARRGGBB.
    IDirectDrawSurface7* Texture(const char* name, int w, int h, const std::function<uint32_t(int, int)>& paint)
    {
        IDirectDrawSurface7* t = nullptr;
        DWORD width = D3DX_DEFAULT, height = D3DX_DEFAULT;
        D3DX_SURFACEFORMAT format = D3DX_SF_UNKNOWN;
        EXPECT_EQ(D3DXCreateTextureFromFile(device, nullptr, &width, &height, &format, nullptr, &t, nullptr,
                                            WriteTestFile(name, Tga(w, h, 32, paint)).c_str(), D3DX_FT_DEFAULT),
                  S_OK);
        textures.push_back(t);
        return t;
    }
    // Clears to blue and draws one sprite at the centre of the target.
    HRESULT Draw(IDirectDrawSurface7* t, float alpha = 1, float scale = 1, float angle = 0,
                 const D3DXVECTOR2* offset = nullptr, const RECT* source = nullptr, float x = kCx, float y = kCy)
    {
        Clear(kBlue);
        HRESULT hr = device->BeginScene();
        if (FAILED(hr)) return hr;
        hr = D3DXPrepareDeviceForSprite(device, FALSE);
        const D3DXVECTOR3 point = {x, y, 0};
        if (SUCCEEDED(hr)) hr = D3DXDrawSpriteSimple(t, device, &point, alpha, scale, angle, offset, source);
        const HRESULT end = device->EndScene();
        return FAILED(hr) ? hr : end;
    }
    std::vector<IDirectDrawSurface7*> textures;
};

uint32_t Red(int, int) { return 0xFFFF0000; }
// Left half red, right half green.
uint32_t Halves(int x, int w) { return x < w / 2 ? 0xFFFF0000 : 0xFF00FF00; }

} // namespace

TEST_F(D3DXSprite, EachTexelCoversOnePixelAroundThePoint)
{
    // 4 x 4 texels, each its own colour.
    auto colour = [](int x, int y) { return 0xFF000000u | uint32_t(40 + 60 * x) << 16 | uint32_t(40 + 60 * y) << 8; };
    IDirectDrawSurface7* t = Texture("cells.tga", 4, 4, colour);
    ASSERT_EQ(Draw(t), S_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_TRUE(Near(Pixel(kCx - 2 + x, kCy - 2 + y), colour(x, y) & 0xFFFFFF, 1));
    EXPECT_TRUE(Near(Pixel(kCx - 3, kCy), 0x0000FF, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 2, kCy), 0x0000FF, 0));
    EXPECT_TRUE(Near(Pixel(kCx, kCy + 2), 0x0000FF, 0));
}

TEST_F(D3DXSprite, AHalfTransparentSpriteReadsTheMix)
{
    IDirectDrawSurface7* t = Texture("red.tga", 16, 16, Red);
    ASSERT_EQ(Draw(t, 0.5f), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx, kCy), 0x800080, 3));
    ASSERT_EQ(Draw(t, 0.25f), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx, kCy), 0x4000BF, 3));
    ASSERT_EQ(Draw(t, 1.0f), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx, kCy), 0xFF0000, 0));
    ASSERT_EQ(Draw(t, 0.0f), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx, kCy), 0x0000FF, 0));
}

TEST_F(D3DXSprite, TheTexturesAlphaBlendsToo)
{
    // Left half clear, right half red at half cover.
    IDirectDrawSurface7* t = Texture("alpha.tga", 16, 16, [](int x, int) { return x < 8 ? 0x00FF0000u : 0x80FF0000u; });
    ASSERT_EQ(Draw(t), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx - 4, kCy), 0x0000FF, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 4, kCy), 0x80007F, 3));
    ASSERT_EQ(Draw(t, 0.5f), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx + 4, kCy), 0x4000BF, 3));
}

TEST_F(D3DXSprite, ScaleGrowsAndShrinksAboutThePoint)
{
    IDirectDrawSurface7* t = Texture("scale.tga", 16, 16, Red);
    ASSERT_EQ(Draw(t, 1, 2), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx + 15, kCy - 15), 0xFF0000, 0));
    EXPECT_TRUE(Near(Pixel(kCx - 16, kCy + 15), 0xFF0000, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 17, kCy), 0x0000FF, 0));
    ASSERT_EQ(Draw(t, 1, 0.5f), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx + 3, kCy), 0xFF0000, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 5, kCy), 0x0000FF, 0));
    // A negative scale mirrors.
    IDirectDrawSurface7* h = Texture("halves.tga", 16, 16, [](int x, int) { return Halves(x, 16); });
    ASSERT_EQ(Draw(h, 1, -1), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx - 4, kCy), 0x00FF00, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 4, kCy), 0xFF0000, 0));
}

TEST_F(D3DXSprite, APositiveAngleTurnsClockwise)
{
    // 32 x 8: left half red, right half green.
    IDirectDrawSurface7* t = Texture("bar.tga", 32, 8, [](int x, int) { return Halves(x, 32); });
    ASSERT_EQ(Draw(t), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx - 10, kCy), 0xFF0000, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 10, kCy), 0x00FF00, 0));
    EXPECT_TRUE(Near(Pixel(kCx, kCy + 10), 0x0000FF, 0));

    ASSERT_EQ(Draw(t, 1, 1, kPi / 2), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx, kCy + 10), 0x00FF00, 0)) << "the right end turned down";
    EXPECT_TRUE(Near(Pixel(kCx, kCy - 10), 0xFF0000, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 10, kCy), 0x0000FF, 0));
    EXPECT_TRUE(Near(Pixel(kCx - 10, kCy), 0x0000FF, 0));

    ASSERT_EQ(Draw(t, 1, 1, kPi), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx - 10, kCy), 0x00FF00, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 10, kCy), 0xFF0000, 0));
}

TEST_F(D3DXSprite, TheOffsetMovesThePivotAndTheSourceRectangleCuts)
{
    IDirectDrawSurface7* t = Texture("pivot.tga", 32, 8, [](int x, int) { return Halves(x, 32); });
    // Pivot on the right end: the bar lies left of the point, and turning by a quarter
    // hangs it above.
    const D3DXVECTOR2 right = {16, 0};
    ASSERT_EQ(Draw(t, 1, 1, 0, &right), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx - 4, kCy), 0x00FF00, 0));
    EXPECT_TRUE(Near(Pixel(kCx - 28, kCy), 0xFF0000, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 4, kCy), 0x0000FF, 0));
    ASSERT_EQ(Draw(t, 1, 1, kPi / 2, &right), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx, kCy + 4), 0x0000FF, 0));
    EXPECT_TRUE(Near(Pixel(kCx, kCy - 4), 0x00FF00, 0));
    EXPECT_TRUE(Near(Pixel(kCx, kCy - 28), 0xFF0000, 0));

    // Only the green half, 16 pixels wide about the point.
    const RECT greenHalf = {16, 0, 32, 8};
    ASSERT_EQ(Draw(t, 1, 1, 0, nullptr, &greenHalf), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx - 7, kCy), 0x00FF00, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 7, kCy), 0x00FF00, 0));
    EXPECT_TRUE(Near(Pixel(kCx + 9, kCy), 0x0000FF, 0));
    EXPECT_TRUE(Near(Pixel(kCx - 9, kCy), 0x0000FF, 0));

    // Placed anywhere on the target, and partly off it.
    ASSERT_EQ(Draw(t, 1, 1, 0, nullptr, nullptr, 10, 140), S_OK);
    EXPECT_TRUE(Near(Pixel(1, 140), 0xFF0000, 0));
    EXPECT_TRUE(Near(Pixel(20, 140), 0x00FF00, 0));
}

TEST_F(D3DXSprite, ADepthIsTestedOnlyWhenAskedFor)
{
    IDirectDrawSurface7* t = Texture("depth.tga", 8, 8, Red);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 0.25f, 0), S_OK);
    ASSERT_EQ(device->BeginScene(), S_OK);
    const D3DXVECTOR3 deep = {kCx, kCy, 0.5f};
    EXPECT_EQ(D3DXPrepareDeviceForSprite(device, TRUE), S_OK);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &deep), S_OK);
    ASSERT_EQ(device->EndScene(), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx, kCy), 0x0000FF, 0)) << "behind the cleared depth";

    ASSERT_EQ(device->BeginScene(), S_OK);
    EXPECT_EQ(D3DXPrepareDeviceForSprite(device, FALSE), S_OK);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &deep), S_OK);
    ASSERT_EQ(device->EndScene(), S_OK);
    EXPECT_TRUE(Near(Pixel(kCx, kCy), 0xFF0000, 0));
}

TEST_F(D3DXSprite, BadArgumentsAreRefused)
{
    IDirectDrawSurface7* t = Texture("bad.tga", 8, 8, Red);
    const D3DXVECTOR3 point = {kCx, kCy, 0};
    const float nan = std::nanf("");
    EXPECT_EQ(D3DXPrepareDeviceForSprite(nullptr), D3DXERR_NULLPOINTER);
    ASSERT_EQ(device->BeginScene(), S_OK);
    EXPECT_EQ(D3DXDrawSpriteSimple(nullptr, device, &point), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, nullptr, &point), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, nullptr), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &point, 1.5f), E_INVALIDARG);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &point, -0.1f), E_INVALIDARG);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &point, nan), E_INVALIDARG);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &point, 1, nan), E_INVALIDARG);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &point, 1, 1, INFINITY), E_INVALIDARG);
    const D3DXVECTOR3 nowhere = {nan, 0, 0};
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &nowhere), E_INVALIDARG);
    const RECT outside = {0, 0, 9, 8}, empty = {4, 0, 4, 8}, negative = {-1, 0, 4, 4};
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &point, 1, 1, 0, nullptr, &outside), E_INVALIDARG);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &point, 1, 1, 0, nullptr, &empty), E_INVALIDARG);
    EXPECT_EQ(D3DXDrawSpriteSimple(t, device, &point, 1, 1, 0, nullptr, &negative), E_INVALIDARG);
    ASSERT_EQ(device->EndScene(), S_OK);
}
