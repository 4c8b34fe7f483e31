#pragma once

#include <cairo.h>
#include <objc/runtime.h>

#include "CoreGraphics/CoreGraphics.h"
#include "device/UIKit/UIKitDevice.h"

// How the renderer turns the platform's colours into Cairo paint. A colour is either absent (nil,
// which draws nothing), solid (components with their alpha) or a pattern, which has no components
// and is shown as a light hatch so that it stays visible in the picture.
namespace preview {

struct Paint {
  enum class Kind { kNone, kSolid, kPattern };
  Kind kind = Kind::kNone;
  device::RGBA rgba{0, 0, 0, 0};  // Meaningful only for a solid paint.
};

// The paint of a UIColor, read with getRed:green:blue:alpha: as UIKit reads it when it draws.
Paint PaintOfColor(id color);
// The paint of a CGColorRef, read from its colour space model and components.
Paint PaintOfCGColor(CGColorRef color);

// The components to draw a line or glyphs in: a solid paint's own, `fallback` for nil, and a
// mid grey for a pattern, which cannot colour a glyph.
device::RGBA ComponentsOr(const Paint& paint, const device::RGBA& fallback);

// An opaque colour from 0xRRGGBB.
device::RGBA OpaqueRGB(unsigned rgb);
// The platform's system blue, which tints controls that have no tint of their own.
inline constexpr device::RGBA kSystemBlue{0.0, 0.478, 1.0, 1.0};
inline constexpr device::RGBA kBlack{0, 0, 0, 1};

void SetSource(cairo_t* cairo, const device::RGBA& rgba);

// Fills `rect` with `paint`: a solid colour with its alpha, a hatch for a pattern, nothing for nil.
void FillWithPaint(cairo_t* cairo, CGRect rect, const Paint& paint);

}  // namespace preview
