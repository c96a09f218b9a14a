// The simple shapes: their vertex buffers, and what they draw under a camera five
// units in front of the origin, lit from behind the camera.
#include "d3dx_device_fixture.h"

#include <cmath>

using namespace d3dxtest;

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFov = kPi / 3, kCameraZ = -5;
constexpr D3DCOLOR kClear = 0xFF000040;

D3DMATRIX Identity()
{
    D3DMATRIX m = {};
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

class D3DXShape : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        D3DMATRIX view = Identity();
        view._43 = -kCameraZ;
        D3DMATRIX proj = {};
        const float h = 1 / std::tan(kFov / 2), zn = 0.5f, zf = 20;
        proj._11 = h * kH / kW;
        proj._22 = h;
        proj._33 = zf / (zf - zn);
        proj._34 = 1;
        proj._43 = -zn * zf / (zf - zn);
        D3DMATRIX world = Identity();
        ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world), S_OK);
        ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view), S_OK);
        ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &proj), S_OK);
        D3DMATERIAL7 mat = {};
        mat.diffuse = {1, 1, 1, 1};
        ASSERT_EQ(device->SetMaterial(&mat), S_OK);
        D3DLIGHT7 light = {};
        light.dltType = D3DLIGHT_DIRECTIONAL;
        light.dcvDiffuse = {1, 1, 1, 1};
        light.dvDirection = {0, 0, 1};
        ASSERT_EQ(device->SetLight(0, &light), S_OK);
        ASSERT_EQ(device->LightEnable(0, TRUE), S_OK);
        device->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
        device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0);
        device->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
        device->SetTexture(0, nullptr);
    }
    void TearDown() override
    {
        if (shape) shape->Release();
        DeviceTest::TearDown();
    }
    // Clears, draws the shape, and answers S_OK when all went well.
    HRESULT Draw(const D3DMATRIX& world = Identity())
    {
        Clear(kClear);
        device->SetTransform(D3DTRANSFORMSTATE_WORLD, const_cast<D3DMATRIX*>(&world));
        HRESULT hr = device->BeginScene();
        if (FAILED(hr)) return hr;
        hr = shape->Draw();
        const HRESULT end = device->EndScene();
        return FAILED(hr) ? hr : end;
    }
    // The pixel where the point (x, y, z) of the world shows.
    Rgba At(float x, float y, float z = 0)
    {
        const float h = 1 / std::tan(kFov / 2), d = z - kCameraZ;
        const int px = int(std::lround(kW / 2 + x * h * kH / kW / d * kW / 2));
        const int py = int(std::lround(kH / 2 - y * h / d * kH / 2));
        return Pixel(px, py);
    }
    static bool Cleared(const Rgba& p) { return Near(p, kClear & 0xFFFFFF, 0); }
    // Lit facing the camera: bright grey.
    static bool Lit(const Rgba& p) { return p.r > 0xA0 && p.g > 0xA0 && p.b > 0xA0; }

    struct Vertex {
        float x, y, z, nx, ny, nz, u, v;
    };
    // The shape's vertices, read from its buffer.
    std::vector<Vertex> Vertices(DWORD* fvf = nullptr)
    {
        std::vector<Vertex> out;
        IDirect3DVertexBuffer7* vb = shape->GetVB();
        EXPECT_NE(vb, nullptr);
        if (!vb) return out;
        D3DVERTEXBUFFERDESC desc = {};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(vb->GetVertexBufferDesc(&desc), S_OK);
        if (fvf) *fvf = desc.dwFVF;
        void* data = nullptr;
        DWORD size = 0;
        EXPECT_EQ(vb->Lock(DDLOCK_WAIT | DDLOCK_READONLY, &data, &size), S_OK);
        if (data && desc.dwFVF == D3DFVF_VERTEX) {
            const Vertex* v = static_cast<const Vertex*>(data);
            out.assign(v, v + desc.dwNumVertices);
        }
        vb->Unlock();
        vb->Release();
        return out;
    }
    // Every index names a vertex and makes whole triangles.
    void ExpectTriangles(size_t vertices)
    {
        const WORD* indices = nullptr;
        const DWORD n = shape->GetIndices(&indices);
        EXPECT_GT(n, 0u);
        EXPECT_EQ(n % 3, 0u);
        for (DWORD i = 0; i < n; ++i) ASSERT_LT(indices[i], vertices);
    }
    static void ExpectUnitNormals(const std::vector<Vertex>& vs)
    {
        for (const Vertex& v : vs) ASSERT_NEAR(std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz), 1.0f, 1e-3f);
    }

    ID3DXSimpleShape* shape = nullptr;
};

} // namespace

