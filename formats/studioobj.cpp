// StudioObj: the walk of a 3DS file's chunk tree, its logs, meshes, keyframe tracks and frame copies.
#include "formats/studioobj.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>

namespace zyk::formats {
namespace {

// Chunk ids.
enum : uint16_t {
    kMain = 0x4D4D,
    kEdit = 0x3D3D,
    kVersion = 0x0002,
    kMasterScale = 0x0100,
    kNamedObject = 0x4000,
    kTriangleMesh = 0x4100,
    kVertexList = 0x4110,
    kFaceList = 0x4120,
    kFaceMaterial = 0x4130,
    kMappingCoords = 0x4140,
    kSmoothing = 0x4150,
    kLocalAxes = 0x4160,
    kEditMaterial = 0xAFFF,
    kMaterialName = 0xA000,
    kTextureMap = 0xA200,
    kMappingName = 0xA300,
    kKeyframe = 0xB000,
    kKeyframeMeshInfo = 0xB002,
    kKeyframeRange = 0xB008,
    kCurrentFrame = 0xB009,
    kNodeHeader = 0xB010,
    kPivot = 0xB013,
    kPositionTrack = 0xB020,
    kRotationTrack = 0xB021,
    kScaleTrack = 0xB022,
    kNodeId = 0xB030,
};

constexpr size_t kChunkHeader = 6;
constexpr size_t kTrackHeader = 14; // flags, 8 bytes, key count, 16 bits

// Chunks whose data is skipped whole, with the names they are logged by.
struct Named {
    uint16_t id;
    const char* name;
};
constexpr Named kSkipped[] = {
    {0x3D3E, "MESH_VERSION"},
    {0x0030, "INT_PERCENTAGE"},
    {0x4111, "TRIANGLE_VERTEXOPTIONS"},
    {0x4165, "TRI_VISIBLE"},
    {0x4170, "TRIANGLE_MAPPINGSTANDARD"},
    {0xA010, "MATERIAL_AMBIENT"},
    {0xA020, "MATERIAL_DIFFUSE"},
    {0xA030, "MATERIAL_SPECULAR"},
    {0xA040, "MATERIAL_SHININESS"},
    {0xA041, "MATERIAL_SHIN_STRENGTH"},
    {0xA050, "TRANS_PERCENT"},
    {0xA052, "TRANS_FALLOFF_PERCENT"},
    {0xA053, "REFLECTION_BLUR_PER"},
    {0xA084, "SELF_ILLUM"},
    {0xA087, "WIRE_THICKNESS"},
    {0xA08A, "IN_TRANC"},
    {0xA08C, "SOFTEN"},
    {0xA100, "RENDER_TYPE"},
    {0xA351, "MAPPING_PARAMETERS"},
    {0xA353, "BLUR_PERCENTAGE"},
    {0xB00A, "KEYFRAME_HEADER"},
};

// Copies the zero-terminated `from` into the field `to` of `size` bytes, cut to fit.
void CopyName(char* to, size_t size, const char* from)
{
    size_t n = strnlen(from, size - 1);
    std::memcpy(to, from, n);
    std::memset(to + n, 0, size - n);
}

// Coordinates are kept to four decimals, halves rounded up (on both sides of zero).
// Values too large to have a fraction a float can show are kept as they are;
// values that are not numbers become 0.
float Round4(float v)
{
    if (!std::isfinite(v)) return 0.0f;
    const double t = double(v) * 10000.0 + 0.5;
    if (std::fabs(t) >= 9.0e15) return v;
    return float(std::floor(t) / 10000.0);
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

void Appendf(std::string& out, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
void Appendf(std::string& out, const char* format, ...)
{
    char line[128];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n < 0) return;
    if (size_t(n) < sizeof line) {
        out.append(line, size_t(n));
        return;
    }
    std::string wide(size_t(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(wide.data(), wide.size(), format, args);
    va_end(args);
    out.append(wide.data(), size_t(n));
}

} // namespace

// The data of one chunk: reads never pass `end`.
struct StudioObj::Span {
    const uint8_t* data;
    size_t pos, end;

    size_t Left() const { return end - pos; }
    bool U16(uint16_t& v)
    {
        if (Left() < 2) return false;
        v = uint16_t(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return true;
    }
    bool U32(uint32_t& v)
    {
        if (Left() < 4) return false;
        v = uint32_t(data[pos]) | uint32_t(data[pos + 1]) << 8 | uint32_t(data[pos + 2]) << 16 |
            uint32_t(data[pos + 3]) << 24;
        pos += 4;
        return true;
    }
    bool Float(float& v)
    {
        uint32_t bits;
        if (!U32(bits)) return false;
        std::memcpy(&v, &bits, sizeof v);
        return true;
    }
    bool Floats(float* v, int n)
    {
        if (Left() / 4 < size_t(n)) return false;
        for (int i = 0; i < n; ++i) Float(v[i]);
        return true;
    }
    // A zero-terminated name: the whole name is consumed (up to its zero or the end
    // of the chunk) and as much as fits is kept in `out`, always terminated.
    void Name(char* out, size_t size)
    {
        size_t n = 0;
        while (pos < end) {
            const char c = char(data[pos++]);
            if (c == '\0') break;
            if (n + 1 < size) out[n++] = c;
        }
        std::memset(out + n, 0, size - n);
    }
};

StudioObj::StudioObj()
    : objects_(kStudioMaxObjects), vertices_(kStudioMaxVertices), texCoords_(kStudioMaxVertices),
      faces_(kStudioMaxFaces), materials_(kStudioMaxMaterials)
{}

StudioObj::~StudioObj() = default;

void StudioObj::Reset()
{
    // The tables start zeroed; a read touches only their first entries, which are
    // cleared again before the next.
    const int objectsUsed = std::min(std::max(objectIndex_, keyframeIndex_) + 1, kStudioMaxObjects);
    std::fill_n(objects_.begin(), objectsUsed, StudioObject{});
    std::fill_n(vertices_.begin(), vertexCount_, StudioVertex{});
    std::fill_n(texCoords_.begin(), vertexCount_, StudioTexCoord{});
    std::fill_n(faces_.begin(), faceCount_, StudioFace{});
    std::fill_n(materials_.begin(), materialCount_, StudioMaterial{});
    objectIndex_ = keyframeIndex_ = -1;
    vertexCount_ = faceCount_ = materialCount_ = 0;
    currentMaterial_ = -1;
    frameCount_ = 1;
    memoryKB_ = 0;
    stop_ = false;
    frames_.clear();
    indices_.clear();
    indexTexCoords_.clear();
    primitiveTypes_.clear();
    objectFaceCounts_.clear();
    summary_ = StudioSummary{};
    datName_.clear();
    datText_.clear();
}

void StudioObj::Log(const char* format, ...)
{
    if (!log_) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log_, format, args);
    va_end(args);
}

bool StudioObj::Read(const std::string& modelFile, const std::string& logFolder)
{
    Reset();
    std::FILE* model = std::fopen(modelFile.c_str(), "rb");
    if (!model) return false;
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t n;
    bool tooLarge = false;
    while ((n = std::fread(block, 1, sizeof block, model)) > 0) {
        if (bytes.size() + n > kStudioMaxFileSize) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), block, block + n);
    }
    std::fclose(model);
    if (tooLarge) return false;

    std::FILE* log = std::fopen(Join(logFolder, "3dslogfile.txt").c_str(), "w");
    if (!log) return false;
    std::FILE* summary = std::fopen(Join(logFolder, "rrlogfile.txt").c_str(), "a");
    bool ok = Read(bytes.data(), bytes.size(), modelFile, log, summary);
    std::fclose(log);
    if (summary) std::fclose(summary);
    if (!ok) return false;

    std::FILE* dat = std::fopen(Join(logFolder, datName_).c_str(), "w");
    if (!dat) return false;
    ok = std::fwrite(datText_.data(), 1, datText_.size(), dat) == datText_.size();
    return std::fclose(dat) == 0 && ok;
}

bool StudioObj::Read(const uint8_t* data, size_t size, const std::string& modelName, std::FILE* log, std::FILE* summary)
{
    Reset();
    log_ = log;
    Log("3dslogfile.txt: chunk log of StudioObj, the 3DS scene reader\n");
    Log("3DS Model filename %s\n\n", modelName.c_str());

    if (data && !Walk(data, 0, size, 0)) {
        Log("\nread abandoned\n");
        log_ = nullptr;
        return false;
    }

    const int objects = ObjectCount();
    memoryKB_ = (vertexCount_ * 12 * kStudioMaxFrames + faceCount_ * 8 + objects * 8 + faceCount_ * 48) / 1024;

    if (summary) {
        std::fprintf(summary, "%s%d", "objects = ", objects);
        std::fprintf(summary, "%s%d", "  verts = ", vertexCount_);
        std::fprintf(summary, "%s%d\n", "  faces = ", faceCount_);
        std::fprintf(summary, "memory allocated %d %s\n\n", memoryKB_, "KB");
    }
    Log("\n\n%s %d\n", "num 3ds objects = ", objects);
    Log("%s %d\n", "total num verts = ", vertexCount_);
    Log("%s %d\n", "total num faces = ", faceCount_);
    Log("memory allocated for 3ds model %d %s\n\n", memoryKB_, "KB");

    if (!WriteDat(modelName)) {
        Log("the model's file name has no extension\n");
        log_ = nullptr;
        return false;
    }

    MoveToPivots();
    // Only the frames that are built take memory (the figure above counts all 50).
    frames_.assign(size_t(frameCount_), std::vector<StudioVertex>(vertices_.begin(), vertices_.begin() + vertexCount_));
    ApplyPositionTracks();
    ApplyRotationTracks();
    Log("\n\nAPPLYING SCALE TRACK DATA\n\n"); // scale keys are kept, not applied
    BuildLists();

    summary_.objects = objects;
    summary_.faces = faceCount_;
    summary_.vertices = vertexCount_;
    summary_.frames = frameCount_;
    summary_.scale[0] = summary_.scale[1] = 1.0f;
    summary_.format = 7;
    summary_.ready = 1;
    log_ = nullptr;
    return true;
}

bool StudioObj::Walk(const uint8_t* data, size_t begin, size_t end, int depth)
{
    size_t pos = begin;
    while (!stop_ && end - pos >= kChunkHeader) {
        const uint16_t id = uint16_t(data[pos] | data[pos + 1] << 8);
        const uint32_t length = uint32_t(data[pos + 2]) | uint32_t(data[pos + 3]) << 8 | uint32_t(data[pos + 4]) << 16 |
                                uint32_t(data[pos + 5]) << 24;
        if (length < kChunkHeader) {
            // No progress is possible past a chunk shorter than its own header.
            Log("\nchunk %x of length %u: the walk ends\n", id, length);
            stop_ = true;
            break;
        }
        // A chunk that claims more than its parent holds is cut at the parent's end.
        const size_t chunkEnd = length > end - pos ? end : pos + length;
        Span s{data, pos + kChunkHeader, chunkEnd};
        if (!Chunk(s, id, depth)) return false;
        pos = chunkEnd;
    }
    return true;
}

bool StudioObj::Container(Span& s, const char* name, int depth)
{
    if (name) Log("%s\n", name);
    if (depth + 1 >= kStudioMaxDepth) {
        Log("chunks nested deeper than %d: skipped\n", kStudioMaxDepth);
        return true;
    }
    return Walk(s.data, s.pos, s.end, depth + 1);
}

bool StudioObj::Chunk(Span& s, uint16_t id, int depth)
{
    switch (id) {
    case kMain: return Container(s, "MAIN3DS", depth);
    case kEdit: return Container(s, "EDIT3DS", depth);
    case kTriangleMesh: return Container(s, "TRIANGLE_MESH", depth);
    case kEditMaterial: return Container(s, "\nEDIT_MATERIAL", depth);
    case kTextureMap: return Container(s, "TEXTURE_MAP", depth);
    case kKeyframe: return Container(s, "\n\nKEYFRAME", depth);
    case kKeyframeMeshInfo:
        if (keyframeIndex_ < kStudioMaxObjects) ++keyframeIndex_;
        return Container(s, "\nKEYFRAME_MESH_INFO", depth);
    case kVersion: {
        uint32_t version = 0;
        s.U32(version);
        Log("3DS VERSION %d\n", int(version));
        return true;
    }
    case kMasterScale: {
        float scale = 0;
        s.Float(scale);
        Log("MASTER_SCALE %f\n", double(scale));
        return true;
    }
    case kNamedObject: return NamedObject(s, depth);
    case kVertexList: return VertexList(s);
    case kFaceList: return FaceList(s, depth);
    case kFaceMaterial: FaceMaterial(s); return true;
    case kMappingCoords: MappingCoords(s); return true;
    case kSmoothing: Smoothing(s); return true;
    case kLocalAxes: LocalAxes(s); return true;
    case kMaterialName: MaterialName(s); return true;
    case kMappingName: MappingName(s); return true;
    case kKeyframeRange: KeyframeRange(s); return true;
    case kCurrentFrame: {
        uint32_t frame = 0;
        s.U32(frame);
        Log("KFCURTIME  %d\n", int(frame));
        return true;
    }
    case kNodeHeader: NodeHeader(s); return true;
    case kPivot: Pivot(s); return true;
    case kPositionTrack:
    case kRotationTrack:
    case kScaleTrack: Track(s, id); return true;
    case kNodeId: {
        uint16_t node = 0;
        s.U16(node);
        Log("NODE_ID  %d\n", node);
        return true;
    }
    default: break;
    }
    if (id >= 0xB023 && id <= 0xB029) {
        Log("PIVOT\n");
        return true;
    }
    for (const Named& n : kSkipped) {
        if (n.id == id) {
            Log("%s\n", n.name);
            return true;
        }
    }
    Log("\n");
    Log("%s  %x\n", "UNKNOWN COMMAND ", id);
    return true;
}

StudioObject* StudioObj::MeshObject(const char* chunkName)
{
    if (objectIndex_ < 0) {
        Log("%s before any object: ignored\n", chunkName);
        return nullptr;
    }
    return &objects_[size_t(objectIndex_)];
}

StudioObject* StudioObj::KeyframeObject(const char* chunkName)
{
    if (keyframeIndex_ < 0 || keyframeIndex_ >= kStudioMaxObjects) {
        Log("%s outside a keyframe object: ignored\n", chunkName);
        return nullptr;
    }
    return &objects_[size_t(keyframeIndex_)];
}

bool StudioObj::NamedObject(Span& s, int depth)
{
    if (objectIndex_ + 1 >= kStudioMaxObjects) {
        Log("NAMED_OBJECT \nmore than %d objects\n", kStudioMaxObjects);
        return false;
    }
    StudioObject& o = objects_[size_t(++objectIndex_)];
    s.Name(o.name, sizeof o.name);
    o.firstVertex = vertexCount_;
    o.firstFace = faceCount_;
    Log("NAMED_OBJECT %s\n", o.name);
    return Container(s, nullptr, depth); // the mesh chunks follow the name
}

bool StudioObj::VertexList(Span& s)
{
    Log("TRIANGLE_VERTEXLIST\n");
    StudioObject* o = MeshObject("TRIANGLE_VERTEXLIST");
    uint16_t count;
    if (!o || !s.U16(count)) return true;
    const int n = int(std::min<size_t>(count, s.Left() / 12));
    if (n < count) Log(" %d vertices announced, %d present\n", count, n);
    if (vertexCount_ + n >= kStudioMaxVertices) {
        Log("%d vertices or more in the model\n", kStudioMaxVertices);
        return false;
    }
    for (int i = 0; i < n; ++i) {
        float xyz[3] = {};
        s.Floats(xyz, 3);
        vertices_[size_t(vertexCount_)] = {Round4(xyz[0]), Round4(xyz[1]), Round4(xyz[2])};
        texCoords_[size_t(vertexCount_)] = {};
        ++vertexCount_;
    }
    o->vertexCount += n;
    return true;
}

bool StudioObj::FaceList(Span& s, int depth)
{
    uint16_t count = 0;
    s.U16(count);
    Log("TRIANGLE_FACELIST %d\n", count);
    StudioObject* o = MeshObject("TRIANGLE_FACELIST");
    if (!o) return true;
    if (o->vertexCount == 0) {
        Log("faces of an object without vertices: ignored\n");
        return true;
    }
    const int n = int(std::min<size_t>(count, s.Left() / 8));
    if (n < count) Log(" %d faces announced, %d present\n", count, n);
    if (faceCount_ + n >= kStudioMaxFaces) {
        Log("%d faces or more in the model\n", kStudioMaxFaces);
        return false;
    }
    for (int i = 0; i < n; ++i) {
        uint16_t v[3] = {}, flags = 0;
        s.U16(v[0]);
        s.U16(v[1]);
        s.U16(v[2]);
        s.U16(flags);
        Log("   flags: %d => ", flags);
        Log("%s", flags & 1 ? "  AC: 1" : "  AC: 0");
        Log("%s", flags & 2 ? "  BC: 1" : "  BC: 0");
        Log("%s\n", flags & 4 ? "  AB: 1" : "  AB: 0");
        StudioFace& f = faces_[size_t(faceCount_)];
        if (v[0] >= o->vertexCount || v[1] >= o->vertexCount || v[2] >= o->vertexCount) {
            // Kept so that the faces after it keep their numbers, as a point.
            Log(" face %d names a vertex outside its object (%d %d %d of %d)\n", i, v[0], v[1], v[2], o->vertexCount);
            v[0] = v[1] = v[2] = 0;
        }
        f.a = uint16_t(o->firstVertex + v[0]);
        f.b = uint16_t(o->firstVertex + v[1]);
        f.c = uint16_t(o->firstVertex + v[2]);
        f.flags = flags;
        f.material = kStudioNoMaterial;
        f.object = uint16_t(objectIndex_);
        ++faceCount_;
    }
    o->faceCount += n;
    return Container(s, nullptr, depth); // material and smoothing chunks follow
}

void StudioObj::FaceMaterial(Span& s)
{
    Log("TRIANGLE_MATERIAL %d\n", objectIndex_);
    StudioObject* o = MeshObject("TRIANGLE_MATERIAL");
    if (!o) return;
    char name[kStudioNameSize];
    s.Name(name, sizeof name);
    // Material names are kept cut to their field: compare them so.
    name[kStudioMaterialNameSize - 1] = '\0';
    int m = 0;
    while (m < materialCount_ && std::strcmp(materials_[size_t(m)].name, name) != 0) ++m;
    if (m == materialCount_) {
        Log(" material %s not found\n", name);
        CopyName(o->material, sizeof o->material, "error");
        return;
    }
    CopyName(o->material, sizeof o->material, name);
    uint16_t count = 0;
    s.U16(count);
    Log(" material %s on %d faces\n", name, count);
    for (int i = 0; i < count; ++i) {
        uint16_t face;
        if (!s.U16(face)) break;
        if (face >= o->faceCount) {
            Log(" face %d is not a face of the object\n", face);
            continue;
        }
        faces_[size_t(o->firstFace + face)].material = uint16_t(m);
    }
}

void StudioObj::MappingCoords(Span& s)
{
    uint16_t count = 0;
    s.U16(count);
    Log("TRIANGLE_MAPPINGCOORS %d\n", count);
    StudioObject* o = MeshObject("TRIANGLE_MAPPINGCOORS");
    if (!o) return;
    const int n = int(std::min<size_t>(count, s.Left() / 8));
    if (n > o->vertexCount) Log(" %d coordinates for %d vertices: the rest ignored\n", n, o->vertexCount);
    for (int i = 0; i < n && i < o->vertexCount; ++i) {
        StudioTexCoord& t = texCoords_[size_t(o->firstVertex + i)];
        s.Float(t.u);
        s.Float(t.v);
    }
}

void StudioObj::Smoothing(Span& s)
{
    Log("TRIANGLE_SMOOTH\n");
    StudioObject* o = MeshObject("TRIANGLE_SMOOTH");
    if (!o) return;
    // One group of four bytes per face of the object; anything more is skipped.
    const size_t groups = std::min<size_t>(size_t(o->faceCount), s.Left() / 4);
    for (size_t i = 0; i < groups; ++i, s.pos += 4) {
        const uint8_t* g = s.data + s.pos;
        Log(" a,b,c,d : %d %d %d %d\n", g[0], g[1], g[2], g[3]);
    }
}

void StudioObj::LocalAxes(Span& s)
{
    Log("TRI_LOCAL\n");
    StudioObject* o = MeshObject("TRI_LOCAL");
    float v[12];
    if (!o || !s.Floats(v, 12)) return;
    for (int i = 0; i < 3; ++i) {
        o->localAxes[i] = {v[3 * i], v[3 * i + 1], v[3 * i + 2]};
        Log(" x,y,z: %f %f %f\n", double(v[3 * i]), double(v[3 * i + 1]), double(v[3 * i + 2]));
    }
    o->localCentre = {v[9], v[10], v[11]};
    Log(" local_centre_x,y,z : %f %f %f\n", double(v[9]), double(v[10]), double(v[11]));
}

void StudioObj::MaterialName(Span& s)
{
    char name[kStudioNameSize];
    s.Name(name, sizeof name);
    Log("MAT_NAME01  %s\n", name);
    if (materialCount_ >= kStudioMaxMaterials) {
        Log(" more than %d materials: not kept\n", kStudioMaxMaterials);
        currentMaterial_ = -1;
        return;
    }
    currentMaterial_ = materialCount_++;
    CopyName(materials_[size_t(currentMaterial_)].name, kStudioMaterialNameSize, name);
}

void StudioObj::MappingName(Span& s)
{
    char name[kStudioNameSize];
    s.Name(name, sizeof name);
    if (currentMaterial_ < 0) {
        Log("%s %s\n", "MAPPING_NAME ", "error");
        return;
    }
    char* mapping = materials_[size_t(currentMaterial_)].mapping;
    CopyName(mapping, kStudioMaterialNameSize, name);
    Log("%s %s\n", "MAPPING_NAME ", mapping);
}

void StudioObj::KeyframeRange(Span& s)
{
    Log("KEYFRAME_START_AND_END\n");
    uint32_t start, end;
    if (!s.U32(start) || !s.U32(end)) return;
    // Frames are numbered from 0, as the keys count them: frames 0 to the last one
    // of the range are built, 50 at most.
    const int64_t first = int32_t(start), last = int32_t(end);
    frameCount_ = first >= 0 && last >= first ? int(std::min<int64_t>(last + 1, kStudioMaxFrames)) : 1;
    Log(" start %d  end %d  frames %d\n", int(first), int(last), frameCount_);
}

void StudioObj::NodeHeader(Span& s)
{
    char name[kStudioNameSize];
    s.Name(name, sizeof name);
    uint16_t flags1 = 0, flags2 = 0, hierarchy = 0;
    s.U16(flags1);
    s.U16(flags2);
    s.U16(hierarchy);
    Log("NODE_HDR %s\n", name);
    Log(" flags1 %d\n", flags1);
    Log(" flags2 %d\n", flags2);
    Log(" heirarchy %d\n", hierarchy);
}

void StudioObj::Pivot(Span& s)
{
    float p[3];
    if (!s.Floats(p, 3)) {
        Log("PIVOT: short\n");
        return;
    }
    Log("PIVOT: %f %f %f\n", double(p[0]), double(p[1]), double(p[2]));
    if (StudioObject* o = KeyframeObject("PIVOT")) o->pivot = {p[0], p[1], p[2]};
}

void StudioObj::Track(Span& s, uint16_t id)
{
    const char* name = id == kPositionTrack   ? "POS_TRACK_TAG"
                       : id == kRotationTrack ? "ROT_TRACK_TAG"
                                              : "SCL_TRACK_TAG";
    Log("%s %d\n", name, keyframeIndex_);
    StudioObject* o = KeyframeObject(name);
    if (!o || s.Left() < kTrackHeader) return;
    const uint16_t count = uint16_t(s.data[s.pos + 10] | s.data[s.pos + 11] << 8);
    s.pos += kTrackHeader;

    const int values = id == kRotationTrack ? 4 : 3;
    StudioKey* keys = id == kPositionTrack ? o->positionKeys : id == kRotationTrack ? o->rotationKeys : o->scaleKeys;
    int& kept = id == kPositionTrack   ? o->positionKeyCount
                : id == kRotationTrack ? o->rotationKeyCount
                                       : o->scaleKeyCount;
    for (int i = 0; i < count; ++i) {
        StudioKey key;
        uint16_t frame;
        if (!s.U16(frame) || !s.U32(key.flags) || !s.Floats(key.value, values)) break;
        key.frame = frame;
        const float* v = key.value;
        if (id == kPositionTrack)
            Log(" framenum = %d   pos_x,y,z : %f %f %f\n", frame, double(v[0]), double(v[1]), double(v[2]));
        else if (id == kRotationTrack)
            Log(" framenum = %d  rot_angle/rads = %f  axis_x,y,z : %f %f %f\n", frame, double(v[0]), double(v[1]),
                double(v[2]), double(v[3]));
        else
            Log(" framenum = %d   x,y,z : %f %f %f\n", frame, double(v[0]), double(v[1]), double(v[2]));
        if (frame < kStudioMaxFrames && kept < kStudioMaxKeys) keys[kept++] = key;
    }
}

bool StudioObj::WriteDat(const std::string& modelName)
{
    // Named after the model's file name: from its first "." not followed by another.
    const size_t slash = modelName.find_last_of("/\\");
    const std::string base = slash == std::string::npos ? modelName : modelName.substr(slash + 1);
    size_t dot = std::string::npos;
    for (size_t i = 0; i < base.size() && i < 1024; ++i) {
        if (base[i] == '.' && (i + 1 == base.size() || base[i + 1] != '.')) {
            dot = i;
            break;
        }
    }
    if (dot == std::string::npos) return false;
    datName_ = base.substr(0, dot) + ".dat";

    // Four vertices make one quad (two faces); each quad names the texture of the
    // material of its first face.
    int face = 0;
    for (int v = 0; v < vertexCount_; ++v) {
        if (v % 4 == 0) {
            const char* texture = "";
            if (face < faceCount_ && faces_[size_t(face)].material != kStudioNoMaterial)
                texture = materials_[faces_[size_t(face)].material].mapping;
            Appendf(datText_, "TEXTURE %s\n", texture);
            datText_ += "QUADTEX ";
        }
        const StudioVertex& p = vertices_[size_t(v)];
        const StudioTexCoord& t = texCoords_[size_t(v)];
        Appendf(datText_, "%f %f %f", double(p.x), double(p.y), double(p.z));
        Appendf(datText_, " %f %f\n", double(t.u), double(t.v));
        if (v % 4 == 3) {
            datText_ += "\n";
            face += 2;
        }
    }
    return true;
}

void StudioObj::MoveToPivots()
{
    for (int i = 0; i < ObjectCount(); ++i) {
        const StudioObject& o = objects_[size_t(i)];
        for (int v = o.firstVertex; v < o.firstVertex + o.vertexCount; ++v) {
            vertices_[size_t(v)].x -= o.pivot.x;
            vertices_[size_t(v)].y -= o.pivot.y;
            vertices_[size_t(v)].z -= o.pivot.z;
        }
    }
}

void StudioObj::ApplyPositionTracks()
{
    Log("APPLYING POSITION TRACK DATA\n\n");
    for (int i = 0; i < ObjectCount(); ++i) {
        const StudioObject& o = objects_[size_t(i)];
        for (int k = 0; k < o.positionKeyCount && k < frameCount_; ++k) {
            const StudioKey& key = o.positionKeys[k];
            if (key.frame >= frameCount_) continue;
            std::vector<StudioVertex>& frame = frames_[size_t(key.frame)];
            for (int v = o.firstVertex; v < o.firstVertex + o.vertexCount; ++v) {
                frame[size_t(v)].x += key.value[0] - o.localCentre.x;
                frame[size_t(v)].y += key.value[1] - o.localCentre.y;
                frame[size_t(v)].z += key.value[2] - o.localCentre.z;
                Log("obj: %d  frame_num: %d  v: %d\n", i, key.frame, v);
            }
        }
    }
}

void StudioObj::ApplyRotationTracks()
{
    Log("\n\nAPPLYING ROTATION TRACK DATA\n\n");
    for (int i = 0; i < ObjectCount(); ++i) {
        const StudioObject& o = objects_[size_t(i)];
        const StudioVertex& c = o.localCentre;
        float angle = 0;
        for (int k = 1; k < o.rotationKeyCount && k < frameCount_; ++k) {
            const StudioKey& key = o.rotationKeys[k];
            if (key.frame >= frameCount_) continue;
            angle += key.value[0];
            const float ax = angle * key.value[1], ay = angle * key.value[2], az = angle * key.value[3];
            const float cx = std::cos(ax), sx = std::sin(ax);
            const float cy = std::cos(ay), sy = std::sin(ay);
            const float cz = std::cos(az), sz = std::sin(az);
            Log("local xyz: %f %f %f\n", double(c.x), double(c.y), double(c.z));
            std::vector<StudioVertex>& frame = frames_[size_t(key.frame)];
            for (int v = o.firstVertex; v < o.firstVertex + o.vertexCount; ++v) {
                StudioVertex& p = frame[size_t(v)];
                const float x = p.x - c.x, y = p.y - c.y, z = p.z - c.z;
                const float x1 = cz * x + sz * y, y1 = cz * y - sz * x;     // about Z
                const float y2 = cx * y1 + sx * z, z1 = cx * z - sx * y1;   // about X
                const float x2 = cy * x1 - sy * z1, z2 = cy * z1 + sy * x1; // about Y
                Log("i: %d  frame: %d  v: %d  angle: %f  ", i, key.frame, v, double(angle));
                Log("pxyz: %f %f %f  xyz: %f %f %f\n", double(p.x), double(p.y), double(p.z), double(x2 + c.x),
                    double(y2 + c.y), double(z2 + c.z));
                p = {x2 + c.x, y2 + c.y, z2 + c.z};
            }
        }
    }
}

void StudioObj::BuildLists()
{
    indices_.resize(size_t(faceCount_) * 3);
    indexTexCoords_.resize(indices_.size());
    for (int f = 0; f < faceCount_; ++f) {
        const StudioFace& face = faces_[size_t(f)];
        indices_[size_t(f) * 3] = face.a;
        indices_[size_t(f) * 3 + 1] = face.b;
        indices_[size_t(f) * 3 + 2] = face.c;
    }
    // Each index carries the texture coordinates of the vertex it names.
    for (size_t p = 0; p < indices_.size(); ++p) indexTexCoords_[p] = texCoords_[indices_[p]];
    for (int i = 0; i < ObjectCount(); ++i) {
        primitiveTypes_.push_back(kStudioTriangleFan);
        objectFaceCounts_.push_back(uint16_t(objects_[size_t(i)].faceCount));
    }
}

} // namespace zyk::formats
