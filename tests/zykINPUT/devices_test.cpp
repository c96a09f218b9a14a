// The controller list through the vtable and IDispatch, with the mouse and keyboard the
// platform reports.
#include "testkit.h"
#include "zykINPUT.h"

namespace {

IDevices* NewList() { return testkit::Create<IDevices>(L"ZYKInput.Devices", IID_IDevices); }

std::wstring NameOf(const VARIANT& v)
{
    IDevice* device = nullptr;
    if (V_VT(&v) != VT_DISPATCH ||
        FAILED(V_DISPATCH(&v)->QueryInterface(IID_IDevice, reinterpret_cast<void**>(&device))))
        return L"";
    BSTR name = nullptr;
    device->get_Name(&name);
    std::wstring s = name ? name : L"";
    SysFreeString(name);
    device->Release();
    return s;
}

} // namespace

TEST(InputDevices, EmptyUntilTheModuleHandleIsPut)
{
    IDevices* list = NewList();
    ASSERT_NE(list, nullptr);
    long count = -1;
    EXPECT_EQ(list->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(list->Item(testkit::VarI4(1), &out), E_INVALIDARG);
    long instance = -1;
    EXPECT_EQ(list->get_hInstance(&instance), S_OK);
    EXPECT_EQ(instance, 0);
    list->Release();
}

TEST(InputDevices, ListsMouseBeforeKeyboardByPositionAndName)
{
    IDevices* list = NewList();
    ASSERT_NE(list, nullptr);
    const long module = static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr)));
    EXPECT_EQ(list->put_hInstance(module), S_OK);
    long instance = 0;
    list->get_hInstance(&instance);
    EXPECT_EQ(instance, module);
    long count = 0;
    EXPECT_EQ(list->get_Count(&count), S_OK);
    ASSERT_EQ(count, 2);

    VARIANT first, second;
    VariantInit(&first);
    VariantInit(&second);
    ASSERT_EQ(list->Item(testkit::VarI4(1), &first), S_OK);
    ASSERT_EQ(V_VT(&first), VT_DISPATCH);
    EXPECT_EQ(NameOf(first), L"Mouse");
    ASSERT_EQ(list->Item(testkit::VarI2(2), &second), S_OK);
    EXPECT_EQ(NameOf(second), L"Keyboard");
    VariantClear(&first);
    VariantClear(&second);

    VARIANT key = testkit::VarBstr(L"Keyboard");
    VARIANT byName;
    VariantInit(&byName);
    ASSERT_EQ(list->Item(key, &byName), S_OK);
    EXPECT_EQ(NameOf(byName), L"Keyboard");
    VariantClear(&byName);
    VariantClear(&key);

    // Positions outside 1..Count, an unknown name and other index types.
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(list->Item(testkit::VarI4(0), &out), E_INVALIDARG);
    EXPECT_EQ(list->Item(testkit::VarI4(3), &out), E_INVALIDARG);
    EXPECT_EQ(list->Item(testkit::VarR8(1.0), &out), E_INVALIDARG);
    VARIANT missing = testkit::VarBstr(L"keyboard");
    EXPECT_EQ(list->Item(missing, &out), E_INVALIDARG);
    VariantClear(&missing);

    // A second put lists again into the same entries.
    EXPECT_EQ(list->put_hInstance(module), S_OK);
    list->get_Count(&count);
    EXPECT_EQ(count, 2);
    list->Release();
}

TEST(InputDevices, ABadModuleHandleStillAnswersSOkAndKeepsTheList)
{
    IDevices* list = NewList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->put_hInstance(0), S_OK);
    long count = -1;
    list->get_Count(&count);
    EXPECT_EQ(count, 0);
    list->put_hInstance(static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr))));
    list->put_hInstance(0);
    list->get_Count(&count);
    EXPECT_EQ(count, 2);
    list->Release();
}

TEST(InputDevices, ThroughIDispatchTheEnumeratorGivesTheDevicesInOrder)
{
    IDevices* list = NewList();
    ASSERT_NE(list, nullptr);
    IDispatch* d = list;
    EXPECT_EQ(
        testkit::DispPut(d, L"hInstance",
                         testkit::VarI4(static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr))))),
        S_OK);
    VARIANT count;
    VariantInit(&count);
    ASSERT_EQ(testkit::DispGet(d, L"Count", &count), S_OK);
    EXPECT_EQ(V_I4(&count), 2);

    IUnknown* unknown = nullptr;
    ASSERT_EQ(list->get__NewEnum(&unknown), S_OK);
    IEnumVARIANT* items = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items)), S_OK);
    unknown->Release();
    std::vector<std::wstring> names;
    VARIANT v;
    VariantInit(&v);
    ULONG fetched = 0;
    while (items->Next(1, &v, &fetched) == S_OK && fetched == 1) {
        names.push_back(NameOf(v));
        VariantClear(&v);
    }
    items->Release();
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Mouse", L"Keyboard"}));

    VARIANT item;
    VariantInit(&item);
    ASSERT_EQ(testkit::DispCall(d, L"Item", {testkit::VarI4(2)}, &item), S_OK);
    ASSERT_EQ(V_VT(&item), VT_DISPATCH);
    VARIANT product;
    VariantInit(&product);
    EXPECT_EQ(testkit::DispGet(V_DISPATCH(&item), L"ProductName", &product), S_OK);
    EXPECT_EQ(V_VT(&product), VT_BSTR);
    VariantClear(&product);
    VariantClear(&item);
    list->Release();
}
