#include "errormaps.h"
#include "com/failure.h"

namespace {

constexpr HRESULT H(unsigned long v) { return static_cast<HRESULT>(v); }

// D3DX context creation.
const CodeText kContextCreation[] = {
    {H(0x8007000E), 101}, {H(0x80070057), 102}, {H(0x80004001), 105}, {H(0x80004005), 109}, {H(0x8876000A), 165},
    {H(0x8876005F), 114}, {H(0x88760064), 145}, {H(0x88760082), 103}, {H(0x88760091), 144}, {H(0x887600B4), 117},
    {H(0x887600D4), 146}, {H(0x887600E1), 121}, {H(0x887600E6), 122}, {H(0x88760104), 150}, {H(0x88760140), 163},
    {H(0x88760154), 128}, {H(0x8876017C), 153}, {H(0x8876019A), 164}, {H(0x887601C2), 107}, {H(0x8876021C), 106},
    {H(0x88760233), 147}, {H(0x88760234), 154}, {H(0x88760235), 148}, {H(0x88760238), 160}, {H(0x8876023C), 161},
    {H(0x8876023D), 162}, {H(0x8876024E), 105}, {H(0x8876024F), 149}, {H(0x88760250), 108}, {H(0xC8770BB8), 101},
    {H(0xC8770BB9), 112}, {H(0xC8770BBF), 159}, {H(0xC8770BC2), 159}, {H(0xC8770BC4), 102}, {H(0xC8770BC5), 158},
    {H(0xC8770BC7), 141},
};

// Frame presentation.
const CodeText kFramePresentation[] = {
    {H(0x8007000E), 101}, {H(0x80070057), 102}, {H(0x80004001), 105}, {H(0x80004005), 109}, {H(0x8876005F), 114},
    {H(0x8876006E), 113}, {H(0x88760082), 103}, {H(0x88760096), 116}, {H(0x887600B4), 117}, {H(0x887600CD), 119},
    {H(0x887600E1), 121}, {H(0x887600E6), 122}, {H(0x887600FA), 124}, {H(0x88760118), 120}, {H(0x88760122), 126},
    {H(0x88760136), 127}, {H(0x88760154), 128}, {H(0x887601AE), 129}, {H(0x887601C2), 107}, {H(0x8876021C), 106},
    {H(0x8876023F), 118}, {H(0x88760240), 120}, {H(0x88760246), 123}, {H(0x8876024B), 130}, {H(0x8876024C), 115},
    {H(0x88760250), 108}, {H(0x8876026C), 110},
};

} // namespace

UINT LookupText(const CodeText* table, size_t count, HRESULT hr)
{
    for (size_t i = 0; i < count; ++i)
        if (table[i].code == hr) return table[i].id;
    return IDS_UNKNOWNERROR;
}

void ThrowContextCreationFailure(HRESULT hr)
{
    if (hr == H(0xC8770BD9)) throw failure(hr, "Colour Depth Too Low!");
    throw failure(hr, LookupText(kContextCreation, hr));
}

void ThrowFramePresentationFailure(HRESULT hr) { throw failure(hr, LookupText(kFramePresentation, hr)); }
