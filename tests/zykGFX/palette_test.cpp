// Palettes read from bitmaps, the palette object on surfaces, and palette colours.
#include "gfx_fixture.h"
#include "bitmap.h"

using gfx_test::ExpectFailure;
using gfx_test::Handle;
using gfx_test::New;

namespace {

bool Same(const PALETTEENTRY& e, int r, int g, int b) { return e.peRed == r && e.peGreen == g && e.peBlue == b; }

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
    ASSERT_TRUE(LoadPaletteEntries(
        gfx_test::TempFile("zykgfx_4bit.bmp", gfx_test::BmpIndexed(4, 4, 4, colours, 0)).c_str(), e));
    EXPECT_TRUE(Same(e[0], 0, 0x80, 255));
    EXPECT_TRUE(Same(e[15], 15, 0x80, 240));
    // Past the sixteen colours: the file's pixel bytes, unswapped.
    EXPECT_EQ(e[16].peRed, 0);

    // A count larger than 256 and than the file: only the colours present are read.
    std::vector<DWORD> two = {0x112233, 0x445566};
    ASSERT_TRUE(LoadPaletteEntries(
        gfx_test::TempFile("zykgfx_clrused.bmp", gfx_test::BmpIndexed(1, 1, 8, two, 100000)).c_str(), e));
    EXPECT_TRUE(Same(e[0], 0x11, 0x22, 0x33));
    EXPECT_TRUE(Same(e[1], 0x44, 0x55, 0x66));
    EXPECT_TRUE(Same(e[255], 255, 255, 255)); // the ramp where the file has no bytes

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
    EXPECT_EQ(p->put_Surface(Handle(surface)), E_FAIL); // no DirectDraw object yet
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
    EXPECT_EQ(p->Load(file), S_OK); // the ramp
    EXPECT_EQ(p->Update(), S_OK);
    SysFreeString(file);
    p->Release();
    surface->Release();
}

namespace {

// The colour Item gives for index, or nullptr with Item's result checked.
IColour* ColourAt(IPalette* p, const VARIANT& index, HRESULT expected = S_OK)
{
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(p->Item(index, &r), expected);
    return expected == S_OK ? gfx_test::Take<IColour>(V_DISPATCH(&r), IID_IColour) : nullptr;
}

void ExpectColour(IColour* c, long red, long green, long blue)
{
    ASSERT_NE(c, nullptr);
    long r = -1, g = -1, b = -1;
    c->get_Red(&r);
    c->get_Green(&g);
    c->get_Blue(&b);
    EXPECT_EQ(r, red);
    EXPECT_EQ(g, green);
    EXPECT_EQ(b, blue);
}

} // namespace

TEST(Palette, TheEntriesAsColours)
{
    IPalette* p = New<IPalette>(L"Gfx.Palette", IID_IPalette);
    ASSERT_NE(p, nullptr);
    // Position i + 1 is entry i, filed under 255 - i in three digits (the ramp's entries).
    IColour* first = ColourAt(p, testkit::VarI4(1));
    ASSERT_NE(first, nullptr);
    ExpectColour(first, 0, 0, 0);
    VARIANT key = testkit::VarBstr(L"255");
    for (const VARIANT& same : {key, testkit::VarI2(1)}) {
        IColour* c = ColourAt(p, same);
        EXPECT_EQ(c, first);
        if (c) c->Release();
    }
    VariantClear(&key);
    IColour* c = ColourAt(p, testkit::VarI4(0x20));
    ExpectColour(c, 0, 255, 255);
    if (c) c->Release();
    key = testkit::VarBstr(L"000");
    c = ColourAt(p, key);
    ExpectColour(c, 255, 255, 255);
    IColour* last = ColourAt(p, testkit::VarI4(256));
    EXPECT_EQ(last, c);
    for (IColour* one : {c, last})
        if (one) one->Release();
    VariantClear(&key);
    key = testkit::VarBstr(L"256");
    ColourAt(p, key, E_INVALIDARG);
    VariantClear(&key);
    ColourAt(p, testkit::VarI4(257), E_INVALIDARG);
    ColourAt(p, testkit::VarI4(0), E_INVALIDARG);

    // For Each through IDispatch: as many colours as Count, entry 0 first.
    gfx_test::OwnDirectDraw own;
    IDirectDrawSurface7* surface = gfx_test::Offscreen(own.dd, 8, 8);
    ASSERT_EQ(p->put_DD(Handle(own.dd)), S_OK);
    ASSERT_EQ(p->put_Surface(Handle(surface)), S_OK);
    long count = 0;
    ASSERT_EQ(p->get_Count(&count), S_OK);
    DISPPARAMS none{};
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(p->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &r, nullptr, nullptr), S_OK);
    IEnumVARIANT* each = nullptr;
    ASSERT_EQ(V_UNKNOWN(&r)->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&each)), S_OK);
    VariantClear(&r);
    long seen = 0;
    VARIANT v;
    VariantInit(&v);
    while (each->Next(1, &v, nullptr) == S_OK) {
        ASSERT_EQ(V_VT(&v), VT_DISPATCH);
        if (seen++ == 0) {
            IColour* one = gfx_test::Take<IColour>(V_DISPATCH(&v), IID_IColour);
            EXPECT_EQ(one, first);
            if (one) one->Release();
        } else {
            VariantClear(&v);
        }
    }
    each->Release();
    EXPECT_EQ(seen, 256);
    EXPECT_EQ(seen, count);

    // Load gives the colours the file's entries.
    std::vector<DWORD> two = {0x112233, 0x445566};
    const std::wstring name =
        testkit::Widen(gfx_test::TempFile("zykgfx_colours.bmp", gfx_test::BmpIndexed(1, 1, 8, two, 2)));
    BSTR file = SysAllocString(name.c_str());
    ASSERT_EQ(p->Load(file), S_OK);
    SysFreeString(file);
    ExpectColour(first, 0x11, 0x22, 0x33);
    c = ColourAt(p, testkit::VarI4(2));
    ExpectColour(c, 0x44, 0x55, 0x66);
    if (c) c->Release();

    // A colour the client holds keeps its values once the palette is gone.
    EXPECT_EQ(first->put_Green(7), S_OK);
    EXPECT_EQ(p->Update(), S_OK);
    p->Release();
    surface->Release();
    ExpectColour(first, 0x11, 7, 0x33);
    EXPECT_EQ(first->put_Reserved(1), S_OK);
    long flags = -1;
    EXPECT_EQ(first->get_Flags(&flags), S_OK);
    EXPECT_EQ(flags, 1);
    first->Release();
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
