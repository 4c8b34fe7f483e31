#include "tools/check/ValueDescription.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace umbravista::check {

namespace {

bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string_view CutAtCharacterBoundary(std::string_view text, std::size_t longest) {
  if (text.size() <= longest) return text;
  std::size_t end = longest;
  while (end > 0 && IsUtf8Continuation(text[end])) --end;
  return text.substr(0, end);
}

std::string LibraryString(plist_t node) {
  char* text = nullptr;
  plist_get_string_val(node, &text);
  std::string answer = text == nullptr ? "" : text;
  std::free(text);
  return answer;
}

std::string Formatted(const char* format, auto value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string Quoted(std::string_view text, char quote) {
  const std::string_view shown = CutAtCharacterBoundary(text, kLongestQuotedText);
  std::string answer(1, quote);
  for (const char c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == quote || c == '\\') {
      answer += '\\';
      answer += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      answer += Formatted("\\x%02X", static_cast<unsigned>(byte));
    } else {
      answer += c;
    }
  }
  answer += quote;
  if (shown.size() < text.size()) answer += "...";
  return answer;
}

std::string DescribeValue(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_STRING:
      return "the string " + Quoted(LibraryString(node));
    case PLIST_BOOLEAN: {
      std::uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return value != 0 ? "the boolean true" : "the boolean false";
    }
    case PLIST_UINT: {
      // libplist keeps a negative integer as its two's complement bits.
      std::uint64_t value = 0;
      plist_get_uint_val(node, &value);
      return Formatted("the integer %lld", static_cast<long long>(value));
    }
    case PLIST_REAL: {
      double value = 0.0;
      plist_get_real_val(node, &value);
      return Formatted("the real number %g", value);
    }
    case PLIST_DATE:
      return "a date";
    case PLIST_DATA:
      return "data";
    case PLIST_ARRAY:
      return "an array";
    case PLIST_DICT:
      return "a dictionary";
    default:
      return "a value of another kind";
  }
}

}  // namespace umbravista::check
