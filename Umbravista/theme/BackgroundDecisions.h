#pragma once

#include <optional>
#include <span>

#include "color/ColorComparison.h"
#include "theme/BackgroundLists.h"

// The decisions of the background replacements, as pure logic over colour components. A colour
// that is absent or has no RGBA form (nullopt) matches nothing.
namespace umbravista {

// Whether `colour` is the same as some entry of `list` under the 8-bit comparison, trying the
// entries in order.
constexpr bool MatchesAnyOf(std::span<const Colour> list, const std::optional<Colour>& colour) {
  if (!colour) return false;
  for (const Colour& entry : list) {
    if (IsSameColor(*colour, entry)) return true;
  }
  return false;
}

enum class BackgroundRequest {
  kPass,                   // The requested colour reaches the view unchanged.
  kSwapForMainBackground,  // The main background colour reaches the view instead.
  kDrop,                   // Nothing reaches the view; it keeps its background.
};

// What the background setter does with a requested colour while the theme is on: a colour of
// the swap list is swapped, then the dropped colour is refused, and anything else passes.
constexpr BackgroundRequest DecideRequestedBackground(const std::optional<Colour>& requested) {
  if (MatchesAnyOf(kSetterSwapList, requested)) return BackgroundRequest::kSwapForMainBackground;
  if (requested && IsSameColor(*requested, kDroppedBackgroundColour)) {
    return BackgroundRequest::kDrop;
  }
  return BackgroundRequest::kPass;
}

}  // namespace umbravista
