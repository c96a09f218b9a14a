// Image files read whole: the bytes of a file, and a bitmap file handed to the platform's
// loader only once its headers have been checked against the bytes present.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zyk::image {

// The bytes of a file: false when it cannot be opened or read in full, or is longer than
// maxBytes. Bytes that cannot be held throw std::bad_alloc (the file is closed).
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes, size_t maxBytes = SIZE_MAX);

// A DIB section of a .bmp file whose headers agree with its size; nullptr for a null or
// empty path, a missing, unreadable, malformed or truncated file (the platform's loader
// would read past its end) or one longer than maxBytes. Throws as ReadWholeFile does.
HBITMAP LoadCheckedBitmap(const char* path, size_t maxBytes = SIZE_MAX);

} // namespace zyk::image
