#include "color/HexColor.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstddef>
#include <limits>

namespace umbravista {
namespace {

// The characters skipped before a number are exactly the four Unicode symbol categories.
bool IsSymbol(UChar32 codePoint) {
  switch (u_charType(codePoint)) {
    case U_MATH_SYMBOL:
    case U_CURRENCY_SYMBOL:
    case U_MODIFIER_SYMBOL:
    case U_OTHER_SYMBOL:
      return true;
    default:
      return false;
  }
}

// Returns the byte offset of the first character that is not a symbol. An invalid UTF-8 sequence
// decodes to a negative code point, which is not a symbol, so it ends the skipping.
std::size_t LengthOfLeadingSymbols(std::string_view utf8Text) {
  // ICU indexes with 32-bit integers; text longer than that is never a colour.
  const auto length = static_cast<std::int32_t>(
      std::min<std::size_t>(utf8Text.size(), std::numeric_limits<std::int32_t>::max()));
  std::int32_t offset = 0;
  while (offset < length) {
    std::int32_t next = offset;
    UChar32 codePoint = 0;
    U8_NEXT(utf8Text.data(), next, length, codePoint);
    if (codePoint < 0 || !IsSymbol(codePoint)) break;
    offset = next;
  }
  return static_cast<std::size_t>(offset);
}

// "0x" counts as a prefix only when a digit follows, so that "0xZ" still reads as 0.
bool StartsWithHexPrefix(std::string_view text) {
  return text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
         HexDigitValue(text[2]).has_value();
}

}  // namespace

std::optional<std::uint32_t> ScanHexNumber(std::string_view utf8Text) {
  constexpr std::uint32_t kLargestBeforeOverflow = std::numeric_limits<std::uint32_t>::max() >> 4U;
  std::string_view rest = utf8Text.substr(LengthOfLeadingSymbols(utf8Text));
  if (StartsWithHexPrefix(rest)) rest.remove_prefix(2);
  std::optional<std::uint32_t> number;
  for (const char character : rest) {
    const std::optional<std::uint32_t> digitValue = HexDigitValue(character);
    if (!digitValue) break;
    const std::uint32_t soFar = number.value_or(0);
    // Once too large the number stays saturated while the remaining digits are consumed.
    number = soFar > kLargestBeforeOverflow ? std::numeric_limits<std::uint32_t>::max()
                                            : soFar * 16U + *digitValue;
  }
  return number;
}

}  // namespace umbravista
