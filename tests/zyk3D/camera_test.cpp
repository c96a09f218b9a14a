// Camera and Cameras as a client sees them: values through the vtable and IDispatch,
// the transforms read back from the device, error information, and the world file.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <cmath>
#include <cstdio>
#include <string>

using testkit::Create;
using testkit::ExpectError;

using testkit::ReadAll;
using testkit::TempPath;
using testkit::WriteAll;

using device_fixture::DeviceSuite;
using device_fixture::FakeDevice;
using testkit::SystemText;
using testkit::TakeError;

namespace {

// DirectX codes have no system text, so their descriptions are the texts alone.
const HRESULT kRefused = static_cast<HRESULT>(0x88760082); // DDERR_INVALIDOBJECT

ICamera* NewCamera() { return Create<ICamera>(L"zyk3D.Camera", IID_ICamera); }
ICameras* NewCameras() { return Create<ICameras>(L"zyk3D.Cameras", IID_ICameras); }

void ExpectCameraError(const std::wstring& description) { ExpectError(L"zyk3D.Camera.1", IID_ICamera, description); }

IPosition* PositionOf(ICamera* c, bool lookAt = false)
{
    IDispatch* d = nullptr;
    EXPECT_EQ(lookAt ? c->get_LookAt(&d) : c->get_Position(&d), S_OK);
    IPosition* p = nullptr;
    if (d) {
        d->QueryInterface(IID_IPosition, reinterpret_cast<void**>(&p));
        d->Release();
    }
    return p;
}

void Place(ICamera* c, bool lookAt, float x, float y, float z)
{
    IPosition* p = PositionOf(c, lookAt);
    ASSERT_NE(p, nullptr);
    p->put_X(x);
    p->put_Y(y);
    p->put_Z(z);
    p->Release();
}

void ExpectPlaced(ICamera* c, bool lookAt, float x, float y, float z)
{
    IPosition* p = PositionOf(c, lookAt);
    ASSERT_NE(p, nullptr);
    float v[3] = {-1, -1, -1};
    p->get_X(&v[0]);
    p->get_Y(&v[1]);
    p->get_Z(&v[2]);
    EXPECT_EQ(v[0], x);
    EXPECT_EQ(v[1], y);
    EXPECT_EQ(v[2], z);
    p->Release();
}

std::wstring NameOf(ICamera* c)
{
    BSTR s = nullptr;
    EXPECT_EQ(c->get_Name(&s), S_OK);
    std::wstring r = s ? s : L"";
    SysFreeString(s);
    return r;
}

ICamera* Add(ICameras* cams, const wchar_t* name)
{
    BSTR s = SysAllocString(name);
    IDispatch* d = nullptr;
    EXPECT_EQ(cams->get_Add(s, &d), S_OK);
    SysFreeString(s);
    ICamera* c = nullptr;
    if (d) {
        d->QueryInterface(IID_ICamera, reinterpret_cast<void**>(&c));
        d->Release();
    }
    return c;
}

// The member by position or name, or nullptr.
ICamera* Item(ICameras* cams, VARIANT index)
{
    VARIANT out;
    VariantInit(&out);
    ICamera* c = nullptr;
    if (cams->Item(index, &out) == S_OK && V_VT(&out) == VT_DISPATCH)
        V_DISPATCH(&out)->QueryInterface(IID_ICamera, reinterpret_cast<void**>(&c));
    VariantClear(&out);
    VariantClear(&index);
    return c;
}

long Count(ICameras* cams)
{
    long n = -1;
    EXPECT_EQ(cams->get_Count(&n), S_OK);
    return n;
}

// The client's view of the row-vector product p * M.
void Apply(const D3DMATRIX& m, const float p[3], float out[4])
{
    const float* e = &m._11;
    for (int col = 0; col < 4; ++col) out[col] = p[0] * e[col] + p[1] * e[4 + col] + p[2] * e[8 + col] + e[12 + col];
}

D3DMATRIX Product(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX m{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += (&a._11)[r * 4 + k] * (&b._11)[k * 4 + c];
            (&m._11)[r * 4 + c] = s;
        }
    return m;
}

D3DMATRIX Rotation(int axis, float a)
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1;
    float c = std::cos(a), s = std::sin(a);
    if (axis == 0) {
        m._22 = c;
        m._23 = s;
        m._32 = -s;
        m._33 = c;
    }
    if (axis == 1) {
        m._11 = c;
        m._13 = -s;
        m._31 = s;
        m._33 = c;
    }
    if (axis == 2) {
        m._11 = c;
        m._12 = s;
        m._21 = -s;
        m._22 = c;
    }
    return m;
}

