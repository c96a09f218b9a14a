// World-file save and load of 1, 100 and 10,000 objects: Device3D.Save of a device
// holding that many objects, and Device3D.Load of the file into a second device. Prints
// each time, the time per object, which should stay about the same as the count grows,
// and how many times a save the load costs; then what a client's Objects.Add of an object
// costs against an object of the load, for the largest count.
//   world_bench [count ...]   (default 1 100 10000)
#include "bench.h"
#include "engine.h"
#include "screen.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

IDevice3D* NewDevice()
{
    CLSID clsid;
    IDevice3D* d = nullptr;
    if (FAILED(CLSIDFromProgID(L"zyk3D.Device3D", &clsid))) return nullptr;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice3D, reinterpret_cast<void**>(&d));
    return d;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::max(1, atoi(argv[i])));
    if (counts.empty()) counts = {1, 100, 10000};
    CoInitialize(nullptr);
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    const std::string file = std::string(path) + "zyk_world_bench.txt";
    BSTR name = sample::AnsiBstr(file.c_str());
    double addRatio = 0, addPerObject = 0;
    for (int count : counts) {
        IDevice3D* saving = NewDevice();
        IDevice3D* loading = NewDevice();
        if (!saving || !loading) {
            fprintf(stderr, "zyk3D.Device3D is not registered\n");
            return 1;
        }
        IDispatch* d = nullptr;
        saving->get_Objects(&d);
        IObjects* objects = sample::As<IObjects>(d, IID_IObjects);
        const double added0 = sample::Now();
        for (int i = 0; i < count; ++i) {
            wchar_t key[32];
            swprintf(key, 32, L"object%05d", i);
            BSTR k = SysAllocString(key);
            IDispatch* o = nullptr;
            if (SUCCEEDED(objects->get_Add(k, VARIANT_TRUE, &o)) && o) {
                if (IObject* object = sample::As<IObject>(o, IID_IObject)) {
                    object->Move(static_cast<float>(i), 1.0f, 2.0f);
                    object->Release();
                }
            }
            SysFreeString(k);
        }
        objects->Release();
        const double added = sample::Now() - added0;
        std::vector<double> saves, loads;
        for (int round = 0; round < 3; ++round) {
            const double t0 = sample::Now();
            saving->Save(name);
            const double t1 = sample::Now();
            loading->Load(name);
            const double t2 = sample::Now();
            saves.push_back(t1 - t0);
            loads.push_back(t2 - t1);
        }
        long loaded = 0;
        loading->get_Objects(&d);
        if (IObjects* back = sample::As<IObjects>(d, IID_IObjects)) {
            back->get_Count(&loaded);
            back->Release();
        }
        const double s = sample::Median(saves), l = sample::Median(loads);
        printf("%5d objects: save %8.2f ms (%.1f us an object), load %8.2f ms (%.1f us an object), %ld read back, "
               "load / save %.1f\n",
               count, s * 1e3, s * 1e6 / count, l * 1e3, l * 1e6 / count, loaded, l / s);
        addRatio = added / l;
        addPerObject = added / count;
        loading->Release();
        saving->Release();
    }
    // The Adds include each object's Move, as the load's objects include theirs.
    printf("Objects.Add: %.1f us an object\n", addPerObject * 1e6);
    printf("ratio (Objects.Add against an object of the world load): %.2f\n", addRatio);
    SysFreeString(name);
    DeleteFileA(file.c_str());
    CoUninitialize();
    return 0;
}
