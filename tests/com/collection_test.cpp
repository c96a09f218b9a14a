// The named collection: order, Item and Remove rules, replacement, snapshots.
#include "com/collection.h"
#include "testkit.h"
#include "zyk3D.h"

using testkit::VarBstr;
using testkit::VarI2;
using testkit::VarI4;

namespace {

// Members are real Colour objects, told apart by their Red value.
IColour* NewColour(float red)
{
    IColour* c = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_Colour, nullptr, CLSCTX_INPROC_SERVER, IID_IColour, reinterpret_cast<void**>(&c)),
              S_OK);
    c->put_Red(red);
    return c;
}

float RedOf(IDispatch* d)
{
    IColour* c = nullptr;
    float red = -1;
    if (SUCCEEDED(d->QueryInterface(IID_IColour, reinterpret_cast<void**>(&c)))) {
        c->get_Red(&red);
        c->Release();
    }
    return red;
}

// Red of Item(index), or -1 with the result in hr.
float ItemRed(const zyk::com::NamedMap<IColour>& map, VARIANT index, HRESULT* hr = nullptr)
{
    VARIANT out;
    VariantInit(&out);
    HRESULT r = map.Item(index, &out);
    if (hr) *hr = r;
    float red = -1;
    if (SUCCEEDED(r) && V_VT(&out) == VT_DISPATCH) red = RedOf(V_DISPATCH(&out));
    VariantClear(&out);
    return red;
}

class NamedMapTest : public ::testing::Test {
protected:
    void Add(const wchar_t* name, float red)
    {
        IColour* c = NewColour(red);
        map.Put(name, c);
        c->Release();
    }
    void FillBaC()
    {
        Add(L"a", 2);
        Add(L"C", 3);
        Add(L"b", 1);
    }
    zyk::com::NamedMap<IColour> map;
};

} // namespace

TEST_F(NamedMapTest, DescendingCodeUnitOrder)
{
    FillBaC();
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(ItemRed(map, VarI4(1)), 1); // "b"
    EXPECT_EQ(ItemRed(map, VarI4(2)), 2); // "a"
    EXPECT_EQ(ItemRed(map, VarI4(3)), 3); // "C"
    EXPECT_EQ(ItemRed(map, VarI2(3)), 3);

    zyk::com::NamedMap<IColour> names;
    for (const wchar_t* n : {L"Default", L"Top", L"back", L""}) {
        IColour* c = NewColour(0);
        names.Put(n, c);
        c->Release();
    }
    std::vector<std::wstring> order;
    names.ForEach([&](const std::wstring& name, IColour*) { order.push_back(name); });
    EXPECT_EQ(order, (std::vector<std::wstring>{L"back", L"Top", L"Default", L""}));
}

TEST_F(NamedMapTest, ItemRangeAndTypes)
{
    FillBaC();
    Add(L"", 9);
    HRESULT hr;
    for (VARIANT bad : {VarI4(0), VarI4(5), VarI2(-1), testkit::VarR8(2.0), testkit::VarBool(true)}) {
        ItemRed(map, bad, &hr);
        EXPECT_EQ(hr, E_INVALIDARG);
    }
    VARIANT name = VarBstr(L"");
    EXPECT_EQ(ItemRed(map, name), 9); // the empty name is found, and sorts last
    EXPECT_EQ(ItemRed(map, VarI4(4)), 9);
    VariantClear(&name);
    name = VarBstr(L"B");
    ItemRed(map, name, &hr);
    EXPECT_EQ(hr, E_INVALIDARG); // exact, case-sensitive keys
    VariantClear(&name);

    // A failed Item leaves the out VARIANT as it was.
    VARIANT out = VarI4(77);
    EXPECT_EQ(map.Item(VarI4(0), &out), E_INVALIDARG);
    EXPECT_EQ(V_VT(&out), VT_I4);
    EXPECT_EQ(V_I4(&out), 77);

    // A by-reference long is not a position; only a by-reference VARIANT is looked through.
    long position = 2;
    VARIANT byRefLong;
    V_VT(&byRefLong) = VT_BYREF | VT_I4;
    V_I4REF(&byRefLong) = &position;
    ItemRed(map, byRefLong, &hr);
    EXPECT_EQ(hr, E_INVALIDARG);
}

