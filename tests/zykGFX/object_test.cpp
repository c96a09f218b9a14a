// Bitmap objects drawn onto a back surface of the test's own: loading checked files,
// clipping at the screen's edges, regions, colour keys, mirroring, and the collection.
#include "gfx_fixture.h"
#include <algorithm>
#include <cstdlib>

using gfx_test::ExpectFailure;
using gfx_test::Handle;
using gfx_test::New;
using gfx_test::PixelAt;
using gfx_test::Take;

namespace {

const wchar_t kObject[] = L"ZYKGFX.Object.1";
const wchar_t kObjects[] = L"ZYKGFX.Objects.1";
const DWORD kBackground = 0x203040;

// A 32 x 24 picture whose every column has its own colour: red = column * 8, green = row * 8.
DWORD Column(int x, int y) { return static_cast<DWORD>(x * 8) << 16 | static_cast<DWORD>(y * 8) << 8 | 0x10; }

// The Objects collection on a back surface of width x 48 that this test owns.
struct Canvas {
    explicit Canvas(int width = 640, int height = 48)
    {
        back = gfx_test::Offscreen(own.dd, width, height, kBackground);
        objects = New<IObjects>(L"ZYKGFX.Objects", IID_IObjects);
        if (!objects || !back) return;
        objects->put_DD(Handle(own.dd));
        objects->put_BackSurface(Handle(back));
        objects->put_ScreenWidth(width);
        objects->put_ScreenHeight(height);
    }
    ~Canvas()
    {
        if (objects) objects->Release();
        if (back) back->Release();
    }
    IObject* Add(const std::string& path, long width = 16, long height = 16)
    {
        BSTR name = SysAllocString(testkit::Widen(path).c_str());
        IDispatch* d = nullptr;
        HRESULT hr = objects->get_Add(name, width, height, 0, &d);
        SysFreeString(name);
        EXPECT_EQ(hr, S_OK) << testkit::Narrow(testkit::TakeError().description);
        return Take<IObject>(d, IID_IObject);
    }
    gfx_test::OwnDirectDraw own;
    IDirectDrawSurface7* back = nullptr;
    IObjects* objects = nullptr;
};

// A stretched copy is filtered: each channel near the source's.
::testing::AssertionResult Near(DWORD seen, DWORD expected)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>(seen >> shift & 0xFF), b = static_cast<int>(expected >> shift & 0xFF);
        if (a < b - 8 || a > b + 8)
            return ::testing::AssertionFailure() << std::hex << seen << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}

std::string ColumnsFile() { return gfx_test::TempFile("zykgfx_columns.bmp", gfx_test::Bmp24(32, 24, Column)); }

} // namespace

