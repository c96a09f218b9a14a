// Point and Points as a client sees them: coordinates after the transforms, the keys the
// collection files points under, and the triangle that Render hands to the device.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <cstdio>
#include <string>
#include <vector>

using device_fixture::DeviceSuite;
using device_fixture::FakeDevice;
using testkit::SystemText;
using testkit::TakeError;

namespace {

struct Xyz {
    float x, y, z;
};

IPoints* NewPoints()
{
    IPoints* p = nullptr;
    EXPECT_EQ(testkit::CreateByProgId(L"zyk3D.Points", IID_IPoints, reinterpret_cast<void**>(&p)), S_OK);
    return p;
}

using testkit::As;

IPoint* Add(IPoints* points, float x, float y, float z)
{
    IDispatch* d = nullptr;
    EXPECT_EQ(points->get_Add(x, y, z, &d), S_OK);
    return As<IPoint>(d, IID_IPoint);
}

void AddMany(IPoints* points, int n)
{
    for (int i = 0; i < n; ++i)
        if (IPoint* p = Add(points, float(i), 0, 0)) p->Release();
}

Xyz Where(IPoint* point)
{
    Xyz r{-99, -99, -99};
    IDispatch* d = nullptr;
    EXPECT_EQ(point->get_Position(&d), S_OK);
    IPosition* p = As<IPosition>(d, IID_IPosition);
    if (!p) return r;
    p->get_X(&r.x);
    p->get_Y(&r.y);
    p->get_Z(&r.z);
    p->Release();
    return r;
}

IPoint* ItemOf(IPoints* points, VARIANT key)
{
    VARIANT item;
    VariantInit(&item);
    HRESULT hr = points->Item(key, &item);
    VariantClear(&key);
    return SUCCEEDED(hr) ? As<IPoint>(V_DISPATCH(&item), IID_IPoint) : nullptr;
}

void ExpectAt(IPoint* point, float x, float y, float z)
{
    ASSERT_NE(point, nullptr);
    Xyz r = Where(point);
    EXPECT_NEAR(r.x, x, 1e-5f);
    EXPECT_NEAR(r.y, y, 1e-5f);
    EXPECT_NEAR(r.z, z, 1e-5f);
}

// The point filed under key (the VARIANT is cleared) is at (x, y, z).
void ExpectItemAt(IPoints* points, VARIANT key, float x, float y, float z)
{
    IPoint* p = ItemOf(points, key);
    ExpectAt(p, x, y, z);
    if (p) p->Release();
}

void ExpectPointsError(const std::wstring& text)
{
    auto e = TakeError();
    ASSERT_TRUE(e.present);
    EXPECT_EQ(e.description, text);
    EXPECT_EQ(e.source, L"zyk3D.Points.1");
    EXPECT_TRUE(IsEqualGUID(e.guid, IID_IPoints));
}

} // namespace

TEST(Point, TransformsFollowTheRowVectorMatrices)
{
    IPoints* points = NewPoints();
    ASSERT_NE(points, nullptr);
    IPoint* p = Add(points, 0, 1, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Rotate(90, 0, 0), S_OK);
    ExpectAt(p, 0, 0, 1);
    // X first, then Y: (0, 0, 1) turned 90 degrees about Y is (1, 0, 0).
    EXPECT_EQ(p->Rotate(0, 90, 0), S_OK);
    ExpectAt(p, 1, 0, 0);
    EXPECT_EQ(p->Rotate(0, 0, 90), S_OK);
    ExpectAt(p, 0, 1, 0);
    EXPECT_EQ(p->Rotate(-90, 90, 0), S_OK); // (0, 0, -1), then (-1, 0, 0)
    ExpectAt(p, -1, 0, 0);
    p->Release();

    p = Add(points, 1, 1, 1);
    EXPECT_EQ(p->Scale(2, 3, 4), S_OK);
    ExpectAt(p, 2, 3, 4);
    EXPECT_EQ(p->Move(1, 1, 1), S_OK);
    ExpectAt(p, 3, 4, 5);
    // Late bound, as a script moves it.
    EXPECT_EQ(testkit::DispCall(p, L"Move", {testkit::VarR4(-1), testkit::VarR4(-2), testkit::VarR4(-3)}), S_OK);
    ExpectAt(p, 2, 2, 2);
    p->Release();
    points->Release();
}

