#pragma once

#include <array>
#include <optional>

#include "color/ColorComparison.h"
#include "theme/BackgroundDecisions.h"
#include "theme/FixedColours.h"

// The colours that the text replacements recognise, and their decisions as pure logic. A colour
// that is absent or has no RGBA form (nullopt) matches nothing.
namespace umbravista {

// A label's requested text colour that the label setter swaps for PaleCyanText.
inline constexpr std::array<Colour, 3> kLabelSetterSwapList = {
    Hex("000000"),
    Hex("16191C"),
    Hex("262626"),
};

// A requested label colour that the label setter follows with a second call of PaleCyanText.
inline constexpr Colour kLabelSetterSecondSwap = Hex("333333");

// The label colours a layout pass recolours, tested in this order. The bright cyan is compared
// with the platform's exact equality, the other two by 8-bit steps.
inline constexpr Colour kLabelLayoutBrightCyan{0.032, 1.0, 1.0, 1.0};
inline constexpr Colour kLabelLayoutDarkGrey = Hex("262626");
inline constexpr Colour kLabelLayoutTranslucentBlack{0.0, 0.0, 0.0, 0.6};

struct LabelTextColourCalls {
  bool swapFirstCall;       // The first saved call gets PaleCyanText instead of the request.
  bool secondCallWithCyan;  // A second saved call follows, with PaleCyanText.
};

// What the label setter does with a requested colour while the theme is on. The two decisions are
// independent: the second is made on every call, whatever the first decided.
constexpr LabelTextColourCalls DecideLabelTextColour(const std::optional<Colour>& requested) {
  return {MatchesAnyOf(kLabelSetterSwapList, requested),
          requested.has_value() && IsSameColor(*requested, kLabelSetterSecondSwap)};
}

}  // namespace umbravista
