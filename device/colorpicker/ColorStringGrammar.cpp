#include "device/colorpicker/ColorStringGrammar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace device {
namespace {

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// Bytes from hexadecimal digits; a three-digit colour doubles each digit.
std::optional<std::uint32_t> HexDigits(std::string_view digits) {
  std::uint32_t value = 0;
  for (char c : digits) {
    std::optional<int> digit = HexDigit(c);
    if (!digit) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(*digit);
  }
  return value;
}

// A plain decimal: digits with at most one point, at least one digit. No sign, exponent,
// "inf" or "nan": a settings file has no business with them.
std::optional<double> Decimal(std::string_view text) {
  double whole = 0;
  double fraction = 0;
  double scale = 1;
  bool seenPoint = false;
  bool seenDigit = false;
  for (char c : text) {
    if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else if (c >= '0' && c <= '9') {
      seenDigit = true;
      if (seenPoint) {
        scale /= 10;
        fraction += (c - '0') * scale;
      } else {
        whole = std::min(whole * 10 + (c - '0'), 1e9);
      }
    } else {
      return std::nullopt;
    }
  }
  if (!seenDigit) return std::nullopt;
  return whole + fraction;
}

ColorStringComponents FromBytes(std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                                double alpha) {
  return {red / 255.0, green / 255.0, blue / 255.0, std::clamp(alpha, 0.0, 1.0)};
}

}  // namespace

std::optional<ColorStringComponents> ParseColorString(std::string_view text) {
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  std::string_view digits = text;
  std::optional<double> alpha = 1.0;
  if (std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    digits = text.substr(0, colon);
    alpha = Decimal(text.substr(colon + 1));
    if (!alpha || (digits.size() != 6 && digits.size() != 3)) return std::nullopt;
  }
  std::optional<std::uint32_t> value = HexDigits(digits);
  if (!value) return std::nullopt;
  switch (digits.size()) {
    case 3: {
      auto doubled = [&](int shift) { return ((*value >> shift) & 0xF) * 0x11; };
      return FromBytes(doubled(8), doubled(4), doubled(0), *alpha);
    }
    case 6:
      return FromBytes((*value >> 16) & 0xFF, (*value >> 8) & 0xFF, *value & 0xFF, *alpha);
    case 8:
      return FromBytes((*value >> 24) & 0xFF, (*value >> 16) & 0xFF, (*value >> 8) & 0xFF,
                       (*value & 0xFF) / 255.0);
    default:
      return std::nullopt;
  }
}

}  // namespace device
