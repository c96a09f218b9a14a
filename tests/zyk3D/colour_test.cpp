// Colour and Position through the vtable, through IDispatch, and in the world file.
#include "testkit.h"
#include "zyk3D.h"
#include <cstdio>
#include <string>

using testkit::Create;

using testkit::ReadAll;
using testkit::TempPath;
using testkit::WriteAll;

using testkit::DispGet;
using testkit::DispPut;

namespace {} // namespace

TEST(Colour, StoresAnyValue)
{
    IColour* c = Create<IColour>(L"zyk3D.Colour", IID_IColour);
    float v = -1;
    for (auto get : {&IColour::get_Red, &IColour::get_Green, &IColour::get_Blue, &IColour::get_Alpha}) {
        EXPECT_EQ((c->*get)(&v), S_OK);
        EXPECT_EQ(v, 0.0f);
    }
    EXPECT_EQ(c->put_Red(1.5f), S_OK);
    EXPECT_EQ(c->put_Alpha(-3.25f), S_OK);
    c->get_Red(&v);
    EXPECT_EQ(v, 1.5f);
    c->get_Alpha(&v);
    EXPECT_EQ(v, -3.25f);
    EXPECT_EQ(c->get_Red(nullptr), E_POINTER);
    c->Release();

    IPosition* p = Create<IPosition>(L"zyk3D.Position", IID_IPosition);
    for (auto get : {&IPosition::get_X, &IPosition::get_Y, &IPosition::get_Z}) {
        EXPECT_EQ((p->*get)(&v), S_OK);
        EXPECT_EQ(v, 0.0f);
    }
    p->put_Z(-1e30f);
    p->get_Z(&v);
    EXPECT_EQ(v, -1e30f);
    p->Release();
}

TEST(Colour, DualInterface)
{
    IColour* c = Create<IColour>(L"zyk3D.Colour", IID_IColour);
    IDispatch* d = nullptr;
    ASSERT_EQ(c->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
    EXPECT_EQ(static_cast<void*>(d), static_cast<void*>(c)); // IDispatch is the dual vtable

    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Alpha"), const_cast<LPOLESTR>(L"Load")};
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &names[0], 1, 0, &id), S_OK);
    EXPECT_EQ(id, 4);
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &names[1], 1, 0, &id), S_OK);
    EXPECT_EQ(id, 6);

    EXPECT_EQ(DispPut(d, L"Green", testkit::VarR4(1.5f)), S_OK);
    EXPECT_EQ(DispPut(d, L"Blue", testkit::VarI4(2)), S_OK); // coerced to float
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(DispGet(d, L"Green", &v), S_OK);
    EXPECT_EQ(V_VT(&v), VT_R4);
    EXPECT_EQ(V_R4(&v), 1.5f);
    ASSERT_EQ(DispGet(d, L"Blue", &v), S_OK);
    EXPECT_EQ(V_R4(&v), 2.0f);
    float green = 0;
    c->get_Green(&green);
    EXPECT_EQ(green, 1.5f);

    ITypeInfo* info = nullptr;
    ASSERT_EQ(d->GetTypeInfo(0, 0, &info), S_OK);
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    EXPECT_TRUE(IsEqualGUID(attr->guid, IID_IColour));
    EXPECT_EQ(attr->cFuncs, 7 + 10); // the dispatch view lists IUnknown and IDispatch too
    info->ReleaseTypeAttr(attr);
    info->Release();
    d->Release();
    c->Release();
}

TEST(Colour, ErrorInformationAndEvents)
{
    for (auto [progId, iid] :
         {std::pair{L"zyk3D.Colour", &IID_IColour}, std::pair{L"zyk3D.Position", &IID_IPosition}}) {
        IUnknown* u = Create<IUnknown>(progId, IID_IUnknown);
        ISupportErrorInfo* s = nullptr;
        ASSERT_EQ(u->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&s)), S_OK);
        EXPECT_EQ(s->InterfaceSupportsErrorInfo(*iid), S_OK);
        EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
        s->Release();

        IConnectionPointContainer* cpc = nullptr;
        ASSERT_EQ(u->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc)), S_OK);
        IEnumConnectionPoints* e = nullptr;
        ASSERT_EQ(cpc->EnumConnectionPoints(&e), S_OK);
        IConnectionPoint* cp = nullptr;
        ULONG fetched = 5;
        EXPECT_EQ(e->Next(1, &cp, &fetched), S_FALSE);
        EXPECT_EQ(fetched, 0u);
        e->Release();
        EXPECT_EQ(cpc->FindConnectionPoint(IID_IDispatch, &cp), CONNECT_E_NOCONNECTION);
        cpc->Release();
        u->Release();
    }
}

TEST(Colour, WorldFileBlock)
{
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    strcat(path, "zyk_colour_block.txt");

    IColour* c = Create<IColour>(L"zyk3D.Colour", IID_IColour);
    c->put_Red(1.5f);
    c->put_Green(0.25f);
    c->put_Blue(-2.0f);
    c->put_Alpha(1.0f);
    FILE* f = fopen(path, "w");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(c->Save(reinterpret_cast<long>(f)), S_OK);
    fclose(f);
    EXPECT_EQ(ReadAll(path), "// Colour\r\n1.500000\r\n0.250000\r\n-2.000000\r\n1.000000\r\n");

    IColour* back = Create<IColour>(L"zyk3D.Colour", IID_IColour);
    f = fopen(path, "r");
    EXPECT_EQ(back->Load(reinterpret_cast<long>(f)), S_OK);
    fclose(f);
    float v = 0;
    back->get_Red(&v);
    EXPECT_EQ(v, 1.5f);
    back->get_Blue(&v);
    EXPECT_EQ(v, -2.0f); // stored without range checks

    // A short file reads as zeros; no stream at all is not a fault.
    f = fopen(path, "w");
    fputs("// Colour\n0.5\n", f);
    fclose(f);
    f = fopen(path, "r");
    EXPECT_EQ(back->Load(reinterpret_cast<long>(f)), S_OK);
    fclose(f);
    back->get_Red(&v);
    EXPECT_EQ(v, 0.5f);
    back->get_Green(&v);
    EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(back->Load(0), S_OK);
    EXPECT_EQ(back->Save(0), S_OK);
    EXPECT_EQ(back->Save(12345), S_OK); // not a stream: the block member still returns S_OK
    back->Release();
    c->Release();
    DeleteFileA(path);
}
