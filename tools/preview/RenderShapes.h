#pragma once

#include <cairo.h>

#include "CoreGraphics/CoreGraphics.h"

// Shapes that the renderer's drawings of system views are made of.
namespace preview {

// Adds a rectangle with corners rounded by `radius` (clamped to half the shorter side) to the
// current path, without filling or stroking it.
void AddRoundedRectangle(cairo_t* cairo, CGRect rect, double radius);

}  // namespace preview
