// CGfxObjects: Add, which loads a bitmap object from a file under its file name, and the objects' DirectDraw.
#include "objects.h"
#include "bitmap.h"
#include "com/create.h"
#include "com/text.h"

using zyk::com::Ptr;

namespace {

// The longest bitmap file an object is loaded from.
constexpr size_t kBitmapFileMax = 256u << 20;

} // namespace

CGfxObjects::~CGfxObjects() { items_.Clear(); }

HRESULT CGfxObjects::put_DD(long dd)
{
    return Member([&] {
        dd_.Hold(dd);
        items_.ForEach([&](const std::wstring&, IObject* object) { object->put_DD(dd_.Handle()); });
    });
}

HRESULT CGfxObjects::put_BackSurface(long surface)
{
    return Member([&] {
        back_.Hold(surface);
        items_.ForEach([&](const std::wstring&, IObject* object) { object->put_BackSurface(back_.Handle()); });
    });
}

HRESULT CGfxObjects::get_Add(BSTR filename, long width, long height, long videoMemory, IDispatch** out)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = nullptr;
        void* made = nullptr;
        HRESULT hr = CoCreateInstance(CLSID_Object, nullptr, CLSCTX_INPROC_SERVER, IID_IObject, &made);
        if (FAILED(hr) || !made) throw failure(FAILED(hr) ? hr : E_FAIL, "Object Not Registered.");
        Ptr<IObject> object = Ptr<IObject>::Adopt(static_cast<IObject*>(made));
        object->put_DD(dd_.Handle());
        object->put_BackSurface(back_.Handle());

        HBITMAP bitmap = nullptr;
        BITMAP bm{};
        if (filename && *filename) {
            const std::string path = zyk::com::ToAnsi(filename);
            if (path.size() > zyk::com::kAnsiPathMax) throw failure(E_FAIL, "Failed to Load Bitmap.");
            bitmap = LoadBitmapFile(path.c_str(), kBitmapFileMax);
            if (!bitmap) throw failure(E_FAIL, "Failed to Load Bitmap.");
            GetObjectA(bitmap, sizeof bm, &bm);
            hr = object->Create(bm.bmWidth, bm.bmHeight, videoMemory);
        } else {
            hr = object->Create(width, height, videoMemory);
        }
        long surface = 0;
        if (FAILED(hr) || FAILED(object->get_Surface(&surface)) || !surface) {
            if (bitmap) DeleteObject(bitmap);
            throw failure(E_FAIL, "Surface Not Created.");
        }
        if (bitmap) {
            DDCopyBitmap(zyk::com::FromHandle<IDirectDrawSurface7>(surface), bitmap, 0, 0, bm.bmWidth, bm.bmHeight);
            if (!DeleteObject(bitmap)) throw failure(E_FAIL, "Failed to Remove Loaded Bitmap from Memory.");
        }
        object->put_ScreenWidth(screenWidth_);
        object->put_ScreenHeight(screenHeight_);
        items_.Put(filename, object.Get());
        zyk::com::HandOut(object, out, "Object Not Registered.");
    });
}
