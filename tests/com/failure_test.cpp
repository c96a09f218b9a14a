// The error record: descriptions, copies, reporting, the string table and the mappings.
#include "com/create.h"
#include "errormaps.h"
#include "com/failure.h"
#include "framerate.h"
#include "pack.h"
#include "testkit.h"
#include "zyk3D.h"
#include <limits>

using testkit::SystemText;
using testkit::TakeError;

namespace {
constexpr HRESULT H(unsigned long v) { return static_cast<HRESULT>(v); }

} // namespace

TEST(Failure, DirectXCodeGivesTheTextAlone)
{
    failure f(H(0x88760082), "Viewport Has No Device Set.");
    EXPECT_EQ(f.Result(), H(0x88760082));
    EXPECT_STREQ(f.Description(), L"Viewport Has No Device Set.");
}

TEST(Failure, SystemTextPrecedesTheGuardText)
{
    EXPECT_EQ(std::wstring(failure(E_POINTER, "Device Not Initialised.").Description()),
              SystemText(E_POINTER) + L"Device Not Initialised.");
    std::wstring invalid = failure(E_INVALIDARG, "Invalid Red Intensity.").Description();
    EXPECT_EQ(invalid, SystemText(E_INVALIDARG) + L"Invalid Red Intensity.");
    EXPECT_NE(SystemText(E_INVALIDARG), L""); // the system knows this one: text, CR LF, then ours
    EXPECT_NE(invalid.find(L"\r\nInvalid Red Intensity."), std::wstring::npos);
}

TEST(Failure, StringIdGivesExactlyTheTableText)
{
    EXPECT_STREQ(failure(E_OUTOFMEMORY, 101u).Description(), L"Out of Memory.");
    EXPECT_STREQ(failure(E_FAIL, 156u).Description(), L"Fog unavailable.");
    EXPECT_STREQ(failure(E_FAIL, 157u).Description(), L"Unable to find DDRAW.DLL");
    EXPECT_STREQ(failure(E_FAIL, 165u).Description(), L"Cannot attach to surface.");
    EXPECT_STREQ(failure(E_FAIL, 100u).Description(), L"zyk3D");
    EXPECT_STREQ(failure(E_FAIL, 125u).Description(), L""); // not in the table
    EXPECT_STREQ(failure(E_FAIL, 9999u).Description(), L"");
}

TEST(Failure, CopiesOwnTheirStrings)
{
    failure* original = new failure(E_FAIL, "Cameras Not Registered.");
    failure copy(*original);
    failure assigned(E_OUTOFMEMORY, 101u);
    assigned = *original;
    delete original;
    EXPECT_EQ(copy.Result(), E_FAIL);
    EXPECT_EQ(std::wstring(copy.Description()), SystemText(E_FAIL) + L"Cameras Not Registered.");
    EXPECT_EQ(std::wstring(assigned.Description()), std::wstring(copy.Description()));
    assigned = assigned;
    EXPECT_EQ(assigned.Result(), E_FAIL);
}

TEST(Failure, ReportPublishesEverythingTheClientReads)
{
    failure f(E_FAIL, "Resize Failed.");
    EXPECT_EQ(f.Report(CLSID_Position, IID_IPosition), E_FAIL);
    auto e = TakeError();
    ASSERT_TRUE(e.present);
    EXPECT_EQ(e.description, SystemText(E_FAIL) + L"Resize Failed.");
    EXPECT_EQ(e.source, L"zyk3D.Position.1");
    EXPECT_TRUE(IsEqualGUID(e.guid, IID_IPosition));
    EXPECT_EQ(e.helpFile, L"");
    EXPECT_EQ(e.helpContext, 0u);
}

TEST(Failure, ContextCreationMapping)
{
    auto text = [](HRESULT hr) {
        try {
            ThrowContextCreationFailure(hr);
        } catch (failure& f) {
            EXPECT_EQ(f.Result(), hr);
            return std::wstring(f.Description());
        }
        return std::wstring(L"not thrown");
    };
    EXPECT_EQ(text(H(0x88760234)), L"Primary Surface has already been created.");
    EXPECT_EQ(text(H(0xC8770BD9)), L"Colour Depth Too Low!");
    EXPECT_EQ(text(H(0xC8770BC7)), L"Direct3DX has not been initiated.");
    EXPECT_EQ(text(H(0x8876024E)), L"Unsupported.");
    EXPECT_EQ(text(E_NOTIMPL), L"Unsupported.");
    EXPECT_EQ(text(H(0xC8770BC2)), L"No Z-Buffer was Found.");
    EXPECT_EQ(text(H(0x88760001)), L"Unknown Error.");
}