TEST(Points, KeysTakeTheSmallestFreeNumber)
{
    IPoints* points = NewPoints();
    ASSERT_NE(points, nullptr);
    AddMany(points, 3);
    long count = 0;
    EXPECT_EQ(points->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);
    // Descending order: Point2 is position 1.
    ExpectItemAt(points, testkit::VarI4(1), 2, 0, 0);

    VARIANT key = testkit::VarBstr(L"Point1");
    EXPECT_EQ(points->Remove(key), S_OK);
    VariantClear(&key);
    // The count is 2, but Point2 is still there: the new point takes the free Point1
    // and Point2 keeps its place.
    IPoint* added = Add(points, 7, 8, 9);
    EXPECT_EQ(points->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);
    IPoint* stored = ItemOf(points, testkit::VarBstr(L"Point1"));
    ExpectAt(stored, 7, 8, 9);
    EXPECT_EQ(stored, added);
    ExpectItemAt(points, testkit::VarBstr(L"Point2"), 2, 0, 0);
    if (stored) stored->Release();
    if (added) added->Release();
    // Nothing free below the count: the next is Point3, as the count says.
    added = Add(points, 1, 1, 1);
    ExpectItemAt(points, testkit::VarBstr(L"Point3"), 1, 1, 1);
    if (added) added->Release();
    EXPECT_EQ(points->Remove(testkit::VarI4(1)), S_OK); // Point3

    // The collection's transforms reach every point.
    EXPECT_EQ(points->Scale(2, 2, 2), S_OK);
    EXPECT_EQ(points->Move(0, 1, 0), S_OK);
    ExpectItemAt(points, testkit::VarBstr(L"Point0"), 0, 1, 0);
    ExpectItemAt(points, testkit::VarBstr(L"Point1"), 14, 17, 18);
    ExpectItemAt(points, testkit::VarBstr(L"Point2"), 4, 1, 0);

    EXPECT_EQ(points->Clear(), S_OK);
    EXPECT_EQ(points->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    points->Release();
}

TEST(Points, TheBlocksWriteNothing)
{
    IPoints* points = NewPoints();
    ASSERT_NE(points, nullptr);
    IPoint* p = Add(points, 1, 2, 3);
    const std::string path = testkit::TempPath("zyk_points.txt");
    FILE* f = fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(points->Save(device_fixture::Handle(f)), S_OK);
    EXPECT_EQ(p->Save(device_fixture::Handle(f)), S_OK);
    fclose(f);
    EXPECT_EQ(testkit::ReadAll(path), "");
    p->Release();
    points->Release();
}

TEST(Points, RenderNeedsADeviceAndDrawsOnlyThreePoints)
{
    IPoints* points = NewPoints();
    ASSERT_NE(points, nullptr);
    AddMany(points, 3);
    testkit::ClearError();
    EXPECT_EQ(points->Render(0), E_POINTER);
    ExpectPointsError(SystemText(E_POINTER) + L"Device Not Initialised.");

    FakeDevice fake;
    EXPECT_EQ(points->put_Device(fake.Handle()), S_OK);
    EXPECT_EQ(points->Clear(), S_OK);
    for (int n : {2, 4, 300}) {
        AddMany(points, n);
        EXPECT_EQ(points->Render(0), S_OK) << n;
        EXPECT_EQ(points->Clear(), S_OK);
    }
    EXPECT_TRUE(fake.draws.empty());

    // Point2 first, Point0 last; normals (0, 0, 1); texture corners (0,0), (1,0), (0,1).
    IPoint* a = Add(points, 1, 2, 3);
    IPoint* b = Add(points, 4, 5, 6);
    IPoint* c = Add(points, 7, 8, 9);
    a->Release();
    b->Release();
    c->Release();
    EXPECT_EQ(testkit::DispCall(points, L"Render", {}), S_OK); // FillMode left out
    ASSERT_EQ(fake.draws.size(), 1u);
    EXPECT_EQ(fake.draws[0].type, 4u);
    EXPECT_EQ(fake.draws[0].format, 0x112u);
    const std::vector<float> expected = {7, 8, 9, 0, 0, 1, 0, 0, 4, 5, 6, 0, 0, 1, 1, 0, 1, 2, 3, 0, 0, 1, 0, 1};
    EXPECT_EQ(fake.draws[0].vertices, expected);

    // Taking the device away reaches nothing through the old pointer.
    EXPECT_EQ(points->put_Device(0), S_OK);
    EXPECT_EQ(points->Render(0), E_POINTER);
    EXPECT_EQ(fake.draws.size(), 1u);
    points->Release();
}

TEST(Points, RefusedDrawsMapToTheirTexts)
{
    IPoints* points = NewPoints();
    ASSERT_NE(points, nullptr);
    FakeDevice fake;
    points->put_Device(fake.Handle());
    AddMany(points, 3);
    const struct {
        unsigned long code;
        const wchar_t* text;
    } rows[] = {
        {0x887602E0, L"Invalid Primitive Type."}, {0x887602E1, L"Invalid Vertex Type."},
        {0x887602E3, L"Invalid Ramp Texture."},   {0x80070057, L"Invalid Parameter."},
        {0x8876017C, L"Out of Video Memory."},    {0x8876021C, L"Still performing drawing."},
        {0x887602E2, L"Unknown Error."},          {0x80004005, L"Unknown Error."},
    };
    for (const auto& row : rows) {
        fake.failDrawPrimitive = static_cast<HRESULT>(row.code);
        EXPECT_EQ(points->Render(0), static_cast<HRESULT>(row.code));
        ExpectPointsError(row.text); // string-table texts: no system text in front
    }
    points->Release();
}

class PointsOnDevice : public DeviceSuite {};

TEST_F(PointsOnDevice, ThreePointsDrawInsideAScene)
{
    IPoints* points = NewPoints();
    ASSERT_NE(points, nullptr);
    points->put_Device(DeviceHandle());
    IPoint* p = Add(points, -1, -1, 5);
    p->Release();
    p = Add(points, 1, -1, 5);
    p->Release();
    p = Add(points, 0, 1, 5);
    p->Release();
    ASSERT_EQ(device_->BeginScene(), S_OK);
    EXPECT_EQ(points->Render(0), S_OK);
    EXPECT_EQ(device_->EndScene(), S_OK);
    points->Release();
}
