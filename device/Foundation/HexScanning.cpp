#include "device/Foundation/HexScanning.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <limits>

namespace device {
namespace {

std::optional<std::uint32_t> HexDigitValue(char character) {
  if (character >= '0' && character <= '9') return character - '0';
  if (character >= 'a' && character <= 'f') return character - 'a' + 10;
  if (character >= 'A' && character <= 'F') return character - 'A' + 10;
  return std::nullopt;
}

// The byte offset of the first character at or after `offset` that is not in `set`.
std::size_t SkipMembers(std::string_view utf8Text, std::size_t offset, CharacterSetKind set) {
  // ICU indexes with 32-bit integers; text longer than that is never scanned to its end.
  const auto length = static_cast<std::int32_t>(
      std::min<std::size_t>(utf8Text.size(), std::numeric_limits<std::int32_t>::max()));
  auto at = static_cast<std::int32_t>(std::min<std::size_t>(offset, length));
  while (at < length) {
    std::int32_t next = at;
    UChar32 codePoint = 0;
    U8_NEXT(utf8Text.data(), next, length, codePoint);
    // An ill-formed sequence decodes to a negative code point, which belongs to no set.
    if (codePoint < 0 || !IsMember(set, static_cast<char32_t>(codePoint))) break;
    at = next;
  }
  return static_cast<std::size_t>(at);
}

// "0x" counts as a prefix only when a digit follows, so that "0xZ" still reads as 0.
bool StartsWithHexPrefix(std::string_view text) {
  return text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
         HexDigitValue(text[2]).has_value();
}

}  // namespace

bool IsMember(CharacterSetKind set, char32_t codePoint) {
  const auto point = static_cast<UChar32>(codePoint);
  switch (set) {
    case CharacterSetKind::kSymbols:
      switch (u_charType(point)) {
        case U_MATH_SYMBOL:
        case U_CURRENCY_SYMBOL:
        case U_MODIFIER_SYMBOL:
        case U_OTHER_SYMBOL:
          return true;
        default:
          return false;
      }
    case CharacterSetKind::kWhitespaceAndNewlines:
      return (point >= 0x09 && point <= 0x0D) || point == 0x85 ||
             (U_GET_GC_MASK(point) & U_GC_Z_MASK) != 0;
  }
  return false;
}

std::optional<HexScan> ScanHexInt(std::string_view utf8Text, std::size_t location,
                                  std::optional<CharacterSetKind> skipped) {
  constexpr std::uint32_t kLargestBeforeOverflow = std::numeric_limits<std::uint32_t>::max() >> 4U;
  if (location > utf8Text.size()) return std::nullopt;
  std::size_t at = skipped ? SkipMembers(utf8Text, location, *skipped) : location;
  if (StartsWithHexPrefix(utf8Text.substr(at))) at += 2;
  std::optional<std::uint32_t> number;
  for (; at < utf8Text.size(); ++at) {
    const std::optional<std::uint32_t> digitValue = HexDigitValue(utf8Text[at]);
    if (!digitValue) break;
    const std::uint32_t soFar = number.value_or(0);
    // Once too large the number stays saturated while the remaining digits are consumed.
    number = soFar > kLargestBeforeOverflow ? std::numeric_limits<std::uint32_t>::max()
                                            : soFar * 16U + *digitValue;
  }
  if (!number) return std::nullopt;
  return HexScan{*number, at};
}

}  // namespace device