D3DMATRIX Filled(float v)
{
    D3DMATRIX m;
    for (int i = 0; i < 16; ++i) (&m._11)[i] = v;
    return m;
}

void ExpectMatrixNear(const D3DMATRIX& actual, const D3DMATRIX& expected, float tolerance = 1e-5f)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR((&actual._11)[i], (&expected._11)[i], tolerance) << "element " << (i / 4 + 1) << (i % 4 + 1);
}

bool SameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) { return memcmp(&a, &b, sizeof a) == 0; }

D3DMATRIX IdentityMatrix()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

// Runs a block member on a stream opened in the mode given.
template <class Fn>
void WithStream(const std::string& path, const char* mode, Fn fn)
{
    FILE* f = fopen(path.c_str(), mode);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(fn(static_cast<long>(reinterpret_cast<LONG_PTR>(f))), S_OK);
    fclose(f);
}

std::string CameraBlock(const char* name, const char* angles, const char* position, const char* lookAt)
{
    return std::string("// Camera\r\n") + name + "\r\n" + angles + position + lookAt;
}

} // namespace

TEST(Camera, NewCameraDefaultsThroughVtableAndDispatch)
{
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);
    ExpectPlaced(c, false, 0, 0, 10);
    ExpectPlaced(c, true, 0, 0, 0);
    float v = -1;
    for (auto get : {&ICamera::get_X, &ICamera::get_Y, &ICamera::get_Z}) {
        EXPECT_EQ((c->*get)(&v), S_OK);
        EXPECT_EQ(v, 0.0f);
    }
    EXPECT_EQ(NameOf(c), L"");
    EXPECT_EQ(c->Reset(), S_OK);

    // The children are the camera's own: a change through one reference shows in the next.
    Place(c, false, 1, 2, 3);
    ExpectPlaced(c, false, 1, 2, 3);

    IDispatch* d = nullptr;
    ASSERT_EQ(c->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
    EXPECT_EQ(testkit::DispPut(d, L"Name", testkit::VarBstr(L"Top")), S_OK);
    EXPECT_EQ(NameOf(c), L"Top");
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispGet(d, L"LookAt", &r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_DISPATCH);
    VariantClear(&r);
    EXPECT_EQ(testkit::DispCall(d, L"Reset", {}), S_OK);
    d->Release();

    ISupportErrorInfo* s = nullptr;
    ASSERT_EQ(c->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&s)), S_OK);
    EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_ICamera), S_OK);
    EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_ICameras), S_FALSE);
    s->Release();
    c->Release();
}

TEST(Camera, NullOutPointersAreRefused)
{
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->get_LookAt(nullptr), E_POINTER);
    ExpectCameraError(SystemText(E_POINTER) + L"LookAt Not Initialised.");
    EXPECT_EQ(c->get_Position(nullptr), E_POINTER);
    ExpectCameraError(SystemText(E_POINTER) + L"Position Not Initialised.");
    EXPECT_EQ(c->get_X(nullptr), E_POINTER);
    EXPECT_EQ(c->get_Name(nullptr), E_POINTER);
    c->Release();
}

TEST(Camera, RotateAndUpdateNeedADevice)
{
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);
    for (int pass = 0; pass < 2; ++pass) { // never given a device, then given 0
        EXPECT_EQ(c->Rotate(1, 2, 3), E_POINTER);
        ExpectCameraError(SystemText(E_POINTER) + L"Device Not Initialised.");
        EXPECT_EQ(c->Update(), E_POINTER);
        ExpectCameraError(SystemText(E_POINTER) + L"Device Not Initialised.");
        EXPECT_EQ(c->put_Device(0), S_OK);
    }
    float x = -1;
    c->get_X(&x);
    EXPECT_EQ(x, 0.0f); // a refused Rotate adds nothing

    // Through IDispatch the failure arrives as an exception with the same text.
    IDispatch* d = nullptr;
    c->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d));
    EXCEPINFO e{};
    EXPECT_EQ(testkit::DispCall(d, L"Update", {}, nullptr, &e), DISP_E_EXCEPTION);
    EXPECT_EQ(e.scode, E_POINTER);
    EXPECT_EQ(std::wstring(e.bstrDescription ? e.bstrDescription : L""),
              SystemText(E_POINTER) + L"Device Not Initialised.");
    testkit::FreeExcepInfo(e);
    d->Release();
    c->Release();
}

