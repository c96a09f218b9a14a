// Seed files for the fuzzers: when the environment variable ZYK_FUZZ_SEEDS names a
// folder, every buffer that the tests hand to a reader is also written there, as
// <folder>/<reader>/<hash of the bytes>. tools/fuzz runs the tests so to make each
// fuzzer's starting corpus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zyk::formats {

inline void WriteSeed(const char* reader, const uint8_t* data, size_t size)
{
    const char* folder = std::getenv("ZYK_FUZZ_SEEDS");
    if (!folder || !*folder) return;
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
    const std::filesystem::path dir = std::filesystem::path(folder) / reader;
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    if (std::FILE* f = std::fopen((dir / name).string().c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

} // namespace zyk::formats
