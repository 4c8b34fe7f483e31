#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "propertylist/PropertyListReader.h"

namespace umbravista {

// The truth of a stored property-list value, as the device's Foundation answers boolValue for it,
// so that a switch written by any tool reads here as it reads in the preferences pane.
//
// - A boolean answers itself.
// - An integer answers whether it is non-zero (negative integers, kept as their two's complement
//   bits, are non-zero).
// - A real answers whether it is non-zero; NaN is non-zero and answers true; -0.0 answers false.
// - A string answers StringTruthValue of its bytes.
// - Any other kind (data, date, array, dictionary, UID) has no boolValue on the device and answers
//   nullopt: what such a value means is for the caller to decide.
[[nodiscard]] std::optional<bool> TruthValue(const SettingsValue& value);

// The truth of a string as NSString's boolValue gives it: skip leading white space (space, tab,
// the line and paragraph breaks, and the other Unicode space characters, read as UTF-8), then one
// optional sign '+' or '-', then any number of '0' characters; the answer is true exactly when the
// character reached next is 'Y', 'y', 'T', 't' or a digit 1 to 9. Nothing after that character
// matters. So "YES", "yes", "true", "1", "+01" and "  7" answer true; "NO", "0", "", "false",
// "-0", "00" and "- 1" answer false. A NUL byte is no white space and no digit: "\0" and "0\0"
// answer false.
[[nodiscard]] bool StringTruthValue(std::string_view text);

namespace truth_value {

struct CodePointRange {
  std::uint32_t first;
  std::uint32_t last;
};

// The white space skipped before the number: Unicode's space separators plus the tab and line
// breaks, which is what Foundation's scanner passes over at the start of a string.
inline constexpr CodePointRange kWhiteSpace[] = {
    {0x09, 0x0D},     {0x20, 0x20},     {0x85, 0x85},     {0xA0, 0xA0},     {0x1680, 0x1680},
    {0x2000, 0x200A}, {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000},
};

inline constexpr std::uint32_t kLastWhiteSpace = 0x3000;

// The table above as one bit per code point, so that a string of a million spaces costs a step
// per space.
inline constexpr auto kWhiteSpaceBits = [] {
  std::array<std::uint64_t, kLastWhiteSpace / 64 + 1> bits{};
  for (const CodePointRange& range : kWhiteSpace) {
    for (std::uint32_t c = range.first; c <= range.last; ++c)
      bits[c / 64] |= std::uint64_t{1} << (c % 64);
  }
  return bits;
}();

}  // namespace truth_value

// Whether StringTruthValue passes over the character `codePoint` as white space. No such
// character lies past U+3000, so none is a UTF-16 surrogate.
[[nodiscard]] constexpr bool IsWhiteSpaceBeforeNumber(std::uint32_t codePoint) {
  using truth_value::kLastWhiteSpace;
  using truth_value::kWhiteSpaceBits;
  return codePoint <= kLastWhiteSpace &&
         ((kWhiteSpaceBits[codePoint / 64] >> (codePoint % 64)) & 1);
}

}  // namespace umbravista