TEST_F(D3DXShape, ABoxHasItsSizeAndDrawsItsFrontFace)
{
    ASSERT_EQ(D3DXCreateBox(device, 1, 2, 3, D3DX_DEFAULT, &shape), S_OK);
    DWORD fvf = 0;
    const std::vector<Vertex> vs = Vertices(&fvf);
    EXPECT_EQ(fvf, DWORD(D3DFVF_VERTEX)) << "one set of coordinates: a D3DVERTEX";
    ASSERT_EQ(vs.size(), 24u);
    ExpectTriangles(vs.size());
    EXPECT_EQ(shape->GetIndices(nullptr), 36u);
    for (const Vertex& v : vs) {
        EXPECT_FLOAT_EQ(std::fabs(v.x), 0.5f);
        EXPECT_FLOAT_EQ(std::fabs(v.y), 1.0f);
        EXPECT_FLOAT_EQ(std::fabs(v.z), 1.5f);
        EXPECT_TRUE(v.u == 0 || v.u == 1);
    }
    ExpectUnitNormals(vs);

    ASSERT_EQ(Draw(), S_OK);
    EXPECT_TRUE(Lit(At(0, 0)));
    EXPECT_TRUE(Lit(At(0, 0.9f, -1.5f)));
    EXPECT_TRUE(Cleared(At(0, 1.2f, -1.5f)));
    EXPECT_TRUE(Cleared(At(-0.7f, 0, -1.5f)));
}

TEST_F(D3DXShape, ACylinderHasItsBaseAndTopRadii)
{
    ASSERT_EQ(D3DXCreateCylinder(device, 0.5f, 1.0f, 2, D3DX_DEFAULT, 3, D3DX_DEFAULT, &shape), S_OK);
    const std::vector<Vertex> vs = Vertices();
    ASSERT_FALSE(vs.empty());
    ExpectTriangles(vs.size());
    ExpectUnitNormals(vs);
    for (const Vertex& v : vs) {
        const float r = std::sqrt(v.x * v.x + v.z * v.z);
        ASSERT_LE(std::fabs(v.y), 1.0f) << "within its height";
        if (v.y == -1 && r > 0.01f) {
            EXPECT_NEAR(r, 0.5f, 1e-4f);
        }
        if (v.y == 1 && r > 0.01f) {
            EXPECT_NEAR(r, 1.0f, 1e-4f);
        }
    }
    ASSERT_EQ(Draw(), S_OK);
    EXPECT_TRUE(Lit(At(0, 0)));
    EXPECT_FALSE(Cleared(At(0.8f, 0.8f))) << "wide at the top";
    EXPECT_TRUE(Cleared(At(0.8f, -0.8f))) << "narrow at the base";
}

