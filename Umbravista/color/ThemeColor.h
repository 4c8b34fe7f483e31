#pragma once

namespace umbravista {

// A colour as its four components, red, green, blue and alpha, each nominally 0.0 to 1.0.
// Component is the platform's CGFloat: a 64-bit double on 64-bit builds, a 32-bit float on
// 32-bit builds. Every piece of colour arithmetic is written once for both widths, because a
// few results differ between them and both builds must behave as the device does.
template <typename Component>
struct ThemeColor {
  Component red;
  Component green;
  Component blue;
  Component alpha;
};

}  // namespace umbravista
