// The video control as a client sees it: registration, the graph built into the host
// window from an AVI file the test writes, the window's size, the events posted to the host,
// the failures of Load. What it does as a control is in control_test.cpp.
#include "testkit.h"
#include "zykMM.h"
#include "zykMM_classes.h"
#include <string>
#include <vector>

using testkit::SystemText;

namespace {

const UINT kGraphEvent = WM_USER + 13;

void Put32(std::string& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
}
void Put16(std::string& b, uint16_t v)
{
    b.push_back(static_cast<char>(v));
    b.push_back(static_cast<char>(v >> 8));
}
std::string Chunk(const char* id, const std::string& data)
{
    std::string b(id, 4);
    Put32(b, static_cast<uint32_t>(data.size()));
    b += data;
    if (data.size() % 2) b.push_back(0);
    return b;
}
std::string List(const char* type, const std::string& data) { return Chunk("LIST", std::string(type, 4) + data); }

// An uncompressed AVI: frames of w x h 24-bit pixels in one colour, ten a second.
std::string Avi(int w, int h, int frames)
{
    const uint32_t frameBytes = static_cast<uint32_t>(((w * 3 + 3) & ~3) * h);
    std::string avih;
    for (uint32_t v : {100000u, frameBytes * 10, 0u, 0x10u, uint32_t(frames), 0u, 1u, frameBytes, uint32_t(w),
                       uint32_t(h), 0u, 0u, 0u, 0u})
        Put32(avih, v);
    // Stream header: type, handler, flags, priority and language (16 bits each), initial
    // frames, scale, rate, start, length, buffer size, quality, sample size, frame rectangle.
    std::string strh = "vidsDIB ";
    Put32(strh, 0);
    Put16(strh, 0);
    Put16(strh, 0);
    for (uint32_t v : {0u, 1u, 10u, 0u, uint32_t(frames), frameBytes, 0xFFFFFFFFu, 0u}) Put32(strh, v);
    for (uint16_t v : {uint16_t(0), uint16_t(0), uint16_t(w), uint16_t(h)}) Put16(strh, v);
    std::string strf;
    for (uint32_t v : {40u, uint32_t(w), uint32_t(h)}) Put32(strf, v);
    Put16(strf, 1);
    Put16(strf, 24);
    for (uint32_t v : {0u, frameBytes, 0u, 0u, 0u, 0u}) Put32(strf, v);
    std::string movi, index;
    for (int i = 0; i < frames; ++i) {
        std::string pixels(frameBytes, '\0');
        for (size_t p = 0; p + 2 < pixels.size(); p += 3) pixels[p] = static_cast<char>(200); // blue
        index += "00db";
        Put32(index, 0x10);
        Put32(index, static_cast<uint32_t>(4 + movi.size()));
        Put32(index, frameBytes);
        movi += Chunk("00db", pixels);
    }
    const std::string body =
        List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf))) +
        List("movi", movi) + Chunk("idx1", index);
    std::string file = "RIFF";
    Put32(file, static_cast<uint32_t>(4 + body.size()));
    return file + "AVI " + body;
}

std::wstring WriteAvi()
{
    const std::string path = testkit::TempPath("zyk_video.avi");
    testkit::WriteAll(path, Avi(32, 24, 10));
    return testkit::Widen(path);
}

struct Name {
    explicit Name(const std::wstring& s) : b(SysAllocString(s.c_str())) {}
    ~Name() { SysFreeString(b); }
    BSTR b;
};

long Handle(HWND w) { return static_cast<long>(reinterpret_cast<LONG_PTR>(w)); }

// Pumps the thread's messages until one with the number arrives at the window, for at most
// thirty seconds.
bool Receives(HWND window, UINT number)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.hwnd == window && m.message == number) return true;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
}

HWND ChildWindow(HWND parent) { return FindWindowExA(parent, nullptr, nullptr, nullptr); }

} // namespace

