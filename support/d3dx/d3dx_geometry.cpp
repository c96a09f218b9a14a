// Triangle meshes of the simple shapes: lathes (surfaces turned about the y axis),
// tubes swept along a curve in the xy plane, flat faces, and the teapot made of them.
#include "d3dx.h"

#include <cmath>

using namespace d3dx_detail;

namespace {

constexpr float kPi = 3.14159265358979f;

struct Vec3 {
    float x, y, z;
};
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 Normalised(Vec3 a, Vec3 fallback)
{
    const float len = std::sqrt(Dot(a, a));
    return len > 1e-12f ? a * (1.0f / len) : fallback;
}

Vec3 PositionOf(const MeshVertex& v) { return {v.x, v.y, v.z}; }
Vec3 NormalOf(const MeshVertex& v) { return {v.nx, v.ny, v.nz}; }

WORD Add(Mesh& mesh, Vec3 p, Vec3 n, float u, float v)
{
    mesh.vertices.push_back({p.x, p.y, p.z, n.x, n.y, n.z, u, v});
    return static_cast<WORD>(mesh.vertices.size() - 1);
}

// Appends triangle a, b, c turned so that its front (clockwise on the screen, which in
// Direct3D's left-handed space is the side of Cross(b - a, c - a)) faces along the
// vertices' normals. A triangle of no area keeps its order; it draws nothing.
void Triangle(Mesh& mesh, WORD a, WORD b, WORD c)
{
    const MeshVertex& va = mesh.vertices[a];
    const MeshVertex& vb = mesh.vertices[b];
    const MeshVertex& vc = mesh.vertices[c];
    const Vec3 face = Cross(PositionOf(vb) - PositionOf(va), PositionOf(vc) - PositionOf(va));
    const Vec3 normal = NormalOf(va) + NormalOf(vb) + NormalOf(vc);
    if (Dot(face, normal) < 0) std::swap(b, c);
    mesh.indices.push_back(a);
    mesh.indices.push_back(b);
    mesh.indices.push_back(c);
}

// Two triangles over the grid cell whose corners are a, b (next column), c (next row)
// and d (next row and column).
void Cell(Mesh& mesh, WORD a, WORD b, WORD c, WORD d)
{
    Triangle(mesh, a, b, c);
    Triangle(mesh, b, d, c);
}

} // namespace

