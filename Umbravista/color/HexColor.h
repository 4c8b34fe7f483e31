#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "color/ThemeColor.h"

namespace umbravista {

// Returns the value 0-15 of an ASCII hexadecimal digit of either case, or nullopt for any other
// character.
constexpr std::optional<std::uint32_t> HexDigitValue(char character) {
  if (character >= '0' && character <= '9') return static_cast<std::uint32_t>(character - '0');
  if (character >= 'a' && character <= 'f') return static_cast<std::uint32_t>(character - 'a' + 10);
  if (character >= 'A' && character <= 'F') return static_cast<std::uint32_t>(character - 'A' + 10);
  return std::nullopt;
}

// Returns the low byte of a value as a component: the byte divided by 255 in 32-bit float
// precision and only then widened, because the device computes the quotient in float even on a
// 64-bit build, and a double quotient can land on the other side of an eight-bit step.
template <typename Component>
constexpr Component ComponentFromByte(std::uint32_t value) {
  return static_cast<Component>(static_cast<float>(value & 0xFFU) / 255.0F);
}

// Returns the opaque colour whose red is bits 16-23 of the value, green bits 8-15 and blue bits
// 0-7, as initWithHex: makes it of the number its text starts with (see platform::ScanHexNumber),
// so that short or long text still yields a colour ("FFF" is 0x000FFF). Bits 24-31 are ignored;
// they never become alpha, which is always 1.0.
template <typename Component>
constexpr ThemeColor<Component> ColorFromHexValue(std::uint32_t value) {
  return {ComponentFromByte<Component>(value >> 16U), ComponentFromByte<Component>(value >> 8U),
          ComponentFromByte<Component>(value), static_cast<Component>(1.0)};
}

// Returns a fixed reference colour written as exactly six hex digits without "#", for constant
// tables, with the same arithmetic as ColorFromHexValue. Any other character is a compile error.
template <typename Component>
consteval ThemeColor<Component> HexColor(const char (&sixDigits)[7]) {
  const std::string_view digits(sixDigits, 6);
  std::uint32_t value = 0;
  for (const char digit : digits) {
    const std::optional<std::uint32_t> digitValue = HexDigitValue(digit);
    if (!digitValue) throw std::invalid_argument("HexColor takes exactly six hex digits");
    value = value * 16U + *digitValue;
  }
  if (sixDigits[6] != '\0') throw std::invalid_argument("HexColor takes exactly six hex digits");
  return ColorFromHexValue<Component>(value);
}

}  // namespace umbravista
