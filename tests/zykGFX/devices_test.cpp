// The adapter list as the configuration applet and a script see it: one Device per
// DirectDraw driver, in descending name order, reached through the fixed vtable slots.
#include "gfx_fixture.h"
#include <map>

using gfx_test::New;
using gfx_test::Take;

namespace {

struct Driver {
    std::wstring description;
    bool primary; // listed with no GUID
};

BOOL WINAPI Collect(GUID* guid, LPSTR description, LPSTR name, void* context, HMONITOR)
{
    (*static_cast<std::map<std::wstring, Driver>*>(context))[testkit::Widen(name)] = {testkit::Widen(description),
                                                                                      !guid};
    return TRUE;
}

// The drivers as this program's own DirectDraw lists them, by name.
std::map<std::wstring, Driver> ListedDrivers()
{
    std::map<std::wstring, Driver> drivers;
    EXPECT_EQ(DirectDrawEnumerateExA(&Collect, &drivers, DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES),
              S_OK);
    return drivers;
}

IDevice* ItemAt(IDevices* list, const VARIANT& index)
{
    VARIANT r;
    VariantInit(&r);
    IDevice* d = nullptr;
    if (SUCCEEDED(list->Item(index, &r)) && V_VT(&r) == VT_DISPATCH)
        V_DISPATCH(&r)->QueryInterface(IID_IDevice, reinterpret_cast<void**>(&d));
    VariantClear(&r);
    return d;
}

std::wstring Text(HRESULT (STDMETHODCALLTYPE IDevice::*get)(BSTR*), IDevice* d)
{
    BSTR b = nullptr;
    (d->*get)(&b);
    std::wstring s = b ? b : L"";
    SysFreeString(b);
    return s;
}

// A member called by its vtable slot, as the applet calls it.
template <class... Args>
HRESULT CallSlot(void* itf, int slot, Args... args)
{
    using Fn = HRESULT(STDMETHODCALLTYPE*)(void*, Args...);
    Fn fn = reinterpret_cast<Fn>((*static_cast<void***>(itf))[slot]);
    return fn(itf, args...);
}

} // namespace

TEST(Devices, OneDevicePerDriverInDescendingNameOrder)
{
    const auto drivers = ListedDrivers();
    ASSERT_FALSE(drivers.empty());
    IDevices* list = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    ASSERT_NE(list, nullptr);
    long count = 0;
    EXPECT_EQ(list->get_Count(&count), S_OK);
    EXPECT_EQ(count, static_cast<long>(drivers.size()));

    auto expected = drivers.rbegin(); // greatest name first
    for (long i = 1; i <= count; ++i, ++expected) {
        IDevice* d = ItemAt(list, testkit::VarI4(i));
        ASSERT_NE(d, nullptr) << i;
        EXPECT_EQ(Text(&IDevice::get_Name, d), expected->first);
        EXPECT_EQ(Text(&IDevice::get_Description, d), expected->second.description);
        // Each device made its DirectDraw object when it was given its GUID.
        long dd = 0;
        EXPECT_EQ(d->get_DirectDrawPointer(&dd), S_OK);
        EXPECT_NE(dd, 0);
        d->Release();
    }

    // 16-bit positions and names are indexes too; anything else is refused.
    IDevice* first = ItemAt(list, testkit::VarI2(1));
    ASSERT_NE(first, nullptr);
    VARIANT name = testkit::VarBstr(drivers.rbegin()->first.c_str());
    IDevice* byName = ItemAt(list, name);
    VariantClear(&name);
    EXPECT_EQ(first, byName);
    first->Release();
    if (byName) byName->Release();
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(list->Item(testkit::VarI4(0), &r), E_INVALIDARG);
    EXPECT_EQ(list->Item(testkit::VarI4(count + 1), &r), E_INVALIDARG);
    EXPECT_EQ(list->Item(testkit::VarR8(1.0), &r), E_INVALIDARG);
    VARIANT unknown = testkit::VarBstr(L"no such driver");
    EXPECT_EQ(list->Item(unknown, &r), E_INVALIDARG);
    VariantClear(&unknown);

    // The enumerator gives the same devices in the same order.
    IUnknown* e = nullptr;
    ASSERT_EQ(list->get__NewEnum(&e), S_OK);
    IEnumVARIANT* ev = nullptr;
    ASSERT_EQ(e->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&ev)), S_OK);
    e->Release();
    long seen = 0;
    expected = drivers.rbegin();
    VARIANT v;
    VariantInit(&v);
    while (ev->Next(1, &v, nullptr) == S_OK) {
        IDevice* d = Take<IDevice>(V_DISPATCH(&v), IID_IDevice);
        V_VT(&v) = VT_EMPTY;
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Text(&IDevice::get_Name, d), expected++->first);
        d->Release();
        ++seen;
    }
    EXPECT_EQ(seen, count);
    ev->Release();
    list->Release();
}