namespace d3dx_detail {

// A surface turned about the y axis: each profile point (radius, height) becomes a
// ring of segments + 1 vertices (the last repeats the first with u = 1). The profile
// runs with the solid on its right-hand side in the (radius, height) plane, for
// example from the top pole down the outside to the bottom pole; its normals are
// taken from the profile's direction. A closed profile wraps around (a torus).
// v runs from v0 at the first profile point to v1 at the last.
void AddLathe(Mesh& mesh, const std::vector<ProfilePoint>& profile, bool closed, DWORD segments, float v0, float v1)
{
    const size_t n = profile.size();
    if (n < 2 || segments < 3) return;
    const size_t rows = closed ? n + 1 : n;
    const WORD first = static_cast<WORD>(mesh.vertices.size());
    for (size_t i = 0; i < rows; ++i) {
        const ProfilePoint& p = profile[i % n];
        // Tangent from the neighbours (one-sided at the ends of an open profile).
        const ProfilePoint& prev = (i == 0) ? (closed ? profile[n - 1] : profile[0]) : profile[(i - 1) % n];
        const ProfilePoint& next = (i + 1 >= rows && !closed) ? profile[n - 1] : profile[(i + 1) % n];
        float dr = next.r - prev.r, dy = next.y - prev.y;
        const float len = std::sqrt(dr * dr + dy * dy);
        float nr = 0, ny = 1;
        if (len > 1e-12f) {
            nr = -dy / len;
            ny = dr / len;
        }
        // On the axis the surface is flat across it, whatever the profile's slope.
        if (std::fabs(p.r) < 1e-6f && !closed) {
            nr = 0;
            ny = dr >= 0 ? 1.0f : -1.0f;
        }
        const float v = v0 + (v1 - v0) * static_cast<float>(i) / static_cast<float>(rows - 1);
        for (DWORD j = 0; j <= segments; ++j) {
            const float t = 2 * kPi * static_cast<float>(j % segments) / static_cast<float>(segments);
            const float c = std::cos(t), s = std::sin(t);
            Add(mesh, {p.r * c, p.y, p.r * s}, {nr * c, ny, nr * s}, static_cast<float>(j) / segments, v);
        }
    }
    const DWORD stride = segments + 1;
    for (size_t i = 0; i + 1 < rows; ++i)
        for (DWORD j = 0; j < segments; ++j) {
            const WORD a = static_cast<WORD>(first + i * stride + j);
            Cell(mesh, a, a + 1, static_cast<WORD>(a + stride), static_cast<WORD>(a + stride + 1));
        }
}

// A tube of sides segments around a path in the plane z = 0; each path point carries
// the tube's radius there. The ends stay open. u runs along the path, v around it.
void AddTube(Mesh& mesh, const std::vector<PathPoint>& path, DWORD sides)
{
    const size_t n = path.size();
    if (n < 2 || sides < 3) return;
    const WORD first = static_cast<WORD>(mesh.vertices.size());
    for (size_t i = 0; i < n; ++i) {
        const PathPoint& prev = path[i == 0 ? 0 : i - 1];
        const PathPoint& next = path[i + 1 < n ? i + 1 : n - 1];
        const Vec3 along = Normalised({next.x - prev.x, next.y - prev.y, 0}, {1, 0, 0});
        const Vec3 across = {-along.y, along.x, 0};
        const Vec3 side = {0, 0, 1};
        const Vec3 centre = {path[i].x, path[i].y, 0};
        for (DWORD j = 0; j <= sides; ++j) {
            const float t = 2 * kPi * static_cast<float>(j % sides) / static_cast<float>(sides);
            const Vec3 out = across * std::cos(t) + side * std::sin(t);
            Add(mesh, centre + out * path[i].radius, out, static_cast<float>(i) / (n - 1),
                static_cast<float>(j) / sides);
        }
    }
    const DWORD stride = sides + 1;
    for (size_t i = 0; i + 1 < n; ++i)
        for (DWORD j = 0; j < sides; ++j) {
            const WORD a = static_cast<WORD>(first + i * stride + j);
            Cell(mesh, a, a + 1, static_cast<WORD>(a + stride), static_cast<WORD>(a + stride + 1));
        }
}

void BuildBox(Mesh& mesh, float width, float height, float depth)
{
    const float hx = width / 2, hy = height / 2, hz = depth / 2;
    // Each face: its normal, the direction of u and the direction of v (downwards on
    // the face as seen from outside), and the half sizes along them.
    struct Face {
        Vec3 normal, u, v;
        float hn, hu, hv;
    };
    const Face faces[6] = {
        {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}, hz, hx, hy},  // front, towards the default camera
        {{0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, hz, hx, hy},  // back
        {{-1, 0, 0}, {0, 0, -1}, {0, -1, 0}, hx, hz, hy}, // left
        {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}, hx, hz, hy},   // right
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}, hy, hx, hz},   // top
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}, hy, hx, hz},   // bottom
    };
    for (const Face& f : faces) {
        const Vec3 c = f.normal * f.hn;
        const WORD a = Add(mesh, c - f.u * f.hu - f.v * f.hv, f.normal, 0, 0);
        const WORD b = Add(mesh, c + f.u * f.hu - f.v * f.hv, f.normal, 1, 0);
        const WORD d = Add(mesh, c - f.u * f.hu + f.v * f.hv, f.normal, 0, 1);
        const WORD e = Add(mesh, c + f.u * f.hu + f.v * f.hv, f.normal, 1, 1);
        Cell(mesh, a, b, d, e);
    }
}

void BuildPolygon(Mesh& mesh, float side, DWORD sides)
{
    const float radius = side / (2 * std::sin(kPi / sides));
    const Vec3 normal = {0, 0, -1};
    const WORD centre = Add(mesh, {0, 0, 0}, normal, 0.5f, 0.5f);
    for (DWORD k = 0; k < sides; ++k) {
        const float t = kPi / 2 + 2 * kPi * k / sides; // the first corner at the top
        const float x = radius * std::cos(t), y = radius * std::sin(t);
        Add(mesh, {x, y, 0}, normal, 0.5f + 0.5f * std::cos(t), 0.5f - 0.5f * std::sin(t));
    }
    for (DWORD k = 0; k < sides; ++k)
        Triangle(mesh, centre, static_cast<WORD>(centre + 1 + k), static_cast<WORD>(centre + 1 + (k + 1) % sides));
}

void BuildCylinder(Mesh& mesh, float baseRadius, float topRadius, float height, DWORD slices, DWORD stacks)
{
    const float top = height / 2, bottom = -height / 2;
    // Caps and side are separate rings so that the rims keep sharp edges.
    AddLathe(mesh, {{0, top}, {topRadius, top}}, false, slices, 0, 0);
    std::vector<ProfilePoint> side;
    for (DWORD i = 0; i <= stacks; ++i) {
        const float t = static_cast<float>(i) / stacks;
        side.push_back({topRadius + (baseRadius - topRadius) * t, top + (bottom - top) * t});
    }
    AddLathe(mesh, side, false, slices, 0, 1);
    AddLathe(mesh, {{baseRadius, bottom}, {0, bottom}}, false, slices, 1, 1);
}

