#include "propertylist/TruthValue.h"

#include <array>

namespace umbravista {

namespace {

// UTF-8 forms of the white space skipped before the number: Unicode's space separators plus the
// tab and line breaks, which is what Foundation's scanner passes over at the start of a string.
constexpr std::array<std::string_view, 25> kWhiteSpaceCharacters = {
    " ",
    "\t",
    "\n",
    "\v",
    "\f",
    "\r",
    "\xC2\x85",
    "\xC2\xA0",
    "\xE1\x9A\x80",
    "\xE2\x80\x80",
    "\xE2\x80\x81",
    "\xE2\x80\x82",
    "\xE2\x80\x83",
    "\xE2\x80\x84",
    "\xE2\x80\x85",
    "\xE2\x80\x86",
    "\xE2\x80\x87",
    "\xE2\x80\x88",
    "\xE2\x80\x89",
    "\xE2\x80\x8A",
    "\xE2\x80\xA8",
    "\xE2\x80\xA9",
    "\xE2\x80\xAF",
    "\xE2\x81\x9F",
    "\xE3\x80\x80",
};

// Answers the byte length of the white-space character that text starts with, or 0 if none.
std::size_t LeadingWhiteSpaceLength(std::string_view text) {
  for (const std::string_view whiteSpace : kWhiteSpaceCharacters) {
    if (text.starts_with(whiteSpace)) return whiteSpace.size();
  }
  return 0;
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
  for (std::size_t length = LeadingWhiteSpaceLength(text); length != 0;
       length = LeadingWhiteSpaceLength(text)) {
    text.remove_prefix(length);
  }
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
