#pragma once

#include "color/HexColor.h"
#include "platform/UIKit.h"

// Colours fixed in the replacements, as values in the platform's component width.
namespace umbravista {

using platform::Colour;

// An opaque colour from six hexadecimal digits, as initWithHex: builds it.
consteval Colour Hex(const char (&sixDigits)[7]) {
  return HexColor<CGFloat>(sixDigits);
}

// The light text colours. PaleCyanText has red 0.806: it is a pale cyan, not a grey.
inline constexpr Colour kPaleCyanText{0.806, 0.906, 0.906, 1.0};
inline constexpr Colour kPaleGreyText{0.906, 0.906, 0.906, 1.0};

}  // namespace umbravista