void BuildSphere(Mesh& mesh, float radius, DWORD slices, DWORD stacks)
{
    std::vector<ProfilePoint> profile;
    for (DWORD i = 0; i <= stacks; ++i) {
        const float t = kPi * i / stacks;
        const bool pole = i == 0 || i == stacks;
        profile.push_back({pole ? 0.0f : radius * std::sin(t), radius * std::cos(t)});
    }
    AddLathe(mesh, profile, false, slices, 0, 1);
}

void BuildTorus(Mesh& mesh, float innerRadius, float outerRadius, DWORD sides, DWORD rings)
{
    const float tube = (outerRadius - innerRadius) / 2, ring = (outerRadius + innerRadius) / 2;
    // The tube's cross-section, clockwise in the (radius, height) plane from the top.
    std::vector<ProfilePoint> profile;
    for (DWORD i = 0; i < sides; ++i) {
        const float t = 2 * kPi * i / sides;
        profile.push_back({ring + tube * std::sin(t), tube * std::cos(t)});
    }
    AddLathe(mesh, profile, true, rings, 0, 1);
}

namespace {

// Catmull-Rom through the points, steps samples between each two.
std::vector<ProfilePoint> Smooth(const std::vector<ProfilePoint>& k, int steps)
{
    std::vector<ProfilePoint> out;
    const size_t n = k.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        const ProfilePoint& p0 = k[i == 0 ? 0 : i - 1];
        const ProfilePoint& p1 = k[i];
        const ProfilePoint& p2 = k[i + 1];
        const ProfilePoint& p3 = k[i + 2 < n ? i + 2 : n - 1];
        for (int s = 0; s < steps; ++s) {
            const float t = static_cast<float>(s) / steps, t2 = t * t, t3 = t2 * t;
            auto f = [&](float a, float b, float c, float d) {
                return 0.5f * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (3 * b - a - 3 * c + d) * t3);
            };
            out.push_back({f(p0.r, p1.r, p2.r, p3.r), f(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    out.push_back(k.back());
    return out;
}

// A cubic Bezier path with the radius going linearly from r0 to r1.
std::vector<PathPoint> Curve(Vec3 a, Vec3 b, Vec3 c, Vec3 d, float r0, float r1, int steps)
{
    std::vector<PathPoint> out;
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps, s = 1 - t;
        const Vec3 p = a * (s * s * s) + b * (3 * s * s * t) + c * (3 * s * t * t) + d * (t * t * t);
        out.push_back({p.x, p.y, r0 + (r1 - r0) * t});
    }
    return out;
}

} // namespace

// About 3.1 units from the handle (-x) to the spout's tip (+x), 1.6 high from the base
// (y = -0.62) to the knob of the lid, 2 deep; the body's widest ring has radius 1.
void BuildTeapot(Mesh& mesh)
{
    const DWORD around = 24;
    // Body: from the rim down the outside to the base, then the bottom.
    const std::vector<ProfilePoint> body = Smooth({{0.70f, 0.62f},
                                                   {0.82f, 0.50f},
                                                   {0.96f, 0.26f},
                                                   {1.00f, 0.0f},
                                                   {0.95f, -0.30f},
                                                   {0.82f, -0.52f},
                                                   {0.70f, -0.62f}},
                                                  3);
    AddLathe(mesh, body, false, around, 0, 0.9f);
    AddLathe(mesh, {{0.70f, -0.62f}, {0, -0.62f}}, false, around, 0.9f, 1);
    // Lid: from the top of the knob over the knob and the dome to its edge on the rim.
    const std::vector<ProfilePoint> lid = Smooth(
        {{0, 0.98f}, {0.10f, 0.96f}, {0.13f, 0.89f}, {0.06f, 0.80f}, {0.25f, 0.75f}, {0.50f, 0.69f}, {0.72f, 0.61f}},
        3);
    AddLathe(mesh, lid, false, around, 0, 1);
    // Spout: rising out of the lower front of the body to its tip.
    AddTube(mesh, Curve({0.70f, -0.25f, 0}, {1.30f, -0.25f, 0}, {1.35f, 0.30f, 0}, {1.62f, 0.55f, 0}, 0.24f, 0.09f, 12),
            12);
    // Handle: out of the upper back, round, and back into the lower back.
    AddTube(mesh,
            Curve({-0.80f, 0.42f, 0}, {-1.70f, 0.60f, 0}, {-1.65f, -0.40f, 0}, {-0.85f, -0.30f, 0}, 0.08f, 0.08f, 16),
            10);
}

} // namespace d3dx_detail
