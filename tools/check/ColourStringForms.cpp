#include "tools/check/ColourStringForms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/check/ValueDescription.h"

namespace umbravista::check {

namespace {

constexpr std::size_t kPortableDigitCount = 6;
// A one-character alpha such as "1" is where colour-picker libraries part ways.
constexpr std::size_t kLeastPortableAlphaLength = 2;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool AreAllHexDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsHexDigit);
}

int Byte(double component) {
  return static_cast<int>(std::lround(component * 255));
}

}  // namespace

std::string WhyNamesNoColour(std::string_view text) {
  if (text.empty()) return "it is empty";
  if (text.front() == '#') text.remove_prefix(1);
  const std::size_t colon = text.find(':');
  const std::string_view digits = text.substr(0, colon);
  const auto badDigit = std::find_if_not(digits.begin(), digits.end(), IsHexDigit);
  if (badDigit != digits.end()) {
    // A byte from 0x80 up starts a UTF-8 character: the whole character is the bad digit.
    const auto start = static_cast<std::size_t>(badDigit - digits.begin());
    std::size_t end = start + 1;
    while (static_cast<unsigned char>(digits[start]) >= 0x80 && end < digits.size() &&
           (static_cast<unsigned char>(digits[end]) & 0xC0) == 0x80) {
      ++end;
    }
    return "bad digit " + Quoted(digits.substr(start, end - start), '\'');
  }
  const std::string count = std::to_string(digits.size());
  if (colon == std::string_view::npos) {
    return count + " digits, where a colour has 3, 6 or 8";
  }
  if (digits.size() != 3 && digits.size() != kPortableDigitCount) {
    return count + " digits before the alpha, where a colour has 3 or 6";
  }
  return "its alpha " + Quoted(text.substr(colon + 1)) + " is not a plain decimal";
}

bool IsPortableColourForm(std::string_view text) {
  if (!device::ParseColorString(text)) return false;
  if (!text.starts_with('#')) return false;
  text.remove_prefix(1);
  if (text.size() < kPortableDigitCount || !AreAllHexDigits(text.substr(0, kPortableDigitCount))) {
    return false;
  }
  text.remove_prefix(kPortableDigitCount);
  if (text.empty()) return true;
  return text.front() == ':' && text.size() - 1 >= kLeastPortableAlphaLength;
}

std::string PortableSpelling(const Colour& colour) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "#%02X%02X%02X", Byte(colour.red),
                                   Byte(colour.green), Byte(colour.blue));
  if (colour.alpha < 1.0) {
    std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ":%.2f",
                  colour.alpha);
  }
  return text;
}

}  // namespace umbravista::check
