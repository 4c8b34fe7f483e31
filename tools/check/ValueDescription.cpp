#include "tools/check/ValueDescription.h"

#include <cstdint>
#include <cstdio>

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

std::string DescribeValue(const SettingsValue& value) {
  switch (value.kind) {
    case ValueKind::kString:
      return "the string " + Quoted(value.text);
    case ValueKind::kBoolean:
      return value.boolean ? "the boolean true" : "the boolean false";
    case ValueKind::kInteger:
      // A negative integer is kept as its two's complement bits.
      return Formatted("the integer %lld", static_cast<long long>(value.integer));
    case ValueKind::kReal:
      return Formatted("the real number %g", value.real);
    default:
      return DescribeKind(value.kind);
  }
}

std::string DescribeKind(ValueKind kind) {
  switch (kind) {
    case ValueKind::kString:
      return "a string";
    case ValueKind::kBoolean:
      return "a boolean";
    case ValueKind::kInteger:
      return "an integer";
    case ValueKind::kReal:
      return "a real number";
    case ValueKind::kDate:
      return "a date";
    case ValueKind::kData:
      return "data";
    case ValueKind::kArray:
      return "an array";
    case ValueKind::kDictionary:
      return "a dictionary";
    case ValueKind::kUid:
      return "a UID";
  }
  return "a value of another kind";
}

}  // namespace umbravista::check
