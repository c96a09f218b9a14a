// The lines of a world file: one value a line, read from a C stream.
//
// Platform-neutral; the streams come from untrusted files, so a line is bounded and every
// conversion is defined for any text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zyk::formats {

// The longest line kept; the rest of a longer line is skipped.
inline constexpr size_t kWorldLineMax = 65535;

// Reads the next line: the characters up to the newline, without it and without a
// carriage return before it. False at the end of the stream (line is then empty).
bool ReadWorldLine(std::FILE* f, std::string& line);

// The C library's text-to-float reading: leading blanks skipped, reading stops at the first
// character that does not fit, 0 when nothing does. Values beyond a float's range give
// the infinity of their sign.
float WorldFloat(const std::string& line);

// Passes over a UTF-8 byte-order mark at the stream's place (what a text editor may put
// in front of a file); the stream stays where it was when none is there. True when one was.
bool SkipWorldMark(std::FILE* f);

// A count line as a world file writes it: decimal digits (blanks around them allowed), no
// sign, at most 2147483647. False, and count 0, for any other text.
bool WorldCount(const std::string& line, int32_t& count);

// An unsigned decimal with 32-bit wrap-around ("4294967295" is -1, "-5" is -5); leading
// blanks skipped, 0 when no digit follows.
int32_t WorldInteger(const std::string& line);

} // namespace zyk::formats
