#include "tools/preview/RenderColor.h"

#include <optional>

namespace preview {

Paint PaintOfColor(id color) {
  if (color == nullptr) return {};
  std::optional<device::RGBA> components = device::ColorComponents(color);
  if (!components) return {Paint::Kind::kPattern};
  return {Paint::Kind::kSolid, *components};
}

Paint PaintOfCGColor(CGColorRef color) {
  if (color == nullptr) return {};
  const CGFloat* c = CGColorGetComponents(color);
  switch (CGColorGetColorSpaceModel(color)) {
    case kCGColorSpaceModelMonochrome:
      return {Paint::Kind::kSolid, {c[0], c[0], c[0], c[1]}};
    case kCGColorSpaceModelRGB:
      return {Paint::Kind::kSolid, {c[0], c[1], c[2], c[3]}};
    default:
      return {Paint::Kind::kPattern};
  }
}

device::RGBA ComponentsOr(const Paint& paint, const device::RGBA& fallback) {
  switch (paint.kind) {
    case Paint::Kind::kSolid:
      return paint.rgba;
    case Paint::Kind::kPattern:
      return {0.5, 0.5, 0.5, 1.0};
    case Paint::Kind::kNone:
      break;
  }
  return fallback;
}

device::RGBA OpaqueRGB(unsigned rgb) {
  auto component = [&](int shift) { return static_cast<CGFloat>(((rgb >> shift) & 0xFF) / 255.0); };
  return {component(16), component(8), component(0), 1};
}

void SetSource(cairo_t* cairo, const device::RGBA& rgba) {
  cairo_set_source_rgba(cairo, rgba.red, rgba.green, rgba.blue, rgba.alpha);
}

namespace {

// Diagonal strokes every few points, clipped to the rectangle, light enough that what lies behind
// still reads.
void Hatch(cairo_t* cairo, CGRect rect) {
  constexpr double kSpacing = 6.0;
  cairo_save(cairo);
  cairo_rectangle(cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
  cairo_clip(cairo);
  cairo_set_source_rgba(cairo, 0.55, 0.55, 0.55, 0.45);
  cairo_set_line_width(cairo, 1.0);
  const double reach = rect.size.width + rect.size.height;
  for (double offset = 0; offset < reach; offset += kSpacing) {
    cairo_move_to(cairo, rect.origin.x + offset, rect.origin.y);
    cairo_line_to(cairo, rect.origin.x + offset - rect.size.height,
                  rect.origin.y + rect.size.height);
  }
  cairo_stroke(cairo);
  cairo_restore(cairo);
}

}  // namespace

void FillWithPaint(cairo_t* cairo, CGRect rect, const Paint& paint) {
  if (rect.size.width <= 0 || rect.size.height <= 0) return;
  switch (paint.kind) {
    case Paint::Kind::kNone:
      return;
    case Paint::Kind::kPattern:
      Hatch(cairo, rect);
      return;
    case Paint::Kind::kSolid:
      SetSource(cairo, paint.rgba);
      cairo_rectangle(cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
      cairo_fill(cairo);
      return;
  }
}

}  // namespace preview