TEST(VideoControl, IsRegisteredAsAControl)
{
    testkit::ExpectRegistered(L"zykMM.dll", L"{964DE71E-F2A1-42EE-8632-E2476CC45503}",
                              {ZYKMM_CLASSES(ZYK_REGISTERED_CLASS)});
    IDevice* d = testkit::Create<IDevice>(L"zykMM.Device.1", IID_IDevice);
    ASSERT_NE(d, nullptr);
    d->Release();
}

TEST(VideoControl, AMissingFileFailsWithTheRenderCode)
{
    HWND host = testkit::CreateTestWindow(160, 120, "video host");
    IDevice* d = testkit::Create<IDevice>(L"zykMM.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    d->put_Window(Handle(host));
    HRESULT hr = d->Load(Name(L"Z:\\no\\such\\video.avi").b);
    EXPECT_TRUE(FAILED(hr));
    testkit::ExpectError(L"zykMM.Device.1", IID_IDevice, SystemText(hr) + L"Load Video Failed.");
    d->Release();
    DestroyWindow(host);
}

// The Window property runs inside the member boundary too: it clears what a failed Load
// left, and a null out is a bare E_POINTER.
TEST(VideoControl, WindowLeavesNoErrorInformation)
{
    HWND host = testkit::CreateTestWindow(160, 120, "video host");
    IDevice* d = testkit::Create<IDevice>(L"zykMM.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    const Name missing(L"Z:\\no\\such\\video.avi");
    long window = 0;
    auto afterFailedLoad = [&](HRESULT (*call)(IDevice*, HWND, long*), HRESULT expected, const char* member) {
        ASSERT_TRUE(FAILED(d->Load(missing.b)));
        EXPECT_EQ(call(d, host, &window), expected) << member;
        EXPECT_FALSE(testkit::TakeError().present) << member;
    };
    afterFailedLoad([](IDevice* device, HWND w, long*) { return device->put_Window(Handle(w)); }, S_OK, "put");
    afterFailedLoad([](IDevice* device, HWND, long* out) { return device->get_Window(out); }, S_OK, "get");
    afterFailedLoad([](IDevice* device, HWND, long*) { return device->get_Window(nullptr); }, E_POINTER, "get(null)");
    EXPECT_EQ(window, Handle(host));
    d->Release();
    DestroyWindow(host);
}

TEST(VideoControl, AVideoPlaysInAChildOfTheHostWindowAndPostsItsEvents)
{
    HWND host = testkit::CreateTestWindow(160, 120, "video host");
    IDevice* d = testkit::Create<IDevice>(L"zykMM.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    // Without a window the control takes the active one.
    SetActiveWindow(host);
    ASSERT_EQ(GetActiveWindow(), host);
    ASSERT_EQ(d->Load(Name(WriteAvi()).b), S_OK) << testkit::Narrow(testkit::TakeError().description);
    long window = 0;
    d->get_Window(&window);
    EXPECT_EQ(window, Handle(host));

    // The video window is the host's child and fills its client area.
    HWND video = ChildWindow(host);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(GetWindowLongA(video, GWL_STYLE) & (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    long width = 0, height = 0;
    EXPECT_EQ(d->get_Width(&width), S_OK);
    EXPECT_EQ(d->get_Height(&height), S_OK);
    EXPECT_EQ(width, 160);
    EXPECT_EQ(height, 120);
    EXPECT_EQ(d->put_Width(100), S_OK);
    d->get_Width(&width);
    EXPECT_EQ(width, 100);
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(testkit::DispGet(d, L"Height", &v), S_OK);
    EXPECT_EQ(V_I4(&v), 120);

    EXPECT_EQ(d->Play(), S_OK);
    EXPECT_TRUE(Receives(host, kGraphEvent)) << "no graph event reached the host window";
    EXPECT_EQ(d->Pause(), S_OK);
    EXPECT_EQ(d->Stop(), S_OK);
    d->Release();
    DestroyWindow(host);
}