TEST(Camera, FaultInsideTheDeviceIsReportedNotFatal)
{
    device_fixture::BrokenDevice broken;
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);
    c->put_Device(broken.Handle());
    EXPECT_EQ(c->Update(), E_FAIL);
    ExpectCameraError(SystemText(E_FAIL) + L"Exception Raised.");
    EXPECT_EQ(c->Rotate(0.5f, 0, 0), E_FAIL);
    ExpectCameraError(SystemText(E_FAIL) + L"Exception Raised.");
    c->Release();
}

TEST(Camera, RefusedTransformsNameTheTransform)
{
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);

    FakeDevice world;
    world.failSetTransform[D3DTRANSFORMSTATE_WORLD] = kRefused;
    c->put_Device(world.Handle());
    EXPECT_EQ(c->Rotate(0.5f, 0, 0), kRefused);
    ExpectCameraError(L"SetTransform Function Failed.");
    float x = 0;
    c->get_X(&x);
    EXPECT_EQ(x, 0.5f); // the angles have moved all the same
    EXPECT_EQ(c->Update(), kRefused);
    ExpectCameraError(L"World Transformation Failed.");
    EXPECT_TRUE(world.transformsSet.empty());

    FakeDevice view;
    view.failSetTransform[D3DTRANSFORMSTATE_VIEW] = kRefused;
    c->put_Device(view.Handle());
    EXPECT_EQ(c->Update(), kRefused);
    ExpectCameraError(L"View Transformation Failed.");
    EXPECT_EQ(view.transformsSet, std::vector<DWORD>{D3DTRANSFORMSTATE_WORLD});

    FakeDevice projection;
    projection.failSetTransform[D3DTRANSFORMSTATE_PROJECTION] = kRefused;
    c->put_Device(projection.Handle());
    EXPECT_EQ(c->Update(), kRefused);
    ExpectCameraError(L"Projection Transformation Failed.");
    EXPECT_EQ(projection.transformsSet, (std::vector<DWORD>{D3DTRANSFORMSTATE_WORLD, D3DTRANSFORMSTATE_VIEW}));
    c->Release();
}

class CameraOnDevice : public DeviceSuite {};

TEST_F(CameraOnDevice, RotateAddsToTheAnglesAndSetsTheWorld)
{
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);
    c->put_Device(DeviceHandle());
    EXPECT_EQ(c->Rotate(0.1f, 0, 0), S_OK);
    EXPECT_EQ(c->Rotate(0.1f, 0, 0), S_OK);
    float x = 0, y = -1, z = -1;
    c->get_X(&x);
    c->get_Y(&y);
    c->get_Z(&z);
    EXPECT_FLOAT_EQ(x, 0.2f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(z, 0.0f);
    ExpectMatrixNear(Transform(D3DTRANSFORMSTATE_WORLD), Rotation(0, 0.2f));

    // The world is RotX(x) * RotY(y) * RotZ(z) of the accumulated angles, set through IDispatch.
    IDispatch* d = nullptr;
    c->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d));
    EXPECT_EQ(testkit::DispCall(d, L"Rotate", {testkit::VarR4(0), testkit::VarR4(0.3f), testkit::VarR4(-0.5f)}), S_OK);
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispGet(d, L"Z", &r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_R4);
    EXPECT_FLOAT_EQ(V_R4(&r), -0.5f);
    d->Release();
    ExpectMatrixNear(Transform(D3DTRANSFORMSTATE_WORLD),
                     Product(Product(Rotation(0, 0.2f), Rotation(1, 0.3f)), Rotation(2, -0.5f)));
    c->Release();
}

