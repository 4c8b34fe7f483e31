#include "propertylist/TruthValue.h"

#include <cstdint>

namespace umbravista {

namespace {

constexpr bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The white space that [at, end) starts with passed over. Every such character is one to three
// bytes of well-formed UTF-8; a longer or ill-formed spelling is none.
const unsigned char* SkipWhiteSpace(const unsigned char* at, const unsigned char* end) {
  while (at < end) {
    const unsigned lead = at[0];
    if (lead < 0x80) {
      if (!IsWhiteSpaceBeforeNumber(lead)) break;
      at += 1;
    } else if (lead >= 0xC2 && lead <= 0xDF && end - at >= 2 && IsContinuation(at[1])) {
      if (!IsWhiteSpaceBeforeNumber(((lead & 0x1FU) << 6) | (at[1] & 0x3FU))) break;
      at += 2;
    } else if (lead >= 0xE0 && lead <= 0xEF && end - at >= 3 && IsContinuation(at[1]) &&
               IsContinuation(at[2])) {
      const std::uint32_t codePoint =
          ((lead & 0x0FU) << 12) | ((at[1] & 0x3FU) << 6) | (at[2] & 0x3FU);
      if (codePoint < 0x800 || !IsWhiteSpaceBeforeNumber(codePoint)) break;
      // The same space again and again, as a switch padded against the reader holds it, is
      // told by its bytes alone.
      const unsigned char second = at[1];
      const unsigned char third = at[2];
      do {
        at += 3;
      } while (end - at >= 3 && at[0] == lead && at[1] == second && at[2] == third);
    } else {
      break;
    }
  }
  return at;
}

bool IsTrueMarker(char character) {
  switch (character) {
    case 'Y':
    case 'y':
    case 'T':
    case 't':
      return true;
    default:
      return character >= '1' && character <= '9';
  }
}

}  // namespace

bool StringTruthValue(std::string_view text) {
  const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
  text.remove_prefix(static_cast<std::size_t>(SkipWhiteSpace(begin, begin + text.size()) - begin));
  if (text.starts_with('+') || text.starts_with('-')) text.remove_prefix(1);
  while (text.starts_with('0')) text.remove_prefix(1);
  return !text.empty() && IsTrueMarker(text.front());
}

std::optional<bool> TruthValue(const SettingsValue& value) {
  switch (value.kind) {
    case ValueKind::kBoolean:
      return value.boolean;
    case ValueKind::kInteger:
      return value.integer != 0;
    case ValueKind::kReal:
      return value.real != 0.0;  // NaN compares unequal to zero, so it is true, as on the device.
    case ValueKind::kString:
      return StringTruthValue(value.text);
    default:
      return std::nullopt;
  }
}

}  // namespace umbravista
