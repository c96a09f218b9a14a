// Image files written by the tests: bitmaps and Targa files made from a paint function.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace testkit {

using Bytes = std::vector<uint8_t>;
using Colour = uint32_t; // 0xRRGGBB
using Paint = std::function<Colour(int x, int y)>;

inline void Put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v);
    Put16(b, v >> 16);
}

// A bitmap file: 24 bits a pixel, or 8 with the palette given (colour index = paint value).
inline Bytes Bmp(int w, int h, const Paint& paint, const std::vector<Colour>& palette = {})
{
    const int bits = palette.empty() ? 24 : 8;
    const int stride = (w * bits / 8 + 3) & ~3;
    const uint32_t offBits = 54 + 4 * uint32_t(palette.size());
    Bytes b = {'B', 'M'};
    Put32(b, offBits + stride * h);
    Put32(b, 0);
    Put32(b, offBits);
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h);
    Put16(b, 1);
    Put16(b, bits);
    for (int i = 0; i < 4; ++i) Put32(b, 0);
    Put32(b, uint32_t(palette.size()));
    Put32(b, 0); // colours used
    for (Colour c : palette) Put32(b, c);
    for (int y = h - 1; y >= 0; --y) {
        size_t start = b.size();
        for (int x = 0; x < w; ++x) {
            Colour c = paint(x, y);
            if (bits == 8)
                b.push_back(uint8_t(c));
            else {
                b.push_back(uint8_t(c));
                b.push_back(uint8_t(c >> 8));
                b.push_back(uint8_t(c >> 16));
            }
        }
        b.resize(start + stride, 0);
    }
    return b;
}

// A Targa header of image type 2 or 10; pixels follow as the caller writes them.
inline Bytes TgaHeader(int type, int w, int h, int depth, int descriptor, int colourMap = 0)
{
    Bytes b = {0, uint8_t(colourMap), uint8_t(type), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(b, w);
    Put16(b, h);
    b.push_back(uint8_t(depth));
    b.push_back(uint8_t(descriptor));
    return b;
}

inline void PutBgr(Bytes& b, Colour c)
{
    b.push_back(uint8_t(c));
    b.push_back(uint8_t(c >> 8));
    b.push_back(uint8_t(c >> 16));
}

// An uncompressed 24-bit Targa, bottom row first or (topFirst) top row first.
inline Bytes Tga24(int w, int h, const Paint& paint, bool topFirst = false)
{
    Bytes b = TgaHeader(2, w, h, 24, topFirst ? 0x20 : 0);
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) PutBgr(b, paint(x, topFirst ? r : h - 1 - r));
    return b;
}

} // namespace testkit