TEST_F(CameraOnDevice, UpdateSetsWorldViewAndProjection)
{
    SetTransform(D3DTRANSFORMSTATE_WORLD, Filled(7));
    SetTransform(D3DTRANSFORMSTATE_VIEW, Filled(7));
    SetTransform(D3DTRANSFORMSTATE_PROJECTION, Filled(7));
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);
    c->put_Device(DeviceHandle());
    ASSERT_EQ(c->Update(), S_OK);

    EXPECT_TRUE(SameMatrix(Transform(D3DTRANSFORMSTATE_WORLD), IdentityMatrix()));

    // From (0, 0, 10) towards the origin with y up.
    D3DMATRIX view = Transform(D3DTRANSFORMSTATE_VIEW);
    D3DMATRIX expected = IdentityMatrix();
    expected._11 = -1;
    expected._33 = -1;
    expected._43 = 10;
    ExpectMatrixNear(view, expected);

    const float cot = static_cast<float>(1.0 / std::tan(1.570795 / 2));
    D3DMATRIX projection{};
    projection._11 = cot;
    projection._22 = cot;
    projection._33 = 1000.0f / 999.0f;
    projection._34 = 1;
    projection._43 = -1000.0f / 999.0f;
    ExpectMatrixNear(Transform(D3DTRANSFORMSTATE_PROJECTION), projection, 1e-6f);
    EXPECT_NE(Transform(D3DTRANSFORMSTATE_PROJECTION)._11, 1.0f); // 1.570795 is not quite pi/2

    // Any eye and target: the eye goes to the origin and the target onto +z.
    Place(c, false, 3, 4, 5);
    Place(c, true, 1, -2, 7);
    ASSERT_EQ(c->Update(), S_OK);
    view = Transform(D3DTRANSFORMSTATE_VIEW);
    const float eye[3] = {3, 4, 5}, at[3] = {1, -2, 7}, above[3] = {3, 5, 5};
    float e[4], a[4], u[4];
    Apply(view, eye, e);
    Apply(view, at, a);
    Apply(view, above, u);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(e[i], 0, 1e-5);
    EXPECT_NEAR(a[0], 0, 1e-5);
    EXPECT_NEAR(a[1], 0, 1e-5);
    EXPECT_NEAR(a[2], std::sqrt(4.0f + 36.0f + 4.0f), 1e-4);
    EXPECT_GT(u[1], 0); // up stays up
    c->Release();
}

TEST_F(CameraOnDevice, EyeOnTheTargetKeepsThePreviousView)
{
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);
    c->put_Device(DeviceHandle());
    Place(c, false, 0, 0, 0);
    SetTransform(D3DTRANSFORMSTATE_VIEW, Filled(7));
    EXPECT_EQ(c->Update(), S_OK);
    EXPECT_TRUE(SameMatrix(Transform(D3DTRANSFORMSTATE_VIEW), IdentityMatrix())); // the camera's first view

    Place(c, false, 2, 3, 4);
    ASSERT_EQ(c->Update(), S_OK);
    D3DMATRIX before = Transform(D3DTRANSFORMSTATE_VIEW);
    Place(c, true, 2, 3, 4);
    SetTransform(D3DTRANSFORMSTATE_VIEW, Filled(7));
    EXPECT_EQ(c->Update(), S_OK);
    EXPECT_TRUE(SameMatrix(Transform(D3DTRANSFORMSTATE_VIEW), before));
    c->Release();
}

TEST_F(CameraOnDevice, LookingStraightDownTakesZAsUp)
{
    ICamera* c = NewCamera();
    ASSERT_NE(c, nullptr);
    c->put_Device(DeviceHandle());
    Place(c, false, 0, 10, 0);
    ASSERT_EQ(c->Update(), S_OK);
    D3DMATRIX expected{};
    expected._11 = 1;  // right (1, 0, 0)
    expected._32 = 1;  // up    (0, 0, 1)
    expected._23 = -1; // view  (0, -1, 0)
    expected._43 = 10;
    expected._44 = 1;
    ExpectMatrixNear(Transform(D3DTRANSFORMSTATE_VIEW), expected);
    c->Release();
}

TEST(Cameras, AddNeedsADeviceAndAnOutPointer)
{
    ICameras* cams = NewCameras();
    ASSERT_NE(cams, nullptr);
    BSTR name = SysAllocString(L"Default");
    IDispatch* d = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(cams->get_Add(name, &d), E_POINTER);
    ExpectError(L"zyk3D.Cameras.1", IID_ICameras, SystemText(E_POINTER) + L"Device Not Initialised.");
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(Count(cams), 0);

    FakeDevice fake;
    cams->put_Device(fake.Handle());
    EXPECT_EQ(cams->get_Add(name, nullptr), E_POINTER);
    EXPECT_EQ(TakeError().description, L"Null Pointer.");
    EXPECT_EQ(Count(cams), 0);
    SysFreeString(name);

    ISupportErrorInfo* s = nullptr;
    ASSERT_EQ(cams->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&s)), S_OK);
    EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_ICameras), S_OK);
    s->Release();
    cams->Release();
}

