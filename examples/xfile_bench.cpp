// Cost of loading a .x model of a few MB through the engine (Parts.Load of a Parts object
// created by its ProgID) against the platform's DirectX file API parsing the same file alone (every data object enumerated,
// its data read), side by side in one process, alternating. Prints the times and their
// ratio. The file is written by the program into the temporary folder.
#include <windows.h>
#include <dxfile.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "bench.h"
#include "zyk3D.h"
#include "xfiletemplates.h"

namespace {

const int kRounds = 7;
// 20 frames, each holding one mesh of a 45 x 45 vertex grid (1936 quads) with normals,
// texture coordinates and a material list: about 4 MB of text. Wine's file API takes at
// most 500 top-level objects and about 200 children of one object, so the size comes
// from the meshes.
const int kMeshes = 20, kGrid = 45;

std::string ModelText()
{
    std::string s = "xof 0302txt 0064\n";
    char line[160];
    for (int m = 0; m < kMeshes; ++m) {
        snprintf(line, sizeof line,
                 "Frame Part%d {\n FrameTransformMatrix {\n  1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, "
                 "%d.0,0.0,0.0,1.0;;\n }\n Mesh Grid%d {\n  %d;\n",
                 m, m, m, kGrid * kGrid);
        s += line;
        for (int i = 0; i < kGrid * kGrid; ++i) {
            snprintf(line, sizeof line, "  %.6f;%.6f;%.6f;%s\n", (i % kGrid) / float(kGrid), (i / kGrid) / float(kGrid),
                     ((i * 7) % 13) / 130.0f, i + 1 < kGrid * kGrid ? "," : ";");
            s += line;
        }
        const int quads = (kGrid - 1) * (kGrid - 1);
        snprintf(line, sizeof line, "  %d;\n", quads);
        s += line;
        for (int q = 0; q < quads; ++q) {
            const int x = q % (kGrid - 1), y = q / (kGrid - 1), i = y * kGrid + x;
            snprintf(line, sizeof line, "  4;%d,%d,%d,%d;%s\n", i, i + 1, i + kGrid + 1, i + kGrid,
                     q + 1 < quads ? "," : ";");
            s += line;
        }
        s += "  MeshMaterialList {\n   2;\n";
        snprintf(line, sizeof line, "   %d;\n", quads);
        s += line;
        for (int q = 0; q < quads; ++q) s += (q % 3 ? "   0" : "   1") + std::string(q + 1 < quads ? ",\n" : ";;\n");
        s += "   Material { 1.0;0.5;0.25;1.0;; 8.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; }\n"
             "   Material { 0.2;0.4;0.6;1.0;; 8.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; }\n  }\n";
        snprintf(line, sizeof line, "  MeshNormals {\n   %d;\n", kGrid * kGrid);
        s += line;
        for (int i = 0; i < kGrid * kGrid; ++i)
            s += i + 1 < kGrid * kGrid ? "   0.0;0.0;1.0;,\n" : "   0.0;0.0;1.0;;\n";
        snprintf(line, sizeof line, "   %d;\n", quads);
        s += line;
        for (int q = 0; q < quads; ++q) {
            const int x = q % (kGrid - 1), y = q / (kGrid - 1), i = y * kGrid + x;
            snprintf(line, sizeof line, "   4;%d,%d,%d,%d;%s\n", i, i + 1, i + kGrid + 1, i + kGrid,
                     q + 1 < quads ? "," : ";");
            s += line;
        }
        s += "  }\n";
        snprintf(line, sizeof line, "  MeshTextureCoords {\n   %d;\n", kGrid * kGrid);
        s += line;
        for (int i = 0; i < kGrid * kGrid; ++i) {
            snprintf(line, sizeof line, "   %.6f;%.6f;%s\n", (i % kGrid) / float(kGrid), (i / kGrid) / float(kGrid),
                     i + 1 < kGrid * kGrid ? "," : ";");
            s += line;
        }
        s += "  }\n }\n}\n";
    }
    return s;
}

// The engine's load of the file, as a client makes it.
HRESULT EngineLoad(IParts* parts, BSTR path) { return parts->Load(path); }

// Reads an object's data and that of every data object below it.
void ReadAll(IDirectXFileData* object, int& objects)
{
    ++objects;
    DWORD size = 0;
    void* data = nullptr;
    object->GetData(nullptr, &size, &data);
    IDirectXFileObject* child = nullptr;
    while (SUCCEEDED(object->GetNextObject(&child)) && child) {
        IDirectXFileData* d = nullptr;
        if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&d))) && d) {
            ReadAll(d, objects);
            d->Release();
        }
        child->Release();
        child = nullptr;
    }
}

// The file API's parse alone: create, register the templates, enumerate, read.
HRESULT ApiParse(const char* path, int& objects)
{
    objects = 0;
    IDirectXFile* file = nullptr;
    HRESULT hr = DirectXFileCreate(&file);
    if (FAILED(hr)) return hr;
    hr = file->RegisterTemplates(const_cast<char*>(XFileTemplates), XFileTemplatesSize);
    IDirectXFileEnumObject* e = nullptr;
    if (SUCCEEDED(hr)) hr = file->CreateEnumObject(const_cast<char*>(path), DXFILELOAD_FROMFILE, &e);
    if (SUCCEEDED(hr)) {
        IDirectXFileData* d = nullptr;
        while (SUCCEEDED(hr = e->GetNextDataObject(&d)) && d) {
            ReadAll(d, objects);
            d->Release();
        }
        if (hr == DXFILEERR_NOMOREOBJECTS) hr = S_OK;
        e->Release();
    }
    file->Release();
    return hr;
}

} // namespace

int main()
{
    CoInitialize(nullptr);
    IParts* parts = nullptr;
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"zyk3D.Parts", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IParts, reinterpret_cast<void**>(&parts)))) {
        fprintf(stderr, "zyk3D.Parts is not registered\n");
        return 1;
    }
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "zyk_xfile_bench.x";
    const std::string text = ModelText();
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    } else {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    printf("model file: %.2f MB, %d meshes of %d vertices\n", text.size() / 1e6, kMeshes, kGrid * kGrid);

    // Output to the debugger is not part of either side: without a debugger attached
    // it costs only the call.
    std::vector<double> engine, api;
    int objects = 0;
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    BSTR file = SysAllocString(widePath);
    for (int round = 0; round < kRounds; ++round) {
        const double t0 = sample::Now();
        const HRESULT a = EngineLoad(parts, file);
        const double t1 = sample::Now();
        const HRESULT b = ApiParse(path.c_str(), objects);
        const double t2 = sample::Now();
        if (FAILED(a) || FAILED(b)) {
            fprintf(stderr, "load failed: engine %08lx, file API %08lx\n", static_cast<unsigned long>(a),
                    static_cast<unsigned long>(b));
            return 1;
        }
        engine.push_back(t1 - t0);
        api.push_back(t2 - t1);
    }
    SysFreeString(file);
    parts->Release();
    CoUninitialize();
    DeleteFileA(path.c_str());
    const double e = sample::Median(engine), p = sample::Median(api);
    printf("file API parse (%d objects): %.1f ms\n", objects, p * 1000.0);
    printf("Parts.Load:                  %.1f ms\n", e * 1000.0);
    printf("ratio (Parts.Load / file API): %.3f\n", e / p);
    return 0;
}
