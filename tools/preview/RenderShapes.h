#pragma once

#include <cairo.h>

#include "CoreGraphics/CoreGraphics.h"

// Shapes that the renderer's drawings of system views are made of.
namespace preview {

// A CGRect of lengths that Cairo measured in double, narrowed to CGFloat.
inline CGRect RectOf(double x, double y, double width, double height) {
  return {{static_cast<CGFloat>(x), static_cast<CGFloat>(y)},
          {static_cast<CGFloat>(width), static_cast<CGFloat>(height)}};
}

// Adds a rectangle with corners rounded by `radius` (clamped to half the shorter side) to the
// current path, without filling or stroking it.
void AddRoundedRectangle(cairo_t* cairo, CGRect rect, double radius);

}  // namespace preview