TEST_F(D3DXShape, APolygonFacesTheCameraAndNeedsThreeSides)
{
    EXPECT_EQ(D3DXCreatePolygon(device, 1, 2, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(shape, nullptr);
    EXPECT_EQ(D3DXCreatePolygon(device, 1, 0, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreatePolygon(device, 1, D3DX_DEFAULT, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);

    ASSERT_EQ(D3DXCreatePolygon(device, 1, 6, D3DX_DEFAULT, &shape), S_OK);
    const std::vector<Vertex> vs = Vertices();
    ASSERT_EQ(vs.size(), 7u);
    ExpectTriangles(vs.size());
    for (size_t i = 1; i < vs.size(); ++i) {
        EXPECT_NEAR(std::hypot(vs[i].x, vs[i].y), 1.0f, 1e-5f) << "a hexagon of side 1 has radius 1";
        EXPECT_EQ(vs[i].nz, -1.0f);
    }
    EXPECT_NEAR(vs[1].y, 1.0f, 1e-5f) << "first corner straight up";
    ASSERT_EQ(Draw(), S_OK);
    EXPECT_TRUE(Lit(At(0, 0)));
    EXPECT_TRUE(Lit(At(0, 0.9f)));
    EXPECT_TRUE(Cleared(At(0, 1.1f)));
    EXPECT_EQ(shape->Release(), 0u);

    // A triangle is the smallest polygon: three triangles about the centre.
    shape = nullptr;
    ASSERT_EQ(D3DXCreatePolygon(device, 2, 3, D3DX_DEFAULT, &shape), S_OK);
    EXPECT_EQ(shape->GetIndices(nullptr), 9u);
}

TEST_F(D3DXShape, ASphereIsRoundAndLitFacingTheLight)
{
    ASSERT_EQ(D3DXCreateSphere(device, 1.5f, D3DX_DEFAULT, D3DX_DEFAULT, 1, &shape), S_OK);
    const std::vector<Vertex> vs = Vertices();
    ASSERT_EQ(vs.size(), 17u * 17u);
    ExpectTriangles(vs.size());
    for (const Vertex& v : vs) {
        ASSERT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1.5f, 1e-4f);
        ASSERT_NEAR(v.nx * 1.5f, v.x, 1e-3f) << "normals point outwards";
        ASSERT_NEAR(v.ny * 1.5f, v.y, 1e-3f);
    }
    ASSERT_EQ(Draw(), S_OK);
    EXPECT_TRUE(Lit(At(0, 0)));
    EXPECT_FALSE(Cleared(At(1.1f, 0)));
    EXPECT_TRUE(Cleared(At(1.75f, 0)));
}

TEST_F(D3DXShape, ATorusHasAHole)
{
    EXPECT_EQ(D3DXCreateTorus(device, 2, 1, 8, 16, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateTorus(device, 1, 1, 8, 16, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    ASSERT_EQ(D3DXCreateTorus(device, 0.5f, 1.5f, 12, D3DX_DEFAULT, D3DX_DEFAULT, &shape), S_OK);
    const std::vector<Vertex> vs = Vertices();
    ASSERT_EQ(vs.size(), 13u * 17u);
    ExpectTriangles(vs.size());
    ExpectUnitNormals(vs);
    for (const Vertex& v : vs) {
        const float r = std::sqrt(v.x * v.x + v.z * v.z);
        ASSERT_GE(r, 0.5f - 1e-4f);
        ASSERT_LE(r, 1.5f + 1e-4f);
        ASSERT_LE(std::fabs(v.y), 0.5f + 1e-4f);
    }
    // Stood up to face the camera: (x, y, z) -> (x, -z, y).
    D3DMATRIX upright = Identity();
    upright._22 = 0;
    upright._23 = 1;
    upright._32 = -1;
    upright._33 = 0;
    ASSERT_EQ(Draw(upright), S_OK);
    EXPECT_TRUE(Cleared(At(0, 0))) << "the hole";
    EXPECT_TRUE(Lit(At(1, 0)));
    EXPECT_TRUE(Lit(At(0, -1)));
    EXPECT_TRUE(Cleared(At(1.7f, 0)));
}

TEST_F(D3DXShape, ATeapotHasABodyASpoutAHandleAndALid)
{
    ASSERT_EQ(D3DXCreateTeapot(device, D3DX_DEFAULT, &shape), S_OK);
    const std::vector<Vertex> vs = Vertices();
    ASSERT_FALSE(vs.empty());
    ExpectTriangles(vs.size());
    ExpectUnitNormals(vs);
    ASSERT_EQ(Draw(), S_OK);
    EXPECT_TRUE(Lit(At(0, 0))) << "body";
    EXPECT_FALSE(Cleared(At(1.45f, 0.3f))) << "spout";
    EXPECT_FALSE(Cleared(At(-1.45f, 0.1f))) << "handle";
    EXPECT_TRUE(Cleared(At(-1.15f, 0.1f))) << "the gap inside the handle";
    EXPECT_FALSE(Cleared(At(0, 0.9f))) << "knob of the lid";
    EXPECT_TRUE(Cleared(At(0, 1.2f)));
    EXPECT_TRUE(Cleared(At(0, -0.95f)));
}

TEST_F(D3DXShape, TextureCoordinateSetsAreRepeatedOrLeftOut)
{
    DWORD fvf = 0;
    ASSERT_EQ(D3DXCreateBox(device, 1, 1, 1, 0, &shape), S_OK);
    Vertices(&fvf);
    EXPECT_EQ(fvf, DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
    ASSERT_EQ(Draw(), S_OK);
    EXPECT_TRUE(Lit(At(0, 0)));
    shape->Release();
    shape = nullptr;

    ASSERT_EQ(D3DXCreateSphere(device, 1, 8, 4, 2, &shape), S_OK);
    IDirect3DVertexBuffer7* vb = shape->GetVB();
    D3DVERTEXBUFFERDESC desc = {sizeof desc};
    ASSERT_EQ(vb->GetVertexBufferDesc(&desc), S_OK);
    EXPECT_EQ(desc.dwFVF, DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2));
    float* data = nullptr;
    ASSERT_EQ(vb->Lock(DDLOCK_WAIT | DDLOCK_READONLY, reinterpret_cast<void**>(&data), nullptr), S_OK);
    for (DWORD i = 0; i < desc.dwNumVertices; ++i) {
        const float* v = data + i * 10;
        ASSERT_EQ(v[6], v[8]);
        ASSERT_EQ(v[7], v[9]);
    }
    vb->Unlock();
    vb->Release();
    shape->Release();
    shape = nullptr;

    EXPECT_EQ(D3DXCreateTeapot(device, 9, &shape), D3DXERR_INVALIDPARAMETER);
}

TEST_F(D3DXShape, AnOptimisedBufferStillDraws)
{
    ASSERT_EQ(D3DXCreateSphere(device, 1, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, &shape), S_OK);
    IDirect3DVertexBuffer7* vb = shape->GetVB();
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(vb->Optimize(device, 0), S_OK);
    vb->Release();
    ASSERT_EQ(Draw(), S_OK);
    EXPECT_TRUE(Lit(At(0, 0)));
}

TEST_F(D3DXShape, BadArgumentsAreRefused)
{
    const float nan = std::nanf("");
    const float inf = INFINITY;
    EXPECT_EQ(D3DXCreateBox(device, 1, 1, 1, D3DX_DEFAULT, nullptr), D3DXERR_NULLPOINTER);
    shape = reinterpret_cast<ID3DXSimpleShape*>(1);
    EXPECT_EQ(D3DXCreateBox(nullptr, 1, 1, 1, D3DX_DEFAULT, &shape), D3DXERR_NULLPOINTER);
    EXPECT_EQ(shape, nullptr);
    EXPECT_EQ(D3DXCreateTeapot(nullptr, D3DX_DEFAULT, &shape), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXCreateBox(device, -1, 1, 1, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateBox(device, 1, nan, 1, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateSphere(device, inf, 8, 8, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateSphere(device, 1, 8, 1, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateSphere(device, 1, 2, 8, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateSphere(device, 1, 1000, 1000, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER)
        << "over 65535 vertices";
    EXPECT_EQ(D3DXCreateCylinder(device, 1, nan, 1, 8, 1, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateCylinder(device, 1, 1, 1, 8, 0, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateTorus(device, nan, 1, 8, 8, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateTorus(device, 0, 1, 2, 8, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreatePolygon(device, -1, 5, D3DX_DEFAULT, &shape), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(shape, nullptr);

    // Zero sizes make a shape that draws nothing.
    ASSERT_EQ(D3DXCreateBox(device, 0, 0, 0, D3DX_DEFAULT, &shape), S_OK);
    ASSERT_EQ(Draw(), S_OK);
    EXPECT_TRUE(Cleared(At(0, 0)));
}

TEST_F(D3DXShape, IsACountedComObjectThatKeepsItsDevice)
{
    ASSERT_EQ(D3DXCreateBox(device, 1, 1, 1, D3DX_DEFAULT, &shape), S_OK);
    void* p = nullptr;
    ASSERT_EQ(shape->QueryInterface(IID_ID3DXSimpleShape, &p), S_OK);
    EXPECT_EQ(p, shape);
    static_cast<IUnknown*>(p)->Release();
    EXPECT_EQ(shape->QueryInterface(IID_IDirect3DVertexBuffer7, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    IDirect3DVertexBuffer7* vb = shape->GetVB();
    EXPECT_EQ(shape->Release(), 0u);
    shape = nullptr;
    // The buffer handed out outlives the shape.
    D3DVERTEXBUFFERDESC desc = {sizeof desc};
    EXPECT_EQ(vb->GetVertexBufferDesc(&desc), S_OK);
    EXPECT_EQ(desc.dwNumVertices, 24u);
    vb->Release();
}