TEST(Failure, FramePresentationMapping)
{
    auto text = [](HRESULT hr) {
        try {
            ThrowFramePresentationFailure(hr);
        } catch (failure& f) {
            return std::wstring(f.Description());
        }
        return std::wstring(L"not thrown");
    };
    EXPECT_EQ(text(H(0x88760118)), L"No Raster Operation Hardware Found.");
    EXPECT_EQ(text(H(0x88760240)), L"No Raster Operation Hardware Found.");
    EXPECT_EQ(text(H(0x8876026C)), L"Device Context Already Created.");
    EXPECT_EQ(text(H(0x887601C2)), L"Surface Has Been Lost.");
    EXPECT_EQ(text(H(0x88760234)), L"Unknown Error."); // only creation lists it
}

TEST(CreateComObject, UnregisteredClassGivesNullAndTheDebugLine)
{
    const CLSID bogus = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    testkit::DebugCapture capture;
    EXPECT_EQ(CreateComObject(bogus, IID_IUnknown), nullptr);
    auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "CoCreateInstanceEx Failed.\n");
}

TEST(CreateComObject, MissingInterfaceHasItsOwnLine)
{
    testkit::DebugCapture capture;
    EXPECT_EQ(CreateComObject(CLSID_Colour, IID_IPosition), nullptr);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"CoCreateInstanceEx Failed. (No Interface).\n"});
}

TEST(CreateComObject, ChildThrowsNotRegistered)
{
    const CLSID bogus = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 9}};
    IPosition* p = CreateChild<IPosition>(CLSID_Position, IID_IPosition, "Position Not Registered.");
    ASSERT_NE(p, nullptr);
    p->Release();
    try {
        CreateChild<IPosition>(bogus, IID_IPosition, "Position Not Registered.");
        FAIL();
    } catch (failure& f) {
        EXPECT_EQ(f.Result(), E_FAIL);
        EXPECT_EQ(std::wstring(f.Description()), SystemText(E_FAIL) + L"Position Not Registered.");
    }
}

TEST(PackColour, ChannelsTruncateAndSaturate)
{
    EXPECT_EQ(PackColour(1.0f, 0.5f, 0.0f, 1.0f), 0xFFFF7F00u);
    EXPECT_EQ(PackColour(0.0f, 0.0f, 0.0f, 0.0f), 0u);
    EXPECT_EQ(PackColour(0.999f, 0.0f, 0.0f, 0.0f), 254u << 16);
    // A channel out of range saturates in its own byte instead of reaching its neighbours.
    EXPECT_EQ(PackColour(1.5f, 0.0f, 0.0f, 0.0f), 0x00FF0000u);
    EXPECT_EQ(PackColour(0.0f, 0.0f, -1.0f, 0.0f), 0u);
    EXPECT_EQ(PackColour(0.0f, 0.5f, 0.0f, -0.001f), 0x00007F00u);
    // Values no integer holds, infinities and NaN (which counts as 0).
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(PackColour(1e30f, -1e30f, 3e9f, -3e9f), 0x00FF00FFu);
    EXPECT_EQ(PackColour(inf, -inf, nan, inf), 0xFFFF0000u);
    EXPECT_EQ(PackColour(nan, nan, nan, nan), 0u);
    EXPECT_EQ(PackColour(-nan, 1.0f, 0.25f, 0.5f), 0x7F00FF3Fu);
}

TEST(FrameRate, TenthsOfFramesPerSecond)
{
    EXPECT_EQ(FrameRateTenths(16, 0), 625u);
    EXPECT_EQ(FrameRateTenths(33, 0), 303u);
    EXPECT_EQ(FrameRateTenths(20, 0), 500u);
    EXPECT_EQ(FrameRateTenths(3, 0), 3333u);
    EXPECT_EQ(FrameRateTenths(1, 0), 10000u);
    EXPECT_EQ(FrameRateTenths(0, 625), 625u); // no division by zero
    EXPECT_EQ(FrameRateTenths(0xFFFFFFFF, 7), 0u);
}
