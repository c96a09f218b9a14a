// The GUIDs of the DirectX file format's templates, and the template set registered with the file API.
#include "xfiletemplates.h"

// {3D82AB43-62DA-11cf-AB39-0020AF71E433} and its siblings: the format's own numbering.
#define XFILE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                                                    \
    const GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

namespace xfiletid {

XFILE_GUID(Header, 0x3d82ab43, 0x62da, 0x11cf, 0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33);
XFILE_GUID(Vector, 0x3d82ab5e, 0x62da, 0x11cf, 0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33);
XFILE_GUID(Coords2d, 0xf6f23f44, 0x7686, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(Quaternion, 0x10dd46a3, 0x775b, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(Matrix4x4, 0xf6f23f45, 0x7686, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(ColorRGBA, 0x35ff44e0, 0x6c7c, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(ColorRGB, 0xd3e16e81, 0x7835, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(IndexedColor, 0x1630b820, 0x7842, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(Boolean, 0x4885ae61, 0x78e8, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(Boolean2d, 0x4885ae63, 0x78e8, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(MaterialWrap, 0x4885ae60, 0x78e8, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(TextureFilename, 0xa42790e1, 0x7810, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(Material, 0x3d82ab4d, 0x62da, 0x11cf, 0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33);
XFILE_GUID(MeshFace, 0x3d82ab5f, 0x62da, 0x11cf, 0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33);
XFILE_GUID(MeshFaceWraps, 0x4885ae62, 0x78e8, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(MeshTextureCoords, 0xf6f23f40, 0x7686, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(MeshMaterialList, 0xf6f23f42, 0x7686, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(MeshNormals, 0xf6f23f43, 0x7686, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(MeshVertexColors, 0x1630b821, 0x7842, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(Mesh, 0x3d82ab44, 0x62da, 0x11cf, 0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33);
XFILE_GUID(FrameTransformMatrix, 0xf6f23f41, 0x7686, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(Frame, 0x3d82ab46, 0x62da, 0x11cf, 0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33);
XFILE_GUID(FloatKeys, 0x10dd46a9, 0x775b, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(TimedFloatKeys, 0xf406b180, 0x7b3b, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(AnimationKey, 0x10dd46a8, 0x775b, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(AnimationOptions, 0xe2bf56c0, 0x840f, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(Animation, 0x3d82ab4f, 0x62da, 0x11cf, 0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33);
XFILE_GUID(AnimationSet, 0x3d82ab50, 0x62da, 0x11cf, 0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33);
XFILE_GUID(Guid, 0xa42790e0, 0x7810, 0x11cf, 0x8f, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xa3);
XFILE_GUID(StringProperty, 0x7f0f21e0, 0xbfe1, 0x11d1, 0x82, 0xc0, 0x00, 0xa0, 0xc9, 0x69, 0x72, 0x71);
XFILE_GUID(PropertyBag, 0x7f0f21e1, 0xbfe1, 0x11d1, 0x82, 0xc0, 0x00, 0xa0, 0xc9, 0x69, 0x72, 0x71);
XFILE_GUID(ExternalVisual, 0x98116aa0, 0xbdba, 0x11d1, 0x82, 0xc0, 0x00, 0xa0, 0xc9, 0x69, 0x72, 0x71);
XFILE_GUID(RightHanded, 0x7f5d5ea0, 0xd53a, 0x11d1, 0x82, 0xc0, 0x00, 0xa0, 0xc9, 0x69, 0x72, 0x71);

} // namespace xfiletid

const char XFileTemplates[] =
    "xof 0302txt 0064\n"
    "template Header {\n <3D82AB43-62DA-11cf-AB39-0020AF71E433>\n"
    " WORD major;\n WORD minor;\n DWORD flags;\n}\n"
    "template Vector {\n <3D82AB5E-62DA-11cf-AB39-0020AF71E433>\n"
    " FLOAT x;\n FLOAT y;\n FLOAT z;\n}\n"
    "template Coords2d {\n <F6F23F44-7686-11cf-8F52-0040333594A3>\n"
    " FLOAT u;\n FLOAT v;\n}\n"
    "template Quaternion {\n <10DD46A3-775B-11cf-8F52-0040333594A3>\n"
    " FLOAT s;\n Vector v;\n}\n"
    "template Matrix4x4 {\n <F6F23F45-7686-11cf-8F52-0040333594A3>\n"
    " array FLOAT matrix[16];\n}\n"
    "template ColorRGBA {\n <35FF44E0-6C7C-11cf-8F52-0040333594A3>\n"
    " FLOAT red;\n FLOAT green;\n FLOAT blue;\n FLOAT alpha;\n}\n"
    "template ColorRGB {\n <D3E16E81-7835-11cf-8F52-0040333594A3>\n"
    " FLOAT red;\n FLOAT green;\n FLOAT blue;\n}\n"
    "template IndexedColor {\n <1630B820-7842-11cf-8F52-0040333594A3>\n"
    " DWORD index;\n ColorRGBA indexColor;\n}\n"
    "template Boolean {\n <4885AE61-78E8-11cf-8F52-0040333594A3>\n"
    " WORD truefalse;\n}\n"
    "template Boolean2d {\n <4885AE63-78E8-11cf-8F52-0040333594A3>\n"
    " Boolean u;\n Boolean v;\n}\n"
    "template MaterialWrap {\n <4885AE60-78E8-11cf-8F52-0040333594A3>\n"
    " Boolean u;\n Boolean v;\n}\n"
    "template TextureFilename {\n <A42790E1-7810-11cf-8F52-0040333594A3>\n"
    " STRING filename;\n}\n"
    "template Material {\n <3D82AB4D-62DA-11cf-AB39-0020AF71E433>\n"
    " ColorRGBA faceColor;\n FLOAT power;\n ColorRGB specularColor;\n ColorRGB emissiveColor;\n"
    " [...]\n}\n"
    "template MeshFace {\n <3D82AB5F-62DA-11cf-AB39-0020AF71E433>\n"
    " DWORD nFaceVertexIndices;\n array DWORD faceVertexIndices[nFaceVertexIndices];\n}\n"
    "template MeshFaceWraps {\n <4885AE62-78E8-11cf-8F52-0040333594A3>\n"
    " DWORD nFaceWrapValues;\n array Boolean2d faceWrapValues[nFaceWrapValues];\n}\n"
    "template MeshTextureCoords {\n <F6F23F40-7686-11cf-8F52-0040333594A3>\n"
    " DWORD nTextureCoords;\n array Coords2d textureCoords[nTextureCoords];\n}\n"
    "template MeshMaterialList {\n <F6F23F42-7686-11cf-8F52-0040333594A3>\n"
    " DWORD nMaterials;\n DWORD nFaceIndexes;\n array DWORD faceIndexes[nFaceIndexes];\n"
    " [Material]\n}\n"
    "template MeshNormals {\n <F6F23F43-7686-11cf-8F52-0040333594A3>\n"
    " DWORD nNormals;\n array Vector normals[nNormals];\n"
    " DWORD nFaceNormals;\n array MeshFace faceNormals[nFaceNormals];\n}\n"
    "template MeshVertexColors {\n <1630B821-7842-11cf-8F52-0040333594A3>\n"
    " DWORD nVertexColors;\n array IndexedColor vertexColors[nVertexColors];\n}\n"
    "template Mesh {\n <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n"
    " DWORD nVertices;\n array Vector vertices[nVertices];\n"
    " DWORD nFaces;\n array MeshFace faces[nFaces];\n"
    " [...]\n}\n"
    "template FrameTransformMatrix {\n <F6F23F41-7686-11cf-8F52-0040333594A3>\n"
    " Matrix4x4 frameMatrix;\n}\n"
    "template Frame {\n <3D82AB46-62DA-11cf-AB39-0020AF71E433>\n"
    " [...]\n}\n"
    "template FloatKeys {\n <10DD46A9-775B-11cf-8F52-0040333594A3>\n"
    " DWORD nValues;\n array FLOAT values[nValues];\n}\n"
    "template TimedFloatKeys {\n <F406B180-7B3B-11cf-8F52-0040333594A3>\n"
    " DWORD time;\n FloatKeys tfkeys;\n}\n"
    "template AnimationKey {\n <10DD46A8-775B-11cf-8F52-0040333594A3>\n"
    " DWORD keyType;\n DWORD nKeys;\n array TimedFloatKeys keys[nKeys];\n}\n"
    "template AnimationOptions {\n <E2BF56C0-840F-11cf-8F52-0040333594A3>\n"
    " DWORD openclosed;\n DWORD positionquality;\n}\n"
    "template Animation {\n <3D82AB4F-62DA-11cf-AB39-0020AF71E433>\n"
    " [...]\n}\n"
    "template AnimationSet {\n <3D82AB50-62DA-11cf-AB39-0020AF71E433>\n"
    " [Animation]\n}\n"
    "template Guid {\n <A42790E0-7810-11cf-8F52-0040333594A3>\n"
    " DWORD data1;\n WORD data2;\n WORD data3;\n array UCHAR data4[8];\n}\n"
    "template StringProperty {\n <7F0F21E0-BFE1-11d1-82C0-00A0C9697271>\n"
    " STRING key;\n STRING value;\n}\n"
    "template PropertyBag {\n <7F0F21E1-BFE1-11d1-82C0-00A0C9697271>\n"
    " [StringProperty]\n}\n"
    "template ExternalVisual {\n <98116AA0-BDBA-11d1-82C0-00A0C9697271>\n"
    " Guid guidExternalVisual;\n [...]\n}\n"
    "template RightHanded {\n <7F5D5EA0-D53A-11d1-82C0-00A0C9697271>\n"
    " DWORD bRightHanded;\n}\n";

const DWORD XFileTemplatesSize = sizeof XFileTemplates - 1;
