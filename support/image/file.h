// Files read and written whole: the bytes of a file, a file that replaces another only once
// it is written in full, and a bitmap file handed to the platform's loader only once its
// headers have been checked against the bytes present.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace zyk::image {

// The bytes of a file: false when it cannot be opened or read in full, or is longer than
// maxBytes. Bytes that cannot be held throw std::bad_alloc (the file is closed).
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes, size_t maxBytes = SIZE_MAX);

// Writes path whole or not at all: write fills a new file beside it (opened with mode, "w"
// or "wb") and answers whether it wrote everything; only once that file is written, flushed
// to the disk and closed does it take path's place. Anything short of that (a file that
// cannot be made, a write that fails, a full disk) leaves path as it was, byte for byte,
// and no new file behind: false. An exception from write is let through the same way.
bool WriteWholeFile(const char* path, const char* mode, const std::function<bool(FILE*)>& write);

// A DIB section of a .bmp file whose headers agree with its size; nullptr for a null or
// empty path, a missing, unreadable, malformed or truncated file (the platform's loader
// would read past its end) or one longer than maxBytes. Throws as ReadWholeFile does.
HBITMAP LoadCheckedBitmap(const char* path, size_t maxBytes = SIZE_MAX);

} // namespace zyk::image
