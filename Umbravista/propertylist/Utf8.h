#pragma once

#include <cstddef>
#include <cstdint>

// Text as libplist makes it UTF-8: XML character references and binary UTF-16 both come through
// the one encoder here, so that the two forms spell a character alike.
namespace umbravista::property_list {

// The most bytes that one code point becomes.
inline constexpr std::size_t kLongestUtf8 = 4;

// Writes `codePoint` (at most 0x10FFFF) at `out` as UTF-8, a surrogate like any other code point,
// and answers the end of what it wrote.
constexpr char* WriteUtf8(std::uint32_t codePoint, char* out) {
  if (codePoint < 0x80) {
    *out++ = static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    *out++ = static_cast<char>(0xC0 | (codePoint >> 6));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (codePoint >> 12));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (codePoint >> 18));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return out;
}

// The code points of `units` big-endian UTF-16 units at `text`, as libplist reads them: a high
// surrogate followed by a low one makes one character; a high surrogate followed by another high
// one drops both; a lone low surrogate, and a high one at the end, are dropped; a high surrogate
// followed by any other unit stays waiting for its low one while that unit is taken. Every other
// unit, NUL included, is its own code point. Calls `take(codePoint)` for each, in order, and stops
// early when `take` answers false; answers whether every code point was taken.
template <typename Take>
bool ForEachUtf16CodePoint(const unsigned char* text, std::size_t units, Take take) {
  bool waitingForLow = false;
  std::uint32_t pair = 0;
  for (std::size_t i = 0; i < units; ++i) {
    const auto unit = static_cast<std::uint32_t>((text[2 * i] << 8) | text[2 * i + 1]);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      waitingForLow = !waitingForLow;
      pair = 0x10000 + ((unit & 0x3FF) << 10);
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      if (!waitingForLow) continue;
      waitingForLow = false;
      if (!take(pair | (unit & 0x3FF))) return false;
    } else if (!take(unit)) {
      return false;
    }
  }
  return true;
}

// The most UTF-8 bytes that `units` UTF-16 units become: three for a unit alone, four for a pair.
constexpr std::size_t Utf8BytesAtMost(std::size_t units) {
  return 3 * units;
}

}  // namespace umbravista::property_list
