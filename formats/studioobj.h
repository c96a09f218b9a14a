// Reader of 3DS scene files (the 3DS chunk format).
//
// Walks the file's chunk tree, logs every chunk into "3dslogfile.txt", keeps the
// meshes (names, vertices, faces, texture coordinates, materials) and the keyframe
// tracks in fixed tables, builds per-frame copies of the vertices with the position
// and rotation tracks applied, and flat index and texture-coordinate lists for drawing.
// Each read appends a one-line summary to "rrlogfile.txt" and composes a ".dat" quad
// listing named after the model.
//
// The file is untrusted: every count, index, name and chunk length is checked against
// the tables and against the chunk that holds it. Nothing is read outside the bytes
// given and nothing is written outside the tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zyk::formats {

inline constexpr int kStudioMaxObjects = 500;   // a 501st object fails the read
inline constexpr int kStudioMaxVertices = 5000; // a total of this many fails the read
inline constexpr int kStudioMaxFaces = 3000;    // likewise for faces
inline constexpr int kStudioMaxMaterials = 100;
inline constexpr int kStudioMaxFrames = 50;           // frame copies built at most
inline constexpr int kStudioMaxKeys = 50;             // keys kept per track of one object
inline constexpr int kStudioMaxDepth = 16;            // chunk nesting followed at most
inline constexpr size_t kStudioNameSize = 256;        // object and node names, with the zero
inline constexpr size_t kStudioMaterialNameSize = 70; // material and mapping names, each
inline constexpr size_t kStudioMaxFileSize = 64u << 20;
inline constexpr uint16_t kStudioNoMaterial = 0xFFFF;
inline constexpr uint16_t kStudioTriangleFan = 6; // primitive type recorded per object

struct StudioVertex {
    float x = 0, y = 0, z = 0;
};

struct StudioTexCoord {
    float u = 0, v = 0;
};

// Vertex indices are into the whole vertex table; material is an index into the
// material table or kStudioNoMaterial.
struct StudioFace {
    uint16_t a = 0, b = 0, c = 0, flags = 0, material = kStudioNoMaterial, object = 0;
};

// One track key: a position (x, y, z), a rotation (angle in radians, axis x, y, z)
// or a scale (x, y, z).
struct StudioKey {
    int frame = 0;
    uint32_t flags = 0;
    float value[4] = {};
};

struct StudioObject {
    char name[kStudioNameSize] = {};
    int firstVertex = 0, vertexCount = 0;
    int firstFace = 0, faceCount = 0;
    StudioVertex pivot;       // from the keyframe node of the same number
    StudioVertex localCentre; // from the mesh's local axes
    StudioVertex localAxes[3];
    char material[kStudioMaterialNameSize] = {}; // last material named for its faces
    StudioKey positionKeys[kStudioMaxKeys];
    StudioKey rotationKeys[kStudioMaxKeys];
    StudioKey scaleKeys[kStudioMaxKeys];
    int positionKeyCount = 0, rotationKeyCount = 0, scaleKeyCount = 0;
};

struct StudioMaterial { // 140 bytes
    char name[kStudioMaterialNameSize] = {};
    char mapping[kStudioMaterialNameSize] = {}; // texture file name
};

struct StudioSummary {
    int objects = 0, faces = 0, vertices = 0, frames = 0;
    float scale[2] = {};
    int format = 0;
    int ready = 0;
};

class StudioObj {
public:
    StudioObj();
    virtual ~StudioObj();

    StudioObj(const StudioObj&) = delete;
    StudioObj& operator=(const StudioObj&) = delete;

    // Reads the model file `modelFile`. The log "3dslogfile.txt" is written, the
    // summary "rrlogfile.txt" appended to and the ".dat" listing written in
    // `logFolder` (empty: the current folder). True when the whole file was read and
    // processed; false when a file cannot be opened, a table limit is reached or the
    // model's file name has no extension.
    bool Read(const std::string& modelFile, const std::string& logFolder = {});

