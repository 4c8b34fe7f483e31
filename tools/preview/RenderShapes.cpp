#include "tools/preview/RenderShapes.h"

#include <algorithm>
#include <numbers>

namespace preview {

void AddRoundedRectangle(cairo_t* cairo, CGRect rect, double radius) {
  const double x = rect.origin.x;
  const double y = rect.origin.y;
  const double w = rect.size.width;
  const double h = rect.size.height;
  const double r = std::clamp(radius, 0.0, std::min(w, h) / 2);
  constexpr double kQuarter = std::numbers::pi / 2;
  cairo_new_sub_path(cairo);
  cairo_arc(cairo, x + w - r, y + r, r, -kQuarter, 0);
  cairo_arc(cairo, x + w - r, y + h - r, r, 0, kQuarter);
  cairo_arc(cairo, x + r, y + h - r, r, kQuarter, 2 * kQuarter);
  cairo_arc(cairo, x + r, y + r, r, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cairo);
}

}  // namespace preview
