// Files read and written whole, and checked bitmap files (see file.h).
#include "file.h"

#include "formats/bmp.h"

#include <cstdio>
#include <io.h>
#include <string>

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

namespace {

// The folder part of path ("." when it has none), for a new file in the same folder.
std::string FolderOf(const char* path)
{
    const std::string p(path);
    const size_t slash = p.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? p.substr(0, 1) : p.substr(0, slash);
}

} // namespace

bool WriteWholeFile(const char* path, const char* mode, const std::function<bool(FILE*)>& write)
{
    if (!path || !*path) return false;
    char temp[MAX_PATH];
    // Made in the file's own folder, so that putting it in place is a rename on one volume.
    if (!GetTempFileNameA(FolderOf(path).c_str(), "zyk", 0, temp)) return false;
    FILE* f = fopen(temp, mode);
    if (!f) {
        DeleteFileA(temp);
        return false;
    }
    bool whole = false;
    try {
        whole = write(f);
    } catch (...) {
        fclose(f);
        DeleteFileA(temp);
        throw;
    }
    // Flushed first: the platform's fclose does not always report a write that fails.
    whole = fflush(f) == 0 && !ferror(f) && whole;
    if (whole) whole = FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) != 0;
    whole = fclose(f) == 0 && whole;
    if (whole) whole = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!whole) DeleteFileA(temp);
    return whole;
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