TEST_F(NamedMapTest, ScriptVariablesAreLookedThrough)
{
    FillBaC();
    VARIANT inner = VarI4(2), ref;
    V_VT(&ref) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&ref) = &inner;
    EXPECT_EQ(ItemRed(map, ref), 2);

    VARIANT innerName = VarBstr(L"C");
    V_VARIANTREF(&ref) = &innerName;
    EXPECT_EQ(ItemRed(map, ref), 3);
    EXPECT_EQ(map.Remove(ref), S_OK);
    EXPECT_EQ(map.Count(), 2);
    VariantClear(&innerName);

    // Only one level: a reference to a reference is refused.
    VARIANT outer;
    V_VT(&outer) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&outer) = &ref;
    V_VARIANTREF(&ref) = &inner;
    HRESULT hr;
    ItemRed(map, outer, &hr);
    EXPECT_EQ(hr, E_INVALIDARG);
}

TEST_F(NamedMapTest, RemoveByBitsOfTheTypeCode)
{
    FillBaC();
    VARIANT truth = testkit::VarBool(true); // type 11 has bit 2: a position, out of range
    EXPECT_EQ(map.Remove(truth), E_INVALIDARG);
    VARIANT dispatch;
    V_VT(&dispatch) = VT_DISPATCH;
    V_DISPATCH(&dispatch) = nullptr;
    EXPECT_EQ(map.Remove(dispatch), E_INVALIDARG);
    EXPECT_EQ(map.Remove(testkit::VarR8(1.0)), E_INVALIDARG); // type 5 has neither bit 2 nor bit 8
    EXPECT_EQ(map.Remove(VarI4(4)), E_INVALIDARG);
    EXPECT_EQ(map.Count(), 3);

    EXPECT_EQ(map.Remove(VarI4(1)), S_OK); // "b" goes, "a" moves up
    EXPECT_EQ(ItemRed(map, VarI4(1)), 2);
    VARIANT a = VarBstr(L"a");
    EXPECT_EQ(map.Remove(a), S_OK);
    EXPECT_EQ(map.Remove(a), E_INVALIDARG);
    VariantClear(&a);
    EXPECT_EQ(map.Count(), 1);
    EXPECT_EQ(ItemRed(map, VarI2(1)), 3);
}

TEST_F(NamedMapTest, AddingAnExistingNameReplacesTheMember)
{
    FillBaC();
    IColour* old = map.Find(L"a");
    old->AddRef();
    Add(L"a", 20);
    EXPECT_EQ(map.Count(), 3);
    VARIANT a = VarBstr(L"a");
    EXPECT_EQ(ItemRed(map, a), 20);
    EXPECT_EQ(ItemRed(map, VarI4(2)), 20); // at the key's position
    VariantClear(&a);
    EXPECT_EQ(old->Release(), 0u); // the map let go of the replaced member
}

TEST_F(NamedMapTest, EnumeratorIsASnapshot)
{
    FillBaC();
    IUnknown* unknown = nullptr;
    ASSERT_EQ(map.NewEnum(&unknown), S_OK);
    IEnumVARIANT* e = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&e)), S_OK);
    unknown->Release();
    map.Clear();
    EXPECT_EQ(map.Count(), 0);

    std::vector<float> reds;
    VARIANT v;
    ULONG fetched = 0;
    while (e->Next(1, &v, &fetched) == S_OK && fetched == 1) {
        EXPECT_EQ(V_VT(&v), VT_DISPATCH);
        reds.push_back(RedOf(V_DISPATCH(&v)));
        VariantClear(&v);
    }
    EXPECT_EQ(reds, (std::vector<float>{1, 2, 3}));
    e->Reset();
    VARIANT two[2];
    EXPECT_EQ(e->Next(2, two, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    VariantClear(&two[0]);
    VariantClear(&two[1]);
    EXPECT_EQ(e->Skip(5), S_FALSE);
    e->Release();
}

TEST_F(NamedMapTest, NullOutPointers)
{
    EXPECT_EQ(map.Item(VarI4(1), nullptr), E_POINTER);
    EXPECT_EQ(map.NewEnum(nullptr), E_POINTER);
    EXPECT_EQ(map.GetCount(nullptr), E_POINTER);
}
