// Decode throughput of the image readers in formats/, as a multiple of the time that
// memcpy takes for the same bytes: TGA (uncompressed 24 and 32 bits, run-length
// encoded) and the BMP header checks; on Windows also a BMP loaded the way the
// texture store loads it (checks, then the platform loader from the file).
// Built natively by the formats project and for Windows by the cross build.
#include "formats/bmp.h"
#include "formats/tga.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

using namespace zyk::formats;

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

const int kRounds = 7;

// Median seconds of one call of `work`, each round repeating it for about 20 ms.
double Time(const std::function<void()>& work)
{
    int reps = 1;
    for (;;) {
        const auto t0 = Clock::now();
        for (int i = 0; i < reps; ++i) work();
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (s > 0.02 || reps >= (1 << 24)) break;
        reps *= 2;
    }
    std::vector<double> rounds;
    for (int r = 0; r < kRounds; ++r) {
        const auto t0 = Clock::now();
        for (int i = 0; i < reps; ++i) work();
        rounds.push_back(std::chrono::duration<double>(Clock::now() - t0).count() / reps);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

volatile uint32_t g_sink;

double MemcpyTime(const Bytes& bytes)
{
    Bytes copy(bytes.size());
    return Time([&] {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        g_sink = g_sink + copy[copy.size() / 2];
    });
}

void Report(const char* what, const Bytes& bytes, double decode)
{
    const double copy = MemcpyTime(bytes);
    std::printf("%-40s %8zu bytes  decode %10.2f us  memcpy %8.2f us  ratio %7.2f\n", what, bytes.size(), decode * 1e6,
                copy * 1e6, decode / copy);
}

// Pixels of a test picture: smooth gradients with flat patches, as textures have.
uint32_t Pixel(uint32_t x, uint32_t y)
{
    if ((x / 32 + y / 32) % 3 == 0) return 0x40608000;
    return (x * 255 / 511) << 24 | (y * 255 / 511) << 16 | ((x ^ y) & 0xFF) << 8 | 0xFF;
}

Bytes TgaHeader(uint8_t type, uint32_t w, uint32_t h, uint8_t depth)
{
    Bytes b(18, 0);
    b[2] = type;
    b[12] = uint8_t(w);
    b[13] = uint8_t(w >> 8);
    b[14] = uint8_t(h);
    b[15] = uint8_t(h >> 8);
    b[16] = depth;
    b[17] = 0x20;
    return b;
}

void PutPixel(Bytes& b, uint32_t p, int bytesPerPixel)
{
    b.push_back(uint8_t(p >> 8));
    b.push_back(uint8_t(p >> 16));
    b.push_back(uint8_t(p >> 24));
    if (bytesPerPixel == 4) b.push_back(uint8_t(p));
}

Bytes Tga(uint32_t w, uint32_t h, uint8_t depth)
{
    Bytes b = TgaHeader(2, w, h, depth);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) PutPixel(b, Pixel(x, y), depth / 8);
    return b;
}

// Run-length encoded: runs over the flat patches, raw packets elsewhere.
Bytes TgaRle(uint32_t w, uint32_t h)
{
    Bytes b = TgaHeader(10, w, h, 24);
    for (uint32_t y = 0; y < h; ++y) {
        uint32_t x = 0;
        while (x < w) {
            uint32_t n = 1;
            while (x + n < w && n < 128 && Pixel(x + n, y) == Pixel(x, y)) ++n;
            if (n > 1) {
                b.push_back(uint8_t(0x80 | (n - 1)));
                PutPixel(b, Pixel(x, y), 3);
            } else {
                while (x + n < w && n < 128 && Pixel(x + n, y) != Pixel(x + n - 1, y)) ++n;
                b.push_back(uint8_t(n - 1));
                for (uint32_t i = 0; i < n; ++i) PutPixel(b, Pixel(x + i, y), 3);
            }
            x += n;
        }
    }
    return b;
}

void Set32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

Bytes Bmp(uint32_t w, uint32_t h)
{
    const uint32_t stride = (w * 3 + 3) & ~3u;
    Bytes b(54 + size_t(stride) * h, 0);
    b[0] = 'B';
    b[1] = 'M';
    Set32(b, 2, uint32_t(b.size()));
    Set32(b, 10, 54);
    Set32(b, 14, 40);
    Set32(b, 18, w);
    Set32(b, 22, h);
    b[26] = 1;
    b[28] = 24;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t p = Pixel(x, y);
            uint8_t* at = &b[54 + size_t(y) * stride + x * 3];
            at[0] = uint8_t(p >> 8);
            at[1] = uint8_t(p >> 16);
            at[2] = uint8_t(p >> 24);
        }
    return b;
}

void BenchTga(const char* what, const Bytes& file)
{
    TgaImage image;
    if (DecodeTga(file.data(), file.size(), image) != TgaResult::Ok) {
        std::printf("%s: not decoded\n", what);
        return;
    }
    Report(what, file, Time([&] {
               DecodeTga(file.data(), file.size(), image);
               g_sink = g_sink + image.pixels[0];
           }));
}

void BenchBmp(const char* what, const Bytes& file)
{
    BmpInfo info;
    if (CheckBmp(file.data(), file.size(), info) != BmpResult::Ok) {
        std::printf("%s: refused\n", what);
        return;
    }
    Report(what, file, Time([&] {
               CheckBmp(file.data(), file.size(), info);
               g_sink = g_sink + info.width;
           }));
#if defined(_WIN32)
    // As the texture store loads a bitmap file: read, check, then the platform loader.
    const char* path = "formats_bench.bmp";
    if (FILE* f = std::fopen(path, "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    const std::string loaded = std::string(what) + ", loaded";
    Report(loaded.c_str(), file, Time([&] {
               Bytes bytes(file.size());
               if (FILE* f = std::fopen(path, "rb")) {
                   bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
                   std::fclose(f);
               }
               if (CheckBmp(bytes.data(), bytes.size(), info) != BmpResult::Ok) return;
               HANDLE image = LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
               if (image) DeleteObject(image);
           }));
    std::remove(path);
#endif
}

} // namespace

int main()
{
    std::printf("Image decoding against memcpy of the same bytes (median of %d rounds)\n", kRounds);
    for (uint32_t side : {64u, 512u}) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        BenchTga(("TGA " + size + " 24-bit").c_str(), Tga(side, side, 24));
        BenchTga(("TGA " + size + " 32-bit").c_str(), Tga(side, side, 32));
        BenchTga(("TGA " + size + " 24-bit run-length").c_str(), TgaRle(side, side));
        BenchBmp(("BMP " + size + " 24-bit checks").c_str(), Bmp(side, side));
    }
    return 0;
}
