#include "tools/check/Contrast.h"

#include <algorithm>
#include <cmath>

namespace umbravista::check {

namespace {

// The dark theme paints its windows black, so whatever a translucent background lets through is
// black.
constexpr Colour kWindowBlack{0.0, 0.0, 0.0, 1.0};

double Linearised(double component) {
  return component <= 0.03928 ? component / 12.92 : std::pow((component + 0.055) / 1.055, 2.4);
}

double Mixed(double top, double bottom, double alpha) {
  return top * alpha + bottom * (1 - alpha);
}

}  // namespace

Colour BlendOver(const Colour& top, const Colour& bottom) {
  return {Mixed(top.red, bottom.red, top.alpha), Mixed(top.green, bottom.green, top.alpha),
          Mixed(top.blue, bottom.blue, top.alpha), 1.0};
}

double RelativeLuminance(const Colour& opaque) {
  return 0.2126 * Linearised(opaque.red) + 0.7152 * Linearised(opaque.green) +
         0.0722 * Linearised(opaque.blue);
}

double ContrastRatio(const Colour& foreground, const Colour& background) {
  const Colour seenBackground = BlendOver(background, kWindowBlack);
  const Colour seenForeground = BlendOver(foreground, seenBackground);
  const double first = RelativeLuminance(seenForeground);
  const double second = RelativeLuminance(seenBackground);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

}  // namespace umbravista::check
