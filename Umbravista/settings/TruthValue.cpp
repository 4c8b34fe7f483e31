#include "settings/TruthValue.h"

#include <array>
#include <cstdint>

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

std::optional<bool> TruthValue(plist_t node) {
  if (node == nullptr) return false;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      std::uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return value != 0;
    }
    case PLIST_UINT: {
      std::uint64_t value = 0;
      plist_get_uint_val(node, &value);
      return value != 0;
    }
    case PLIST_REAL: {
      double value = 0.0;
      plist_get_real_val(node, &value);
      return value != 0.0;  // NaN compares unequal to zero, so it is true, as on the device.
    }
    case PLIST_STRING: {
      std::uint64_t length = 0;
      const char* bytes = plist_get_string_ptr(node, &length);
      if (bytes == nullptr) return false;
      return StringTruthValue(std::string_view(bytes, static_cast<std::size_t>(length)));
    }
    default:
      return std::nullopt;
  }
}

}  // namespace umbravista
