#pragma once

#include <cstdint>
#include <limits>

#include "color/ThemeColor.h"

namespace umbravista {

// Returns a component on the 0-255 scale that the app compares colours by. The component is
// multiplied by 255 in its own precision (a float build rounds the product to float, a double
// build keeps it double) and the product is truncated toward zero, never rounded: 0.5 answers
// 127 and 0.9999 answers 254. Components outside 0.0-1.0 are not clamped to 0-255 (2.0 answers
// 510, -0.002 answers 0 only because -0.51 truncates to 0). A product beyond the signed 32-bit
// range answers INT32_MAX or INT32_MIN and NaN answers 0, as the device's float-to-integer
// conversion does; a plain cast would make those inputs undefined behaviour instead.
template <typename Component>
constexpr std::int32_t EightBitStep(Component component) {
  constexpr auto kTwoToTheThirtyOne = static_cast<Component>(2147483648.0);
  const Component scaled = component * static_cast<Component>(255.0);
  if (scaled >= kTwoToTheThirtyOne) return std::numeric_limits<std::int32_t>::max();
  if (scaled >= -kTwoToTheThirtyOne) return static_cast<std::int32_t>(scaled);
  if (scaled < -kTwoToTheThirtyOne) return std::numeric_limits<std::int32_t>::min();
  return 0;  // Only NaN fails every comparison above.
}

// Answers whether two colours count as the same colour: red, green, blue and alpha are compared
// in that order by their EightBitStep, the answer is false at the first component that differs,
// and true when all four agree. Colours that differ by less than one step of 1/255 can still
// differ here when they straddle a step, and colours that differ only in alpha are different.
template <typename Component>
constexpr bool IsSameColor(ThemeColor<Component> first, ThemeColor<Component> second) {
  return EightBitStep(first.red) == EightBitStep(second.red) &&
         EightBitStep(first.green) == EightBitStep(second.green) &&
         EightBitStep(first.blue) == EightBitStep(second.blue) &&
         EightBitStep(first.alpha) == EightBitStep(second.alpha);
}

}  // namespace umbravista
