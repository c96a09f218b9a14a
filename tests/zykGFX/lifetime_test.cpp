// Sub-objects a client still holds after their owner let them go: removed from or cleared
// out of their collection, the device freed or set up anew, the device released. What
// needs the device answers its "Not Initialised." failure; stored values keep answering.
#include "gfx_fixture.h"

using gfx_test::ExpectFailure;
using gfx_test::ExpectText;
using gfx_test::Handle;
using gfx_test::New;
using gfx_test::Take;
using gfx_test::WindowedDevice;

namespace {

const wchar_t kObject[] = L"ZYKGFX.Object.1";
const wchar_t kMode[] = L"ZYKGFX.Mode.1";

template <class Itf>
Itf* Sub(IDevice* d, HRESULT (STDMETHODCALLTYPE IDevice::*get)(IDispatch**), REFIID iid)
{
    IDispatch* out = nullptr;
    EXPECT_EQ((d->*get)(&out), S_OK) << testkit::Narrow(testkit::TakeError().description);
    return Take<Itf>(out, iid);
}

IObject* AddTo(IObjects* objects, const std::string& path)
{
    BSTR name = SysAllocString(testkit::Widen(path).c_str());
    IDispatch* d = nullptr;
    EXPECT_EQ(objects->get_Add(name, 16, 16, 0, &d), S_OK) << testkit::Narrow(testkit::TakeError().description);
    SysFreeString(name);
    return Take<IObject>(d, IID_IObject);
}

DWORD Blue(int, int) { return 0x0000FF; }

// A bitmap object let go: its own values stay, its surface and the device's are out of reach.
void ExpectLetGo(IObject* o, long width)
{
    long v = 0;
    EXPECT_EQ(o->get_Width(&v), S_OK);
    EXPECT_EQ(v, width);
    EXPECT_EQ(o->put_Transparent(1), S_OK);
    EXPECT_EQ(o->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "Surface Not Initialised.");
    EXPECT_EQ(o->put_TransparencyColour(0), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "Surface Not Initialised.");
    EXPECT_EQ(o->Create(8, 8, 0), E_POINTER);
    ExpectFailure(kObject, IID_IObject, E_POINTER, "DirectDraw Not Initialised.");
    long surface = 1;
    EXPECT_EQ(o->get_Surface(&surface), S_OK);
    EXPECT_EQ(surface, 0);
}

} // namespace