TEST(Cameras, AddFilesByNameAndHandsOverTheDevice)
{
    FakeDevice first, second;
    ICameras* cams = NewCameras();
    ASSERT_NE(cams, nullptr);
    cams->put_Device(first.Handle());
    ICamera* b = Add(cams, L"b");
    ICamera* a = Add(cams, L"a");
    ICamera* upper = Add(cams, L"C");
    ASSERT_TRUE(a && b && upper);
    EXPECT_EQ(NameOf(a), L"a");
    EXPECT_EQ(Count(cams), 3);

    ICamera* one = Item(cams, testkit::VarI4(1));
    ICamera* three = Item(cams, testkit::VarI4(3));
    EXPECT_EQ(one, b);
    EXPECT_EQ(three, upper);
    if (one) one->Release();
    if (three) three->Release();

    // Each camera keeps the device it was made with.
    cams->put_Device(second.Handle());
    EXPECT_EQ(a->Update(), S_OK);
    EXPECT_EQ(first.transformsSet.size(), 3u);
    EXPECT_TRUE(second.transformsSet.empty());

    // The same name again: the new camera takes the entry, the old one lives on in our hand.
    ICamera* again = Add(cams, L"a");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Count(cams), 3);
    ICamera* found = Item(cams, testkit::VarBstr(L"a"));
    EXPECT_EQ(found, again);
    EXPECT_NE(found, a);
    if (found) found->Release();
    EXPECT_EQ(again->Update(), S_OK);
    EXPECT_EQ(second.transformsSet.size(), 3u);
    EXPECT_EQ(NameOf(a), L"a");

    // Late-bound, as a script sees it: Add is a property with an argument, Item the default.
    IDispatch* d = nullptr;
    cams->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d));
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(testkit::DispCall(d, L"Add", {testkit::VarBstr(L"Top")}, &r, nullptr, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(V_VT(&r), VT_DISPATCH);
    VariantClear(&r);
    ASSERT_EQ(testkit::DispGet(d, L"Count", &r), S_OK);
    EXPECT_EQ(V_I4(&r), 4);
    EXPECT_EQ(testkit::DispCall(d, L"Item", {testkit::VarI2(1)}, &r), S_OK); // "b" > "a" > "Top" > "C"
    ASSERT_EQ(V_VT(&r), VT_DISPATCH);
    VARIANT name;
    VariantInit(&name);
    EXPECT_EQ(testkit::DispGet(V_DISPATCH(&r), L"Name", &name), S_OK);
    EXPECT_EQ(std::wstring(V_BSTR(&name)), L"b");
    VariantClear(&name);
    VariantClear(&r);
    EXPECT_EQ(testkit::DispCall(d, L"Remove", {testkit::VarBstr(L"Top")}), S_OK);
    EXPECT_EQ(testkit::DispCall(d, L"Clear", {}), S_OK);
    d->Release();
    EXPECT_EQ(Count(cams), 0);
    EXPECT_EQ(NameOf(b), L"b"); // cleared cameras held by the client still work

    for (ICamera* c : {a, b, upper, again}) c->Release();
    cams->Release();
}

TEST(CamerasWorldFile, SavesInCollectionOrderAndLoadsUnderTheSavedNames)
{
    const std::string path = TempPath("zyk_cameras_block.txt");
    FakeDevice fake;
    ICameras* cams = NewCameras();
    ASSERT_NE(cams, nullptr);
    cams->put_Device(fake.Handle());
    ICamera* def = Add(cams, L"Default");
    ICamera* top = Add(cams, L"Top");
    ASSERT_TRUE(def && top);
    Place(def, false, 1, 2, 3);
    Place(def, true, 4, 5, 6);
    EXPECT_EQ(top->Rotate(0.5f, 0, -1.25f), S_OK);
    Place(top, false, 0, 50, 0);
    def->Release();
    top->Release();

    WithStream(path, "w", [&](long f) { return cams->Save(f); });
    const char* zero3 = "0.000000\r\n0.000000\r\n0.000000\r\n";
    EXPECT_EQ(ReadAll(path), "2\r\n" +
                                 CameraBlock("Top", "0.500000\r\n0.000000\r\n-1.250000\r\n",
                                             "0.000000\r\n50.000000\r\n0.000000\r\n", zero3) +
                                 CameraBlock("Default", zero3, "1.000000\r\n2.000000\r\n3.000000\r\n",
                                             "4.000000\r\n5.000000\r\n6.000000\r\n"));

    // Loading replaces what was there, "Default" included.
    ICameras* back = NewCameras();
    ASSERT_NE(back, nullptr);
    FakeDevice other;
    back->put_Device(other.Handle());
    for (const wchar_t* n : {L"Default", L"Other"}) {
        ICamera* c = Add(back, n);
        if (c) c->Release();
    }
    ICamera* oldDefault = Item(back, testkit::VarBstr(L"Default"));
    WithStream(path, "r", [&](long f) { return back->Load(f); });
    EXPECT_EQ(Count(back), 2);
    EXPECT_EQ(Item(back, testkit::VarBstr(L"Other")), nullptr);
    EXPECT_EQ(Item(back, testkit::VarBstr(L"Temp")), nullptr);
    ICamera* loadedTop = Item(back, testkit::VarBstr(L"Top"));
    ICamera* loadedDefault = Item(back, testkit::VarBstr(L"Default"));
    ASSERT_TRUE(loadedTop && loadedDefault);
    EXPECT_NE(loadedDefault, oldDefault);
    EXPECT_EQ(NameOf(loadedTop), L"Top");
    ExpectPlaced(loadedTop, false, 0, 50, 0);
    ExpectPlaced(loadedDefault, true, 4, 5, 6);
    float x = 0, z = 0;
    loadedTop->get_X(&x);
    loadedTop->get_Z(&z);
    EXPECT_EQ(x, 0.5f);
    EXPECT_EQ(z, -1.25f);

    // Each camera read is updated on the device: the last one read is "Default" at (1, 2, 3).
    ASSERT_TRUE(other.transforms.count(D3DTRANSFORMSTATE_VIEW));
    const float eye[3] = {1, 2, 3};
    float e[4];
    Apply(other.transforms[D3DTRANSFORMSTATE_VIEW], eye, e);
    EXPECT_NEAR(e[2], 0, 1e-5);
    EXPECT_NEAR(e[0], 0, 1e-5);
    // The angles are stored only: the world stays until the next Rotate.
    EXPECT_TRUE(SameMatrix(other.transforms[D3DTRANSFORMSTATE_WORLD], IdentityMatrix()));

    for (ICamera* c : {oldDefault, loadedTop, loadedDefault})
        if (c) c->Release();
    back->Release();
    cams->Release();
    DeleteFileA(path.c_str());
}

TEST(CamerasWorldFile, LongNamesTempAndShortFiles)
{
    const std::string path = TempPath("zyk_cameras_odd.txt");
    FakeDevice fake;
    ICameras* cams = NewCameras();
    ASSERT_NE(cams, nullptr);
    cams->put_Device(fake.Handle());
    const std::wstring longName(200, L'x');
    // "Temp" is read before "Default", which is made under "Temp" too: both must stay.
    const std::wstring names[] = {longName, L"Tempest", L"Temp", L"Default"};
    for (const std::wstring& n : names) {
        ICamera* c = Add(cams, n.c_str());
        if (c) c->Release();
    }
    WithStream(path, "w", [&](long f) { return cams->Save(f); });

    ICameras* back = NewCameras();
    back->put_Device(fake.Handle());
    WithStream(path, "r", [&](long f) { return back->Load(f); });
    EXPECT_EQ(Count(back), 4);
    for (const std::wstring& n : names) {
        ICamera* c = Item(back, testkit::VarBstr(n.c_str()));
        ASSERT_NE(c, nullptr) << testkit::Narrow(n);
        EXPECT_EQ(NameOf(c), n);
        c->Release();
    }

    // A count beyond the blocks in the file stops at its end; a missing count reads 0.
    WriteAll(path, "5\n// Camera\nOnly\n0.5\n");
    WithStream(path, "r", [&](long f) { return back->Load(f); });
    EXPECT_EQ(Count(back), 1);
    ICamera* only = Item(back, testkit::VarI4(1));
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(NameOf(only), L"Only");
    ExpectPlaced(only, false, 0, 0, 0); // short block: the missing lines read 0
    float x = 0;
    only->get_X(&x);
    EXPECT_EQ(x, 0.5f);
    only->Release();
    WriteAll(path, "");
    WithStream(path, "r", [&](long f) { return back->Load(f); });
    EXPECT_EQ(Count(back), 0);

    // Without a device nothing can be added: the collection ends empty, the result is S_OK.
    ICameras* noDevice = NewCameras();
    WithStream(path, "w", [&](long f) { return cams->Save(f); });
    WithStream(path, "r", [&](long f) { return noDevice->Load(f); });
    EXPECT_EQ(Count(noDevice), 0);
    EXPECT_EQ(noDevice->Load(0), S_OK);
    EXPECT_EQ(noDevice->Save(0), S_OK);

    noDevice->Release();
    back->Release();
    cams->Release();
    DeleteFileA(path.c_str());
}