    // The same from bytes in memory: `modelName` names the model in the log and
    // gives the ".dat" name; the log lines go to `log` and the summary line to
    // `summary` (either may be null). The ".dat" text is kept in DatText().
    bool Read(const uint8_t* data, size_t size, const std::string& modelName, std::FILE* log, std::FILE* summary);

    // What the last read found. Counts are those read, also after a failed read.
    int ObjectCount() const { return objectIndex_ + 1; }
    int KeyframeObjectCount() const { return keyframeIndex_ + 1; }
    int VertexCount() const { return vertexCount_; }
    int FaceCount() const { return faceCount_; }
    int MaterialCount() const { return materialCount_; }
    int FrameCount() const { return frameCount_; }
    int MemoryKB() const { return memoryKB_; }

    const StudioObject& Object(int i) const { return objects_[size_t(i)]; }
    const StudioVertex& Vertex(int i) const { return vertices_[size_t(i)]; }
    const StudioTexCoord& TexCoord(int i) const { return texCoords_[size_t(i)]; }
    const StudioFace& Face(int i) const { return faces_[size_t(i)]; }
    const StudioMaterial& Material(int i) const { return materials_[size_t(i)]; }

    // Frame copies of the vertex table, FrameCount() of them.
    const std::vector<std::vector<StudioVertex>>& Frames() const { return frames_; }
    // Three vertex indices per face, and the texture coordinates of each.
    const std::vector<uint16_t>& Indices() const { return indices_; }
    const std::vector<StudioTexCoord>& IndexTexCoords() const { return indexTexCoords_; }
    // Per object: primitive type and face count.
    const std::vector<uint16_t>& PrimitiveTypes() const { return primitiveTypes_; }
    const std::vector<uint16_t>& ObjectFaceCounts() const { return objectFaceCounts_; }
    const StudioSummary& Summary() const { return summary_; }

    const std::string& DatName() const { return datName_; }
    const std::string& DatText() const { return datText_; }

private:
    struct Span;

    void Reset();
    void Log(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    bool Walk(const uint8_t* data, size_t begin, size_t end, int depth);
    bool Chunk(Span& s, uint16_t id, int depth);
    bool Container(Span& s, const char* name, int depth);
    bool NamedObject(Span& s, int depth);
    bool VertexList(Span& s);
    bool FaceList(Span& s, int depth);
    void FaceMaterial(Span& s);
    void MappingCoords(Span& s);
    void Smoothing(Span& s);
    void LocalAxes(Span& s);
    void MaterialName(Span& s);
    void MappingName(Span& s);
    void KeyframeRange(Span& s);
    void NodeHeader(Span& s);
    void Pivot(Span& s);
    void Track(Span& s, uint16_t id);
    StudioObject* MeshObject(const char* chunkName);
    StudioObject* KeyframeObject(const char* chunkName);

    bool WriteDat(const std::string& modelName);
    void MoveToPivots();
    void ApplyPositionTracks();
    void ApplyRotationTracks();
    void BuildLists();

    std::FILE* log_ = nullptr;
    bool stop_ = false;

    std::vector<StudioObject> objects_;
    std::vector<StudioVertex> vertices_;
    std::vector<StudioTexCoord> texCoords_;
    std::vector<StudioFace> faces_;
    std::vector<StudioMaterial> materials_;
    int objectIndex_ = -1, keyframeIndex_ = -1;
    int vertexCount_ = 0, faceCount_ = 0, materialCount_ = 0, currentMaterial_ = -1;
    int frameCount_ = 1;
    int memoryKB_ = 0;
    std::vector<std::vector<StudioVertex>> frames_;
    std::vector<uint16_t> indices_;
    std::vector<StudioTexCoord> indexTexCoords_;
    std::vector<uint16_t> primitiveTypes_, objectFaceCounts_;
    StudioSummary summary_;
    std::string datName_, datText_;
};

} // namespace zyk::formats