TEST(Object, AddLoadsTheBitmapAtItsOwnSize)
{
    Canvas c;
    ASSERT_NE(c.objects, nullptr);
    IObject* o = c.Add(ColumnsFile(), 5, 5);
    ASSERT_NE(o, nullptr);
    long width = 0, height = 0;
    o->get_Width(&width);
    o->get_Height(&height);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 24);
    EXPECT_EQ(o->get_Height(nullptr), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "Cannot return data to NULL Pointer.");

    ASSERT_EQ(o->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(PixelAt(c.back, 0, 0), Column(0, 0));
    EXPECT_EQ(PixelAt(c.back, 31, 23), Column(31, 23));
    EXPECT_EQ(PixelAt(c.back, 32, 0), kBackground);
    o->Release();

    // A top-down file (negative height) shows the same picture.
    o = c.Add(gfx_test::TempFile("zykgfx_topdown.bmp", gfx_test::Bmp24(32, 24, Column, true)));
    ASSERT_NE(o, nullptr);
    o->get_Height(&height);
    EXPECT_EQ(height, 24);
    ASSERT_EQ(o->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(PixelAt(c.back, 0, 0), Column(0, 0));
    EXPECT_EQ(PixelAt(c.back, 5, 20), Column(5, 20));
    o->Release();
}

TEST(Object, DrawClipsAtTheScreensEdges)
{
    Canvas c;
    IObject* o = c.Add(ColumnsFile());
    ASSERT_NE(o, nullptr);
    // Ten columns off the left edge: columns 10-31 at 0-21.
    ASSERT_EQ(o->Draw(-10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(PixelAt(c.back, 0, 5), Column(10, 5));
    EXPECT_EQ(PixelAt(c.back, 21, 5), Column(31, 5));
    EXPECT_EQ(PixelAt(c.back, 22, 5), kBackground);
    // At 630 on a 640-wide screen: columns 0-9 at 630-639.
    ASSERT_EQ(o->Draw(630, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(PixelAt(c.back, 630, 10), Column(0, 0));
    EXPECT_EQ(PixelAt(c.back, 639, 33), Column(9, 23));
    // Rows off the bottom.
    ASSERT_EQ(o->Draw(100, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(PixelAt(c.back, 100, 47), Column(0, 7));
    // Wholly off the screen: nothing is drawn and nothing fails.
    ASSERT_EQ(o->Draw(700, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    ASSERT_EQ(o->Draw(0, -30, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    ASSERT_EQ(o->Draw(-32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    o->Release();
}

TEST(Object, RegionsStretchAndMirrorsFlip)
{
    Canvas c(640, 64);
    IObject* o = c.Add(ColumnsFile());
    ASSERT_NE(o, nullptr);
    // The 16 x 16 region at (8, 8) over 64 x 64.
    ASSERT_EQ(o->Draw(0, 0, 64, 64, 8, 8, 24, 24, 0, 0, 0), S_OK);
    EXPECT_TRUE(Near(PixelAt(c.back, 0, 0), Column(8, 8)));
    EXPECT_TRUE(Near(PixelAt(c.back, 63, 63), Column(23, 23)));
    EXPECT_EQ(PixelAt(c.back, 64, 0), kBackground);
    EXPECT_EQ(o->Draw(0, 0, 0, 0, 8, 0, 40, 24, 0, 0, 0), E_FAIL);
    ExpectFailure(kObject, IID_IObject, E_FAIL, "Invalid Region.");

    ASSERT_EQ(o->Draw(100, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0), S_OK); // left-right
    EXPECT_EQ(PixelAt(c.back, 100, 3), Column(31, 3));
    EXPECT_EQ(PixelAt(c.back, 131, 3), Column(0, 3));
    ASSERT_EQ(o->Draw(200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1), S_OK); // up-down
    EXPECT_EQ(PixelAt(c.back, 205, 0), Column(5, 23));

    // Rotated blits are not offered here.
    EXPECT_EQ(o->Draw(300, 0, 0, 0, 0, 0, 0, 0, 90, 0, 0), E_NOTIMPL);
    ExpectFailure(kObject, IID_IObject, E_NOTIMPL, "Unsupported Feature.");
    o->Release();
}

TEST(Object, TransparentColourIsNotDrawn)
{
    Canvas c;
    auto magentaFrame = [](int x, int y) -> DWORD {
        return x < 4 || y < 4 || x >= 12 || y >= 12 ? 0xFF00FF : 0x00FF00;
    };
    IObject* o = c.Add(gfx_test::TempFile("zykgfx_keyed.bmp", gfx_test::Bmp24(16, 16, magentaFrame)));
    ASSERT_NE(o, nullptr);
    long t = 0;
    EXPECT_EQ(o->put_Transparent(-1), S_OK);
    EXPECT_EQ(o->get_Transparent(&t), S_OK);
    EXPECT_EQ(t, 1);
    EXPECT_EQ(o->put_TransparencyColour(RGB(255, 0, 255)), S_OK);
    long key = 0;
    o->get_TransparencyColour(&key);
    EXPECT_EQ(key, static_cast<long>(RGB(255, 0, 255)));
    ASSERT_EQ(o->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(PixelAt(c.back, 1, 1), kBackground);
    EXPECT_EQ(PixelAt(c.back, 8, 8), 0x00FF00u);
    o->Release();
}

TEST(Object, FailuresOfAnEmptyObject)
{
    IObject* o = New<IObject>(L"ZYKGFX.Object", IID_IObject);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->Create(8, 8, 0), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "DirectDraw Not Initialised.");
    EXPECT_EQ(o->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "Surface Not Initialised.");
    EXPECT_EQ(o->put_TransparencyColour(0), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "Surface Not Initialised.");

    gfx_test::OwnDirectDraw own;
    o->put_DD(Handle(own.dd));
    ASSERT_EQ(o->Create(8, 8, 0), S_OK);
    EXPECT_EQ(o->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "Back Surface Not Initialised.");
    // A second Create replaces the surface and lets the first one go.
    long first = 0, second = 0;
    o->get_Surface(&first);
    auto* firstSurface = reinterpret_cast<IDirectDrawSurface7*>(static_cast<LONG_PTR>(first));
    firstSurface->AddRef();
    ASSERT_EQ(o->Create(4, 4, 0), S_OK);
    o->get_Surface(&second);
    EXPECT_NE(first, second);
    EXPECT_EQ(firstSurface->Release(), 0u);
    EXPECT_EQ(o->Free(), S_OK);
    long width = -1;
    o->get_Width(&width);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(o->Create(8, 8, 0), E_POINTER); // Free forgot the DirectDraw object too
    testkit::ClearError();
    o->Release();
}

TEST(Object, BadBitmapFilesAreRefused)
{
    Canvas c;
    const std::string good = gfx_test::Bmp24(32, 24, Column);
    const std::string truncated = good.substr(0, good.size() / 2);
    std::string badOffset = good;
    badOffset[10] = '\x7F';
    badOffset[11] = '\x7F';
    for (const std::string& bytes : {truncated, badOffset, std::string("BM"), std::string()}) {
        BSTR name = SysAllocString(testkit::Widen(gfx_test::TempFile("zykgfx_bad.bmp", bytes)).c_str());
        IDispatch* d = nullptr;
        EXPECT_EQ(c.objects->get_Add(name, 16, 16, 0, &d), E_FAIL);
        EXPECT_EQ(d, nullptr);
        ExpectFailure(kObjects, IID_IObjects, E_FAIL, "Failed to Load Bitmap.");
        SysFreeString(name);
    }
    BSTR missing = SysAllocString(L"C:\\no such folder\\none.bmp");
    IDispatch* d = nullptr;
    EXPECT_EQ(c.objects->get_Add(missing, 16, 16, 0, &d), E_FAIL);
    SysFreeString(missing);
    testkit::ClearError();
    long count = -1;
    c.objects->get_Count(&count);
    EXPECT_EQ(count, 0);
}

// A name is taken in the ANSI code page up to 259 bytes; one byte more is refused, though
// the name cut short would be a file.
TEST(Object, NamesUpToThePathLimit)
{
    Canvas c;
    const std::string folder = testkit::ProcessFolder("zykgfx_names");
    const std::string path = folder + "\xe9" + std::string(MAX_PATH - folder.size() - 6, 'n') + ".bmp";
    testkit::WriteAll(path, gfx_test::Bmp24(4, 4, Column));
    IObject* o = c.Add(path);
    ASSERT_NE(o, nullptr);
    o->Release();
    BSTR longer = SysAllocString(testkit::Widen(path + "x").c_str());
    IDispatch* d = nullptr;
    EXPECT_EQ(c.objects->get_Add(longer, 16, 16, 0, &d), E_FAIL);
    ExpectFailure(kObjects, IID_IObjects, E_FAIL, "Failed to Load Bitmap.");
    SysFreeString(longer);
}

TEST(Object, TheCollectionByFileName)
{
    Canvas c;
    // An empty name makes an empty 16 x 16 object; a second one replaces it.
    IObject* empty = c.Add("");
    ASSERT_NE(empty, nullptr);
    long width = 0;
    empty->get_Width(&width);
    EXPECT_EQ(width, 16);
    IObject* again = c.Add("", 8, 8);
    // The replaced object stays the client's working object.
    EXPECT_EQ(empty->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK) << testkit::Narrow(testkit::TakeError().description);
    long count = 0;
    c.objects->get_Count(&count);
    EXPECT_EQ(count, 1);
    VARIANT key = testkit::VarBstr(L""), r;
    VariantInit(&r);
    ASSERT_EQ(c.objects->Item(key, &r), S_OK);
    IObject* filed = Take<IObject>(V_DISPATCH(&r), IID_IObject);
    EXPECT_EQ(filed, again);
    filed->Release();
    again->Release();
    empty->Release();
    VariantClear(&key);

    IObject* b = c.Add(gfx_test::TempFile("zykgfx_b.bmp", gfx_test::Bmp24(4, 4, Column)));
    IObject* a = c.Add(gfx_test::TempFile("zykgfx_a.bmp", gfx_test::Bmp24(4, 4, Column)));
    c.objects->get_Count(&count);
    EXPECT_EQ(count, 3);
    // Position 1 is the greatest name: the "b" file goes first.
    ASSERT_EQ(c.objects->Remove(testkit::VarI4(1)), S_OK);
    VariantInit(&r);
    ASSERT_EQ(c.objects->Item(testkit::VarI4(1), &r), S_OK);
    IObject* first = Take<IObject>(V_DISPATCH(&r), IID_IObject);
    EXPECT_EQ(first, a);
    first->Release();
    EXPECT_EQ(c.objects->Remove(testkit::VarI4(5)), E_INVALIDARG);
    EXPECT_EQ(c.objects->Clear(), S_OK);
    c.objects->get_Count(&count);
    EXPECT_EQ(count, 0);
    // An object the client still holds after it left the collection is let go.
    EXPECT_EQ(a->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "Surface Not Initialised.");
    a->Release();
    b->Release();
}

TEST(Object, SaveWritesTheSurfaceAsABitmap)
{
    Canvas c;
    IObject* o = c.Add(ColumnsFile());
    ASSERT_NE(o, nullptr);
    const std::string path = testkit::TempPath("zykgfx_saved.bmp");
    DeleteFileA(path.c_str());
    BSTR name = SysAllocString(testkit::Widen(path).c_str());
    ASSERT_EQ(o->Save(name), S_OK) << testkit::Narrow(testkit::TakeError().description);
    SysFreeString(name);
    // Read back as an object of its own.
    IObject* copy = c.Add(path);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(PixelAt(c.back, 7, 9), Column(7, 9));
    EXPECT_EQ(PixelAt(c.back, 31, 23), Column(31, 23));
    BSTR none = SysAllocString(L"");
    EXPECT_EQ(o->Save(none), E_INVALIDARG);
    SysFreeString(none);
    testkit::ClearError();
    copy->Release();
    o->Release();
}

// A Save that cannot be written whole (the disk fills) reports it and leaves the file there
// was byte for byte, with nothing else beside it. Needs a small disk of its own to fill:
// the folder ZYK_FULL_DISK names (Unix form).
TEST(Object, SaveOntoAFullDiskKeepsTheOldFile)
{
    const char* disk = getenv("ZYK_FULL_DISK");
    if (!disk || !*disk) GTEST_SKIP() << "no small disk to fill (ZYK_FULL_DISK)";
    std::string folder = std::string("Z:") + disk;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    const std::string path = folder + "\\zykgfx_saved.bmp", filler = folder + "\\zykgfx_filler";
    auto save = [&](IObject* o) {
        BSTR name = SysAllocString(testkit::Widen(path).c_str());
        HRESULT hr = o->Save(name);
        SysFreeString(name);
        return hr;
    };
    DeleteFileA(filler.c_str());
    Canvas c;
    IObject* small = c.Add(ColumnsFile());
    IObject* large = c.Add("", 64, 64);
    ASSERT_EQ(save(small), S_OK) << testkit::Narrow(testkit::TakeError().description);
    const std::string before = testkit::ReadAll(path);
    ASSERT_FALSE(before.empty());
    FILE* f = fopen(filler.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string block(4096, 'x');
    while (fwrite(block.data(), 1, block.size(), f) == block.size()) {}
    fclose(f);

    EXPECT_EQ(save(large), E_FAIL);
    ExpectFailure(kObject, IID_IObject, E_FAIL, "Failed to Save Bitmap.");
    EXPECT_EQ(testkit::ReadAll(path), before);
    int files = 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    EXPECT_EQ(files, 2); // the old file and the filler
    DeleteFileA(filler.c_str());
    DeleteFileA(path.c_str());
    large->Release();
    small->Release();
}