TEST(Devices, TheAppletsSlots)
{
    IDevices* list = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    ASSERT_NE(list, nullptr);
    long count = 0;
    ASSERT_EQ(CallSlot(list, 14, &count), S_OK); // Count
    ASSERT_GE(count, 1);
    for (long i = 1; i <= count; ++i) {
        VARIANT item;
        VariantInit(&item);
        ASSERT_EQ(CallSlot(list, 7, testkit::VarI4(i), &item), S_OK); // Item
        ASSERT_EQ(V_VT(&item), VT_DISPATCH);
        void* device = V_DISPATCH(&item); // used as IDevice directly, as the applet does
        BSTR description = nullptr;
        EXPECT_EQ(CallSlot(device, 21, &description), S_OK);
        EXPECT_GT(SysStringLen(description), 0u);
        SysFreeString(description);
        EXPECT_EQ(CallSlot(device, 23, 0L, 0L, 0L, 0L, 1L), S_OK); // Initialise, quick set-up
        IDispatch* hardware = nullptr;
        ASSERT_EQ(CallSlot(device, 30, &hardware), S_OK);
        BSTR driver = nullptr;
        EXPECT_EQ(CallSlot(hardware, 11, &driver), S_OK);
        DDDEVICEIDENTIFIER2 id{};
        gfx_test::OwnDirectDraw own;
        ASSERT_EQ(own.dd->GetDeviceIdentifier(&id, DDGDI_GETHOSTIDENTIFIER), S_OK);
        EXPECT_EQ(std::wstring(driver ? driver : L""), testkit::Widen(id.szDriver));
        SysFreeString(driver);
        hardware->Release();

        IDispatch* modes = nullptr;
        ASSERT_EQ(CallSlot(device, 15, &modes), S_OK);
        long modeCount = 0;
        EXPECT_EQ(CallSlot(modes, 10, &modeCount), S_OK);
        EXPECT_GE(modeCount, 1);
        VARIANT mode;
        VariantInit(&mode);
        ASSERT_EQ(CallSlot(modes, 8, testkit::VarI4(1), &mode), S_OK);
        long width = 0, height = 0, depth = 0;
        EXPECT_EQ(CallSlot(V_DISPATCH(&mode), 14, &width), S_OK);
        EXPECT_EQ(CallSlot(V_DISPATCH(&mode), 10, &height), S_OK);
        EXPECT_EQ(CallSlot(V_DISPATCH(&mode), 8, &depth), S_OK);
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_GT(depth, 0);
        VariantClear(&mode);
        modes->Release();
        EXPECT_EQ(CallSlot(device, 28), S_OK); // Free
        VariantClear(&item);
    }
    list->Release();
}

TEST(Devices, VersionAndMachine)
{
    IDevices* list = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    ASSERT_NE(list, nullptr);
    IDispatch* d = nullptr;
    ASSERT_EQ(list->get_Version(&d), S_OK);
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispGet(d, L"Major", &r), S_OK);
    EXPECT_EQ(V_I4(&r), 6);
    ASSERT_EQ(testkit::DispGet(d, L"Minor", &r), S_OK);
    EXPECT_EQ(V_I4(&r), 0);
    d->Release();

    // The machine name reaches every listed device.
    BSTR machine = SysAllocString(L"GAMEBOX");
    EXPECT_EQ(list->put_Machine(machine), S_OK);
    SysFreeString(machine);
    long count = 0;
    list->get_Count(&count);
    for (long i = 1; i <= count; ++i) {
        IDevice* device = ItemAt(list, testkit::VarI4(i));
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(Text(&IDevice::get_Machine, device), L"GAMEBOX");
        device->Release();
    }
    BSTR back = nullptr;
    EXPECT_EQ(list->get_Machine(&back), S_OK);
    EXPECT_STREQ(back, L"GAMEBOX");
    SysFreeString(back);
    list->Release();
}
