#pragma once

#include "device/colorpicker/ColorStringGrammar.h"

// WCAG 2 contrast between two colours as the screen shows them, as pure arithmetic on sRGB
// components in 0.0 to 1.0.
namespace umbravista::check {

using Colour = device::ColorStringComponents;

// The colour seen when top is painted over the opaque colour bottom: each sRGB component mixed
// by top's alpha, as the compositor mixes them. The answer is opaque.
[[nodiscard]] Colour BlendOver(const Colour& top, const Colour& bottom);

// WCAG 2 relative luminance of an opaque colour: each component linearised (c / 12.92 when
// c <= 0.03928, else ((c + 0.055) / 1.055) ^ 2.4), then 0.2126 R + 0.7152 G + 0.0722 B. Alpha is
// ignored.
[[nodiscard]] double RelativeLuminance(const Colour& opaque);

// The contrast ratio (L1 + 0.05) / (L2 + 0.05), L1 the lighter luminance, of foreground painted
// over background. A translucent background is first blended over black, the colour of the dark
// theme's windows behind every view; a translucent foreground is then blended over the result.
// The answer lies between 1 and 21.
[[nodiscard]] double ContrastRatio(const Colour& foreground, const Colour& background);

}  // namespace umbravista::check
