// The retained-mode template set of the DirectX file format, and the GUIDs of its
// templates, for registering with IDirectXFile::RegisterTemplates and for telling the
// types of the data objects that an enumeration hands out.
#pragma once
#include <windows.h>

// The templates in the format's text form ("xof 0302txt 0064" and the template blocks,
// Header among them), and its length in bytes (no terminating NUL counted).
extern const char XFileTemplates[];
extern const DWORD XFileTemplatesSize;

// Template GUIDs of the set (in a namespace of their own: the platform's GUID library
// defines some of the same names).
namespace xfiletid {
extern const GUID Header;
extern const GUID Vector;
extern const GUID Coords2d;
extern const GUID Quaternion;
extern const GUID Matrix4x4;
extern const GUID ColorRGBA;
extern const GUID ColorRGB;
extern const GUID IndexedColor;
extern const GUID Boolean;
extern const GUID Boolean2d;
extern const GUID MaterialWrap;
extern const GUID TextureFilename;
extern const GUID Material;
extern const GUID MeshFace;
extern const GUID MeshFaceWraps;
extern const GUID MeshTextureCoords;
extern const GUID MeshMaterialList;
extern const GUID MeshNormals;
extern const GUID MeshVertexColors;
extern const GUID Mesh;
extern const GUID FrameTransformMatrix;
extern const GUID Frame;
extern const GUID FloatKeys;
extern const GUID TimedFloatKeys;
extern const GUID AnimationKey;
extern const GUID AnimationOptions;
extern const GUID Animation;
extern const GUID AnimationSet;
extern const GUID Guid;
extern const GUID StringProperty;
extern const GUID PropertyBag;
extern const GUID ExternalVisual;
extern const GUID RightHanded;
} // namespace xfiletid
