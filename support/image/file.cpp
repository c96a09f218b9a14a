// Image files read whole, and checked bitmap files (see file.h).
#include "file.h"

#include "formats/bmp.h"

#include <cstdio>

namespace zyk::image {

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes, size_t maxBytes)
{
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    struct Closer {
        FILE* f;
        ~Closer() { fclose(f); }
    } closer{f};
    if (fseek(f, 0, SEEK_END) != 0) return false;
    const long size = ftell(f);
    if (size < 0 || static_cast<size_t>(size) > maxBytes || fseek(f, 0, SEEK_SET) != 0) return false;
    bytes.resize(static_cast<size_t>(size));
    return bytes.empty() || fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

HBITMAP LoadCheckedBitmap(const char* path, size_t maxBytes)
{
    if (!path || !*path) return nullptr;
    {
        // The bytes are let go before the platform's loader reads the file itself.
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(path, bytes, maxBytes)) return nullptr;
        formats::BmpInfo info;
        if (formats::CheckBmp(bytes.data(), bytes.size(), info) != formats::BmpResult::Ok) return nullptr;
    }
    return static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

} // namespace zyk::image
