#pragma once

#include <cstddef>
#include <cstdint>

// The UTF-16 text of binary property lists, turned into UTF-8 as libplist turns it, so that keys
// and strings read as they read there. Units are big-endian. A high surrogate followed by a low
// one makes one four-byte character; a high surrogate followed by another high one drops both; a
// lone low surrogate, and a high one at the end, are dropped; a high surrogate followed by any
// other unit stays waiting for its low one while the unit is written. Every other unit, NUL
// included, becomes its UTF-8 form.
namespace umbravista::property_list {

// Calls `write(byte)` for each UTF-8 byte of the `units` big-endian units at `text`; stops early
// when `write` answers false. Answers whether every byte was taken.
template <typename Write>
bool ForEachUtf8Byte(const unsigned char* text, std::size_t units, Write write) {
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
      pair |= unit & 0x3FF;
      if (!write(static_cast<unsigned char>(0xF0 + ((pair >> 18) & 0x7))) ||
          !write(static_cast<unsigned char>(0x80 + ((pair >> 12) & 0x3F))) ||
          !write(static_cast<unsigned char>(0x80 + ((pair >> 6) & 0x3F))) ||
          !write(static_cast<unsigned char>(0x80 + (pair & 0x3F)))) {
        return false;
      }
    } else if (unit >= 0x800) {
      if (!write(static_cast<unsigned char>(0xE0 + ((unit >> 12) & 0xF))) ||
          !write(static_cast<unsigned char>(0x80 + ((unit >> 6) & 0x3F))) ||
          !write(static_cast<unsigned char>(0x80 + (unit & 0x3F)))) {
        return false;
      }
    } else if (unit >= 0x80) {
      if (!write(static_cast<unsigned char>(0xC0 + ((unit >> 6) & 0x1F))) ||
          !write(static_cast<unsigned char>(0x80 + (unit & 0x3F)))) {
        return false;
      }
    } else if (!write(static_cast<unsigned char>(unit))) {
      return false;
    }
  }
  return true;
}

// The most UTF-8 bytes that `units` UTF-16 units can become.
constexpr std::size_t Utf8BytesAtMost(std::size_t units) {
  return 3 * units;
}

}  // namespace umbravista::property_list
