// Palettes read from bitmaps, the palette object on surfaces, and palette colours.
#include "gfx_fixture.h"
#include "bitmap.h"

using gfx_test::ExpectFailure;
using gfx_test::Handle;
using gfx_test::New;

namespace {

bool Same(const PALETTEENTRY& e, int r, int g, int b)
{
    return e.peRed == r && e.peGreen == g && e.peBlue == b;
}

} // namespace

TEST(PaletteEntries, TheRampAndBitmapFiles)
{
    PALETTEENTRY e[256];
    ASSERT_TRUE(LoadPaletteEntries("", e));
    EXPECT_TRUE(Same(e[255], 255, 255, 255));
    EXPECT_TRUE(Same(e[0], 0, 0, 0));
    EXPECT_TRUE(Same(e[0x1F], 0, 255, 255));

    // A 4-bit file with biClrUsed 0: sixteen colours, red and blue in their places.
    std::vector<DWORD> colours;
    for (DWORD i = 0; i < 16; ++i) colours.push_back(i << 16 | 0x80 << 8 | (255 - i));
    ASSERT_TRUE(LoadPaletteEntries(gfx_test::TempFile("zykgfx_4bit.bmp", gfx_test::BmpIndexed(4, 4, 4, colours, 0)).c_str(), e));
    EXPECT_TRUE(Same(e[0], 0, 0x80, 255));
    EXPECT_TRUE(Same(e[15], 15, 0x80, 240));
    // Past the sixteen colours: the file's pixel bytes, unswapped.
    EXPECT_EQ(e[16].peRed, 0);

    // A count larger than 256 and than the file: only the colours present are read.
    std::vector<DWORD> two = {0x112233, 0x445566};
    ASSERT_TRUE(LoadPaletteEntries(gfx_test::TempFile("zykgfx_clrused.bmp", gfx_test::BmpIndexed(1, 1, 8, two, 100000)).c_str(), e));
    EXPECT_TRUE(Same(e[0], 0x11, 0x22, 0x33));
    EXPECT_TRUE(Same(e[1], 0x44, 0x55, 0x66));
    EXPECT_TRUE(Same(e[255], 255, 255, 255));   // the ramp where the file has no bytes

    EXPECT_FALSE(LoadPaletteEntries("C:\\no such folder\\palette.bmp", e));
    EXPECT_FALSE(LoadPaletteEntries(gfx_test::TempFile("zykgfx_short.bmp", "BM\x10").c_str(), e));
}

TEST(Palette, OnASurfaceLoadedAndUpdated)
{
    IPalette* p = New<IPalette>(L"Gfx.Palette", IID_IPalette);
    ASSERT_NE(p, nullptr);
    long count = -1;
    EXPECT_EQ(p->get_Count(&count), E_FAIL);
    EXPECT_EQ(p->Update(), E_FAIL);
    BSTR file = SysAllocString(L"");
    EXPECT_EQ(p->Load(file), E_FAIL);
    testkit::ClearError();

    gfx_test::OwnDirectDraw own;
    IDirectDrawSurface7* surface = gfx_test::Offscreen(own.dd, 8, 8);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(p->put_Surface(Handle(surface)), E_FAIL);   // no DirectDraw object yet
    ASSERT_EQ(p->put_DD(Handle(own.dd)), S_OK);
    // A surface without a palette gets a new 8-bit one (a 32-bit surface cannot show it).
    EXPECT_EQ(p->put_Surface(Handle(surface)), S_OK);
    EXPECT_EQ(p->get_Count(&count), S_OK);
    EXPECT_EQ(count, 256);
    EXPECT_EQ(p->Update(), S_OK);

    // A failed Load keeps the palette there was.
    BSTR missing = SysAllocString(L"C:\\no such folder\\palette.bmp");
    EXPECT_EQ(p->Load(missing), E_FAIL);
    ExpectFailure(L"Gfx.Palette.1", IID_IPalette, E_FAIL, "Failed to Load Palette.");
    EXPECT_EQ(p->get_Count(&count), S_OK);
    EXPECT_EQ(count, 256);
    SysFreeString(missing);
    EXPECT_EQ(p->Load(file), S_OK);   // the ramp
    EXPECT_EQ(p->Update(), S_OK);
    SysFreeString(file);

    // The colour map has no members.
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(p->Item(testkit::VarI4(1), &r), E_INVALIDARG);
    IUnknown* e = nullptr;
    ASSERT_EQ(p->get__NewEnum(&e), S_OK);
    IEnumVARIANT* ev = nullptr;
    e->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&ev));
    EXPECT_EQ(ev->Next(1, &r, nullptr), S_FALSE);
    ev->Release();
    e->Release();
    p->Release();
    surface->Release();
}

TEST(Colour, EntryValuesAndFlags)
{
    IColour* c = New<IColour>(L"Gfx.Colour", IID_IColour);
    ASSERT_NE(c, nullptr);
    long v = -1;
    c->get_Flags(&v);
    EXPECT_EQ(v, 6);
    c->get_Reserved(&v);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(c->put_Red(300), S_OK);
    c->get_Red(&v);
    EXPECT_EQ(v, 44);
    c->put_Blue(255);
    c->get_Blue(&v);
    EXPECT_EQ(v, 255);
    c->put_Reserved(-1);
    c->get_Reserved(&v);
    EXPECT_EQ(v, 1);
    c->get_Flags(&v);
    EXPECT_EQ(v, 7);
    c->put_Reserved(0);
    c->get_Flags(&v);
    EXPECT_EQ(v, 6);
    // Through IDispatch, as a script reads it.
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispPut(c, L"Green", testkit::VarI2(513)), S_OK);
    ASSERT_EQ(testkit::DispGet(c, L"Green", &r), S_OK);
    EXPECT_EQ(V_I4(&r), 1);
    c->Release();
}
