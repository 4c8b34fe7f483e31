// The hex scan behind -[UIColor initWithHex:], as the simulated device's NSScanner does it with
// symbolCharacterSet skipped, against a plain reference of its rule: every "#" removed (the
// library's stringByReplacingOccurrencesOfString:withString:), then Unicode symbols (Sm, Sc, Sk,
// So) skipped, an optional "0x" before a digit, and hex digits of either case read as far as they
// go, saturating at 32 bits; then the colour that the library makes of the number.
#include <unicode/uchar.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "color/HexColor.h"
#include "device/Foundation/HexScanning.h"

namespace {

// One code point of UTF-8 in its shortest form, or nullopt for any ill-formed sequence.
std::optional<std::pair<char32_t, std::size_t>> Decode(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  char32_t point = 0;
  char32_t least = 0;
  if (lead < 0x80) return std::pair<char32_t, std::size_t>{lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, point = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, point = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, point = lead & 0x07, least = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() < length) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    point = (point << 6) | (next & 0x3F);
  }
  if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
    return std::nullopt;
  }
  return std::pair<char32_t, std::size_t>{point, length};
}

bool IsSymbol(char32_t point) {
  const int type = u_charType(static_cast<UChar32>(point));
  return type == U_MATH_SYMBOL || type == U_CURRENCY_SYMBOL || type == U_MODIFIER_SYMBOL ||
         type == U_OTHER_SYMBOL;
}

int Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::uint32_t> Reference(std::string text) {
  std::string stripped;
  for (const char c : text) {
    if (c != '#') stripped += c;
  }
  std::string_view rest = stripped;
  while (!rest.empty()) {
    const auto decoded = Decode(rest);
    if (!decoded || !IsSymbol(decoded->first)) break;
    rest.remove_prefix(decoded->second);
  }
  if (rest.size() >= 3 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') &&
      Digit(rest[2]) >= 0) {
    rest.remove_prefix(2);
  }
  if (rest.empty() || Digit(rest[0]) < 0) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : rest) {
    if (Digit(c) < 0) break;
    value =
        std::min<std::uint64_t>(value * 16 + static_cast<std::uint64_t>(Digit(c)), 0xFFFFFFFFULL);
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<std::uint32_t> expected = Reference(text);
  std::string withoutHashMarks = text;
  std::erase(withoutHashMarks, '#');
  const auto scan = device::ScanHexInt(withoutHashMarks, 0, device::CharacterSetKind::kSymbols);
  if (expected.has_value() != scan.has_value()) std::abort();
  if (!scan) return 0;
  if (scan->value != *expected || scan->end > withoutHashMarks.size()) std::abort();
  const auto colour = umbravista::ColorFromHexValue<double>(scan->value);
  if (colour.red != umbravista::ComponentFromByte<double>(*expected >> 16) ||
      colour.green != umbravista::ComponentFromByte<double>(*expected >> 8) ||
      colour.blue != umbravista::ComponentFromByte<double>(*expected) || colour.alpha != 1.0) {
    std::abort();
  }
  return 0;
}