TEST(LetGo, BitmapObjectsRemovedClearedFreedAndReleased)
{
    const std::string file = gfx_test::TempFile("zykgfx_letgo.bmp", gfx_test::Bmp24(20, 10, Blue));
    IObject* removed = nullptr;
    IObject* cleared = nullptr;
    IObject* freed = nullptr;
    IObject* released = nullptr;
    IObjects* heldList = nullptr;
    {
        WindowedDevice w(64, 48);
        ASSERT_EQ(w.initialised, S_OK) << testkit::Narrow(testkit::TakeError().description);
        IObjects* objects = Sub<IObjects>(w.device, &IDevice::get_Objects, IID_IObjects);
        ASSERT_NE(objects, nullptr);
        removed = AddTo(objects, file);
        ASSERT_NE(removed, nullptr);
        ASSERT_EQ(removed->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
        ASSERT_EQ(objects->Remove(testkit::VarI4(1)), S_OK);
        ExpectLetGo(removed, 20);

        cleared = AddTo(objects, file);
        ASSERT_EQ(objects->Clear(), S_OK);
        ExpectLetGo(cleared, 20);

        freed = AddTo(objects, file);
        long handle = 0;
        ASSERT_EQ(freed->get_Surface(&handle), S_OK);
        auto* surface = reinterpret_cast<IDirectDrawSurface7*>(static_cast<LONG_PTR>(handle));
        surface->AddRef();
        ASSERT_EQ(w.device->Free(), S_OK);
        ExpectLetGo(freed, 20);
        // The object let go of its surface with the device: only the test's reference is left.
        EXPECT_EQ(surface->Release(), 0u);
        // The collection itself went with the set-up: it makes no new objects.
        BSTR name = SysAllocString(L"");
        IDispatch* d = nullptr;
        EXPECT_EQ(objects->get_Add(name, 16, 16, 0, &d), E_FAIL);
        ExpectFailure(L"ZYKGFX.Objects.1", IID_IObjects, E_FAIL, "Surface Not Created.");
        SysFreeString(name);
        objects->Release();

        // A new set-up; the client releases the device with an object and its list held.
        ASSERT_EQ(w.device->Initialise(0, 0, 0, 0, 0), S_OK) << testkit::Narrow(testkit::TakeError().description);
        heldList = Sub<IObjects>(w.device, &IDevice::get_Objects, IID_IObjects);
        released = AddTo(heldList, file);
        ASSERT_NE(released, nullptr);
        EXPECT_EQ(released->Draw(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    }
    ExpectLetGo(released, 20);
    long count = 0;
    EXPECT_EQ(heldList->get_Count(&count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(released->Free(), S_OK);
    for (IObject* o : {removed, cleared, freed, released}) o->Release();
    heldList->Release();
}

TEST(LetGo, ModesOfAFreedOrReleasedDevice)
{
    IDevice* d = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->Initialise(0, 0, 0, 0, 1), S_OK);
    IMode* current = Sub<IMode>(d, &IDevice::get_DisplayMode, IID_IMode);
    IModes* modes = Sub<IModes>(d, &IDevice::get_Modes, IID_IModes);
    ASSERT_NE(current, nullptr);
    ASSERT_NE(modes, nullptr);
    VARIANT item;
    VariantInit(&item);
    ASSERT_EQ(modes->Item(testkit::VarI4(1), &item), S_OK);
    IMode* listed = Take<IMode>(V_DISPATCH(&item), IID_IMode);
    long width = 0, listedWidth = 0;
    current->get_Width(&width);
    listed->get_Width(&listedWidth);
    ASSERT_GT(width, 0);

    ASSERT_EQ(d->Free(), S_OK);
    for (IMode* m : {current, listed}) {
        EXPECT_EQ(m->Change(), E_POINTER);
        ExpectFailure(kMode, IID_IMode, E_POINTER, "DirectDraw Not Initialised.");
    }
    long v = 0;
    EXPECT_EQ(listed->get_Width(&v), S_OK);
    EXPECT_EQ(v, listedWidth);

    // The device hands its kept mode the DirectDraw object again: Change reaches it (and
    // fails there, with no window to take the display for).
    IMode* again = Sub<IMode>(d, &IDevice::get_DisplayMode, IID_IMode);
    EXPECT_EQ(again, current);
    EXPECT_NE(current->Change(), E_POINTER);
    testkit::ClearError();
    again->Release();

    d->Release();
    EXPECT_EQ(current->Change(), E_POINTER);
    ExpectFailure(kMode, IID_IMode, E_POINTER, "DirectDraw Not Initialised.");
    // The stored sizes answer a script's reads, as a get and as a statement's call.
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispGet(current, L"Width", &r), S_OK);
    EXPECT_EQ(V_I4(&r), width);
    VariantInit(&r);
    ASSERT_EQ(testkit::DispCall(current, L"Width", {}, &r), S_OK);
    EXPECT_EQ(V_I4(&r), width);
    listed->Release();
    current->Release();
    modes->Release();
}

TEST(LetGo, CapsMemoryHardwareAndPalette)
{
    IDevice* d = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->Initialise(0, 0, 0, 0, 1), S_OK);
    ICaps* caps = Sub<ICaps>(d, &IDevice::get_Caps, IID_ICaps);
    IVideoMemory* video = Sub<IVideoMemory>(d, &IDevice::get_VideoMemory, IID_IVideoMemory);
    ITextureMemory* texture = Sub<ITextureMemory>(d, &IDevice::get_TextureMemory, IID_ITextureMemory);
    IHardware* hardware = Sub<IHardware>(d, &IDevice::get_Hardware, IID_IHardware);
    IPalette* palette = Sub<IPalette>(d, &IDevice::get_Palette, IID_IPalette);
    long v = -1;
    ASSERT_EQ(caps->get_Accelerator(&v), S_OK);
    ASSERT_EQ(video->get_Total(&v), S_OK);
    BSTR driver = nullptr;
    ASSERT_EQ(hardware->get_Driver(&driver), S_OK);
    const std::wstring identified = driver;
    SysFreeString(driver);

    // A second set-up makes new sub-objects and lets the first ones go.
    ASSERT_EQ(d->Initialise(0, 0, 0, 0, 1), S_OK);
    EXPECT_EQ(caps->get_Accelerator(&v), E_FAIL);
    ExpectFailure(L"ZYKGFX.Caps.1", IID_ICaps, E_FAIL, "Failed to Obtain Capabilities.");
    EXPECT_EQ(video->get_Free(&v), E_POINTER);
    ExpectFailure(L"ZYKGFX.VideoMemory.1", IID_IVideoMemory, E_POINTER, "DirectDraw Not Initialised.");
    EXPECT_EQ(texture->get_Total(&v), E_POINTER);
    ExpectText(L"ZYKGFX.TextureMemory.1", IID_ITextureMemory,
               "Description:\tDDx\nReason:\tNot Initialised.\n\nModule:\t\tCTextureMemory\nFunction:\tget_Total");
    // What the hardware object identified stays; identifying again needs the device.
    ASSERT_EQ(hardware->get_Driver(&driver), S_OK);
    EXPECT_EQ(std::wstring(driver), identified);
    SysFreeString(driver);
    EXPECT_EQ(hardware->put_DD(0), E_FAIL);
    ExpectFailure(L"ZYKGFX.Hardware.1", IID_IHardware, E_FAIL, "Unable to Identify Device.");
    BSTR file = SysAllocString(L"");
    EXPECT_EQ(palette->Load(file), E_FAIL);
    ExpectFailure(L"Gfx.Palette.1", IID_IPalette, E_FAIL, "DirectDraw Not Initialised.");
    EXPECT_EQ(palette->get_Count(&v), E_FAIL);
    ExpectFailure(L"Gfx.Palette.1", IID_IPalette, E_FAIL, "DirectDraw Not Initialised.");
    for (IUnknown* u : std::initializer_list<IUnknown*>{caps, video, texture, hardware, palette}) u->Release();
    d->Release();

    // The palette the device keeps through Free is let go with it, and reaches DirectDraw
    // again once the device hands it a new DirectDraw object (which, with no cooperative
    // level set, refuses to make a palette).
    {
        WindowedDevice w(32, 32);
        ASSERT_EQ(w.initialised, S_OK) << testkit::Narrow(testkit::TakeError().description);
        palette = Sub<IPalette>(w.device, &IDevice::get_Palette, IID_IPalette);
        ASSERT_EQ(palette->Load(file), S_OK) << testkit::Narrow(testkit::TakeError().description);
        ASSERT_EQ(w.device->Free(), S_OK);
        EXPECT_EQ(palette->Load(file), E_FAIL);
        ExpectFailure(L"Gfx.Palette.1", IID_IPalette, E_FAIL, "DirectDraw Not Initialised.");
        ASSERT_EQ(w.device->put_GUID(0), S_OK);
        EXPECT_EQ(palette->Load(file), E_FAIL);
        ExpectFailure(L"Gfx.Palette.1", IID_IPalette, E_FAIL, "Failed to Load Palette.");
    }
    EXPECT_EQ(palette->Load(file), E_FAIL);
    ExpectFailure(L"Gfx.Palette.1", IID_IPalette, E_FAIL, "DirectDraw Not Initialised.");
    palette->Release();
    SysFreeString(file);
}

// The adapter list holds devices that stand on their own.
TEST(LetGo, ADeviceOutlivesTheAdapterList)
{
    IDevices* list = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    ASSERT_NE(list, nullptr);
    VARIANT item;
    VariantInit(&item);
    ASSERT_EQ(list->Item(testkit::VarI4(1), &item), S_OK);
    IDevice* d = Take<IDevice>(V_DISPATCH(&item), IID_IDevice);
    ASSERT_NE(d, nullptr);
    IDispatch* early = nullptr;
    ASSERT_EQ(d->Initialise(0, 0, 0, 0, 1), S_OK);
    ASSERT_EQ(d->get_Caps(&early), S_OK);
    list->Release();
    ICaps* caps = Take<ICaps>(early, IID_ICaps);
    long v = -1;
    EXPECT_EQ(caps->get_Accelerator(&v), S_OK);
    caps->Release();
    ASSERT_EQ(d->Initialise(0, 0, 0, 0, 1), S_OK);
    IMode* mode = Sub<IMode>(d, &IDevice::get_DisplayMode, IID_IMode);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->get_Width(&v), S_OK);
    EXPECT_GT(v, 0);
    mode->Release();
    EXPECT_EQ(d->Free(), S_OK);
    d->Release();
}
